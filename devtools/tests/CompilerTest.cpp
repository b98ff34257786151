// The resource compiler: every block kind written and read back exactly,
// refusals that name the source file and line, the dump, and the files the
// build lays out beside the program.

#include <cstring>
#include <filesystem>

#include <zlib.h>

#include <memory>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCResourceObject.h"
#include "FileIO/gCStringTable.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/tests/CompilerRun.h"
#include "imaging/Gradient.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "imaging/ImageList.h"

namespace {

void PutLe(std::string& out, uint32_t v, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(char((v >> (8 * i)) & 0xFF));
    }
}

// The format fields of 16-bit stereo PCM at 22,050 frames per second.
void PutStereoFormat(std::string& out) {
    PutLe(out, 1, 2);
    PutLe(out, 2, 2);
    PutLe(out, 22050, 4);
    PutLe(out, 22050 * 4, 4);
    PutLe(out, 4, 2);
    PutLe(out, 16, 2);
}

// A 16-bit stereo WAV as other programs write it: an 18-byte format chunk,
// a LIST chunk before the data, and a stray odd byte after the last frame.
std::string ExtendedWav(const std::string& samples) {
    std::string body = "WAVEfmt ";
    PutLe(body, 18, 4);
    PutStereoFormat(body);
    PutLe(body, 0, 2);
    body += "LIST";
    PutLe(body, 3, 4);
    body += "abc";
    body.push_back('\0'); // pad to even
    body += "data";
    PutLe(body, uint32_t(samples.size() + 1), 4);
    body += samples + "!";
    std::string wav = "RIFF";
    PutLe(wav, uint32_t(body.size()), 4);
    return wav + body;
}

// The canonical form of the same sound: the 44-byte header and whole frames.
std::string CanonicalWav(const std::string& samples) {
    std::string wav = "RIFF";
    PutLe(wav, uint32_t(samples.size() + 36), 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutStereoFormat(wav);
    wav += "data";
    PutLe(wav, uint32_t(samples.size()), 4);
    return wav + samples;
}

// A small picture with distinct, partly transparent pixels.
void PaintLogo(CImage& image) {
    ASSERT_EQ(image.Create(3, 2), eNoError);
    CImNav view(&image);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            view.Row(y)[x] = CPixel(0x40102030u + uint32_t(y * 3 + x) * 0x11050301u);
        }
    }
}

// The picture as a whole PNG file.
std::string LogoPng() {
    CImage image;
    PaintLogo(image);
    gCMemFile mem;
    EXPECT_EQ(gCImageIO::WriteImage(mem, image, gCImageIO::kPNG), eNoError);
    return std::string(reinterpret_cast<const char*>(mem.GetMemBlock()->GetData()),
                       size_t(mem.GetSize()));
}

// The same PNG with a background colour chunk after its header.
std::string LogoPngWithBackground() {
    const std::string png = LogoPng();
    std::string chunk;
    PutLe(chunk, 0x06000000u, 4); // length 6, big-endian
    const std::string body = std::string("bKGD") + std::string(6, '\x7f');
    chunk += body;
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk.push_back(char((crc >> shift) & 0xFF));
    }
    const size_t afterHeader = 8 + 25; // signature, IHDR
    return png.substr(0, afterHeader) + chunk + png.substr(afterHeader);
}

const std::string kPng = LogoPng();
const std::string kSamples = std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);

const char* kEveryKind = R"(# every block kind
blocks:
  - kind: image
    id: 7
    name: logo
    file: art/logo.png
  - kind: image
    id: 8
    name: frame
    file: art/logo.png
  - kind: imagelist
    id: 20
    name: frames
    exclusive: true
    images: [logo, frame]
  - kind: imagelist8
    id: 20          # the same id as another kind's block
    name: masks
    images: [logo]
  - kind: gradient
    id: 30
    name: sky
    stops:
      - {colour: 0xFF102030, position: 0}
      - {colour: 0x80FFFFFF, position: 0.25}
  - kind: sound
    id: 90000
    name: click
    file: click.wav
  - kind: raw
    tag: test
    id: 1
    name: blob
    bytes: "00 01 fe FF"
strings:
  - id: 0xB2D05E00
    name: ApplicationName
    text: Daublin
)";

