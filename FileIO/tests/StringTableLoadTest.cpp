// Loading a string table takes a whole file or nothing: a file that breaks
// off part-way leaves the table as it was, whichever loader read it.

#include <functional>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCStringTable.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

// One record: the id, the ignored word, the name and the text.
std::string Record(uint32_t id, const std::string& name, const std::string& text) {
    return Le32(id) + Le32(0) + Utf16Line(name) + Utf16Line(text);
}

class StringTableLoad : public TempVolume {
protected:
    void Open(gCFile& file, const std::string& name, const std::string& bytes) {
        WriteFileBytes(Posix(name), bytes);
        gCFRef ref(S(("HD:" + name).c_str()));
        ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
    }
    void ExpectFirstFile(const gCStringTable& table) {
        EXPECT_EQ(table.GetCount(), 2);
        EXPECT_EQ(U(table.GetString(1u, 0)), "Hello");
        EXPECT_EQ(U(table.GetString(S("greeting"), 0)), "Hello");
        EXPECT_EQ(U(table.GetString(2u, 0)), "Two");
        EXPECT_EQ(U(table.GetString(3u, 0)), "%%String Table Error");
    }
};

TEST_F(StringTableLoad, AFileThatBreaksOffLeavesTheTableAsItWas) {
    gCFile first, damaged;
    Open(first, "first.vsf", Record(1, "greeting", "Hello") + Record(2, "", "Two"));
    // Two good records that would replace and add, then one cut short.
    Open(damaged, "damaged.vsf",
         Record(1, "greeting", "Replaced") + Record(3, "", "Three") + Le32(4));
    struct Loader {
        const char* name;
        std::function<error(gCStringTable&, gCFile&)> load;
    } loaders[] = {
        {"GetFromRes", [](gCStringTable& t, gCFile& f) { return t.GetFromRes(&f); }},
        {"AppendFromRes replacing",
         [](gCStringTable& t, gCFile& f) { return t.AppendFromRes(&f, 1); }},
        {"AppendFromRes keeping",
         [](gCStringTable& t, gCFile& f) { return t.AppendFromRes(&f, 0); }},
    };
    for (const Loader& l : loaders) {
        SCOPED_TRACE(l.name);
        gCStringTable table(1);
        ASSERT_EQ(table.GetFromRes(&first), eNoError);
        ExpectFirstFile(table);
        {
            // A small file asks for small blocks: none beyond a kilobyte.
            CLargestRequest watch;
            EXPECT_EQ(l.load(table, damaged), eFileReadWriteError);
            EXPECT_LE(CLargestRequest::Largest(), 1024u);
        }
        ExpectFirstFile(table);
        // The same loader over a whole file still takes it.
        EXPECT_EQ(l.load(table, first), eNoError);
        ExpectFirstFile(table);
    }
}

TEST_F(StringTableLoad, AMissingFileLeavesTheTableAsItWas) {
    gCFile first;
    Open(first, "first.vsf", Record(1, "greeting", "Hello") + Record(2, "", "Two"));
    gCStringTable table(1);
    ASSERT_EQ(table.GetFromRes(&first), eNoError);
    gCFile closed;
    EXPECT_EQ(table.GetFromRes(&closed), eBadParameter);
    EXPECT_EQ(table.AppendFromRes(&closed, 1), eBadParameter);
    ExpectFirstFile(table);
}

} // namespace
