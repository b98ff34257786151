// The string table, loaded from files that the resource compiler made:
// the replace rule across files, names kept or not, variants, and look-ups
// straight from the file.

#include "FileIO/VolumeTable.h"
#include "FileIO/gCStringTable.h"
#include "devtools/tests/CompilerRun.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

class StringTable : public CompilerTest {
protected:
    // Compiles the entries (YAML list items) into <folder>/out/system.vsf
    // and opens it.
    void Make(gCFile& file, const std::string& folder, const std::string& entries) {
        const CompilerResult r = Compile(folder, "strings:\n" + entries);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        OpenOutput(file, folder, "system.vsf");
    }

    gCFile m_First;
    gCFile m_Second;
};

const std::string kFailure = "%%String Table Error";

TEST_F(StringTable, AFileWithNoRecordsLeavesTheTableEmpty) {
    Make(m_First, "a", "  []\n");
    gCStringTable table;
    EXPECT_EQ(table.AppendFromRes(&m_First, 1), eNoError);
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(U(table.GetString(1u, 0)), kFailure);
}

TEST_F(StringTable, NeedsAnOpenFile) {
    gCStringTable table;
    gCFile closed;
    EXPECT_EQ(table.AppendFromRes(static_cast<gCFile*>(nullptr), 1), eBadParameter);
    EXPECT_EQ(table.AppendFromRes(&closed, 1), eBadParameter);
    EXPECT_EQ(U(gCStringTable::FindFromFile(&closed, 1u, 0)), kFailure);
}

TEST_F(StringTable, ALaterFileReplacesTheSameIdOnlyWhenAsked) {
    Make(m_First, "a", "  - {id: 1, text: first}\n  - {id: 2, text: other}\n");
    Make(m_Second, "b", "  - {id: 1, text: second}\n");

    gCStringTable replaced;
    ASSERT_EQ(replaced.GetFromRes(&m_First), eNoError);
    ASSERT_EQ(replaced.AppendFromRes(&m_Second, 1), eNoError);
    EXPECT_EQ(replaced.GetCount(), 2);
    EXPECT_EQ(U(replaced.GetEntry(1u)), "second");

    gCStringTable kept;
    ASSERT_EQ(kept.GetFromRes(&m_First), eNoError);
    ASSERT_EQ(kept.AppendFromRes(&m_Second, 0), eNoError);
    EXPECT_EQ(kept.GetCount(), 2);
    EXPECT_EQ(U(kept.GetEntry(1u)), "first");
}

TEST_F(StringTable, KeepingNamesAnEntryOfTheSameNameIsReplaced) {
    Make(m_First, "a", "  - {id: 1, name: greeting, text: Hello}\n");
    Make(m_Second, "b", "  - {id: 2, name: greeting, text: Hi}\n");

    gCStringTable named(1);
    ASSERT_EQ(named.GetFromRes(&m_First), eNoError);
    ASSERT_EQ(named.AppendFromRes(&m_Second, 1), eNoError);
    EXPECT_EQ(named.GetCount(), 1);
    EXPECT_EQ(U(named.GetEntry(1u)), kFailure);
    int32_t id = 0;
    EXPECT_EQ(U(named.GetStringAndID(id, S("greeting"), 0)), "Hi");
    EXPECT_EQ(id, 2);

    gCStringTable unnamed(0);
    ASSERT_EQ(unnamed.GetFromRes(&m_First), eNoError);
    ASSERT_EQ(unnamed.AppendFromRes(&m_Second, 1), eNoError);
    EXPECT_EQ(unnamed.GetCount(), 2);
    EXPECT_EQ(U(unnamed.GetString(S("greeting"), 0)), kFailure);

    // Cleared and loaded again, ids, texts and names still agree.
    EXPECT_EQ(named.ClearContents(), eNoError);
    EXPECT_EQ(named.GetCount(), 0);
    ASSERT_EQ(named.AppendFromRes(&m_First, 1), eNoError);
    EXPECT_EQ(U(named.GetEntry(S("greeting"))), "Hello");
    EXPECT_EQ(U(named.GetEntry(1u)), "Hello");
}