class EveryKind : public CompilerTest {
protected:
    void SetUp() override {
        CompilerTest::SetUp();
        MakeFile("src/art/logo.png", kPng);
        MakeFile("src/click.wav", ExtendedWav(kSamples));
        const CompilerResult r = Compile("src", kEveryKind);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        OpenOutput(m_File, "src", "system.vrf");
        ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
    }
    // The file at the payload of the named block of that tag.
    void Find(uint32_t tag, const char* name) {
        gCResourceObject object(tag);
        ASSERT_EQ(m_File.Rewind(), eNoError);
        ASSERT_EQ(object.FindBlock(tag, S(name), &m_File), eNoError) << name;
    }
    std::string ReadBytes(int32_t n) {
        std::string bytes(size_t(n), '\0');
        EXPECT_EQ(m_File.ReadBlock(bytes.data(), n), eNoError);
        return bytes;
    }
    int32_t ReadInt() {
        int32_t v = 0;
        EXPECT_EQ(m_File.ReadInt32(v), eNoError);
        return v;
    }
    std::string ReadName() {
        gCString s;
        EXPECT_EQ(m_File.ReadString(s), eNoError);
        return U(s);
    }

    gCFile m_File;
    gCResourceIndex m_Index;
};

TEST_F(EveryKind, StartsWithTheVersionAndIndexesEveryBlock) {
    ASSERT_EQ(m_File.Rewind(), eNoError);
    EXPECT_EQ(ReadBytes(12), std::string("\x73\x72\x65\x76\x04\0\0\0\x02\0\0\0", 12));
    EXPECT_EQ(m_Index.GetVersion(), 2);
    ASSERT_EQ(m_Index.GetCount(), 7);
    const char* names[] = {"logo", "frame", "frames", "masks", "sky", "click", "blob"};
    const int32_t ids[] = {7, 8, 20, 20, 30, 90000, 1};
    for (int32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(U(m_Index.GetEntry(i)->m_Name), names[i]);
        EXPECT_EQ(m_Index.GetEntry(i)->m_nID, ids[i]);
    }
    EXPECT_EQ(m_Index.GetEntry(0)->m_nLocation, 12);
}

TEST_F(EveryKind, PayloadsReadBackExactly) {
    Find(kResImageTag, "logo");
    ASSERT_EQ(ReadInt(), int32_t(kPng.size()));
    EXPECT_EQ(ReadBytes(int32_t(kPng.size())), kPng);

    Find(kResImageListTag, "frames");
    EXPECT_EQ(ReadInt(), 1);
    ASSERT_EQ(ReadInt(), 2);
    EXPECT_EQ(ReadName(), "logo\n");
    EXPECT_EQ(ReadName(), "frame\n");

    Find(kResImageList8Tag, "masks");
    EXPECT_EQ(ReadInt(), 0);
    ASSERT_EQ(ReadInt(), 1);
    EXPECT_EQ(ReadName(), "logo\n");

    Find(kResGradientTag, "sky");
    ASSERT_EQ(ReadInt(), 2);
    float position = -1;
    EXPECT_EQ(uint32_t(ReadInt()), 0xFF102030u);
    EXPECT_EQ(m_File.ReadReal(position), eNoError);
    EXPECT_EQ(position, 0.0f);
    EXPECT_EQ(uint32_t(ReadInt()), 0x80FFFFFFu);
    EXPECT_EQ(m_File.ReadReal(position), eNoError);
    EXPECT_EQ(position, 0.25f);

    Find(kResSoundTag, "click");
    const std::string canonical = CanonicalWav(kSamples);
    ASSERT_EQ(ReadInt(), int32_t(canonical.size()));
    EXPECT_EQ(ReadBytes(int32_t(canonical.size())), canonical);

    Find(FourCC("test"), "blob");
    EXPECT_EQ(ReadBytes(4), std::string("\x00\x01\xFE\xFF", 4));
    EXPECT_TRUE(m_File.FileEnd());
}

TEST_F(EveryKind, TheProgramsLoadersReadEveryBlock) {
    CImage expected;
    PaintLogo(expected);
    CImage logo;
    ASSERT_EQ(logo.GetFromRes(S("logo"), &m_File, &m_Index), eNoError);
    ASSERT_EQ(logo.GetWidth(), 3);
    CImNav a(&logo), b(&expected);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(uint32_t(a.Row(y)[x]), uint32_t(b.Row(y)[x]));
        }
    }

    std::unique_ptr<gCImageList> frames(gCImageList::CreateFromRes(S("frames"), &m_File, nullptr));
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->GetCount(), 2);

    std::unique_ptr<CGradient> sky(CGradient::CreateFromRes(30, &m_File, &m_Index));
    ASSERT_NE(sky, nullptr);
    ASSERT_EQ(sky->GetLastIndex(), 2);
    EXPECT_EQ(uint32_t(sky->Stops()[0].colour), 0xFF102030u);
    EXPECT_EQ(sky->Stops()[1].position, 0.25f);
    EXPECT_EQ(uint32_t(sky->Stops()[2].colour), 0xFFFFFFFFu) << "the default end stays";
}

