// The captioned image widget: its one child for life, the forwarding of the
// text settings to the caption, and its loading from blocks.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Utf8.h"
#include "imaging/Image.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "text/TxImWidget.h"
#include "text/tests/WidgetFileFixture.h"

namespace {

gCString Units(const std::string& utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError);
    return s;
}

// Counts its layouts and the redraws that reach it (the caption's too).
class CCountingTxImWidget : public CTxImWidget {
public:
    error RecalcSizePosition(int32_t redraw) override {
        ++m_nLayouts;
        return CTxImWidget::RecalcSizePosition(redraw);
    }
    error PassRedraw() override {
        ++m_nRedraws;
        return CTxImWidget::PassRedraw();
    }
    int32_t m_nLayouts = 0;
    int32_t m_nRedraws = 0;
};

class TxImWidgetTest : public WidgetFileFixture {
protected:
    // A 13-pixel DejaVu Sans caption with that text on a flat image.
    template <class W = CTxImWidget>
    std::unique_ptr<W> Captioned(const std::string& text, int32_t width = 100,
                                 int32_t height = 30) {
        auto widget = std::make_unique<W>();
        EXPECT_EQ(widget->SetImage(new CImage(width, height), 1, 0), eNoError);
        EXPECT_EQ(widget->SetFontName(Units("DejaVu Sans"), 0, 0), eNoError);
        EXPECT_EQ(widget->SetFontPixelHeight(13, 0, 0), eNoError);
        EXPECT_EQ(widget->SetText(Units(text), 1, 0), eNoError);
        return widget;
    }
};

} // namespace

TEST_F(TxImWidgetTest, TheCaptionIsTheOneChildForLife) {
    auto widget = Captioned("OK");
    EXPECT_EQ(widget->TypeID(), kTxImWidgetTypeID);
    CTxWidget* caption = &widget->Caption();
    ASSERT_EQ(widget->ChildCount(), 1);
    EXPECT_EQ(widget->Child(0), caption);
    EXPECT_EQ(caption->AutoSizeImage(), 1);
    EXPECT_EQ(caption->Visible(), 1);

    // Another widget is not taken; the caller keeps it.
    CWidget other;
    EXPECT_EQ(widget->AddChild(&other, 0), eNoError);
    EXPECT_EQ(widget->ChildCount(), 1);
    EXPECT_EQ(other.Parent(), nullptr);

    // Every removal leaves the caption in place (ASan sees a delete).
    caption->SetResName(Units("Caption"));
    caption->SetResID(77);
    EXPECT_EQ(widget->RemoveChild(0, 0), eBadParameter);
    EXPECT_EQ(widget->RemoveChild(caption, 0), eBadParameter);
    EXPECT_EQ(widget->RemoveChildByName(Units("Caption"), 0), eBadParameter);
    EXPECT_EQ(widget->RemoveChildByID(77, 0), eBadParameter);
    EXPECT_EQ(widget->RemoveChildren(0), eNoError);
    widget->DestroyChildren();
    EXPECT_EQ(widget->RemoveChild(1, 0), eBadParameter);
    ASSERT_EQ(widget->ChildCount(), 1);
    EXPECT_EQ(widget->Child(0), caption);
    EXPECT_EQ(caption->Parent(), widget.get());
    EXPECT_EQ(widget->String().GetLength(), 2);
}

TEST_F(TxImWidgetTest, TheCaptionIsCentredOnTheImage) {
    auto widget = Captioned("OK");
    ASSERT_EQ(widget->Width(), 100);
    ASSERT_EQ(widget->Height(), 30);
    const CTxWidget& caption = widget->Caption();
    ASSERT_GT(caption.Width(), 10);
    ASSERT_LT(caption.Width(), 100);
    const gCRect r = caption.Rect();
    EXPECT_LE(std::abs(r.left - (100 - r.right)), 1) << r.left << " " << r.right;
    EXPECT_LE(std::abs(r.top - (30 - r.bottom)), 1) << r.top << " " << r.bottom;
}

TEST_F(TxImWidgetTest, TextWithoutATextAndTheFirstAdvance) {
    CTxImWidget widget;
    EXPECT_EQ(widget.String().GetLength(), 0);
    EXPECT_EQ(widget.Text(), nullptr);
    ASSERT_EQ(widget.Caption().Image(), nullptr);
    // Without a list there is nothing to advance to, but the caption has
    // its 4 x 4 mask by then.
    EXPECT_EQ(widget.AdvanceText(1, 0), eBadParameter);
    ASSERT_NE(widget.Caption().Image(), nullptr);
    EXPECT_EQ(widget.Caption().Image()->GetWidth(), 4);
    EXPECT_EQ(widget.Caption().Image()->GetHeight(), 4);
}

