// Loading widgets and text lists from resource blocks written by the block
// writer: the chunk loop, CWidget's chunks, the class parsers, the
// children, construction by type code and text lists.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/ResourceLoading.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Error.h"
#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "testsupport/FileIO/ResourceFileFixture.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "widgets/CoWidget.h"
#include "widgets/FrameWidget.h"
#include "widgets/ImWidget.h"
#include "widgets/MaskWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/ShadWidget.h"
#include "widgets/TextList.h"
#include "widgets/Widget.h"
#include "widgets/WidgetConstructor.h"

namespace {

gCString Text(const std::string& utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError);
    return s;
}

class WidgetResources : public ResourceFileFixture {
protected:
    void Write(const std::vector<std::string>& blocks, int32_t version = 2) {
        InstallResourceFile(ResourceFileBytes(version, blocks));
    }
    // A plain widget block named W loaded in place.
    error LoadPlain(const CWidgetChunks& chunks, CWidget& widget) {
        Write({WidgetBlock("wdgt", 1, "W", chunks)});
        return widget.GetFromRes(Text("W"), nullptr, nullptr);
    }
    // The detail lines of the alerts shown, in order.
    std::vector<std::string> Details() const {
        std::vector<std::string> out;
        for (const auto& alert : app.m_Alerts) {
            const size_t lf = alert.text.find('\n');
            out.push_back(lf == std::string::npos ? std::string() : alert.text.substr(lf + 1));
        }
        return out;
    }
    void ClearAlerts() { app.m_Alerts.clear(); }

};

using Strings = std::vector<std::string>;

int32_t Code4(const char* code) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | uint8_t(code[i]);
    }
    return int32_t(value);
}

class CRefusingParent : public CWidget {
public:
    error AddChild(CWidget*, int32_t) override { return eBadParameter; }
};

// Each CWidget chunk sets its field; its payload cut short gives its text.
TEST_F(WidgetResources, EachBaseChunkSetsItsFieldAndAShortPayloadGivesItsText) {
    struct SCase {
        const char* code;
        bool real;
        const char* shortText;
        std::function<bool(CWidget&)> check;
    };
    const SCase cases[] = {
        {"xpos", true, "Widget xpsp.", [](CWidget& w) { return w.Positioner()->m_rXPos == 1; }},
        {"ypos", true, "Widget ypsp.", [](CWidget& w) { return w.Positioner()->m_rYPos == 1; }},
        {"xpsr", false, "Widget xpsr.",
         [](CWidget& w) { return w.Positioner()->m_fXPosFraction == 1; }},
        {"ypsr", false, "Widget ypsr.",
         [](CWidget& w) { return w.Positioner()->m_fYPosFraction == 1; }},
        {"xpsd", false, "Widget xpsd.",
         [](CWidget& w) { return w.Positioner()->m_fXFarSide == 1; }},
        {"ypsd", false, "Widget ypsd.",
         [](CWidget& w) { return w.Positioner()->m_fYFarSide == 1; }},
        {"xsiz", true, "Widget xszp.", [](CWidget& w) { return w.Positioner()->m_rXSize == 1; }},
        {"ysiz", true, "Widget yszp.", [](CWidget& w) { return w.Positioner()->m_rYSize == 1; }},
        {"xszr", false, "Widget xszr.",
         [](CWidget& w) { return w.Positioner()->m_fXSizeFraction == 1; }},
        {"yszr", false, "Widget yszr.",
         [](CWidget& w) { return w.Positioner()->m_fYSizeFraction == 1; }},
        {"xgrd", false, "Widget xgrd.",
         [](CWidget& w) { return w.Positioner()->m_fXMinusOwn == 1; }},
        {"ygrd", false, "Widget ygrd.",
         [](CWidget& w) { return w.Positioner()->m_fYMinusOwn == 1; }},
        {"xcnt", false, "Widget xcnt.", [](CWidget& w) { return w.Positioner()->m_fXCentre == 1; }},
        {"ycnt", false, "Widget ycnt.", [](CWidget& w) { return w.Positioner()->m_fYCentre == 1; }},
        {"oblt", false, "Widget oblt.", [](CWidget& w) { return w.OpaqueBlit() == 1; }},
        {"vsbl", false, "Widget vsbl.", [](CWidget& w) { return w.Visible() == 1; }},
        {"actv", false, "Widget actv.", [](CWidget& w) { return w.Active() == 1; }},
        {"opac", false, "Widget opac.", [](CWidget& w) { return w.Opacity() == 1; }},
        {"sipr", false, "Widget sipr.", [](CWidget& w) { return w.StayInParent() == 1; }},
        {"opct", false, "Widget opct.", [](CWidget& w) { return w.OpaqueThreshold() == 1; }},
        {"prop", false, "Widget prop.", [](CWidget& w) { return w.PropagateOpacity() == 1; }},
        {"focs", false, "Widget focs.", [](CWidget& w) { return w.CanGetFocus() == 1; }},
        {"kydn", false, "Widget kydn.", [](CWidget& w) { return w.EventsHandled() & 0x1; }},
        {"kyup", false, "Widget kyup.", [](CWidget& w) { return w.EventsHandled() & 0x1; }},
        {"timr", false, "Widget timr.", [](CWidget& w) { return w.EventsHandled() & 0x2; }},
        {"hrtb", false, "Widget hrtb.", [](CWidget& w) { return w.EventsHandled() & 0x4; }},
        {"msmv", false, "Widget msmv.", [](CWidget& w) { return w.EventsHandled() & 0x8; }},
        {"lbdn", false, "Widget lbdn.", [](CWidget& w) { return w.EventsHandled() & 0x10; }},
        {"lbup", false, "Widget lbup.", [](CWidget& w) { return w.EventsHandled() & 0x10; }},
        {"mbdn", false, "Widget mbdn.", [](CWidget& w) { return w.EventsHandled() & 0x20; }},
        {"mbup", false, "Widget mbup.", [](CWidget& w) { return w.EventsHandled() & 0x20; }},
        {"rbdn", false, "Widget rbdn.", [](CWidget& w) { return w.EventsHandled() & 0x40; }},
        {"rbup", false, "Widget rbup.", [](CWidget& w) { return w.EventsHandled() & 0x40; }},
        {"mswh", false, "Widget mswh.", [](CWidget& w) { return w.EventsHandled() & 0x100; }},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.code);
        CWidgetChunks chunks;
        if (c.real) {
            chunks.Real(c.code, 1.0f);
        } else {
            chunks.Int(c.code, 1);
        }
        // Fields cleared first where the constructor sets them.
        CWidget widget;
        widget.SetActive(0);
        widget.SetCanGetFocus(0);
        ASSERT_EQ(widget.SetPropagateOpacity(0, 0), eNoError);
        ASSERT_EQ(widget.SetOpacity(0, 0), eNoError);
        ASSERT_EQ(LoadPlain(chunks, widget), eNoError);
        EXPECT_TRUE(c.check(widget));
        EXPECT_TRUE(app.m_Alerts.empty());

        CWidget cut;
        EXPECT_NE(LoadPlain(CWidgetChunks().Code(c.code).Raw("ab"), cut), eNoError);
        EXPECT_EQ(Details(), (Strings{c.shortText, "Error parsing widget data chunk type."}));
        ClearAlerts();
    }
}

