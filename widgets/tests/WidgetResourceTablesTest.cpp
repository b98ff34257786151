// Loading widgets and text lists, case by case: the chunks the loop reads
// and ignores, the text list's operations at and beyond its ends, its
// damaged blocks, and chunk texts in any script naming the blocks they
// load.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Utf8.h"
#include "imaging/Image.h"
#include "testsupport/FileIO/ResourceFileFixture.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "widgets/ImWidget.h"
#include "widgets/TextList.h"
#include "widgets/Widget.h"

namespace {

using Strings = std::vector<std::string>;

gCString Text(const std::string& utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError);
    return s;
}

class WidgetResourceTables : public ResourceFileFixture {
protected:
    void Write(const std::vector<std::string>& blocks, int32_t version = 2) {
        InstallResourceFile(ResourceFileBytes(version, blocks));
    }
    // The detail lines of the alerts shown, in order, then forgotten.
    Strings TakeDetails() {
        Strings out;
        for (const auto& alert : app.m_Alerts) {
            const size_t lf = alert.text.find('\n');
            out.push_back(lf == std::string::npos ? std::string() : alert.text.substr(lf + 1));
        }
        app.m_Alerts.clear();
        return out;
    }

};

// The four codes the loop reads and drops: whole, they leave the chunks
// after them to be read; cut short, they end the data without an alert.
TEST_F(WidgetResourceTables, IgnoredCodesNeverFail) {
    for (const char* code : {"ttrg", "ttrt", "autt", "tfpt"}) {
        SCOPED_TRACE(code);
        Write({WidgetBlock("wdgt", 1, "Whole",
                           CWidgetChunks().Int(code, -7).Int("vsbl", 0).Int(code, 0)),
               WidgetBlock("wdgt", 2, "Cut", CWidgetChunks().Int("vsbl", 0).Code(code).Raw("ab")),
               WidgetBlock("wdgt", 3, "Bare", CWidgetChunks().Int("vsbl", 0).Code(code))});
        for (const char* name : {"Whole", "Cut", "Bare"}) {
            SCOPED_TRACE(name);
            CWidget w;
            EXPECT_EQ(w.GetFromRes(Text(name), nullptr, nullptr), eNoError);
            EXPECT_EQ(w.Visible(), 0) << "the chunk before or after it read";
            EXPECT_EQ(TakeDetails(), Strings{});
        }
    }
}