TEST_F(TxImWidgetTest, StylesRenderTheCaptionAndScalesNeverLayOut) {
    auto widget = Captioned<CCountingTxImWidget>("Styled");
    // What one render of the caption that redraws at once passes up.
    widget->m_nRedraws = 0;
    ASSERT_EQ(widget->Caption().SetTextUnderline(0, 1, 1), eNoError);
    const int32_t perRender = widget->m_nRedraws;
    ASSERT_GT(perRender, 0);
    widget->m_nLayouts = widget->m_nRedraws = 0;
    ASSERT_EQ(widget->SetTextFace(1, 1, 0, 0, 0), eNoError);
    EXPECT_EQ(widget->m_nRedraws, 3 * perRender); // one caption render per flag
    EXPECT_EQ(widget->m_nLayouts, 0);
    EXPECT_EQ(widget->Caption().Bold(), 1);
    EXPECT_EQ(widget->Caption().Italic(), 1);

    widget->m_nLayouts = widget->m_nRedraws = 0;
    ASSERT_EQ(widget->SetTextFace(0, 0, 1, 1, 1), eNoError);
    EXPECT_EQ(widget->m_nLayouts, 1);
    EXPECT_GT(widget->m_nRedraws, 3 * perRender); // and the widget's own

    widget->m_nLayouts = widget->m_nRedraws = 0;
    const int32_t before = widget->Caption().Width();
    ASSERT_EQ(widget->SetKerningScale(0.8f, 1, 1), eNoError);
    EXPECT_EQ(widget->KerningScale(), 0.8f);
    EXPECT_LT(widget->Caption().Width(), before); // rendered again, tighter
    EXPECT_EQ(widget->m_nLayouts, 0);

    // A value setter with resize lays the widget out once.
    widget->m_nLayouts = 0;
    ASSERT_EQ(widget->SetFontPixelHeight(15, 1, 0), eNoError);
    EXPECT_EQ(widget->m_nLayouts, 1);
    EXPECT_EQ(widget->FontPixelHeight(), 15);
    ASSERT_EQ(widget->SetTextColour(CPixel(0xFFECE6DAu), 0), eNoError);
    EXPECT_EQ(widget->TextColour(), CPixel(0xFFECE6DAu));
}

TEST_F(TxImWidgetTest, LoadsImagesAndTextsButNoChildren) {
    Write({ImageBlock(1, "Plate", 100, 30), ImageBlock(2, "Other", 7, 5),
           WriterBlock("imlt", 3, "Others",
                       WriterInt32(0) + WriterInt32(1) + WriterUnits("Other") +
                           std::string("\n\0\r\0", 4)),
           TextListBlock(4, "Words", 0, {{"Yes", 1}, {"No", 2}}),
           WidgetBlock("wdgt", 5, "Child", CWidgetChunks().Int("vsbl", 1)),
           WidgetBlock("tiwg", 10, "Button",
                       CWidgetChunks()
                           .String("imls", "Others")
                           .String("imag", "Plate")
                           .Int("stim", 1)
                           .String("font", "DejaVu Sans")
                           .Real("fsiz", -11.5f)
                           .Real("fsiz", 11.5f)
                           .String("fjst", "left")
                           .String("txls", "Words")
                           .Int("txlx", 1)
                           .Hier({{"Child", "wdgt"}})),
           WidgetBlock("tiwg", 11, "Lost", CWidgetChunks().String("txls", "Nowhere")),
           WidgetBlock("tiwg", 12, "Wrapped", CWidgetChunks().Int("txwr", 1))});
    std::unique_ptr<CTxImWidget> button(
        CTxImWidget::CreateFromRes(Units("Button"), nullptr, nullptr));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->Image(), nullptr);
    EXPECT_EQ(button->Image()->GetWidth(), 100); // the image, not the list
    EXPECT_EQ(button->Width(), 100);
    EXPECT_EQ(button->FontPixelHeight(), 12);
    EXPECT_EQ(gStringToUtf8(button->String()), "No");
    EXPECT_EQ(button->ChildCount(), 1);
    EXPECT_EQ(button->Child(0), &button->Caption());
    EXPECT_TRUE(m_Services.m_Alerts.empty()) << Details().size();

    // A missing list is shown and the widget still loads.
    std::unique_ptr<CTxImWidget> lost(CTxImWidget::CreateFromRes(11, nullptr, nullptr));
    EXPECT_NE(lost, nullptr);
    EXPECT_EQ(Details(), (std::vector<std::string>{"TxImWidget text list failed."}));
    m_Services.m_Alerts.clear();

    // Word wrap is no chunk of this class.
    EXPECT_EQ(CTxImWidget::CreateFromRes(12, nullptr, nullptr), nullptr);
    ASSERT_FALSE(Details().empty());
    EXPECT_EQ(Details()[0], "Unrecognised chunk in widget.");
}