TEST_F(WidgetResources, BaseChunkEdgeCases) {
    CWidget w;
    ASSERT_EQ(LoadPlain(CWidgetChunks()
                            .Int("xszr", 2)
                            .Int("xszr", 0)
                            .Int("vsbl", 2)
                            .Int("hrtb", 1)
                            .Int("hrtb", 0)
                            .Int("kydn", 1)
                            .Int("kyup", 0)
                            .Int("opac", 300)
                            .Real("ypos", std::numeric_limits<float>::infinity())
                            .Int("ttrg", 5)
                            .Int("autt", 5)
                            .String("usrd", "2|real|1.5")
                            .String("usrd", "1|int|-1")
                            .String("usrd", "3|int|4294967295")
                            .String("usrd", "-1|int|5"),
                        w),
              eNoError);
    EXPECT_EQ(w.Positioner()->m_fXParentMinus, 1) << "0 clears only the fraction";
    EXPECT_EQ(w.Positioner()->m_fXSizeFraction, 0);
    EXPECT_EQ(w.Visible(), 0);
    EXPECT_EQ(w.EventsHandled(), uint32_t(CWidget::eMessageEvent));
    EXPECT_EQ(w.Opacity(), 300u);
    EXPECT_EQ(w.Positioner()->m_rYPos, 0.0f) << "not finite: the default";
    EXPECT_EQ(w.GetUserData(2), 0x3FC00000u);
    EXPECT_EQ(w.GetUserData(1), 0xFFFFFFFFu);
    EXPECT_EQ(w.GetUserData(3), 0xFFFFFFFFu);
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(WidgetResources, RefusedDataIsShownWordForWord) {
    struct SCase {
        const char* what;
        CWidgetChunks chunks;
        Strings details;
    };
    const Strings usrd{"Widget usrd.", "Error parsing widget data chunk type."};
    const SCase cases[] = {
        {"index too high",
         CWidgetChunks().String("usrd", "8|int|1"),
         {"Widget usrd index too high.", "Error parsing widget data chunk type."}},
        {"no bar", CWidgetChunks().String("usrd", "3"), usrd},
        {"unknown type", CWidgetChunks().String("usrd", "3|word|1"), usrd},
        {"int too large", CWidgetChunks().String("usrd", "3|int|4294967296"), usrd},
        {"int too small", CWidgetChunks().String("usrd", "3|int|-2147483649"), usrd},
        {"int not finite", CWidgetChunks().String("usrd", "3|int|inf"), usrd},
        {"unknown code",
         CWidgetChunks().Int("zzzz", 1),
         {"Unrecognised chunk in widget.", "Error parsing widget data chunk type."}},
        {"txtr",
         CWidgetChunks().Int("txtr", 1),
         {"Unrecognised chunk in widget.", "Error parsing widget data chunk type."}},
        {"size 0", CWidgetChunks(), {"Error reading widget data chunk type."}},
        {"hier count beyond the chunk",
         CWidgetChunks().Code("hier").Raw(WriterInt32(1000)),
         {"Widget hierarchy entries.", "Error parsing widget data chunk type."}},
        {"size beyond the block", CWidgetChunks(), {"Error reading widget data block."}},
        {"size cut", CWidgetChunks(), {"Error reading widget data block size."}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string data = c.chunks.Data();
        if (std::string(c.what) == "size beyond the block") {
            data = WriterInt32(100000) + "abcd";
        } else if (std::string(c.what) == "size cut") {
            data = "ab"; // half a size field, at the end of the file
        }
        Write({WriterBlock("wdgt", 1, "W", data)});
        CWidget w;
        EXPECT_NE(w.GetFromRes(Text("W"), nullptr, nullptr), eNoError);
        EXPECT_EQ(Details(), c.details);
        ClearAlerts();
    }
}

TEST_F(WidgetResources, TheLoopEndsQuietlyAtACodeWithoutPayload) {
    CWidget w;
    EXPECT_EQ(LoadPlain(CWidgetChunks().Int("vsbl", 1).Code("xpos"), w), eNoError);
    EXPECT_EQ(w.Visible(), 1);
    CWidget ignored;
    EXPECT_EQ(LoadPlain(CWidgetChunks().Int("vsbl", 1).Code("tfpt").Raw("ab"), ignored), eNoError);
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(WidgetResources, TheHierarchyPutsTheLastEntryInFront) {
    Write({WidgetBlock("cowg", 10, "Root",
                       CWidgetChunks().Hier({{"A", "wdgt"}, {"B", "cowg"}, {"C", "rrwg"}})),
           WidgetBlock("wdgt", 11, "A", CWidgetChunks().Int("vsbl", 1)),
           WidgetBlock("cowg", 12, "B", CWidgetChunks().Int("colr", int32_t(0xFF102030))),
           WidgetBlock("rrwg", 13, "C", CWidgetChunks().Real("rrad", 4.5f).Int("rctl", 0))});
    std::unique_ptr<CCoWidget> root(CCoWidget::CreateFromRes(Text("Root"), nullptr, nullptr));
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->ChildCount(), 3);
    EXPECT_EQ(U(root->Child(0)->GetResName()), "C");
    EXPECT_EQ(U(root->Child(1)->GetResName()), "B");
    EXPECT_EQ(U(root->Child(2)->GetResName()), "A");
    auto* c = dynamic_cast<CRoRectWidget*>(root->Child(0));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Radius(), 4.5f);
    EXPECT_EQ(c->CornerFlags(), 14u) << "rctl 0 removes corner 1";
    EXPECT_EQ(dynamic_cast<CCoWidget*>(root->Child(1))->GetClientColour(), CPixel(0xFF102030u));
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(WidgetResources, AMissingChildOrACycleStopsTheHierarchy) {
    for (const char* missing : {"missing", "self", "ancestor"}) {
        SCOPED_TRACE(missing);
        const std::string b = std::string(missing) == "missing" ? "Nobody" : "B";
        std::vector<std::string> blocks{
            WidgetBlock("wdgt", 1, "Root", CWidgetChunks().Hier({{"A", "wdgt"}, {b, "wdgt"}})),
            WidgetBlock("wdgt", 2, "A", CWidgetChunks().Int("vsbl", 1))};
        if (std::string(missing) == "self") {
            blocks.push_back(WidgetBlock("wdgt", 3, "B", CWidgetChunks().Hier({{"B", "wdgt"}})));
        } else if (std::string(missing) == "ancestor") {
            blocks.push_back(WidgetBlock("wdgt", 3, "B", CWidgetChunks().Hier({{"Root", "wdgt"}})));
        }
        Write(blocks);
        CWidget kept;
        EXPECT_EQ(kept.GetFromRes(Text("Root"), nullptr, nullptr), eResourceReadError);
        ASSERT_EQ(kept.ChildCount(), 1) << "A stays";
        EXPECT_EQ(U(kept.Child(0)->GetResName()), "A");
        ASSERT_FALSE(Details().empty());
        EXPECT_EQ(Details().back(), "Error constructing widget hierarchy.");
        ClearAlerts();
        EXPECT_EQ(CWidget::CreateFromRes(Text("Root"), nullptr, nullptr), nullptr);
        ClearAlerts();
    }
}

TEST_F(WidgetResources, ClassChainsTakeTheirOwnChunksOnly) {
    struct SCase {
        const char* type;
        CWidgetChunks chunks;
        Strings details;
    };
    const SCase cases[] = {
        {"cowg",
         CWidgetChunks().Int("txtr", 1),
         {"Unrecognised chunk in widget.", "Error parsing widget data chunk type."}},
        // An effect chunk cut short after its layer.
        {"cowg",
         CWidgetChunks().Int("shad", 1),
         {"Shadow colour.", "Widget shadow effect failed.", "Error parsing widget data chunk type."}},
        {"imwg",
         CWidgetChunks().Int("brde", 1),
         {"Border top colour.", "Widget border effect failed.",
          "Error parsing widget data chunk type."}},
        {"rrwg",
         CWidgetChunks().String("imag", "Pic"),
         {"Unrecognised chunk in widget.", "Error parsing widget data chunk type."}},
        {"imwg",
         CWidgetChunks().Code("imlx").Raw("ab"),
         {"ImWidget imlx.", "Error parsing widget data chunk type."}},
        {"imwg", CWidgetChunks().String("imag", "Nowhere"), {"ImWidget image load failed!"}},
        {"imwg",
         CWidgetChunks().String("imag", "Nowhere").Int("imsh", 1),
         {"ImWidget image load."}},
        {"imwg", CWidgetChunks().String("imls", "Nowhere"), {"ImWidget image list load failed!"}},
        {"rrwg",
         CWidgetChunks().Code("rbcl").Raw("ab"),
         {"RoRectWidget rbcl.", "Error parsing widget data chunk type."}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.type);
        Write({WidgetBlock(c.type, 1, "W", c.chunks)});
        std::unique_ptr<CWidget> w(CWidgetConstructor::ConstructFromName(Text("W"), nullptr));
        EXPECT_EQ(w, nullptr);
        ASSERT_FALSE(Details().empty());
        Strings shown = Details();
        shown.pop_back(); // the constructor's own line
        EXPECT_EQ(shown, c.details);
        ClearAlerts();
    }
}

TEST_F(WidgetResources, TheConstructorBuildsOnlyTheClassesOfItsTable) {
    Write({WriterBlock("imag", 5, "Twin", WriterInt32(0)),
           WidgetBlock("cowg", 0, "Twin", CWidgetChunks().Int("vsbl", 1)),
           WidgetBlock("cowg", 7, "Panel", CWidgetChunks().Int("colr", 1)),
           WidgetBlock("rrwg", 8, "Panel", CWidgetChunks().Int("vsbl", 1)),
           WidgetBlock("tiwg", 9, "Caption", CWidgetChunks().Int("vsbl", 1))});
    for (const char* type : {"tiwg", "tbwg"}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(CWidgetConstructor::Construct(Text("Caption"), Code4(type), nullptr, nullptr),
                  nullptr);
        EXPECT_EQ(Details(), (Strings{"Unrecognised type in widget constructor."}));
        ClearAlerts();
    }
    std::unique_ptr<CWidget> first(CWidgetConstructor::ConstructFromName(Text("Panel"), nullptr));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->TypeID(), kCoWidgetTypeID) << "the first block of the name";
    EXPECT_EQ(CWidgetConstructor::ConstructFromName(Text("Twin"), nullptr), nullptr);
    EXPECT_EQ(Details(), (Strings{"Unrecognised type in widget constructor."}));
    ClearAlerts();
    EXPECT_EQ(CWidgetConstructor::ConstructFromName(Text("Nobody"), nullptr), nullptr);
    EXPECT_TRUE(app.m_Alerts.empty());
    std::unique_ptr<CWidget> byId(
        CWidgetConstructor::Construct(0, int32_t(kCoWidgetTypeID), nullptr, nullptr));
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(U(byId->GetResName()), "Twin");
    EXPECT_EQ(CWidgetConstructor::Construct(Text(""), int32_t(kCoWidgetTypeID), nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Details(), (Strings{"No res name in widget constructor."}));
    ClearAlerts();
    // A child goes in front of its parent's children; a parent that
    // refuses leaves no widget behind.
    CWidget parent;
    CWidget* added = CWidgetConstructor::Construct(Text("Panel"), Code4("cowg"), &parent, nullptr);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Parent(), &parent);
    CRefusingParent refusing;
    EXPECT_EQ(CWidgetConstructor::Construct(Text("Panel"), Code4("cowg"), &refusing, nullptr),
              nullptr);
    EXPECT_EQ(Details(), (Strings{"Widget Constructor parent add failed."}));
}

TEST_F(WidgetResources, ConstructFromNameStopsAtADamagedBlockSize) {
    Write({WriterBlock("wdgt", 1, "A", CWidgetChunks().Int("vsbl", 1).Data())});
    // A block whose size runs past the file's end.
    std::string bytes = ResourceFileBytes(2, {WriterBlock("wdgt", 1, "A", "")});
    bytes += WriterCode("wdgt") + WriterInt32(1000) + WriterInt32(2);
    (void)file.Close(); // reopened below
    MakeFile("system.vrf", bytes);
    gCFRef ref(S("HD:system.vrf"));
    ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
    EXPECT_EQ(CWidgetConstructor::ConstructFromName(Text("Z"), nullptr), nullptr);
    EXPECT_EQ(Details(), (Strings{"Widget construct input error"}));
}

TEST_F(WidgetResources, NamesAndTextsRoundTripInAnyScript) {
    const std::string name = "Fenêtre 🎨";
    Write({WidgetBlock("wdgt", 1, name, CWidgetChunks().Hier({{"Çà", "wdgt"}, {"", "wdgt"}})),
           WidgetBlock("wdgt", 2, "Çà", CWidgetChunks().Int("vsbl", 1)),
           TextListBlock(3, "Menü", 0, {{"Öffnen 🎨", 7}, {"", 8}})});
    CWidget w;
    EXPECT_EQ(w.GetFromRes(Text(name), nullptr, nullptr), eResourceReadError);
    EXPECT_EQ(U(w.GetResName()), name);
    ASSERT_EQ(w.ChildCount(), 1);
    EXPECT_EQ(U(w.Child(0)->GetResName()), "Çà");
    EXPECT_EQ(Details(), (Strings{"No res name in widget constructor.", "",
                                  "Error constructing widget hierarchy."}));
    std::unique_ptr<CTextList> list(CTextList::CreateFromRes(Text("Menü"), nullptr, nullptr));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(U(list->Text(0)), "Öffnen 🎨");
    EXPECT_EQ(list->ID(0), 7);
    EXPECT_EQ(U(list->Text(1)), "");
    EXPECT_EQ(list->ID(1), 8);
}

TEST_F(WidgetResources, TextListOperations) {
    Write({TextListBlock(3, "Items", 1, {{"a", 1}, {"b", 2}, {"c", 3}}),
           TextListBlock(4, "None", 0, {})});
    std::unique_ptr<CTextList> list(CTextList::CreateFromRes(3, nullptr, nullptr));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(U(list->Text(1)), "b");
    EXPECT_EQ(U(list->Text(5)), "");
    EXPECT_EQ(list->CurrentIndex(), 1);
    EXPECT_EQ(list->SetCurrentIndex(3), eNoError);
    EXPECT_EQ(U(list->Text()), "");
    EXPECT_EQ(list->SetCurrentIndex(4), eBadParameter);
    EXPECT_EQ(list->ID(2), 3);
    EXPECT_EQ(list->ID(3), -1);
    EXPECT_EQ(list->RemoveItem(0), eNoError);
    EXPECT_EQ(list->ID(0), 2);
    EXPECT_EQ(list->RemoveItem(5), eBadParameter);
    EXPECT_EQ(list->Clear(), eNoError);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->Clear(), eNoError);
    std::unique_ptr<CTextList> none(CTextList::CreateFromRes(Text("None"), nullptr, nullptr));
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->Count(), 0);
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(WidgetResources, AVersionOneTextListHasNoIds) {
    Write({TextListBlock(3, "Items", 0, {{"a", 0}, {"b", 0}}, 1)}, 1);
    std::unique_ptr<CTextList> list(CTextList::CreateFromRes(3, nullptr, nullptr));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->ID(0), -1);
    EXPECT_EQ(list->SetItem(0, Text("x"), 1), eBadParameter);
    EXPECT_EQ(list->SetText(0, Text("x")), eNoError);
    EXPECT_EQ(U(list->Text(0)), "x");
}

