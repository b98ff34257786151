// libFuzzer target for the string-table file: each input is a whole file,
// loaded into tables that keep names and that do not, appended over the
// built table, and searched straight from the open file. Built only with
// clang; see the README.

#include <cstddef>
#include <cstdint>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCStringTable.h"
#include "bench/FuzzSupport.h"
#include "testsupport/foundation/FakeAppServices.h"
#include <string>

namespace {

// A few look-ups of each kind; any text is fine.
void LookUp(const gCStringTable& table, const gCString& name) {
    for (uint32_t id : {0u, 1u, 0xB2D05E00u}) {
        (void)table.GetString(id, 1);
        (void)table.GetEntry(id);
    }
    int32_t id = 0;
    (void)table.GetStringAndID(id, name, 0);
    (void)table.GetEntry(name);
}

// The built string-table file's colon path.
gCFRef& BuiltRef() {
    static gCFRef ref = [] {
        std::u16string colon;
        gCString path;
        if (gCVolumeTable::PosixToColon(fuzz::BuiltStringTablePath(), colon) == eNoError) {
            (void)path.CopyString(colon.c_str());
        }
        return gCFRef(path);
    }();
    return ref;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::WriteScratch("table.vsf", data, size)) {
        return 0;
    }
    CFakeAppServices quiet;
    gCString name;
    (void)name.CopyString(u"Quit");
    gCFRef ref(fuzz::ScratchColon("table.vsf"));
    gCFile file;
    if (file.Open(&ref, eAccessReadOnly) != eNoError) {
        return 0;
    }
    for (int32_t keepNames : {0, 1}) {
        gCStringTable table(keepNames);
        (void)table.GetFromRes(&file);
        LookUp(table, name);
    }
    {
        // Over the built table, replacing its entries.
        gCStringTable table(1);
        gCFile built;
        if (built.Open(&BuiltRef(), eAccessReadOnly) == eNoError) {
            (void)table.GetFromRes(&built);
        }
        (void)table.AppendFromRes(&file, 1);
        LookUp(table, name);
    }
    (void)gCStringTable::FindFromFile(&file, 0xB2D05E00u, 0);
    (void)gCStringTable::FindFromFile(&file, name, 1);
    return 0;
}
