// Sounds enter the resource file as WAV data in the canonical form: the
// 44-byte header of 8- or 16-bit PCM, then the whole frames of the samples.

#include <gtest/gtest.h>

#include "devtools/rc/kinds/ImageFile.h"
#include "devtools/rc/kinds/WavFile.h"

namespace {

void PutLe(std::string& out, uint32_t v, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(char((v >> (8 * i)) & 0xFF));
    }
}

std::string Chunk(const char* id, const std::string& body) {
    std::string out = id;
    PutLe(out, uint32_t(body.size()), 4);
    return out + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

std::string Format(uint32_t tag, uint32_t channels, uint32_t bits, uint32_t align) {
    std::string f;
    PutLe(f, tag, 2);
    PutLe(f, channels, 2);
    PutLe(f, 8000, 4);
    PutLe(f, 8000 * align, 4);
    PutLe(f, align, 2);
    PutLe(f, bits, 2);
    return f;
}

std::string Riff(const std::string& chunks) {
    std::string out = "RIFF";
    PutLe(out, uint32_t(chunks.size() + 4), 4);
    return out + "WAVE" + chunks;
}

struct WavCase {
    const char* name;
    std::string wav;
    bool usable;
};

void PrintTo(const WavCase& c, std::ostream* os) {
    *os << c.name;
}

class WavNormalise : public ::testing::TestWithParam<WavCase> {};

TEST_P(WavNormalise, GivesTheCanonicalFormOrARefusal) {
    std::string canonical = "before", why;
    ASSERT_EQ(NormaliseWav(GetParam().wav, canonical, why), GetParam().usable) << why;
    if (!GetParam().usable) {
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(canonical, "before");
        return;
    }
    // 8-bit mono samples "abc": the header and the three frames.
    std::string expected = "RIFF";
    PutLe(expected, 36 + 3, 4);
    expected += "WAVEfmt ";
    PutLe(expected, 16, 4);
    expected += Format(1, 1, 8, 1) + "data";
    PutLe(expected, 3, 4);
    EXPECT_EQ(canonical, expected + "abc");
    EXPECT_EQ(canonical.size(), 44u + 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, WavNormalise,
    ::testing::Values(
        WavCase{"Canonical", Riff(Chunk("fmt ", Format(1, 1, 8, 1)) + Chunk("data", "abc")), true},
        WavCase{"DataBeforeFormat", Riff(Chunk("data", "abc") + Chunk("fmt ", Format(1, 1, 8, 1))),
                true},
        WavCase{"ExtraChunks",
                Riff(Chunk("LIST", "info") + Chunk("fmt ", Format(1, 1, 8, 1) + "xx") +
                     Chunk("fact", "1234") + Chunk("data", "abc")),
                true},
        WavCase{"FloatSamples", Riff(Chunk("fmt ", Format(3, 1, 32, 4)) + Chunk("data", "abcd")),
                false},
        WavCase{"TwentyFourBit", Riff(Chunk("fmt ", Format(1, 1, 24, 3)) + Chunk("data", "abc")),
                false},
        WavCase{"WrongBlockAlign", Riff(Chunk("fmt ", Format(1, 2, 16, 2)) + Chunk("data", "ab")),
                false},
        WavCase{"NoData", Riff(Chunk("fmt ", Format(1, 1, 8, 1))), false},
        WavCase{"ChunkPastTheEnd",
                Riff(Chunk("fmt ", Format(1, 1, 8, 1))) + "data" + std::string("\xFF\0\0\0", 4),
                false},
        WavCase{"NotRiff", "RIFX1234WAVE", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageFiles, OnlyPngJpegAndBmpAreTaken) {
    EXPECT_TRUE(IsImageFile(std::string("\x89PNG\r\n\x1a\n", 8)));
    EXPECT_TRUE(IsImageFile("\xFF\xD8\xFF\xE0"));
    EXPECT_TRUE(IsImageFile("BM" + std::string(24, '\0')));
    EXPECT_FALSE(IsImageFile("GIF89a"));
    EXPECT_FALSE(IsImageFile("BM"));
    EXPECT_FALSE(IsImageFile(""));
}

} // namespace