TEST_F(WidgetResources, ATextListCountOrItemBeyondItsBlockIsRefused) {
    // Count 5 with one item; then a second list whose last text runs on.
    Write({WriterBlock("txlt", 3, "Short",
                       WriterInt32(0) + WriterInt32(5) + WriterUnits("a") + std::string("\0\0", 2) +
                           WriterInt32(1)),
           WriterBlock("txlt", 4, "Open", WriterInt32(0) + WriterInt32(1) + WriterUnits("abc")),
           WriterBlock("txlt", 5, "Next", WriterInt32(0) + WriterInt32(0))});
    EXPECT_EQ(CTextList::CreateFromRes(3, nullptr, nullptr), nullptr);
    EXPECT_EQ(Details(), (Strings{"Error reading number of entries"}));
    ClearAlerts();
    EXPECT_EQ(CTextList::CreateFromRes(4, nullptr, nullptr), nullptr);
}

} // namespace

namespace {

// An 'imag' block of a flat picture of that size (in that colour; an 8-bit
// reader takes its grey), its PNG written by the picture writer.
std::string ImageBlock(const std::string& folder, int32_t id, const std::string& name,
                       int32_t width, int32_t height, uint32_t colour = 0) {
    CImage picture(width, height);
    CImNav(&picture).Fill(colour);
    const std::string path = folder + "/" + name + ".png";
    EXPECT_TRUE(WritePicturePng(picture, path));
    std::ifstream in(path, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(in)), {});
    return WriterBlock("imag", id, name, WriterInt32(uint32_t(png.size())) + png);
}

