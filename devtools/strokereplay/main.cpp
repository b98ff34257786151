// daublin-strokereplay: one synthetic stroke (a recipe, or a file of
// "t x y q" lines) replayed through the first oil, the second engine's oil
// or both, on a canvas of the given size, paper and starting paint, inside
// one undo record. It writes the lit composite, L0 over white and the paint
// depth of each, the stroke's text, and with both oils the two composites
// side by side.
//
//   daublin-strokereplay [options] OUT_PREFIX
//     --recipe figure8|zigzag100|zigzag80|click|flick|slowdrag|walk:SEED
//     --file PATH          the stroke's lines instead of a recipe
//     --canvas WxH         400x300
//     --paper SEED         the formula paper's seed, 1
//     --paint none|stripes|patch   stripes
//     --size S             the second oil's size 0..1, 0.43
//     --linear S           the first oil's linear size 0..1, 0.3
//     --colour AARRGGBB    FF1838C8
//     --oil new|old|both   new
//
// Exit 0 when every picture was written; 2 for bad arguments or an
// unreadable stroke; 1 when a stroke fails or a file cannot be written.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/paint/StrokeCanvas.h"
#include "testsupport/paint/StrokeRecipes.h"
#include "tools/RegisterPaintTools.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/OilPaintNew.h"

namespace {

struct SOptions {
    std::string recipe = "figure8";
    std::string file;
    int32_t width = 400, height = 300;
    uint32_t paper = 1;
    std::string paint = "stripes";
    float size = 0.43f, linear = 0.3f;
    uint32_t colour = 0xFF1838C8u;
    std::string oil = "new";
    std::string prefix;
};

int Usage(const char* why) {
    std::fprintf(stderr, "daublin-strokereplay: %s\n", why);
    std::fprintf(stderr, "usage: daublin-strokereplay [--recipe R | --file PATH] [--canvas WxH] "
                         "[--paper SEED] [--paint none|stripes|patch] [--size S] [--linear S] "
                         "[--colour AARRGGBB] [--oil new|old|both] OUT_PREFIX\n");
    return 2;
}

bool ParseUnit(const char* text, float& out) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end || !(v >= 0.0 && v <= 1.0)) {
        return false;
    }
    out = float(v);
    return true;
}

bool Parse(int argc, char** argv, SOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg.rfind("--", 0) != 0) {
            if (!o.prefix.empty()) {
                return false;
            }
            o.prefix = arg;
            continue;
        }
        if (!value) {
            return false;
        }
        ++i;
        char* end = nullptr;
        if (arg == "--recipe") {
            o.recipe = value;
        } else if (arg == "--file") {
            o.file = value;
        } else if (arg == "--canvas") {
            int w = 0, h = 0;
            char x = 0, extra = 0;
            if (std::sscanf(value, "%d%c%d%c", &w, &x, &h, &extra) != 3 || x != 'x' || w < 16 ||
                h < 16 || w > 5000 || h > 5000) {
                return false;
            }
            o.width = w;
            o.height = h;
        } else if (arg == "--paper") {
            o.paper = uint32_t(std::strtoul(value, &end, 10));
        } else if (arg == "--paint") {
            o.paint = value;
            if (o.paint != "none" && o.paint != "stripes" && o.paint != "patch") {
                return false;
            }
        } else if (arg == "--size") {
            if (!ParseUnit(value, o.size)) {
                return false;
            }
        } else if (arg == "--linear") {
            if (!ParseUnit(value, o.linear)) {
                return false;
            }
        } else if (arg == "--colour") {
            o.colour = uint32_t(std::strtoul(value, &end, 16));
        } else if (arg == "--oil") {
            o.oil = value;
            if (o.oil != "new" && o.oil != "old" && o.oil != "both") {
                return false;
            }
        } else {
            return false;
        }
        if (end && *end) {
            return false;
        }
    }
    return !o.prefix.empty();
}

// The recipe on a canvas of w x h; empty for an unknown name.
CStroke Recipe(const std::string& name, double w, double h) {
    if (name == "figure8") {
        return StrokeRecipes::FigureEight(int32_t(w * 1.2), w, h);
    }
    if (name == "zigzag100" || name == "zigzag80") {
        return StrokeRecipes::ZigZag(4, w * 0.3, name == "zigzag100" ? 100.0 : 80.0, 2.0, w * 0.2,
                                     h * 0.27, 0.3, 0.9);
    }
    if (name == "click") {
        return StrokeRecipes::Click(w / 2, h / 2, 0.6);
    }
    if (name == "flick") {
        return StrokeRecipes::Flick(w * 0.45, h / 2, 0.7);
    }
    if (name == "slowdrag") {
        return StrokeRecipes::SlowDrag(int32_t(w * 0.4), w * 0.3, h / 2, 0.5);
    }
    if (name.rfind("walk:", 0) == 0) {
        return StrokeRecipes::RandomWalk(uint32_t(std::strtoul(name.c_str() + 5, nullptr, 10)), 60,
                                         w, h);
    }
    return {};
}