TEST_F(CompilerTest, WarnsOfAPngBackgroundColour) {
    MakeFile("src/bg.png", LogoPngWithBackground());
    const CompilerResult r =
        Compile("src", "blocks:\n  - {kind: image, id: 1, name: bg, file: bg.png}\n");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("source.yaml:2: warning:"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("bKGD"), std::string::npos) << r.output;
}

TEST_F(EveryKind, DumpListsEveryBlock) {
    const CompilerResult r = RunCompiler({"--dump", Posix("src/out/system.vrf")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("vers"), std::string::npos);
    EXPECT_NE(r.output.find("version 2"), std::string::npos);
    EXPECT_NE(r.output.find("imag           7  logo  " + std::to_string(4 + 12 + 4 + kPng.size())),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("audi       90000  click"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("test           1  blob  20"), std::string::npos) << r.output;
}

// Sources the compiler refuses, and the line it names.
struct Refusal {
    const char* name;
    const char* yaml;
    int line;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class Refused : public CompilerTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, NamesTheFileAndLineAndLeavesNoFiles) {
    MakeFile("bad/art/logo.png", kPng);
    MakeFile("bad/art/broken.png", kPng.substr(0, 8) + "no image here");
    MakeFile("bad/noise.wav", "RIFF....WAVEjunk");
    const CompilerResult r = Compile("bad", GetParam().yaml);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("source.yaml:" + std::to_string(GetParam().line) + ":"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf")));
    EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vsf")));
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, Refused,
    ::testing::Values(Refusal{"DuplicateBlockName",
                              "blocks:\n"
                              "  - {kind: image, id: 1, name: logo, file: art/logo.png}\n"
                              "  - {kind: raw, tag: test, id: 2, name: logo}\n",
                              3},
                      Refusal{"DuplicateStringName",
                              "strings:\n"
                              "  - {id: 1, name: a, text: one}\n"
                              "  - {id: 2, name: a, text: two}\n",
                              3},
                      Refusal{"DuplicateStringId",
                              "strings:\n"
                              "  - {id: 1, text: one}\n"
                              "  - {id: 0x1, text: two}\n",
                              3},
                      Refusal{"EmptyText",
                              "strings:\n"
                              "  - id: 1\n"
                              "    text: \"\"\n",
                              3},
                      Refusal{"EmptyLastVariant", "strings:\n  - {id: 1, text: \"A|B|\"}\n", 2},
                      Refusal{"LineFeedInText", "strings:\n  - {id: 1, text: \"a\\nb\"}\n", 2},
                      Refusal{"NulInName", "strings:\n  - {id: 1, name: \"a\\0b\", text: x}\n", 2},
                      Refusal{"UnknownKey", "strings:\n  - {id: 1, txt: x}\n", 2},
                      Refusal{"MissingListMember",
                              "blocks:\n"
                              "  - {kind: imagelist, id: 1, name: l, images: [logo]}\n",
                              2},
                      Refusal{"UnknownKind",
                              "blocks:\n"
                              "  - {kind: nosuchkind, id: 1, name: n}\n",
                              2},
                      Refusal{"KeyOfAnotherKind",
                              "blocks:\n"
                              "  - {kind: image, id: 1, name: i, file: art/logo.png, images: []}\n",
                              2},
                      // Loaded by the loader of its tag, whichever kind wrote it.
                      Refusal{"RawBlockThatItsTagsLoaderRefuses",
                              "blocks:\n"
                              "  - {kind: raw, tag: imag, id: 1, name: r, bytes: \"00\"}\n",
                              2},
                      Refusal{"NotAnImage",
                              "blocks:\n"
                              "  - {kind: image, id: 1, name: i, file: noise.wav}\n",
                              2},
                      Refusal{"ImageThatDoesNotDecode",
                              "strings:\n"
                              "  - {id: 1, text: one}\n"
                              "blocks:\n"
                              "  - {kind: image, id: 1, name: i, file: art/broken.png}\n",
                              4},
                      // A folder is no file, and never read as an empty one.
                      Refusal{"FileThatIsAFolder",
                              "blocks:\n"
                              "  - {kind: image, id: 1, name: i, file: art}\n",
                              2},
                      Refusal{"NotAWav",
                              "blocks:\n"
                              "  - {kind: sound, id: 1, name: s, file: noise.wav}\n",
                              2},
                      Refusal{"PositionOutOfRange",
                              "blocks:\n"
                              "  - kind: gradient\n"
                              "    id: 1\n"
                              "    name: g\n"
                              "    stops:\n"
                              "      - {colour: 0xFF000000, position: 1.5}\n",
                              6},
                      // Written, but the line reader drops byte-order marks: the read-back
                      // check catches it.
                      Refusal{"TextThatDoesNotReadBack",
                              "strings:\n  - {id: 1, text: \"a\\ufeffb\"}\n", 2},
                      Refusal{"BadYaml", "strings:\n  - {id: 1, text: [x\n", 3}),
    [](const auto& info) { return std::string(info.param.name); });

// The build compiles resources/ into bin/Resources/ beside the program.
TEST(BuiltResources, StringTableHoldsEveryInterfaceText) {
    gCFile vrf;
    gCResourceIndex index;
    ASSERT_EQ(OpenPosixFile(vrf, DAUBLIN_RESOURCE_DIR "/system.vrf", eAccessReadOnly), eNoError);
    EXPECT_EQ(index.SetupIndex(&vrf), eNoError);
    EXPECT_EQ(index.GetVersion(), 2);

    gCFile vsf;
    gCStringTable table;
    ASSERT_EQ(OpenPosixFile(vsf, DAUBLIN_RESOURCE_DIR "/system.vsf", eAccessReadOnly), eNoError);
    ASSERT_EQ(table.GetFromRes(&vsf), eNoError);
    EXPECT_EQ(U(table.GetString(0xB2D05E00, 0)), "Daublin");
    EXPECT_EQ(U(table.GetString(0xB2D05E02, 0)), ".ptg");
    const uint32_t ids[] = {0xB2D05E01, 0xB2D05E03, 0xB2D05E07, 0xB2D05E09, 0xB2D05E0A,
                            0xB2D05E0B, 0xB2D05E0C, 0xB2D05E0D, 0xB2D05E0E, 0xB2D05E0F,
                            0xB2D05E10, 0xB2D05E12, 0xB2D05E13, 0xB2D05E14, 0xB2D05E1B,
                            0xB2D05E25, 0xB2D05E41, 0xB2D05E42, 2092};
    for (uint32_t id : ids) {
        EXPECT_NE(U(table.GetString(id, 0)), "%%String Table Error") << std::hex << id;
    }
}

// An SVG drawing becomes a PNG of exactly the size its entry gives.
TEST_F(CompilerTest, RasterisesAnSvgImageAtTheGivenSize) {
    // Red on its right half, transparent on its left, which stays so.
    MakeFile("src/art/red.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='3'>"
                                "<rect x='2' width='2' height='3' fill='#ff0000'/></svg>");
    const CompilerResult r =
        Compile("src", "blocks:\n  - {kind: image, id: 1, name: red, svg: art/red.svg, width: 8, "
                       "height: 6}\n");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("bKGD"), std::string::npos) << "no background to flatten onto";
    gCFile file;
    OpenOutput(file, "src", "system.vrf");
    gCResourceIndex index;
    ASSERT_EQ(index.SetupIndex(&file), eNoError);
    CImage image;
    ASSERT_EQ(image.GetFromRes(1, &file, &index), eNoError);
    ASSERT_EQ(image.GetWidth(), 8);
    ASSERT_EQ(image.GetHeight(), 6);
    CImNav nav(&image);
    for (int32_t y = 0; y < 6; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const char*>(nav.GetDataPtr()) + y * nav.GetRowBytes());
        for (int32_t x = 0; x < 8; ++x) {
            EXPECT_EQ(row[x], x < 4 ? 0x00000000u : 0xFFFF0000u) << x << "," << y;
        }
    }
}

TEST_F(CompilerTest, RefusesAnSvgImageItCannotDrawAtTheLineOfItsEntry) {
    MakeFile("bad/art/red.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='3'/>");
    MakeFile("bad/art/broken.svg", "<svg this is not");
    MakeFile("bad/art/logo.png", kPng);
    const struct {
        const char* entry;
        const char* says;
    } kCases[] = {
        {"{kind: image, id: 1, name: i, svg: art/red.svg, width: 8}", "height"},
        {"{kind: image, id: 1, name: i, svg: art/red.svg, width: 0, height: 6}", "width"},
        {"{kind: image, id: 1, name: i, svg: art/gone.svg, width: 8, height: 6}", "cannot read"},
        {"{kind: image, id: 1, name: i, svg: art/broken.svg, width: 8, height: 6}",
         "rsvg-convert could not draw"},
        {"{kind: image, id: 1, name: i, svg: art/red.svg, file: art/logo.png}", "either"},
        {"{kind: image, id: 1, name: i, file: art/logo.png, width: 8}", "only an"},
    };
    for (const auto& c : kCases) {
        const CompilerResult r = Compile("bad", std::string("blocks:\n  - ") + c.entry + "\n");
        EXPECT_NE(r.exitCode, 0) << c.entry;
        EXPECT_NE(r.output.find("source.yaml:2:"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
        EXPECT_FALSE(std::filesystem::exists(Posix("bad/out/system.vrf"))) << c.entry;
    }
}

} // namespace