// An 'imlt' block (or 'iml8') naming image blocks.
std::string ImageListBlock(int32_t id, const std::string& name,
                           const std::vector<std::string>& images, const char* tag = "imlt") {
    std::string payload = WriterInt32(0) + WriterInt32(uint32_t(images.size()));
    for (const std::string& image : images) {
        payload += WriterUnits(image) + std::string("\n\0\r\0", 4);
    }
    return WriterBlock(tag, id, name, payload);
}

} // namespace

TEST_F(WidgetResources, TheImageHolderIsAppliedInItsOrder) {
    Write({ImageBlock(Posix("."), 1, "Pic", 3, 2), ImageBlock(Posix("."), 2, "Other", 5, 4),
           ImageBlock(Posix("."), 4, "Big", 64, 64), ImageListBlock(3, "List", {"Other"}),
           WidgetBlock("imwg", 10, "Both",
                       CWidgetChunks().String("imls", "List").String("imag", "Pic").Int("stim", 1)),
           WidgetBlock("imwg", 11, "Fixed",
                       CWidgetChunks().Real("xsiz", 40).Real("ysiz", 30).String("imag", "Pic")),
           WidgetBlock("imwg", 12, "Flat", CWidgetChunks().String("imag", "Big").Int("imcm", 1)),
           WidgetBlock("imwg", 13, "BadIndex",
                       CWidgetChunks().String("imls", "List").Int("imlx", 5))});
    // Image and list both named: the image is shown, and "stim" sizes the
    // widget to it.
    std::unique_ptr<CImWidget> both(CImWidget::CreateFromRes(Text("Both"), nullptr, nullptr));
    ASSERT_NE(both, nullptr);
    ASSERT_NE(both->Image(), nullptr);
    EXPECT_EQ(both->Image()->GetWidth(), 3);
    EXPECT_EQ(both->Width(), 3);
    EXPECT_EQ(both->Height(), 2);
    // Without "stim" the widget does not take the image's size (without a
    // parent it has none yet).
    std::unique_ptr<CImWidget> fixed(CImWidget::CreateFromRes(Text("Fixed"), nullptr, nullptr));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->Width(), 0);
    EXPECT_EQ(fixed->Compressed(), 0);
    // "imcm" 1 compresses a flat image (large enough for its runs to pay).
    std::unique_ptr<CImWidget> flat(CImWidget::CreateFromRes(Text("Flat"), nullptr, nullptr));
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->Compressed(), 1);
    EXPECT_TRUE(app.m_Alerts.empty());
    // A list index outside the list.
    EXPECT_EQ(CImWidget::CreateFromRes(Text("BadIndex"), nullptr, nullptr), nullptr);
    EXPECT_EQ(Details(), (Strings{"ImWidget change image idx failed."}));
}

