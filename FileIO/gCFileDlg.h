#pragma once
// The open and save dialogs. A type list decides which files the open
// dialog shows and which formats the save dialog offers; the saved file's
// format follows the suffix the user typed, and a name without a known
// suffix takes the list's first format and its suffix (appended before
// the user is asked whether to replace an existing file).
//
// Results: 0 chosen, 2 cancelled (the out value then unchanged), 23 when
// no dialog can be shown.

#include <cstdint>
#include <string>
#include <vector>

#include "FileIO/FileDialogBackend.h"
#include "FileIO/FileTypes.h"
#include "foundation/gCString.h"

class gCFRef;
class gCFTypeList;

class gCFileDlg {
public:
    // One format of a type list: its rows first, then its custom types.
    struct sEntry {
        gCString description;
        gCString extension; // with its '.'; a group lists several, comma-separated
        uint32_t macType = 0;
        eFileType fileType = eNoFileType; // none for a custom type
    };

    gCFileDlg() = default;
    virtual ~gCFileDlg() = default;

    // The full colon path of the chosen file. A dialog that fails, is
    // cancelled (2) or whose answer cannot be taken (23, or 5 without
    // memory) leaves the path or reference as it was.
    error ShowLoadFile(gCString& path, gCFTypeList* types);
    error ShowSaveFile(gCFRef* ref, gCFTypeList* types);
    // The full colon path of the chosen folder, ending in ':'.
    error ShowChooseFolder(gCString& path);

    int32_t ChosenFormat() const { return m_nChosenFormat; }

    static std::vector<sEntry> Entries(const gCFTypeList& types);
    // Whether the open dialog shows an item of this name (and Finder type;
    // "no type" never matches): folders always, files that match an entry
    // by type or by suffix (case-insensitive). No list shows everything.
    static bool ShowsItem(const gCFTypeList* types, const gCString& name, uint32_t macType,
                          bool isFolder);
    // Glob patterns that match an extension in any letter case:
    // ".jpg" gives "*.[jJ][pP][gG]"; ".*" gives "*".
    static std::vector<std::string> Patterns(const gCString& extension);
    // The entry whose extension the file name ends with (any case), or -1;
    // gives that extension as the entry spells it.
    static int32_t EntryForName(const std::vector<sEntry>& entries, const std::string& name,
                                std::u16string* extension = nullptr);

    // The dialog runner: the desktop's dialog program unless a test sets
    // its own (null restores the default).
    static void SetBackend(CFileDialogBackend* backend);
    static CFileDialogBackend& Backend();

    // Called while a dialog runs, so that the window keeps repainting and
    // input to it is dropped. Does nothing until the platform sets it.
    using ModalPumpFn = void (*)();
    static void SetModalPump(ModalPumpFn pump) { s_pModalPump = pump; }
    static ModalPumpFn ModalPump() { return s_pModalPump; }

private:
    static inline ModalPumpFn s_pModalPump = nullptr;

    gCFTypeList* m_pTypes = nullptr;
    int32_t m_nChosenFormat = 0;
};
