// The data pipe's frame reader as a table of byte streams, fed whole, in
// pieces and byte by byte, then seeded random streams: valid frames cut
// anywhere, and noise with the largest allocation counted.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/DataPipeFrames.h"
#include "platform/tests/FrameBytes.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

struct SMessage {
    uint32_t id;
    Bytes payload;
    bool operator==(const SMessage&) const = default;
};

std::ostream& operator<<(std::ostream& os, const SMessage& m) {
    return os << "{id " << m.id << ", " << m.payload.size() << " bytes}";
}

class CRecordingSink : public CFrameReader::Sink {
public:
    error FrameReceived(uint32_t id, CASMemFile& payload) override {
        SMessage m{id, Bytes(size_t(payload.Length()))};
        EXPECT_EQ(payload.GetFilePos(), 0);
        if (!m.payload.empty()) {
            EXPECT_EQ(payload.ReadBlock(m.payload.data(), int32_t(m.payload.size())), eNoError);
        }
        messages.push_back(std::move(m));
        return eNoError;
    }
    std::vector<SMessage> messages;
};

Bytes Head(const Bytes& bytes, size_t n) {
    return Bytes(bytes.begin(), bytes.begin() + ptrdiff_t(n));
}

Bytes Join(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// Feeds the stream in pieces of the given sizes (the rest in one last
// piece); the first error.
error FeedInPieces(CFrameReader& reader, CRecordingSink& sink, const Bytes& stream,
                   const std::vector<size_t>& cuts) {
    size_t at = 0;
    error first = eNoError;
    for (size_t cut : cuts) {
        const size_t n = std::min(cut, stream.size() - at);
        const error e = reader.Feed(stream.data() + at, uint32_t(n), sink);
        first = first ? first : e;
        at += n;
    }
    const error e = reader.Feed(stream.data() + at, uint32_t(stream.size() - at), sink);
    return first ? first : e;
}

TEST(FrameReader, TheHeaderOfAnEmptyMessage) {
    const Bytes expected = {0x6A, 0x74, 0x91, 0xFB, 0x05, 0x00, 0x00, 0x00, 0x6A, 0x74,
                            0x92, 0xFB, 0x00, 0x00, 0x00, 0x00, 0x6A, 0x74, 0x93, 0xFB};
    EXPECT_EQ(Frame(5, {}), expected);
}

TEST(FrameReader, DeliversWholeMessagesHoweverTheBytesArrive) {
    const Bytes big = Pattern(150000, 7);
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<size_t> cuts;
        std::vector<SMessage> messages;
    };
    std::vector<Case> cases = {
        {"id 5, empty", Frame(5, {}), {}, {{5, {}}}},
        {"two in one feed", Join({Frame(1, {9, 8, 7}), Frame(2, {})}), {}, {{1, {9, 8, 7}}, {2, {}}}},
        {"header cut at 7", Frame(3, {1, 2}), {7}, {{3, {1, 2}}}},
        {"payload over feeds", Frame(4, big), {20, 64000, 64000, 5}, {{4, big}}},
        {"frames across feeds", Join({Frame(1, {1}), Frame(2, {2, 2})}), {15, 10, 1},
         {{1, {1}}, {2, {2, 2}}}},
        {"half a header", Head(Frame(6, {}), 10), {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFrameReader reader;
        CRecordingSink sink;
        EXPECT_EQ(FeedInPieces(reader, sink, c.stream, c.cuts), eNoError);
        EXPECT_EQ(sink.messages, c.messages);
    }
}

TEST(FrameReader, AFrameFedByteByByteIsDeliveredOnceAtItsLastByte) {
    const Bytes stream = Frame(77, {1, 2, 3, 4, 5});
    CFrameReader reader;
    CRecordingSink sink;
    for (size_t i = 0; i < stream.size(); ++i) {
        EXPECT_TRUE(sink.messages.empty()) << "before byte " << i;
        EXPECT_EQ(reader.MidFrame(), i > 0) << "at byte " << i;
        ASSERT_EQ(reader.Feed(&stream[i], 1, sink), eNoError);
    }
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], (SMessage{77, {1, 2, 3, 4, 5}}));
    EXPECT_FALSE(reader.MidFrame());
}

