// The text widget: its gamma choice, the text turned into the mask, empty
// texts, text lists, and its chunks loaded from blocks of the block writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/CResourcePool.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image8.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "text/TxWidget.h"
#include "text/detail/TextChunks.h"
#include "text/tests/WidgetFileFixture.h"
#include "widgets/WidgetConstructor.h"

namespace {

gCString Units(const std::string& utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError);
    return s;
}

std::string U8(const gCString& s) {
    return gStringToUtf8(s);
}

std::vector<uint8_t> Bytes(CImage8& image) {
    std::vector<uint8_t> out;
    CImNav8 view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        out.insert(out.end(), view.Row(y), view.Row(y) + view.GetWidth());
    }
    return out;
}

class TxWidgetTest : public WidgetFileFixture {
protected:
    // A widget with a 13-pixel DejaVu Sans and that text.
    std::unique_ptr<CTxWidget> Label(const std::string& text) {
        auto widget = std::make_unique<CTxWidget>();
        EXPECT_EQ(widget->SetFontName(Units("DejaVu Sans"), 0, 0), eNoError);
        EXPECT_EQ(widget->SetFontPixelHeight(13, 0, 0), eNoError);
        EXPECT_EQ(widget->SetText(Units(text), 1, 0), eNoError);
        return widget;
    }
};

} // namespace

TEST_F(TxWidgetTest, LightTextTakesTheInverseGammaTable) {
    auto label = Label("Ag");
    EXPECT_EQ(label->TypeID(), kTxWidgetTypeID);
    EXPECT_EQ(label->GetClientColour(), CPixel(0xFF000000u));
    for (const auto& [colour, inverse] : {std::pair{0xFF7F7F7Fu, 1}, std::pair{0xFF7E7E7Eu, 0}}) {
        ASSERT_EQ(label->SetClientColour(colour, 0), eNoError);
        EXPECT_EQ(label->TextRenderer().m_fInverseGamma, inverse) << std::hex << colour;
    }
}

TEST_F(TxWidgetTest, TheWidgetFollowsItsTextAndAnEmptyTextClearsTheMask) {
    auto label = Label("Daublin");
    ASSERT_NE(label->Image(), nullptr);
    EXPECT_GT(label->Width(), 20);
    EXPECT_EQ(label->Width(), label->Image()->GetWidth());
    EXPECT_EQ(label->Height(), label->Image()->GetHeight());
    const int32_t width = label->Width();
    const int32_t height = label->Height();
    // A size of its own snaps back to the text.
    ASSERT_EQ(label->SetSize(200, 40, 0), eNoError);
    EXPECT_EQ(label->Width(), width);
    EXPECT_EQ(label->Height(), height);
    ASSERT_EQ(label->SetText(Units(""), 1, 0), eNoError);
    EXPECT_EQ(label->Width(), width);
    EXPECT_EQ(Bytes(*label->Image()), std::vector<uint8_t>(size_t(width * height), 0));
    EXPECT_EQ(label->String().GetLength(), 0);
}

TEST_F(TxWidgetTest, TurnedTextIsTheNormalMaskTurned) {
    auto label = Label("Lg7");
    CImage8& normal = *label->Image();
    const int32_t w = normal.GetWidth();
    const int32_t h = normal.GetHeight();
    const std::vector<uint8_t> source = Bytes(normal);
    ASSERT_NE(std::count(source.begin(), source.end(), 0), std::ptrdiff_t(source.size()));
    for (uint32_t orientation : {1u, 2u, 3u}) {
        SCOPED_TRACE(orientation);
        auto turned = Label("Lg7");
        ASSERT_EQ(turned->SetOrientation(orientation, 1, 0), eNoError);
        CImage8& mask = *turned->Image();
        const bool across = orientation != 2;
        ASSERT_EQ(mask.GetWidth(), across ? h : w);
        ASSERT_EQ(mask.GetHeight(), across ? w : h);
        EXPECT_EQ(turned->Width(), mask.GetWidth());
        CImNav8 view(&mask);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t expect = source[size_t(y * w + x)];
                const uint8_t got = orientation == 1   ? view.Row(w - 1 - x)[y]
                                    : orientation == 2 ? view.Row(h - 1 - y)[w - 1 - x]
                                                       : view.Row(x)[h - 1 - y];
                ASSERT_EQ(got, expect) << x << "," << y;
            }
        }
    }
    // Orientation 1's top-left pixel is the source's top-right one.
    auto left = Label("Lg7");
    ASSERT_EQ(left->SetOrientation(1, 1, 0), eNoError);
    EXPECT_EQ(CImNav8(left->Image()).Row(0)[0], source[size_t(w - 1)]);
    // An orientation beyond 3 leaves the mask.
    const std::vector<uint8_t> before = Bytes(*left->Image());
    ASSERT_EQ(left->SetOrientation(4, 1, 0), eNoError);
    EXPECT_EQ(Bytes(*left->Image()), before);
}