void PaintStart(CStrokeCanvas& canvas, const std::string& paint) {
    if (paint == "stripes") {
        canvas.PaintStripes(12, {0xFFD02818u, 0xFFE8C020u, 0xFF30A040u}, 400);
    } else if (paint == "patch") {
        const int32_t w = canvas.Width(), h = canvas.Height();
        canvas.PaintPatch(gCRect(w / 4, h / 4, w * 3 / 4, h * 3 / 4), 0xFFD02818u, 2000);
    }
}

// One oil's stroke on a fresh canvas; its composite into `composite`.
bool Replay(const SOptions& o, const CStroke& stroke, bool second, CImage& composite) {
    CFakeClock clock;
    CStrokeCanvas canvas(o.width, o.height, o.paper);
    if (!canvas.IsReady()) {
        std::fprintf(stderr, "daublin-strokereplay: the canvas cannot be made\n");
        return false;
    }
    PaintStart(canvas, o.paint);
    canvas.SetColour(o.colour);
    error e;
    if (second) {
        COilPaintNew oil;
        e = oil.SetupTool();
        if (e == eNoError) {
            e = oil.SetToolSize(o.size);
        }
        if (e == eNoError) {
            e = canvas.Run(oil, stroke);
        }
    } else {
        COilPaint oil;
        e = oil.SetupTool();
        oil.SetType(0);
        oil.SetToolLinearSize(o.linear);
        if (e == eNoError) {
            e = canvas.Run(oil, stroke);
        }
    }
    if (e != eNoError) {
        std::fprintf(stderr, "daublin-strokereplay: the stroke failed with %d\n", int(e));
        return false;
    }
    const std::filesystem::path prefix(o.prefix);
    const std::string name = prefix.filename().string() + (second ? "-new" : "-old");
    const std::string folder = prefix.has_parent_path() ? prefix.parent_path().string() : ".";
    if (!canvas.WriteStrokePictures(name, folder)) {
        std::fprintf(stderr, "daublin-strokereplay: cannot write the pictures of %s\n",
                     name.c_str());
        return false;
    }
    CImage& relit = canvas.Relit();
    CImNav from(&relit), to(&composite);
    for (int32_t y = 0; y < o.height; ++y) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(from.GetData()) +
                              size_t(y) * size_t(from.GetStride());
        uint32_t* dst = reinterpret_cast<uint32_t*>(to.GetData()) +
                        size_t(y) * size_t(to.GetStride()) + size_t(second ? o.width + 8 : 0);
        std::copy_n(src, size_t(o.width), dst);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    SOptions o;
    if (!Parse(argc, argv, o)) {
        return Usage("bad arguments");
    }
    CStroke stroke;
    if (!o.file.empty()) {
        std::ifstream in(o.file);
        std::stringstream text;
        text << in.rdbuf();
        int32_t bad = 0;
        if (!in || !StrokeRecipes::FromText(text.str(), stroke, bad) || stroke.empty()) {
            std::fprintf(stderr, "daublin-strokereplay: %s: no stroke (line %d)\n", o.file.c_str(),
                         int(bad));
            return 2;
        }
    } else {
        stroke = Recipe(o.recipe, double(o.width), double(o.height));
        if (stroke.empty()) {
            return Usage("unknown recipe");
        }
    }
    RegisterPaintTools();
    const bool both = o.oil == "both";
    CImage sideBySide(both ? o.width * 2 + 8 : o.width, o.height);
    {
        CImNav all(&sideBySide);
        for (int32_t y = 0; y < sideBySide.GetHeight(); ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(all.GetData()) +
                            size_t(y) * size_t(all.GetStride());
            std::fill_n(row, size_t(sideBySide.GetWidth()), 0xFFFFFFFFu);
        }
    }
    if ((o.oil != "new" && !Replay(o, stroke, false, sideBySide)) ||
        (o.oil != "old" && !Replay(o, stroke, true, sideBySide))) {
        return 1;
    }
    std::ofstream text(o.prefix + ".txt");
    text << StrokeRecipes::ToText(stroke);
    if (!text || (both && !WritePicturePng(sideBySide, o.prefix + "-both.png"))) {
        std::fprintf(stderr, "daublin-strokereplay: cannot write %s\n", o.prefix.c_str());
        return 1;
    }
    return 0;
}
