// daublin-fontsheet: a sample sheet of the interface fonts as the program
// draws them, from a built system.vrf, for a person to look at.
//
//   daublin-fontsheet <system.vrf> <sheet.png>
//
// Each embedded face at several sizes, the three justifications, a wrapped
// paragraph, an 8-bit mask and coloured text, on the interface's backdrop
// colour. Exits non-zero, saying why, when a font does not load or the
// picture cannot be written.

#include <cstdio>
#include <string>
#include <vector>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/rc/ToolServices.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageIO.h"
#include "text/Font.h"
#include "text/TextRenderer.h"

namespace {

// What the font manager needs of an application: the font file with its
// index and the font pool. Alerts go to stderr.
class CSheetServices final : public CToolServices {
public:
    CSheetServices() {
        m_pFontFile = &m_FontFile;
        m_pFontIndex = &m_FontIndex;
    }
    void ShowAlert(std::string_view headline, std::string_view text) override {
        std::fprintf(stderr, "%.*s %.*s\n", int(headline.size()), headline.data(), int(text.size()),
                     text.data());
    }

    gCFile m_FontFile;
    gCResourceIndex m_FontIndex;
};

constexpr uint32_t kBackdrop = 0xFF26241F;
constexpr uint32_t kText = 0xFFECE6DA;
constexpr uint32_t kSecondary = 0xFFA39C90;
constexpr uint32_t kAccent = 0xFFE39B45;
constexpr uint32_t kWarning = 0xFFD9624B;
constexpr uint32_t kHairline = 0xFF45423B;

gCString Text(const char16_t* units) {
    gCString s;
    (void)s.CopyString(units); // an empty text draws nothing
    return s;
}

// The sheet and where the next line goes.
class CSheet {
public:
    CSheet(int32_t width, int32_t height) : m_Image(width, height, 0) {
        CImNav view(&m_Image);
        view.Fill(kBackdrop);
    }

    // Draws the text into a layer of its own and lays it over the sheet at
    // (x, y); the layer's coverage is the text's alpha.
    bool Draw(CTextRenderer renderer, const char16_t* text, int32_t x, int32_t y, int32_t width,
              int32_t height) {
        CImage layer(width, height, 0);
        if (renderer.RenderText(Text(text), &layer, 0) != eNoError) {
            return false;
        }
        Over(layer, x, y);
        return true;
    }

    // An 8-bit mask shown as it is: coverage as grey.
    void Mask(CImage8& mask, int32_t x, int32_t y) {
        CImNav8 source(&mask);
        CImNav target(&m_Image);
        for (int32_t r = 0; r < source.GetHeight() && y + r < target.GetHeight(); ++r) {
            for (int32_t c = 0; c < source.GetWidth() && x + c < target.GetWidth(); ++c) {
                const uint32_t v = source.Row(r)[c];
                target.Row(y + r)[x + c] = 0xFF000000u | (v << 16) | (v << 8) | v;
            }
        }
    }

    void Frame(int32_t x, int32_t y, int32_t width, int32_t height) {
        CImNav target(&m_Image);
        for (int32_t c = x; c < x + width; ++c) {
            target.Row(y)[c] = kHairline;
            target.Row(y + height - 1)[c] = kHairline;
        }
        for (int32_t r = y; r < y + height; ++r) {
            target.Row(r)[x] = kHairline;
            target.Row(r)[x + width - 1] = kHairline;
        }
    }

    CImage& Image() { return m_Image; }

private:
    void Over(CImage& layer, int32_t x, int32_t y) {
        CImNav source(&layer);
        CImNav target(&m_Image);
        for (int32_t r = 0; r < source.GetHeight() && y + r < target.GetHeight(); ++r) {
            for (int32_t c = 0; c < source.GetWidth() && x + c < target.GetWidth(); ++c) {
                const CPixel p = source.Row(r)[c];
                CPixel& d = target.Row(y + r)[x + c];
                d.AlphaBlend255(int32_t(uint32_t(p) >> 24), CPixel(uint32_t(p) | 0xFF000000u));
            }
        }
    }

