// Text widgets in a backdrop's tree, composited by the backdrop: light
// labels of two sizes and faces, a centred paragraph wrapped to its width
// and one word in the four orientations, on a dark background. A golden
// picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"
#include "text/TxWidget.h"
#include "text/tests/FontFixture.h"
#include "widgets/Backdrop.h"

namespace {

constexpr uint32_t kInk = 0xFFECE6DAu;
constexpr uint32_t kGround = 0xFF26241Fu;

// A backdrop of one flat colour.
class CFlatBackdrop : public CBackdrop {
public:
    explicit CFlatBackdrop(uint32_t colour) { m_BackgroundColour = CPixel(colour); }
};

class TxWidgetPicture : public FontFixture {
protected:
    // A light DejaVu Sans label at (x, y), shown in the backdrop's tree.
    CTxWidget* Place(const std::string& text, int32_t pixels, int32_t x, int32_t y) {
        auto label = std::make_unique<CTxWidget>();
        gCString family;
        gCString units;
        EXPECT_EQ(family.CopyString(u"DejaVu Sans"), eNoError);
        EXPECT_EQ(gStringFromUtf8(units, text), eNoError);
        EXPECT_EQ(label->SetFontName(family, 0, 0), eNoError);
        EXPECT_EQ(label->SetFontPixelHeight(pixels, 0, 0), eNoError);
        EXPECT_EQ(label->SetClientColour(CPixel(kInk), 0), eNoError);
        EXPECT_EQ(label->SetText(units, 1, 0), eNoError);
        EXPECT_EQ(label->SetPosition(x, y, 0), eNoError);
        EXPECT_EQ(label->SetVisibility(1, 0), eNoError);
        CTxWidget* placed = label.get();
        EXPECT_EQ(m_Root.AddChild(label.release(), 0), eNoError);
        return placed;
    }
    void TearDown() override {
        m_Root.DestroyChildren(); // the labels before the fonts
        FontFixture::TearDown();
    }

    CFlatBackdrop m_Root{kGround};
};

} // namespace

TEST_F(TxWidgetPicture, GoldenLabelsWrappedAndTurned) {
    ASSERT_EQ(m_Root.SetSize(420, 200, 0), eNoError);
    m_Root.CreationComplete();
    Place("Thirteen pixels of DejaVu Sans", 13, 12, 10);
    CTxWidget* bold = Place("Fifteen pixels, bold", 15, 12, 32);
    ASSERT_EQ(bold->SetTextBold(1, 1, 0), eNoError);
    CTxWidget* paragraph = Place("A centred paragraph wrapped at two hundred pixels: each line "
                                 "keeps to the width and the height follows the text.",
                                 13, 12, 64);
    ASSERT_EQ(paragraph->SetJustify(CTextRenderer::eJustifyCentre, 0, 0), eNoError);
    ASSERT_EQ(paragraph->SetWordWrap(1, 0, 0), eNoError);
    ASSERT_EQ(paragraph->SetSize(200, 10, 0), eNoError);
    EXPECT_EQ(paragraph->Width(), 200);
    EXPECT_GT(paragraph->Height(), 3 * 15);
    // One word in each orientation, side by side from x = 240.
    int32_t x = 240;
    for (uint32_t orientation : {0u, 1u, 2u, 3u}) {
        CTxWidget* word = Place("Daublin", 13, x, 12);
        ASSERT_EQ(word->SetOrientation(orientation, 1, 0), eNoError);
        x += word->Width() + 10;
    }

    ASSERT_EQ(m_Root.CompositeArea(gCRect(0, 0, 420, 200)), eNoError);
    CImage& picture = *m_Root.BackBuffer();
    // The ground, and the bold text's stems in the text colour exactly.
    EXPECT_EQ(m_Root.GetColourAtPoint(gCPoint(419, 199)), CPixel(kGround));
    int32_t inked = 0;
    CImNav view(&picture);
    for (int32_t y = bold->Rect().top; y < bold->Rect().bottom; ++y) {
        for (int32_t i = bold->Rect().left; i < bold->Rect().right; ++i) {
            inked += view.Row(y)[i] == CPixel(kInk) ? 1 : 0;
        }
    }
    EXPECT_GT(inked, 50);
    EXPECT_GOLDEN_PNG(picture, "text-widget-labels");
}
