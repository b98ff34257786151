// Writes the fuzz targets' seeds with the program's own writers, one folder
// a target under the folder given: a painting saved at 100 x 100 with every
// block, the built resource file's widget, text-list and font blocks as the
// targets take them, the built string table, WAV files in each format and
// small images of each codec, the preferences file written at quit
// (whole and cut after its first records) and data pipe streams framed with
// the pipe's own header writer. The damaged project files come from the
// project file's tests (scripts/fuzz.sh). Built only with clang; see the
// README.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "bench/FuzzPainting.h"
#include "bench/FuzzSupport.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageIO.h"
#include "paint/canvas/Canvas.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/ToolId.h"
#include "platform/App.h"
#include "platform/DataPipeFrames.h"
#include "platform/Sound.h"
#include "platform/SoundIO.h"
#include "text/TextTags.h"
#include "tools/RegisterPaintTools.h"
#include "ui/SMKBackdrop.h"

namespace {

namespace fs = std::filesystem;

bool Write(const fs::path& path, const fuzz::Bytes& bytes) {
    fs::create_directories(path.parent_path());
    return fuzz::WriteWholeFile(path.string(), bytes);
}

// A pattern every seed image and layer shares: colour ramps, some pixels
// transparent with their colour kept.
void Pattern(CImage& image, uint32_t seed) {
    CImNav v(&image);
    for (int32_t y = 0; y < v.GetHeight(); ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(v.Row(y));
        for (int32_t x = 0; x < v.GetWidth(); ++x) {
            const uint32_t alpha = (x + y + seed) % 5 == 0 ? 0 : 0xFF;
            row[x] = (alpha << 24) | (uint32_t(x * 3 + seed) & 0xFF) << 16 |
                     (uint32_t(y * 5) & 0xFF) << 8 | ((x ^ y) & 0xFF);
        }
    }
}

// The painting with every block: layers, colour, a tool with a size and a
// stroke number, the paper and its lights, tracing settings and image.
bool ProjectSeed(const fs::path& folder) {
    fuzz::CPaintingWorld world;
    if (!world.Ready()) {
        return false;
    }
    CCanvas* canvas = world.Backbone().Canvas();
    for (int32_t i = 0; i < 4; ++i) {
        Pattern(*canvas->Layer(i), uint32_t(i) * 40);
    }
    int32_t pick = 1, fit = 2;
    auto tracing = std::make_unique<CImage>(37, 23);
    Pattern(*tracing, 7);
    const bool set = world.Set(eMsgPaintColour, 0x80C04020u) == 0 &&
                     world.Set(eCmdSelectTool, eToolChalk) == 0 && world.Backbone().CurrentTool() &&
                     world.Backbone().CurrentTool()->SetToolSize(17) == eNoError &&
                     world.Set(eCmdTracingMode, 0) == 0 &&
                     world.Set(eCmdTracingSetting2, ChannelValueOf(&pick)) == 0 &&
                     world.Set(eCmdTracingSetting3, ChannelValueOf(&fit)) == 0 &&
                     world.Set(eCmdTracingImage, ChannelValueOf(tracing.get())) == 0;
    if (!set) {
        return false;
    }
    (void)tracing.release(); // the canvas owns it now
    world.Backbone().CurrentTool()->SetStrokeNum(5);
    canvas->SetPaperColour(0xFFE0D0C0u);
    canvas->SetGrainRelief(0.75f);
    canvas->SetPaperHighlight(0.125f);
    canvas->SetPaperEnvironment(0.375f);
    if (world.Project(eCmdSaveProject, "seed.ptg") != 0) {
        return false;
    }
    return Write(folder / "painting-100x100.ptg",
                 fuzz::ReadWholeFile(fuzz::ScratchPosix("seed.ptg")));
}

// Each block as the target takes it: the pick byte, then what follows its
// resource header.
bool BlockSeeds(const fs::path& folder, const fuzz::Bytes& file,
                const std::vector<fuzz::SResBlock>& blocks) {
    for (size_t i = 0; i < blocks.size(); ++i) {
        fuzz::Bytes seed = {uint8_t(i)};
        seed.insert(seed.end(), file.begin() + long(blocks[i].Payload()),
                    file.begin() + long(blocks[i].at + 8 + blocks[i].size));
        if (!Write(folder / ("block-" + std::to_string(i)), seed)) {
            return false;
        }
    }
    return !blocks.empty();
}

bool WavSeeds(const fs::path& folder) {
    CApp app; // sounds are sized only with an application object
    for (int32_t bits : {8, 16}) {
        for (int32_t stereo : {0, 1}) {
            CSound sound;
            if (sound.Create(bits, stereo, bits == 8 ? 11025 : 22050, 0) != eNoError ||
                sound.SetSampleCount(300) != eNoError) {
                return false;
            }
            {
                CSoundLock lock(&sound);
                char* s = reinterpret_cast<char*>(lock.Samples());
                const size_t n = size_t(300) * size_t(bits / 8) * size_t(stereo ? 2 : 1);
                for (size_t i = 0; i < n; ++i) {
                    s[i] = char(uint8_t(i * 37 + i / 7));
                }
            }
            const std::string leaf = std::to_string(bits) + (stereo ? "-stereo" : "-mono") + ".wav";
            gCFRef ref(fuzz::ScratchColon(leaf.c_str()));
            gCFile file;
            if (file.Open(&ref, eAccessWholeNew) != eNoError ||
                CSoundIO::WriteWAV(file, sound) != eNoError || file.Close() != eNoError ||
                !Write(folder / leaf, fuzz::ReadWholeFile(fuzz::ScratchPosix(leaf.c_str())))) {
                return false;
            }
        }
    }
    return true;
}

bool ImageSeeds(const fs::path& folder) {
    CImage image(23, 17);
    Pattern(image, 3);
    CImage8 grey(19, 11);
    CImNav8 g(&grey);
    for (int32_t y = 0; y < g.GetHeight(); ++y) {
        for (int32_t x = 0; x < g.GetWidth(); ++x) {
            g.Row(y)[x] = uint8_t(x * 13 + y);
        }
    }
    const struct {
        uint32_t type;
        const char* name;
    } kinds[] = {{gCImageIO::kBMP, "bmp"}, {gCImageIO::kJPEG, "jpg"}, {gCImageIO::kPNG, "png"}};
    for (const auto& kind : kinds) {
        for (int grey8 = 0; grey8 < 2; ++grey8) {
            gCMemFile out;
            const error e = grey8 ? gCImageIO::WriteImage(out, grey, kind.type)
                                  : gCImageIO::WriteImage(out, image, kind.type);
            if (e != eNoError) {
                return false;
            }
            const unsigned char* d = out.GetMemBlock()->GetData();
            if (!Write(folder / (std::string(grey8 ? "grey." : "colour.") + kind.name),
                       fuzz::Bytes(d, d + out.GetSize()))) {
                return false;
            }
        }
    }
    return true;
}

// A frame's header as the pipe writes it.
fuzz::Bytes Header(uint32_t id, uint32_t length) {
    fuzz::Bytes header(kFrameHeaderBytes);
    WriteFrameHeader(header.data(), id, length);
    return header;
}

// The header, then a payload of that length.
fuzz::Bytes Frame(uint32_t id, uint32_t length) {
    fuzz::Bytes frame = Header(id, length);
    for (uint32_t i = 0; i < length; ++i) {
        frame.push_back(uint8_t(i * 31 + id));
    }
    return frame;
}

fuzz::Bytes Joined(std::initializer_list<fuzz::Bytes> frames) {
    fuzz::Bytes stream;
    for (const fuzz::Bytes& frame : frames) {
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

// The streams a peer may send, each after the target's pick byte: its
// pieces are pick * 257 + 1 bytes, so 0 feeds a byte at a time (every cut
// through a header), 1 and 7 cut headers and payloads at 258 and 1,800
// bytes, and 255 feeds the whole stream at once. A payload past 2,048 bytes
// grows the reader's room and gives it back after delivery; the large one
// fills most of what the target is given. Two streams end refused: a wrong
// marker after a whole frame, and a length one byte over the target's
// limit of 1 MiB.
bool DataPipeSeeds(const fs::path& folder) {
    fuzz::Bytes badMarker = Frame(9, 5);
    badMarker[8] ^= 0x01; // the second marker
    const struct {
        const char* name;
        fuzz::Bytes stream;
    } streams[] = {
        {"one", Frame(1, 37)},
        {"empty", Frame(2, 0)},
        {"several", Joined({Frame(3, 37), Frame(4, 0), Frame(5, 3000), Frame(6, 1)})},
        {"large", Frame(7, 60000)},
        {"wrong-marker", Joined({Frame(8, 11), badMarker})},
        {"too-long", Header(10, (1u << 20) + 1)},
    };
    for (const auto& s : streams) {
        for (uint8_t pick : {0, 1, 7, 255}) {
            fuzz::Bytes seed = {pick};
            seed.insert(seed.end(), s.stream.begin(), s.stream.end());
            if (!Write(folder / (std::string(s.name) + "-" + std::to_string(pick)), seed)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

// The preferences file as a backdrop without a backbone writes it at quit
// (every query answers nothing, so each value is the writer's own start),
// whole and cut after its third record.
bool PrefsSeeds(const fs::path& folder) {
    const fs::path config = folder / "config";
    if (::setenv("XDG_CONFIG_HOME", config.c_str(), 1) != 0) {
        return false;
    }
    {
        CSMKBackdrop backdrop;
        if (backdrop.WritePersistency() != eNoError) {
            return false;
        }
    }
    ::unsetenv("XDG_CONFIG_HOME");
    fuzz::Bytes whole = fuzz::ReadWholeFile((config / "daublin" / "Daublin.prs").string());
    fs::remove_all(config);
    if (whole.size() != 272) {
        return false;
    }
    const fuzz::Bytes cut(whole.begin(), whole.begin() + 48);
    return Write(folder / "Daublin.prs", whole) && Write(folder / "cut.prs", cut);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    fuzz::UseHeadlessDrivers();
    RegisterPaintTools();
    (void)fuzz::WidgetAndListTags();
    const fs::path root = argv[1];
    const fuzz::Bytes& built = fuzz::BuiltResourceFile();
    fuzz::Bytes table = fuzz::ReadWholeFile(fuzz::BuiltStringTablePath());
    const struct {
        const char* what;
        bool done;
    } steps[] = {
        {"project", ProjectSeed(root / "project")},
        {"resource blocks",
         BlockSeeds(root / "resource_blocks", fuzz::WidgetBase(),
                    fuzz::BlocksTagged(fuzz::WidgetBase(), fuzz::WidgetAndListTags()))},
        {"font blocks",
         BlockSeeds(root / "font_block", built, fuzz::BlocksTagged(built, {kResFontTag}))},
        {"string table", !table.empty() && Write(root / "string_table" / "system.vsf", table)},
        {"wav", WavSeeds(root / "wav_read")},
        {"images", ImageSeeds(root / "image_read")},
        {"preferences", PrefsSeeds(root / "prefs_read")},
        {"data pipe", DataPipeSeeds(root / "data_pipe")},
    };
    int failed = 0;
    for (const auto& step : steps) {
        if (!step.done) {
            std::fprintf(stderr, "fuzz_seeds: the %s seeds could not be made\n", step.what);
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