TEST_F(WidgetResources, SharedImagesArePooledOnlyWithImshOne) {
    struct SCase {
        int32_t imsh;
        bool pooled;
    };
    for (const SCase c : {SCase{1, true}, SCase{2, false}}) {
        SCOPED_TRACE(c.imsh);
        Write({ImageBlock(Posix("."), 1, "Pic", 3, 2),
               WidgetBlock("imwg", 10, "A",
                           CWidgetChunks().String("imag", "Pic").Int("imsh", c.imsh)),
               WidgetBlock("imwg", 11, "B",
                           CWidgetChunks().String("imag", "Pic").Int("imsh", c.imsh))});
        std::unique_ptr<CImWidget> a(CImWidget::CreateFromRes(Text("A"), nullptr, nullptr));
        std::unique_ptr<CImWidget> b(CImWidget::CreateFromRes(Text("B"), nullptr, nullptr));
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(a->Image() == b->Image(), c.pooled);
        CResourcePool* pool = app.GetResourcePool(1);
        EXPECT_EQ(pool->GetCount(), c.pooled ? 1 : 0);
        a.reset();
        b.reset();
        // The pool keeps the image the widgets shared (ASan: not deleted).
        if (c.pooled) {
            ASSERT_NE(pool->FindByName(Text("Pic")), nullptr);
            EXPECT_EQ(dynamic_cast<CImage*>(pool->FindByName(Text("Pic")))->GetWidth(), 3);
        }
        pool->Empty();
        EXPECT_TRUE(app.m_Alerts.empty());
    }
}