TEST_F(TxWidgetTest, EntriesOfATextList) {
    auto label = Label("x");
    EXPECT_EQ(label->GetTextIndex(), -1);
    EXPECT_EQ(label->SetText(0, 0, 0), eBadParameter);
    EXPECT_EQ(label->SetTextList(nullptr), eBadParameter);
    auto* list = new CTextList;
    ASSERT_EQ(list->Add(Units("One"), 1), eNoError);
    ASSERT_EQ(list->Add(Units("Two"), 2), eNoError);
    ASSERT_EQ(label->SetTextList(list), eNoError);
    ASSERT_EQ(label->SetTextList(list), eNoError); // the same: kept (ASan)
    EXPECT_EQ(label->SetText(2, 1, 0), eBadParameter);
    EXPECT_EQ(U8(label->String()), "x");
    ASSERT_EQ(label->SetText(1, 1, 0), eNoError);
    EXPECT_EQ(label->GetTextIndex(), 1);
    ASSERT_EQ(label->AdvanceText(1, 0), eNoError);
    EXPECT_EQ(label->GetTextIndex(), 0);
    EXPECT_EQ(U8(label->String()), "One");
    // The text it holds, handed in again, stays (ASan).
    ASSERT_EQ(label->SetText(label->Text(), 1, 0), eNoError);
    ASSERT_EQ(label->SetText(label->Text()->m_sText, 1, 0), eNoError);
    EXPECT_EQ(U8(label->String()), "One");
}

TEST_F(TxWidgetTest, ChunksSetTheRenderer) {
    ASSERT_EQ(RegisterTextWidgets(), eNoError);
    Write({WidgetBlock("txwg", 1, "Label",
                       CWidgetChunks()
                           .String("font", "DejaVu Sans")
                           .Real("fsiz", 11.5f)
                           .Int("txwr", 2)
                           .Int("fbld", 2)
                           .String("fjst", "Centre")
                           .String("text", "Hello")),
           WidgetBlock("txwg", 2, "Centred", CWidgetChunks().String("fjst", "center")),
           WidgetBlock("txwg", 3, "Listed", CWidgetChunks().String("txls", "Nowhere"))});
    std::unique_ptr<CWidget> built(CWidgetConstructor::ConstructFromName(Units("Label"), nullptr));
    ASSERT_NE(built, nullptr);
    auto& label = dynamic_cast<CTxWidget&>(*built);
    EXPECT_EQ(label.FontPixelHeight(), 12);
    EXPECT_EQ(label.FontPointHeight(), 0.0f);
    EXPECT_EQ(label.WordWrap(), 1);
    EXPECT_EQ(label.Bold(), 0);
    EXPECT_EQ(label.Justify(), CTextRenderer::eJustifyLeft);
    EXPECT_EQ(U8(label.String()), "Hello");
    EXPECT_GT(label.Width(), 0);
    std::unique_ptr<CTxWidget> centred(
        CTxWidget::CreateFromRes(Units("Centred"), nullptr, nullptr));
    ASSERT_NE(centred, nullptr);
    EXPECT_EQ(centred->Justify(), CTextRenderer::eJustifyCentre);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
    EXPECT_EQ(CTxWidget::CreateFromRes(Units("Listed"), nullptr, nullptr), nullptr);
    EXPECT_EQ(Details(), (std::vector<std::string>{"TxWidget text list failed."}));
}

namespace {

// Counts its renders.
class CCountingTxWidget : public CTxWidget {
public:
    error RenderText(int32_t resize, int32_t redraw) override {
        ++m_nRenders;
        return CTxWidget::RenderText(resize, redraw);
    }
    int32_t m_nRenders = 0;
};

} // namespace

