// Where the picture lies on the page, and the page read back with poppler's
// tools: size, title, one lossless image at full resolution, the picture
// where it belongs, the title centred above it in DejaVu Sans.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FileIO/gCFRef.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/PrintManager.h"
#include "paint/detail/PrintPage.h"
#include "paint/tests/PrintStubs.h"

// fontconfig, which cairo asks for the title's font, keeps its parsed
// configuration and the patterns cairo caches in blocks that it reaches
// through offsets rather than pointers, so the leak checker takes them for
// lost at exit; that memory is the library's, held for the whole process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

struct GeometryCase {
    int32_t pw, ph, iw, ih;
    gCRect expected;
};

TEST(PrintGeometry, NinetyPercentOfTheLargestFitCentred) {
    const GeometryCase cases[] = {
        {500, 700, 1000, 400, {25, 260, 475, 440}}, {595, 842, 2000, 1500, {29, 220, 566, 622}},
        {842, 595, 1000, 400, {42, 145, 800, 450}}, {612, 792, 100, 5000, {298, 39, 314, 753}},
        {595, 842, 5000, 100, {29, 415, 566, 427}},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.pw) + " x " + std::to_string(c.ph) + " with " +
                     std::to_string(c.iw) + " x " + std::to_string(c.ih));
        EXPECT_EQ(PrintImageRect(c.pw, c.ph, c.iw, c.ih), c.expected);
    }
    EXPECT_TRUE(PrintImageRect(500, 700, 0, 400).IsEmpty());
}

// 4 x 2 flat blocks of 250 x 200, left to right, top row first.
constexpr uint32_t kBlocks[8] = {0xFFD62828, 0xFF1D7A38, 0xFF2A4BD7, 0xFFF2C14E,
                                 0xFF7B2CBF, 0xFF00A6A6, 0xFF101010, 0xFFE76F51};

uint32_t BlockAt(int32_t x, int32_t y) {
    return kBlocks[(y / 200) * 4 + x / 250];
}

class PrintPage : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        ASSERT_EQ(image.Create(1000, 400), eNoError);
        CImNav v(&image);
        for (int32_t y = 0; y < 400; ++y) {
            for (int32_t x = 0; x < 1000; ++x) {
                v.Row(y)[x] = BlockAt(x, y);
            }
        }
    }
    // The page drawn and written to the volume as name.
    void Draw(const sPageSetup& setup, const std::string& name) {
        std::string pdf, why;
        ASSERT_EQ(DrawPrintPage(setup, kTitle, image, pdf, why), eNoError) << why;
        WriteFileBytes(Posix(name), pdf);
    }
    // A PNG that a poppler tool wrote, read back.
    void ReadPng(const std::string& name, CImage& read) {
        gCFRef ref(S(("HD:" + name).c_str()));
        ASSERT_EQ(gCImageIO::ReadImage(ref, read), eNoError) << name;
    }

    static constexpr const char* kTitle = "\xC3\x89tude \xE2\x84\x96"
                                          "2"; // "Étude №2"
    CImage image;
};

TEST_F(PrintPage, ReadBackWithPopplersTools) {
    Draw({{"Test", 536, 736}, false}, "page.pdf");
    const std::string pdf = Posix("page.pdf");
    EXPECT_EQ(PdfField(pdf, "Pages"), "1");
    EXPECT_EQ(PdfField(pdf, "Page size"), "536 x 736 pts");
    EXPECT_EQ(PdfField(pdf, "Title"), kTitle);

    // One image of the composite's size, its colours exactly.
    const std::string list = Poppler("pdfimages", {"-list", pdf});
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 3) << list; // two heading lines
    EXPECT_NE(list.find(" 1000   400  rgb "), std::string::npos) << list;
    Poppler("pdfimages", {"-png", pdf, Posix("image")});
    CImage stored;
    ReadPng("image-000.png", stored);
    ASSERT_EQ(stored.GetWidth(), 1000);
    ASSERT_EQ(stored.GetHeight(), 400);
    {
        CImNav v(&stored);
        int32_t wrong = 0;
        for (int32_t y = 0; y < 400; ++y) {
            for (int32_t x = 0; x < 1000; ++x) {
                wrong += (uint32_t(v.Row(y)[x]) | 0xFF000000u) != BlockAt(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    // The title: its middle on the half page, above the picture.
    const std::string words = Poppler("pdftotext", {"-bbox", pdf, "-"});
    double left = 1e9, right = -1e9, bottom = 0;
    int32_t found = 0;
    for (size_t at = words.find("<word "); at != std::string::npos;
         at = words.find("<word ", at + 1)) {
        const auto field = [&](const char* name) {
            return std::atof(words.c_str() + words.find(name, at) + std::strlen(name) + 2);
        };
        left = std::min(left, field("xMin"));
        right = std::max(right, field("xMax"));
        bottom = std::max(bottom, field("yMax"));
        ++found;
    }
    ASSERT_EQ(found, 2) << words;
    EXPECT_NEAR((left + right) / 2, 268.0, 1.0) << words;
    EXPECT_LT(bottom, 278.0);
    const std::string fonts = Poppler("pdffonts", {pdf});
    EXPECT_NE(fonts.find("DejaVuSans "), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find(" no  "), std::string::npos) << "every font embedded\n" << fonts;

    // The rendered page: each block's colour at its centre, white around
    // the picture's rectangle (43, 278)-(493, 458) but for the title.
    Poppler("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, Posix("shot")});
    // Kept beside the goldens' pictures to look at.
    std::filesystem::create_directories(DAUBLIN_GOLDEN_OUTPUT);
    std::filesystem::copy_file(Posix("shot.png"), DAUBLIN_GOLDEN_OUTPUT "/printed-page.png",
                               std::filesystem::copy_options::overwrite_existing);
    CImage shot;
    ReadPng("shot.png", shot);
    ASSERT_EQ(shot.GetWidth(), 536);
    ASSERT_EQ(shot.GetHeight(), 736);
    CImNav v(&shot);
    const auto at = [&](double x, double y) {
        return uint32_t(v.Row(int32_t(y))[int32_t(x)]) | 0xFF000000u;
    };
    for (int32_t b = 0; b < 8; ++b) {
        // Blocks of 112.5 x 90 points from (43, 278).
        const double cx = 43 + 112.5 * (b % 4) + 56.25, cy = 278 + 90 * (b / 4) + 45;
        EXPECT_EQ(at(cx, cy), kBlocks[b]) << "block " << b;
    }
    int32_t notWhite = 0;
    for (int32_t y = 0; y < 736; ++y) {
        for (int32_t x = 0; x < 536; ++x) {
            const bool nearPicture = x >= 42 && x < 494 && y >= 277 && y < 459;
            const bool title = x >= left - 2 && x < right + 2 && y < bottom + 2;
            if (!nearPicture && !title) {
                notWhite += at(x, y) != 0xFFFFFFFFu ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(notWhite, 0);
}

TEST_F(PrintPage, LandscapeSwapsTheSides) {
    Draw({StandardPapers()[0], true}, "landscape.pdf");
    EXPECT_EQ(PdfField(Posix("landscape.pdf"), "Page size"), "842 x 595 pts (A4)");
}

} // namespace