// --- The frame, mask and shadow-panel classes

TEST_F(WidgetResources, ThePanelClassesTakeTheirChunks) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    Write({ImageBlock(Posix("."), 1, "Ring", 24, 16, 0xFF808080u),
           ImageBlock(Posix("."), 2, "Dot", 3, 2, 0xFF202020u),
           ImageListBlock(3, "Dots", {"Dot", "Ring"}, "iml8"),
           WidgetBlock("fmwg", 10, "Frame", CWidgetChunks().Int("frcl", 0x80A0B0C0)),
           WidgetBlock(
               "mkwg", 11, "Private",
               CWidgetChunks().String("imag", "Ring").Int("imsh", 2).Int("imcm", 1).Int("stim", 1)),
           WidgetBlock("mkwg", 12, "SharedA", CWidgetChunks().String("imag", "Dot").Int("imsh", 1)),
           WidgetBlock("mkwg", 13, "SharedB", CWidgetChunks().String("imag", "Dot").Int("imsh", 1)),
           WidgetBlock("mkwg", 14, "Listed",
                       CWidgetChunks().String("imls", "Dots").Int("imlx", 1).Int("stim", 1)),
           WidgetBlock("shwg", 15, "Strip",
                       CWidgetChunks().Int("swsb", 0).Int("swst", 1).Int("swsr", 1).Real(
                           "swrd", kInfinity)),
           WidgetBlock("shwg", 16, "Plain", CWidgetChunks().Real("swrd", 3.0f))});

    std::unique_ptr<CWidget> frame(CWidgetConstructor::ConstructFromName(Text("Frame"), nullptr));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(dynamic_cast<CFrameWidget&>(*frame).GetRegionColour(), CPixel(0x80A0B0C0u));

    // "imsh" 2 loads privately; "imcm" compresses, then "stim" sizes the
    // widget to the mask.
    std::unique_ptr<CMaskWidget> mask(
        CMaskWidget::CreateFromRes(Text("Private"), nullptr, nullptr));
    ASSERT_NE(mask, nullptr);
    ASSERT_NE(mask->Image(), nullptr);
    EXPECT_FALSE(mask->Image()->IsPooled());
    EXPECT_EQ(mask->Compressed(), 1);
    EXPECT_EQ(mask->Width(), 24);
    EXPECT_EQ(mask->Height(), 16);
    EXPECT_EQ(mask->CoverageAt(5, 5), 0x80);
    EXPECT_EQ(app.GetResourcePool(1)->GetCount(), 0);

    std::unique_ptr<CMaskWidget> a(CMaskWidget::CreateFromRes(Text("SharedA"), nullptr, nullptr));
    std::unique_ptr<CMaskWidget> b(CMaskWidget::CreateFromRes(Text("SharedB"), nullptr, nullptr));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->Image(), b->Image());
    EXPECT_TRUE(a->Image()->IsPooled());
    EXPECT_EQ(app.GetResourcePool(1)->GetCount(), 1);

    std::unique_ptr<CMaskWidget> listed(
        CMaskWidget::CreateFromRes(Text("Listed"), nullptr, nullptr));
    ASSERT_NE(listed, nullptr);
    ASSERT_NE(listed->ImageList(), nullptr);
    EXPECT_EQ(listed->ImageIndex(), 1);
    EXPECT_EQ(listed->Image(), listed->ImageList()->GetImage(1));
    EXPECT_EQ(listed->Width(), 24);

    // "swsb" 0 removes the default bottom edge; a radius that is not finite
    // becomes -1.
    std::unique_ptr<CWidget> strip(CWidgetConstructor::ConstructFromName(Text("Strip"), nullptr));
    ASSERT_NE(strip, nullptr);
    auto& shadow = dynamic_cast<CShadWidget&>(*strip);
    EXPECT_EQ(shadow.GetShadowLocation(),
              uint32_t(CShadWidget::eShadowTop | CShadWidget::eShadowRight));
    EXPECT_EQ(shadow.ShadowRadius(), -1.0f);
    std::unique_ptr<CShadWidget> plain(CShadWidget::CreateFromRes(Text("Plain"), nullptr, nullptr));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetShadowLocation(), uint32_t(CShadWidget::eShadowBottom));
    EXPECT_EQ(plain->ShadowRadius(), 3.0f);
    EXPECT_TRUE(app.m_Alerts.empty());
    // The pool outlives what shares its images (the list's frames too).
    a.reset();
    b.reset();
    listed.reset();
    app.GetResourcePool(1)->Empty();
}

