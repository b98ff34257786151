// WAV files read and written for sounds, from files, memory streams and
// memory blocks, and from 'audi' resource blocks.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "FileIO/ResourceTags.h"
#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCResourceIndex.h"
#include "platform/SoundIO.h"
#include "platform/tests/SoundFixtures.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/foundation/FailingMemory.h"

using namespace std::string_literals;

namespace {

// A memory block holding the bytes.
struct SBlock {
    explicit SBlock(const std::string& bytes) {
        EXPECT_EQ(block.Resize(uint32_t(bytes.size()), 0), 1);
        block.CopyFromBuffer(bytes.data(), uint32_t(bytes.size()));
    }
    CMemBlock block;
};

gCString Text(const std::u16string& units) {
    gCString s;
    EXPECT_EQ(s.CopyStringFromBuffer(units.data(), int32_t(units.size())), eNoError);
    return s;
}

// A file of the temporary folder, of this process alone: test cases run
// side by side.
std::string TempPath(const std::string& leaf) {
    return ::testing::TempDir() + std::to_string(getpid()) + "-" + leaf;
}

// The temporary files a case made, removed when it ends.
class TempFiles : public SoundTest {
protected:
    void TearDown() override {
        for (const char* leaf :
             {"daublin-wav-read.wav", "daublin-wav-write.wav", "daublin-sound-res.vrf"}) {
            std::remove(TempPath(leaf).c_str());
        }
    }
};

// A file of the test's temporary folder, written with the bytes and
// opened as the mode says.
void OpenTemp(gCFile& file, const std::string& leaf, const std::string* bytes, EFileAccess access) {
    const std::string path = TempPath(leaf);
    if (bytes) {
        std::ofstream(path, std::ios::binary) << *bytes;
    } else {
        std::remove(path.c_str());
    }
    std::u16string colon;
    ASSERT_EQ(gCVolumeTable::PosixToColon(path, colon), eNoError);
    gCFRef ref(Text(colon));
    ASSERT_EQ(file.Open(&ref, access), eNoError);
}

std::string TempBytes(const std::string& leaf) {
    std::stringstream bytes;
    bytes << std::ifstream(TempPath(leaf), std::ios::binary).rdbuf();
    return bytes.str();
}

// The three sources a WAV is read from.
enum class ESource { eFile, eMemFile, eBlock };

class WavRead : public TempFiles {
protected:
    // Reads the bytes into the sound through ReadSound from the source.
    static error Read(ESource source, const std::string& bytes, CSound& sound) {
        SBlock held(bytes);
        if (source == ESource::eMemFile) {
            gCMemFile stream(&held.block);
            return CSoundIO::ReadSound(stream, sound);
        }
        if (source == ESource::eBlock) {
            return CSoundIO::ReadSound(held.block, sound);
        }
        gCFile file;
        OpenTemp(file, "daublin-wav-read.wav", &bytes, eAccessReadOnly);
        return CSoundIO::ReadSound(file, sound);
    }
};

struct SReadCase {
    const char* name;
    SWav wav;
    error expected;
};

void PrintTo(const SReadCase& c, std::ostream* os) {
    *os << c.name;
}

SWav With(void (*change)(SWav&)) {
    SWav w;
    w.data = Samples16({100, -200, 300, -400});
    change(w);
    return w;
}

const SReadCase kReadCases[] = {
    {"Canonical", With([](SWav&) {}), eNoError},
    {"LongerFormatChunkIsSkipped", With([](SWav& w) { w.fmtExtra = "\0\0"s; }), eNoError},
    {"FactChunkIsTaken", With([](SWav& w) { w.between = "fact" + Le32Bytes(4) + Le32Bytes(4); }),
     eNoError},
    {"ListChunkIsRefused", With([](SWav& w) { w.between = "LIST" + Le32Bytes(4) + "INFO"; }),
     eInvalidFile},
    {"DataPastTheEnd", With([](SWav& w) { w.dataSize = 10; }), eInvalidFile},
    {"DataClaimingTwoGigabytes", With([](SWav& w) { w.dataSize = 0x7FFFFFF0; }), eInvalidFile},
    {"RiffSizePastTheEnd", With([](SWav& w) { w.riffSize = 1000; }), eInvalidFile},
    {"AlignNotMatchingTheFormat", With([](SWav& w) { w.align = 4; }), eInvalidFile},
    {"AlignZero", With([](SWav& w) { w.align = 0; }), eInvalidFile},
    // Taken by the header tests, but no sound plays them as they are.
    {"FourChannels", With([](SWav& w) {
         w.channels = 4;
         w.data = std::string(16, '\0');
     }),
     eInvalidFile},
    {"TwentyFourBits", With([](SWav& w) {
         w.bits = 24;
         w.data = std::string(6, '\0');
     }),
     eInvalidFile},
    {"ThirtyTwoBits", With([](SWav& w) {
         w.bits = 32;
         w.data = std::string(8, '\0');
     }),
     eInvalidFile},
    {"NoChannels", With([](SWav& w) {
         w.channels = 0;
         w.align = 0;
     }),
     eInvalidFile},
    {"RateZero", With([](SWav& w) { w.rate = 0; }), eInvalidFile},
};

class WavReadCases : public WavRead,
                     public ::testing::WithParamInterface<std::tuple<SReadCase, ESource>> {};

// No request is larger than the file (the samples are at most its bytes),
// but for its path's few dozen bytes.
TEST_P(WavReadCases, GiveTheLayoutsResult) {
    const SReadCase& c = std::get<0>(GetParam());
    const std::string bytes = WavBytes(c.wav);
    CSound sound;
    {
        CLargestRequest watch;
        EXPECT_EQ(Read(std::get<1>(GetParam()), bytes, sound), c.expected);
        EXPECT_LE(CLargestRequest::Largest(), std::max<size_t>(bytes.size(), 256));
    }
    if (c.expected == eNoError) {
        EXPECT_EQ(sound.Is16Bit(), 1);
        EXPECT_EQ(sound.IsStereo(), 0);
        EXPECT_EQ(sound.Rate(), 22050);
        EXPECT_EQ(Values16(sound), (std::vector<int16_t>{100, -200, 300, -400}));
    }
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<SReadCase, ESource>>& info) {
    static const char* const kSources[] = {"File", "MemFile", "Block"};
    return std::string(std::get<0>(info.param).name) + kSources[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Sound, WavReadCases,
                         ::testing::Combine(::testing::ValuesIn(kReadCases),
                                            ::testing::Values(ESource::eFile, ESource::eMemFile,
                                                              ESource::eBlock)),
                         CaseName);

TEST_F(WavRead, SixteenBitStereoLoadsWithFourBytesAFrameInHostOrder) {
    SWav w;
    w.channels = 2;
    w.rate = 22000;
    w.data = Samples16({1, -1, 0x1234, -0x1234, 32767, -32768});
    CSound sound;
    ASSERT_EQ(Read(ESource::eFile, WavBytes(w), sound), eNoError);
    EXPECT_EQ(sound.BytesPerFrame(), 4);
    EXPECT_EQ(sound.IsStereo(), 1);
    EXPECT_EQ(sound.Rate(), 22000);
    EXPECT_EQ(sound.DataSize(), 12u);
    EXPECT_EQ(Values16(sound), (std::vector<int16_t>{1, -1, 0x1234, -0x1234, 32767, -32768}));
}

TEST_F(WavRead, AnOddSizeOnSixteenBitsLoadsTheWholeFramesOnly) {
    SWav w;
    w.data = Samples16({7, 8}) + "\x09";
    CSound sound;
    ASSERT_EQ(Read(ESource::eMemFile, WavBytes(w), sound), eNoError);
    EXPECT_EQ(sound.DataSize(), 4u);
    EXPECT_EQ(Values16(sound), (std::vector<int16_t>{7, 8}));
}

TEST_F(WavRead, EightBitStereoKeepsItsBytes) {
    SWav w;
    w.channels = 2;
    w.bits = 8;
    w.data = "\x01\x80\xFF\x7F";
    CSound sound;
    ASSERT_EQ(Read(ESource::eBlock, WavBytes(w), sound), eNoError);
    EXPECT_EQ(sound.BytesPerFrame(), 2);
    EXPECT_EQ(std::string(sound.SampleData().GetData(), 4), w.data);
}

// A bits-per-sample of 0 with a block align of 1 is 8 bits to the stream
// readers; the block reader refuses it.
TEST_F(WavRead, ZeroBitsAreEightBitsToTheStreamsOnly) {
    SWav w;
    w.bits = 0;
    w.align = 1;
    w.data = "\x10\x20\x30";
    CSound fromStream, fromBlock;
    EXPECT_EQ(Read(ESource::eMemFile, WavBytes(w), fromStream), eNoError);
    EXPECT_EQ(fromStream.Is16Bit(), 0);
    EXPECT_EQ(fromStream.DataSize(), 3u);
    EXPECT_EQ(Read(ESource::eBlock, WavBytes(w), fromBlock), eInvalidFile);
}

TEST_F(WavRead, NotRiffIsNotImplementedAndKeepsThePosition) {
    std::string bytes = "XXXX" + WavBytes(SWav{});
    SBlock held(bytes);
    gCMemFile stream(&held.block);
    ASSERT_EQ(stream.SetFilePos(4), eNoError);
    CSound sound;
    // At 4 a WAV starts; at 2 it does not.
    ASSERT_EQ(stream.SetFilePos(2), eNoError);
    EXPECT_EQ(CSoundIO::ReadSound(stream, sound), eNotImplemented);
    EXPECT_EQ(stream.GetFilePos(), 2);
    EXPECT_EQ(CSoundIO::ReadSound(held.block, sound), eNotImplemented);
}

TEST_F(WavRead, FewerThanTwentyBytesAreInvalid) {
    const std::string bytes = WavBytes(SWav{}).substr(0, 19);
    for (ESource source : {ESource::eFile, ESource::eMemFile, ESource::eBlock}) {
        CSound sound;
        EXPECT_EQ(Read(source, bytes, sound), eInvalidFile);
    }
}

// Writing: the canonical layout, the samples in memory left as they were,
// and a round trip through the reader.
class WavWrite : public TempFiles {};

TEST_F(WavWrite, WritesTheCanonicalLayoutAndLeavesTheSamples) {
    std::unique_ptr<CSound> sound = Sound16({0x0102, -2, 0x7F00, 5}, 1, 22000);
    {
        gCFile file;
        OpenTemp(file, "daublin-wav-write.wav", nullptr, eAccessWholeNew);
        ASSERT_EQ(CSoundIO::WriteSound(file, *sound, 0), eNoError);
        ASSERT_EQ(file.Close(), eNoError);
    }
    EXPECT_EQ(Values16(*sound), (std::vector<int16_t>{0x0102, -2, 0x7F00, 5}));
    const std::string written = TempBytes("daublin-wav-write.wav");
    SWav expected;
    expected.channels = 2;
    expected.rate = 22000;
    expected.data = Samples16({0x0102, -2, 0x7F00, 5});
    EXPECT_EQ(written, WavBytes(expected));

    CSound back;
    SBlock held(written);
    ASSERT_EQ(CSoundIO::ReadSound(held.block, back), eNoError);
    EXPECT_EQ(back.IsStereo(), 1);
    EXPECT_EQ(back.Rate(), 22000);
    EXPECT_EQ(Values16(back), Values16(*sound));
}

TEST_F(WavWrite, MemoryTargetsWriteNothing) {
    std::unique_ptr<CSound> sound = Sound16({1, 2, 3});
    gCMemFile stream;
    CMemBlock block;
    EXPECT_EQ(CSoundIO::WriteSound(stream, *sound, 0), eNoError);
    EXPECT_EQ(CSoundIO::WriteWAV(stream, *sound), eNoError);
    EXPECT_EQ(CSoundIO::WriteSound(block, *sound, 0), eNoError);
    EXPECT_EQ(CSoundIO::WriteWAV(block, *sound), eNoError);
    EXPECT_EQ(stream.Length(), 0);
    EXPECT_EQ(block.GetCount(), 0u);
}

// Binding: the header is read, the samples stay in the stream.
TEST_F(WavRead, BindingKeepsTheSamplesInTheStream) {
    SWav w;
    w.data = Samples16({9, 8, 7});
    const std::string bytes = "pad" + WavBytes(w);
    SBlock held(bytes);
    gCMemFile stream(&held.block);
    ASSERT_EQ(stream.SetFilePos(3), eNoError);
    CSound sound;
    ASSERT_EQ(CSoundIO::SetSoundFile(stream, sound), eNoError);
    EXPECT_EQ(sound.SoundFile(), &stream);
    EXPECT_EQ(sound.DataSize(), 6u);
    EXPECT_EQ(sound.DataOffset(), int64_t(bytes.size() - 6));
    EXPECT_EQ(sound.SampleCapacity(), 0u);
}

// Sounds from 'audi' blocks: the WAV data is read within its block.
class SoundResource : public TempFiles {
protected:
    // A resource file of the version block, the blocks given and a last
    // text block, opened as the file to load from.
    void Open(const std::string& blocks) {
        const std::string bytes =
            VersionBlock(2) + blocks + ResBlock(0x74657874, 7, "after", std::string(64, 'x'));
        OpenTemp(file, "daublin-sound-res.vrf", &bytes, eAccessReadOnly);
    }
    static std::string SoundBlock(int32_t id, const std::string& name, const std::string& wav,
                                  int32_t length) {
        return ResBlock(kResSoundTag, id, name, Le32Bytes(uint32_t(length)) + wav);
    }
    gCFile file;
};

TEST_F(SoundResource, LoadsByIdAndByName) {
    SWav w;
    w.data = Samples16({5, 6, 7, 8});
    const std::string wav = WavBytes(w);
    Open(SoundBlock(90000, "tap", wav, int32_t(wav.size())));
    std::unique_ptr<CSound> byId(CSound::CreateFromRes(90000, &file, nullptr));
    ASSERT_NE(byId, nullptr);
    EXPECT_TRUE(SameText(byId->GetResName(), Text(u"tap")));
    EXPECT_EQ(Values16(*byId), (std::vector<int16_t>{5, 6, 7, 8}));
    ASSERT_EQ(file.Rewind(), eNoError);
    std::unique_ptr<CSound> byName(CSound::CreateFromRes(Text(u"tap"), &file, nullptr));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->GetResID(), 90000);
    EXPECT_EQ(CSound::CreateFromRes(90001, &file, nullptr), nullptr);
}

// The WAV's data size runs past the block into the next one: refused,
// though the file holds that many bytes.
TEST_F(SoundResource, DataBeyondItsBlockIsRefused) {
    SWav w;
    w.data = Samples16({5, 6});
    w.dataSize = 40;
    w.riffSize = 36 + 40;
    const std::string wav = WavBytes(w);
    Open(SoundBlock(90000, "tap", wav, int32_t(wav.size())));
    CSound sound;
    EXPECT_EQ(sound.GetFromRes(90000, &file, nullptr), eInvalidFile);
}

// A length word claiming more than the block holds is a damaged block.
TEST_F(SoundResource, ALengthBeyondItsBlockIsDamaged) {
    const std::string wav = WavBytes(With([](SWav&) {}));
    Open(SoundBlock(90000, "tap", wav, int32_t(wav.size()) + 100));
    CSound sound;
    EXPECT_EQ(sound.GetFromRes(90000, &file, nullptr), eResourceReadError);
}

TEST(SoundWithoutApplication, ReadsNothing) {
    CSound sound;
    SBlock held(WavBytes(With([](SWav&) {})));
    EXPECT_EQ(CSoundIO::ReadSound(held.block, sound), eGenericFailure);
    EXPECT_EQ(sound.GetFromRes(90000, nullptr, nullptr), eGenericFailure);
    EXPECT_EQ(CSound::CreateFromRes(90000, nullptr, nullptr), nullptr);
    EXPECT_EQ(sound.Play(0), -1);
    EXPECT_EQ(sound.Busy(), 0);
}

} // namespace