TEST_F(TxWidgetTest, OneRenderPerSetterAndAResizeRoundEnds) {
    for (int32_t wrap : {0, 1}) {
        SCOPED_TRACE(wrap);
        CCountingTxWidget label;
        ASSERT_EQ(label.SetFontName(Units("DejaVu Sans"), 0, 0), eNoError);
        ASSERT_EQ(label.SetWordWrap(wrap, 0, 0), eNoError);
        ASSERT_EQ(label.SetText(Units("Two words"), 0, 0), eNoError);
        label.m_nRenders = 0;
        ASSERT_EQ(label.SetTextFace(1, 0, 0, 0, 0), eNoError);
        EXPECT_EQ(label.m_nRenders, 1);
        // A resize: the render that sizes the widget, and the one its size
        // change causes, which stops there.
        label.m_nRenders = 0;
        ASSERT_EQ(label.SetFontPixelHeight(20, 1, 0), eNoError);
        EXPECT_LE(label.m_nRenders, 2);
        EXPECT_EQ(label.Width(), label.Image()->GetWidth());
        EXPECT_EQ(label.Height(), label.Image()->GetHeight());
    }
}

TEST_F(TxWidgetTest, EverySetterRendersOnceAndSoDoesALoad) {
    // Each with resize r; the label's size changes with most of them.
    using Setter = error (*)(CTxWidget&, int32_t r);
    const std::pair<const char*, Setter> setters[] = {
        {"text", [](CTxWidget& w, int32_t r) { return w.SetText(Units("Other text"), r, 0); }},
        {"font",
         [](CTxWidget& w, int32_t r) { return w.SetFontName(Units("DejaVu Sans Mono"), r, 0); }},
        {"pixels", [](CTxWidget& w, int32_t r) { return w.SetFontPixelHeight(15, r, 0); }},
        {"points", [](CTxWidget& w, int32_t r) { return w.SetFontPointHeight(11.0f, r, 0); }},
        {"justify",
         [](CTxWidget& w, int32_t r) { return w.SetJustify(CTextRenderer::eJustifyRight, r, 0); }},
        {"face", [](CTxWidget& w, int32_t r) { return w.SetTextFace(1, 1, 1, r, 0); }},
        {"bold", [](CTxWidget& w, int32_t r) { return w.SetTextBold(1, r, 0); }},
        {"italic", [](CTxWidget& w, int32_t r) { return w.SetTextItalic(1, r, 0); }},
        {"underline", [](CTxWidget& w, int32_t r) { return w.SetTextUnderline(1, r, 0); }},
        {"wrap", [](CTxWidget& w, int32_t r) { return w.SetWordWrap(1, r, 0); }},
        {"orientation", [](CTxWidget& w, int32_t r) { return w.SetOrientation(1, r, 0); }},
        {"kerning", [](CTxWidget& w, int32_t r) { return w.SetKerningScale(0.8f, r, 0); }},
        {"line space", [](CTxWidget& w, int32_t r) { return w.SetLineSpaceScale(1.5f, r, 0); }},
        {"aspect", [](CTxWidget& w, int32_t r) { return w.SetAspect(0.8f, r, 0); }},
        {"colour", [](CTxWidget& w, int32_t) { return w.SetClientColour(0xFFECE6DAu, 0); }},
    };
    for (int32_t resize : {0, 1}) {
        for (const auto& [name, set] : setters) {
            SCOPED_TRACE(std::string(name) + (resize ? " resized" : ""));
            CCountingTxWidget label;
            ASSERT_EQ(label.SetFontName(Units("DejaVu Sans"), 0, 0), eNoError);
            ASSERT_EQ(label.SetText(Units("Two words"), 1, 0), eNoError);
            label.m_nRenders = 0;
            ASSERT_EQ(set(label, resize), eNoError);
            EXPECT_EQ(label.m_nRenders, 1);
            if (resize) {
                EXPECT_EQ(label.Width(), label.Image()->GetWidth());
                EXPECT_EQ(label.Height(), label.Image()->GetHeight());
            }
        }
    }

    // A load renders once, sized, wrapped or from a list; a list that is
    // not there ends it with 22.
    Write(
        {TextListBlock(1, "Words", 0, {{"One", 1}, {"Two", 2}}),
         WidgetBlock("txwg", 2, "Plain",
                     CWidgetChunks().String("font", "DejaVu Sans").String("text", "Loaded")),
         WidgetBlock("txwg", 3, "Sized",
                     CWidgetChunks()
                         .String("font", "DejaVu Sans")
                         .Int("xsiz", 90)
                         .Int("ysiz", 40)
                         .Int("txwr", 1)
                         .String("text", "Words enough for three lines")),
         WidgetBlock(
             "txwg", 4, "Listed",
             CWidgetChunks().String("font", "DejaVu Sans").String("txls", "Words").Int("txlx", 1)),
         WidgetBlock("txwg", 5, "Lost",
                     CWidgetChunks().String("font", "DejaVu Sans").String("txls", "Nowhere"))});
    for (int32_t id : {2, 3, 4}) {
        SCOPED_TRACE(id);
        CCountingTxWidget label;
        ASSERT_EQ(label.GetFromRes(id, nullptr, nullptr), eNoError);
        EXPECT_EQ(label.m_nRenders, 1);
    }
    CCountingTxWidget lost;
    EXPECT_EQ(lost.GetFromRes(5, nullptr, nullptr), eResourceReadError);
    EXPECT_EQ(Details(), (std::vector<std::string>{"TxWidget text list failed."}));
}