TEST_F(WidgetResources, AShortPanelChunkShowsItsText) {
    struct SCase {
        const char* type;
        const char* code;
        const char* text; // none: the code's message alone
    };
    const SCase cases[] = {
        {"fmwg", "frcl", "FrameWidget frcl."},
        {"mkwg", "imag", "MaskWidget imag."},
        {"mkwg", "imls", "MaskWidget imls."},
        {"mkwg", "imlx", "MaskWidget imlx."},
        {"mkwg", "imsh", "MaskWidget imsh."},
        {"mkwg", "stim", "MaskWidget stim."},
        {"mkwg", "imcm", nullptr},
        {"shwg", "swst", "ShadWidget swst."},
        {"shwg", "swsb", "ShadWidget swsb."},
        {"shwg", "swsl", "ShadWidget swsl."},
        {"shwg", "swsr", "ShadWidget swsr."},
        {"shwg", "swrd", "ShadWidget swrd."},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.code);
        Write({WidgetBlock(c.type, 1, "W", CWidgetChunks().Int("vsbl", 1).Code(c.code).Raw("ab"))});
        EXPECT_EQ(CWidgetConstructor::ConstructFromName(Text("W"), nullptr), nullptr);
        const std::string failed = std::string("Widget Constructor ") +
                                   (c.type[0] == 'f'   ? "framewidget"
                                    : c.type[0] == 'm' ? "maskwidget"
                                                       : "shadwidget") +
                                   " create failed.";
        ASSERT_FALSE(app.m_Alerts.empty());
        EXPECT_EQ(app.m_Alerts[0].text, std::string(ErrorMessage(eResourceReadError)) +
                                            (c.text ? std::string("\n") + c.text : ""));
        EXPECT_EQ(Details(),
                  (Strings{c.text ? c.text : "", "Error parsing widget data chunk type.", failed}));
        ClearAlerts();
    }
    // What a mask that does not load shows.
    Write(
        {ImageBlock(Posix("."), 1, "Dot", 3, 2),
         WidgetBlock("mkwg", 2, "Gone", CWidgetChunks().String("imag", "Nowhere")),
         WidgetBlock("mkwg", 3, "GoneShared",
                     CWidgetChunks().String("imag", "Nowhere").Int("imsh", 1)),
         WidgetBlock("mkwg", 4, "NoList", CWidgetChunks().String("imls", "Nowhere")),
         WidgetBlock("mkwg", 5, "BadIndex", CWidgetChunks().String("imls", "Dots").Int("imlx", 2)),
         ImageListBlock(6, "Dots", {"Dot"}, "iml8")});
    const std::pair<const char*, const char*> loads[] = {
        {"Gone", "MaskWidget image load failed!"},
        {"GoneShared", "MaskWidget image load."},
        {"NoList", "MaskWidget image list load failed!"},
        {"BadIndex", "MaskWidget change image idx failed."},
    };
    for (const auto& [name, text] : loads) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CMaskWidget::CreateFromRes(Text(name), nullptr, nullptr), nullptr);
        ASSERT_FALSE(Details().empty());
        EXPECT_EQ(Details().back(), text);
        ClearAlerts();
    }
}