// Every operation at the list's ends and beyond them, on the items a, b, c
// with ids 1, 2, 3 (format 2) or without ids (format 1).
TEST_F(WidgetResourceTables, TextListOperationsAtAndBeyondTheEnds) {
    struct SCase {
        const char* what;
        int32_t version;
        std::function<error(CTextList&)> operation;
        error result;
        Strings texts;            // the items afterwards
        std::vector<int32_t> ids; // ID(0..count) afterwards
        int32_t current;          // the current index afterwards
    };
    const SCase cases[] = {
        {"Text of the last item",
         2,
         [](CTextList& l) { return l.Text(2).GetLength() == 1 ? eNoError : eBadParameter; },
         eNoError,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         2},
        {"Text below the items",
         2,
         [](CTextList& l) { return l.Text(-1).GetLength() == 0 ? eNoError : eBadParameter; },
         eNoError,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"Text past the items",
         2,
         [](CTextList& l) { return l.Text(3).GetLength() == 0 ? eNoError : eBadParameter; },
         eNoError,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"SetCurrentIndex to the count",
         2,
         [](CTextList& l) { return l.SetCurrentIndex(3); },
         eNoError,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         3},
        {"SetCurrentIndex below",
         2,
         [](CTextList& l) { return l.SetCurrentIndex(-1); },
         eBadParameter,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"SetCurrentIndex past",
         2,
         [](CTextList& l) { return l.SetCurrentIndex(4); },
         eBadParameter,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"SetText of the last",
         2,
         [](CTextList& l) { return l.SetText(2, Text("z")); },
         eNoError,
         {"a", "b", "z"},
         {1, 2, 3, -1},
         0},
        {"SetText below",
         2,
         [](CTextList& l) { return l.SetText(-1, Text("z")); },
         eBadParameter,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"SetText past",
         2,
         [](CTextList& l) { return l.SetText(3, Text("z")); },
         eBadParameter,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"SetItem of the first",
         2,
         [](CTextList& l) { return l.SetItem(0, Text("z"), 9); },
         eNoError,
         {"z", "b", "c"},
         {9, 2, 3, -1},
         0},
        {"SetItem past",
         2,
         [](CTextList& l) { return l.SetItem(3, Text("z"), 9); },
         eBadParameter,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"SetID of the last",
         2,
         [](CTextList& l) {
             l.SetID(2, 9);
             return eNoError;
         },
         eNoError,
         {"a", "b", "c"},
         {1, 2, 9, -1},
         0},
        {"SetID below and past",
         2,
         [](CTextList& l) {
             l.SetID(-1, 9);
             l.SetID(3, 9);
             return eNoError;
         },
         eNoError,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"RemoveItem of the last",
         2,
         [](CTextList& l) { return l.RemoveItem(2); },
         eNoError,
         {"a", "b"},
         {1, 2, -1},
         0},
        {"RemoveItem below",
         2,
         [](CTextList& l) { return l.RemoveItem(-1); },
         eBadParameter,
         {"a", "b", "c"},
         {1, 2, 3, -1},
         0},
        {"RemoveItem keeps the current index",
         2,
         [](CTextList& l) {
             error e = l.SetCurrentIndex(2);
             return e != eNoError ? e : l.RemoveItem(0);
         },
         eNoError,
         {"b", "c"},
         {2, 3, -1},
         2},
        {"Add",
         2,
         [](CTextList& l) { return l.Add(Text("d"), 4); },
         eNoError,
         {"a", "b", "c", "d"},
         {1, 2, 3, 4, -1},
         0},
        {"Clear", 2, [](CTextList& l) { return l.Clear(); }, eNoError, {}, {-1}, 0},
        // Without ids.
        {"SetID without ids",
         1,
         [](CTextList& l) {
             l.SetID(0, 9);
             return eNoError;
         },
         eNoError,
         {"a", "b", "c"},
         {-1, -1, -1, -1},
         0},
        {"SetItem without ids",
         1,
         [](CTextList& l) { return l.SetItem(0, Text("z"), 9); },
         eBadParameter,
         {"a", "b", "c"},
         {-1, -1, -1, -1},
         0},
        {"RemoveItem without ids",
         1,
         [](CTextList& l) { return l.RemoveItem(1); },
         eNoError,
         {"a", "c"},
         {-1, -1, -1},
         0},
        {"Clear without ids", 1, [](CTextList& l) { return l.Clear(); }, eNoError, {}, {-1}, 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        Write({TextListBlock(3, "Items", 0, {{"a", 1}, {"b", 2}, {"c", 3}}, c.version)}, c.version);
        std::unique_ptr<CTextList> list(CTextList::CreateFromRes(3, nullptr, nullptr));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(c.operation(*list), c.result);
        EXPECT_EQ(list->CurrentIndex(), c.current);
        std::vector<int32_t> ids;
        for (int32_t i = 0; i <= list->Count(); ++i) {
            ids.push_back(list->ID(i));
        }
        EXPECT_EQ(ids, c.ids);
        Strings texts;
        for (int32_t i = 0; i < list->Count(); ++i) {
            texts.push_back(U(list->Text(i)));
        }
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(TakeDetails(), Strings{});
    }
}

// Damaged text-list blocks: the header reads are shown, a count the block
// cannot hold is refused before anything is read, and an item that runs
// past its block ends the load keeping the items before it.
TEST_F(WidgetResourceTables, DamagedTextListBlocks) {
    const std::string a = WriterUnits("a") + std::string("\0\0", 2) + WriterInt32(1);
    struct SCase {
        const char* what;
        std::string payload;
        Strings details;
        int32_t kept;
        bool followed; // by another block
    };
    const SCase cases[] = {
        {"no exclusivity", "ab", {"Error reading exclusivity"}, 0, false},
        {"no count", WriterInt32(0) + "ab", {"Error reading number of entries"}, 0, true},
        {"a negative count",
         WriterInt32(0) + WriterInt32(uint32_t(-1)) + a,
         {"Error reading number of entries"},
         0,
         true},
        {"a count the block cannot hold",
         WriterInt32(0) + WriterInt32(3) + a,
         {"Error reading number of entries"},
         0,
         true},
        {"a count of two thousand million",
         WriterInt32(0) + WriterInt32(0x7FFFFFFF) + a,
         {"Error reading number of entries"},
         0,
         true},
        {"a text without its end",
         WriterInt32(0) + WriterInt32(2) + a + WriterUnits("bcde"),
         {},
         1,
         true},
        {"an item without its id",
         WriterInt32(0) + WriterInt32(2) + a + WriterUnits("bcdef") + std::string("\0\0", 2),
         {},
         1,
         true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        // A block after it would lend its bytes to a read that runs on;
        // without one, only the file's end stops the read.
        std::vector<std::string> blocks{WriterBlock("txlt", 3, "Damaged", c.payload)};
        if (c.followed) {
            blocks.push_back(TextListBlock(4, "Next", 0, {{"x", 1}}));
        }
        Write(blocks);
        CTextList list;
        {
            // Nothing sized by the count: no request beyond a kilobyte.
            CLargestRequest watch;
            EXPECT_NE(list.GetFromRes(3, nullptr, nullptr), eNoError);
            EXPECT_LE(CLargestRequest::Largest(), 1024u);
        }
        EXPECT_EQ(TakeDetails(), c.details);
        ASSERT_EQ(list.Count(), c.kept);
        if (c.kept == 1) {
            EXPECT_EQ(U(list.Text(0)), "a");
            EXPECT_EQ(list.ID(0), 1);
        }
        EXPECT_EQ(CTextList::CreateFromRes(3, nullptr, nullptr), nullptr);
        (void)TakeDetails(); // shown above already
    }
}

// An 'imag' block of a flat picture of that size.
std::string ImageBlock(const std::string& folder, int32_t id, const std::string& name,
                       int32_t width, int32_t height) {
    CImage picture(width, height);
    const std::string path = folder + "/picture.png";
    EXPECT_TRUE(WritePicturePng(picture, path));
    std::ifstream in(path, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(in)), {});
    return WriterBlock("imag", id, name, WriterInt32(uint32_t(png.size())) + png);
}

// Chunk texts in any script reach the blocks they name: an image named by
// "imag", and by "imls" a list naming it.
TEST_F(WidgetResourceTables, ChunkTextsInAnyScriptNameTheirBlocks) {
    for (const std::string name : {"Bild é", "🎨", "Ωmega ü 🎨 ß"}) {
        SCOPED_TRACE(name);
        const std::string list = name + " list";
        Write({ImageBlock(Posix("."), 1, name, 3, 2),
               WriterBlock("imlt", 2, list,
                           WriterInt32(0) + WriterInt32(1) + WriterUnits(name) +
                               std::string("\n\0\r\0", 4)),
               WidgetBlock("imwg", 10, "ByImage", CWidgetChunks().String("imag", name)),
               WidgetBlock("imwg", 11, "ByList", CWidgetChunks().String("imls", list))});
        for (const char* widget : {"ByImage", "ByList"}) {
            SCOPED_TRACE(widget);
            std::unique_ptr<CImWidget> w(CImWidget::CreateFromRes(Text(widget), nullptr, nullptr));
            ASSERT_NE(w, nullptr);
            ASSERT_NE(w->Image(), nullptr);
            EXPECT_EQ(w->Image()->GetWidth(), 3);
        }
        EXPECT_EQ(TakeDetails(), Strings{});
    }
}

} // namespace