TEST_F(TxWidgetTest, WithWordWrapTheWidthStaysAndTheHeightFollowsTheText) {
    auto line = Label("A paragraph of several words that cannot stay on one line");
    const int32_t oneLine = line->Height();
    auto label = Label("A paragraph of several words that cannot stay on one line");
    ASSERT_EQ(label->SetWordWrap(1, 0, 0), eNoError);
    ASSERT_EQ(label->SetSize(120, 5, 0), eNoError);
    EXPECT_EQ(label->Width(), 120);
    ASSERT_NE(label->Image(), nullptr);
    EXPECT_EQ(label->Height(), label->Image()->GetHeight());
    EXPECT_GT(label->Height(), 2 * oneLine);
}

TEST_F(TxWidgetTest, PooledTextsAndListsStayTheirPoolsOwn) {
    CResourcePool pool;
    auto* text = new CText;
    text->m_sText = Units("Pooled");
    auto* list = new CTextList;
    ASSERT_EQ(list->Add(Units("Entry"), 1), eNoError);
    ASSERT_EQ(pool.Add(text), eNoError);
    ASSERT_EQ(pool.Add(list), eNoError);
    {
        auto label = Label("x");
        ASSERT_EQ(label->SetText(text, 1, 0), eNoError);
        ASSERT_EQ(label->SetTextList(list), eNoError);
        // Replaced, and the widget goes: neither is deleted (ASan).
        ASSERT_EQ(label->SetText(Units("Own"), 1, 0), eNoError);
        EXPECT_EQ(U8(text->m_sText), "Pooled");
    }
    EXPECT_EQ(U8(text->m_sText), "Pooled");
    EXPECT_EQ(list->Count(), 1);
}

TEST_F(TxWidgetTest, SizesThatAreNotFiniteLeaveTheSizesAndHugeOnesSaturate) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Write({WidgetBlock("txwg", 1, "Label",
                       CWidgetChunks()
                           .String("font", "DejaVu Sans")
                           .Real("fsiz", 13.0f)
                           .Real("fsiz", nan)
                           .Real("fpsz", inf)
                           .String("text", "Kept"))});
    std::unique_ptr<CTxWidget> label(CTxWidget::CreateFromRes(1, nullptr, nullptr));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->FontPixelHeight(), 13);
    EXPECT_EQ(label->FontPointHeight(), 0.0f);
    // The pixel height of a Real: halves away from zero, the Int32 range
    // at most.
    EXPECT_EQ(text_chunks::PixelHeightOf(11.5f), 12);
    EXPECT_EQ(text_chunks::PixelHeightOf(-11.5f), -12);
    EXPECT_EQ(text_chunks::PixelHeightOf(3.0e9f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(text_chunks::PixelHeightOf(-3.0e9f), std::numeric_limits<int32_t>::min());
}