TEST(FrameReader, RefusesBadMarkersAndLengthsOverTheLimit) {
    struct Case {
        const char* name;
        size_t offset; // a byte changed in the header, or none
        uint32_t length;
        bool refused;
    };
    const Case cases[] = {
        {"marker 1", 0, 0, true},
        {"marker 2", 9, 0, true},
        {"marker 3", 19, 0, true},
        {"at the limit", SIZE_MAX, 1000, false},
        {"over the limit", SIZE_MAX, 1001, true},
        {"far over", SIZE_MAX, 0xFFFFFFFF, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes stream(kFrameHeaderBytes);
        WriteFrameHeader(stream.data(), 3, c.length);
        if (c.offset != SIZE_MAX) {
            stream[c.offset] ^= 0x40;
        }
        const Bytes payload = Pattern(c.length <= 1001 ? c.length : 100, 3);
        stream.insert(stream.end(), payload.begin(), payload.end());
        const Bytes next = Frame(4, {});
        stream.insert(stream.end(), next.begin(), next.end());
        CFrameReader reader;
        reader.SetLimit(1000);
        CRecordingSink sink;
        CRefuseLargeBlocks largest(SIZE_MAX);
        const error e = reader.Feed(stream.data(), uint32_t(stream.size()), sink);
        if (c.refused) {
            EXPECT_EQ(e, eInvalidFile);
            EXPECT_TRUE(reader.Refused());
            EXPECT_TRUE(sink.messages.empty());
            EXPECT_LE(CRefuseLargeBlocks::Largest(), 0u) << "nothing stored";
            const Bytes later = Frame(5, {});
            EXPECT_EQ(reader.Feed(later.data(), 20, sink), eInvalidFile) << "stays refused";
        } else {
            EXPECT_EQ(e, eNoError);
            ASSERT_EQ(sink.messages.size(), 2u);
            EXPECT_EQ(sink.messages[0], (SMessage{3, payload}));
        }
    }
}

TEST(FrameReader, ThousandsOfEmptyFramesInOneFeedArriveInOrder) {
    Bytes stream;
    for (uint32_t i = 0; i < 3200; ++i) {
        const Bytes f = Frame(i, {});
        stream.insert(stream.end(), f.begin(), f.end());
    }
    ASSERT_EQ(stream.size(), 64000u);
    CFrameReader reader;
    CRecordingSink sink;
    ASSERT_EQ(reader.Feed(stream.data(), uint32_t(stream.size()), sink), eNoError);
    ASSERT_EQ(sink.messages.size(), 3200u);
    for (uint32_t i = 0; i < 3200; ++i) {
        ASSERT_EQ(sink.messages[i].id, i);
    }
}

// Valid frames cut at random points give what one feed gives.
TEST(FrameReaderFuzz, RandomCutsGiveWhatOneFeedGives) {
    std::mt19937 random(20261210);
    for (int32_t round = 0; round < 200; ++round) {
        std::vector<Bytes> frames;
        const int32_t count = int32_t(random() % 6) + 1;
        for (int32_t i = 0; i < count; ++i) {
            const size_t size = random() % 4 == 0 ? random() % 100000 : random() % 50;
            frames.push_back(Frame(uint32_t(random()), Pattern(size, uint32_t(random()))));
        }
        const Bytes stream = Join(frames);
        CFrameReader whole;
        CRecordingSink once;
        ASSERT_EQ(whole.Feed(stream.data(), uint32_t(stream.size()), once), eNoError);
        std::vector<size_t> cuts;
        for (size_t at = 0; at < stream.size();) {
            const size_t cut = random() % 3 == 0 ? random() % 30 : random() % 70000;
            cuts.push_back(cut);
            at += cut;
        }
        CFrameReader pieces;
        CRecordingSink cut;
        ASSERT_EQ(FeedInPieces(pieces, cut, stream, cuts), eNoError);
        ASSERT_EQ(cut.messages, once.messages) << "round " << round;
        ASSERT_EQ(int32_t(once.messages.size()), count);
    }
}

// Noise, sometimes behind valid headers that declare large lengths: never
// a crash, and no block larger than the limit and one read.
TEST(FrameReaderFuzz, RandomBytesStayWithinTheLimit) {
    std::mt19937 random(777);
    constexpr uint32_t kLimit = 1u << 20;
    constexpr uint32_t kRead = 64000;
    for (int32_t round = 0; round < 300; ++round) {
        Bytes stream(random() % 200000);
        for (uint8_t& b : stream) {
            b = uint8_t(random());
        }
        for (size_t at = 0; at + kFrameHeaderBytes <= stream.size() && random() % 2;
             at += random() % 50000) {
            WriteFrameHeader(&stream[at], 1, random() % 2 ? uint32_t(random()) : kLimit);
        }
        CFrameReader reader;
        reader.SetLimit(kLimit);
        CRecordingSink sink;
        CRefuseLargeBlocks largest(SIZE_MAX);
        for (size_t at = 0; at < stream.size() && !reader.Refused(); at += kRead) {
            const size_t n = std::min<size_t>(kRead, stream.size() - at);
            (void)reader.Feed(stream.data() + at, uint32_t(n), sink); // refusals are fine
        }
        ASSERT_LE(CRefuseLargeBlocks::Largest(), size_t(kLimit) + kRead) << "round " << round;
    }
}

} // namespace