// A name without a buffer is no name: it never finds an unnamed entry.
TEST_F(StringTable, ANameWithoutBufferMatchesNothing) {
    Make(m_First, "a", "  - {id: 1, text: unnamed}\n");
    gCStringTable named(1);
    ASSERT_EQ(named.GetFromRes(&m_First), eNoError);
    const gCString none;
    int32_t id = 0;
    EXPECT_EQ(U(named.GetString(none, 0)), kFailure);
    EXPECT_EQ(U(named.GetStringAndID(id, none, 0)), kFailure);
    EXPECT_EQ(U(named.GetEntry(none)), kFailure);
    EXPECT_EQ(U(gCStringTable::FindFromFile(&m_First, none, 0)), kFailure);
    EXPECT_EQ(U(named.GetString(1u, 0)), "unnamed");
}

struct VariantCase {
    const char* name;
    uint32_t id;
    int32_t field;
    const char* expected;
};

void PrintTo(const VariantCase& c, std::ostream* os) {
    *os << c.name;
}

class Variants : public StringTable, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(Variants, PickTheFieldOrFail) {
    Make(m_First, "a",
         "  - {id: 1, name: abc, text: \"A|B|C\"}\n"
         "  - {id: 2, text: \"A||C\"}\n");
    gCStringTable table(1);
    ASSERT_EQ(table.GetFromRes(&m_First), eNoError);
    const VariantCase& c = GetParam();
    EXPECT_EQ(U(table.GetString(c.id, c.field)), c.expected);
    EXPECT_EQ(U(gCStringTable::FindFromFile(&m_First, c.id, c.field)), c.expected);
    if (c.id == 1) {
        EXPECT_EQ(U(table.GetString(S("abc"), c.field)), c.expected);
        EXPECT_EQ(U(gCStringTable::FindFromFile(&m_First, S("abc"), c.field)), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(StringTable, Variants,
                         ::testing::Values(VariantCase{"First", 1, 0, "A"},
                                           VariantCase{"Last", 1, 2, "C"},
                                           VariantCase{"PastTheLast", 1, 3, "%%String Table Error"},
                                           VariantCase{"Negative", 1, -1, "%%String Table Error"},
                                           VariantCase{"EmptyMiddle", 2, 1, ""},
                                           VariantCase{"MissingId", 3, 0, "%%String Table Error"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StringTable, AddEntryOfAnExistingIdChangesNothing) {
    Make(m_First, "a", "  - {id: 1, text: one}\n");
    gCStringTable table;
    ASSERT_EQ(table.GetFromRes(&m_First), eNoError);
    EXPECT_EQ(table.AddEntry(1, S("uno"), S("")), eHandled);
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_EQ(U(table.GetEntry(1u)), "one");
    EXPECT_EQ(table.AddEntry(2, S("two"), S("")), eNoError);
    EXPECT_EQ(U(table.GetString(2u, 0)), "two");
}

TEST_F(StringTable, LoadsByPathBelowTheApplicationFolder) {
    Make(m_First, "app/Resources", "  - {id: 5, text: five}\n");
    std::u16string colon;
    ASSERT_EQ(gCVolumeTable::PosixToColon(Posix("app"), colon), eNoError);
    CFakeAppServices app;
    gCString root;
    ASSERT_EQ(root.CopyStringFromBuffer(colon.data(), int32_t(colon.size())), eNoError);
    app.m_ApplicationRoot = U(root) + ":";
    gCStringTable table;
    EXPECT_EQ(table.GetFromRes(S("Resources:out:system.vsf")), eNoError);
    EXPECT_EQ(U(table.GetString(5u, 0)), "five");
    EXPECT_NE(table.GetFromRes(S("Resources:out:missing.vsf")), eNoError);
}

} // namespace