    CImage m_Image;
};

CTextRenderer Renderer(const char16_t* family, int32_t pixels, uint32_t colour) {
    CTextRenderer renderer;
    renderer.m_sFontName = Text(family);
    renderer.m_nPixelHeight = pixels;
    renderer.m_nColour = colour;
    return renderer;
}

struct SFace {
    const char16_t* family;
    int32_t bold;
    int32_t italic;
    const char16_t* label;
};

bool DrawSheet(CSheet& sheet) {
    const SFace faces[] = {
        {u"DejaVu Sans", 0, 0, u"DejaVu Sans"},
        {u"DejaVu Sans", 1, 0, u"DejaVu Sans Bold"},
        {u"DejaVu Sans", 0, 1, u"DejaVu Sans Italic"},
        {u"DejaVu Sans", 1, 1, u"DejaVu Sans Bold Italic"},
        {u"DejaVu Sans Mono", 0, 0, u"DejaVu Sans Mono"},
    };
    const int32_t sizes[] = {10, 12, 13, 15, 20};
    int32_t y = 12;
    for (const SFace& face : faces) {
        if (!sheet.Draw(Renderer(u"DejaVu Sans", 12, kSecondary), face.label, 16, y, 300, 18)) {
            return false;
        }
        y += 18;
        for (int32_t size : sizes) {
            CTextRenderer renderer = Renderer(face.family, size, kText);
            renderer.m_fBold = face.bold;
            renderer.m_fItalic = face.italic;
            if (!sheet.Draw(renderer,
                            u"Oil, chalk & pencil \u2014 Zoom 100% \u00E9\u00E8 0123456789", 24, y,
                            600, size * 3 / 2)) {
                std::fprintf(stderr, "cannot draw %d pixels\n", int(size));
                return false;
            }
            y += size * 3 / 2 + 2;
        }
        y += 8;
    }

    // The three justifications in one box each.
    const CTextRenderer::EJustify justifications[] = {
        CTextRenderer::eJustifyLeft, CTextRenderer::eJustifyCentre, CTextRenderer::eJustifyRight};
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t x = 16 + i * 200;
        sheet.Frame(x, y, 190, 24);
        CTextRenderer renderer = Renderer(u"DejaVu Sans", 13, kText);
        renderer.m_eJustify = justifications[i];
        renderer.m_rYOffset = 2.0f;
        if (!sheet.Draw(renderer,
                        i == 0   ? u"Left"
                        : i == 1 ? u"Centre"
                                 : u"Right",
                        x + 1, y + 1, 188, 22)) {
            return false;
        }
    }
    y += 36;

    // A wrapped paragraph.
    sheet.Frame(16, y, 302, 122);
    CTextRenderer paragraph = Renderer(u"DejaVu Sans", 13, kText);
    paragraph.m_fWordWrap = 1;
    paragraph.m_rLineSpaceScale = 1.1f;
    if (!sheet.Draw(paragraph,
                    u"Oil paint and the palette knife pick up and smear the paint already on "
                    u"the canvas; chalk and crayon catch on the grain of the paper.\rA new line "
                    u"starts here, and a very-long-hyphenated-word-that-must-break-somewhere "
                    u"ends it.",
                    17, y + 1, 300, 120)) {
        return false;
    }

    // The same paragraph as an 8-bit mask.
    CImage8 mask(300, 120);
    CTextRenderer maskRenderer = paragraph;
    maskRenderer.m_rLineSpaceScale = 1.1f;
    if (maskRenderer.RenderText(Text(u"A mask: coverage as grey, 13 pixels, wrapped within "
                                     u"three hundred pixels of width."),
                                &mask, 0) != eNoError) {
        return false;
    }
    sheet.Mask(mask, 330, y + 1);
    y += 134;

    // Coloured text.
    const uint32_t colours[] = {kText, kSecondary, kAccent, kWarning, 0xFF6A655C};
    for (int32_t i = 0; i < 5; ++i) {
        CTextRenderer renderer = Renderer(u"DejaVu Sans", 15, colours[i]);
        renderer.m_fBold = 1;
        if (!sheet.Draw(renderer, u"Colour", 16 + i * 90, y, 90, 24)) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: daublin-fontsheet <system.vrf> <sheet.png>\n");
        return 2;
    }
    CSheetServices services;
    CAppServices::Register(&services);
    int result = 1;
    if (OpenPosixFile(services.m_FontFile, argv[1], eAccessReadOnly) != eNoError ||
        services.m_FontIndex.SetupIndex(&services.m_FontFile) != eNoError) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
    } else if (gCFont::InitializeManager() != eNoError) {
        std::fprintf(stderr, "FreeType cannot start\n");
    } else {
        CTextRenderer::BuildGammaLUT(1.0f);
        {
            CSheet sheet(640, 940);
            gCFile out;
            if (!DrawSheet(sheet)) {
                std::fprintf(stderr, "a font of %s does not draw\n", argv[1]);
            } else if (OpenPosixFile(out, argv[2], eAccessWholeNew) != eNoError) {
                std::fprintf(stderr, "cannot write %s\n", argv[2]);
            } else if (gCImageIO::WriteImage(out, sheet.Image(), gCImageIO::kPNG) != eNoError ||
                       out.Close() != eNoError) {
                out.Discard(); // the previous sheet, if any, stays
                std::fprintf(stderr, "cannot write %s\n", argv[2]);
            } else {
                result = 0;
            }
        }
        services.EmptyPools();
        gCFont::ShutDownManager();
    }
    CAppServices::Register(nullptr);
    return result;
}