namespace {

// A colour widget under a type code of its own, as a higher layer's class.
class CExtraWidget : public CCoWidget {
public:
    uint32_t TypeID() const override { return FourCC("xtwg"); }
};

CWidget* LoadColourByName(const gCString& name, gCFile* file) {
    return CreateFromResource<CExtraWidget>(name, file, nullptr);
}
CWidget* LoadColourById(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CExtraWidget>(id, file, index);
}
CWidget* LoadNothingByName(const gCString&, gCFile*) {
    return nullptr;
}

} // namespace

TEST_F(WidgetResources, AHigherLayerRegistersItsClassInTheTable) {
    const int32_t type = Code4("xtwg");
    Write({WidgetBlock("xtwg", 4, "Label", CWidgetChunks().Int("colr", 0x12345678))});
    EXPECT_FALSE(CWidgetConstructor::IsConstructible(type));
    EXPECT_EQ(CWidgetConstructor::RegisterClass(type, &LoadNothingByName, &LoadColourById,
                                                "Widget Constructor xt create failed."),
              eNoError);
    EXPECT_EQ(CWidgetConstructor::ConstructFromName(Text("Label"), nullptr), nullptr);
    EXPECT_EQ(Details(), (Strings{"Widget Constructor xt create failed."}));
    ClearAlerts();
    // Registered again: the new loaders hold.
    ASSERT_EQ(CWidgetConstructor::RegisterClass(type, &LoadColourByName, &LoadColourById,
                                                "Widget Constructor xt create failed."),
              eNoError);
    std::unique_ptr<CWidget> label(CWidgetConstructor::ConstructFromName(Text("Label"), nullptr));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(dynamic_cast<CCoWidget&>(*label).GetClientColour(), CPixel(0x12345678u));
    std::unique_ptr<CWidget> byId(CWidgetConstructor::Load(type, 4, &file, &index));
    EXPECT_NE(byId, nullptr);
    // The toolkit's own classes and loaders that are missing are refused.
    EXPECT_EQ(
        CWidgetConstructor::RegisterClass(Code4("cowg"), &LoadColourByName, &LoadColourById, "x"),
        eBadParameter);
    EXPECT_EQ(CWidgetConstructor::RegisterClass(type, nullptr, &LoadColourById, "x"),
              eBadParameter);
    EXPECT_EQ(CWidgetConstructor::Construct(Text("Label"), Code4("tiwg"), nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Details(), (Strings{"Unrecognised type in widget constructor."}));
}
