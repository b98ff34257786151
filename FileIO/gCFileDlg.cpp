#include "FileIO/gCFileDlg.h"

#include <sys/stat.h>

#include <utility>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "foundation/Utf8.h"

namespace {

CSystemFileDialog s_SystemDialog;
CFileDialogBackend* s_pBackend = nullptr;

// The extensions of an entry: one, or a group's comma-separated list.
std::vector<std::u16string> Extensions(const gCString& extension) {
    std::vector<std::u16string> out;
    const std::u16string text = TextCopy(extension);
    size_t start = 0;
    while (start < text.size()) {
        size_t comma = text.find(u',', start);
        if (comma == std::u16string::npos) {
            comma = text.size();
        }
        if (comma > start) {
            out.push_back(text.substr(start, comma - start));
        }
        start = comma + 1;
    }
    return out;
}

// A POSIX path as a colon reference text: the volume table's error when it
// has none (never 23, which tells callers the dialog could not run and has
// shown so itself), 5 without memory (the text then unchanged).
error ColonText(const std::string& posix, gCString& text, std::u16string_view append = {}) {
    std::u16string colon;
    if (const error e = gCVolumeTable::PosixToColon(posix, colon); e != eNoError) {
        return e;
    }
    return JoinText(text, {colon, append});
}

std::string LeafOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Runs the dialog and gives the chosen item as a colon reference text.
error RunForColonText(const CFileDialogBackend::sRequest& request, gCString& text) {
    std::string chosen;
    const error e = gCFileDlg::Backend().Run(request, chosen);
    if (e != eNoError) {
        return e;
    }
    return ColonText(chosen, text);
}

} // namespace

void gCFileDlg::SetBackend(CFileDialogBackend* backend) {
    s_pBackend = backend;
}

CFileDialogBackend& gCFileDlg::Backend() {
    return s_pBackend ? *s_pBackend : s_SystemDialog;
}

std::vector<gCFileDlg::sEntry> gCFileDlg::Entries(const gCFTypeList& types) {
    std::vector<sEntry> out;
    for (const eFileType row : types.Types()) {
        if (row < eNoFileType || row > eNumTypesIndex) {
            continue;
        }
        out.push_back(
            {MakeString(sFileName[row]), MakeString(sPCFileType[row]), eMacFileType[row], row});
    }
    for (const gCFTypeList::sCustomFileType& c : types.CustomTypes()) {
        out.push_back({c.description, c.extension, c.macType, eNoFileType});
    }
    return out;
}

bool gCFileDlg::ShowsItem(const gCFTypeList* types, const gCString& name, uint32_t macType,
                          bool isFolder) {
    if (!types || isFolder) {
        return true;
    }
    const gCString suffix = gCFRef::GetFileSuffix(name);
    const std::u16string_view s = TextOf(suffix);
    const eFileType rowOfSuffix =
        s.empty() ? eNoFileType : FileTypeFromSuffix(s.data(), int32_t(s.size()));
    const std::u16string upper = UpperAscii(s);
    const std::vector<sEntry> entries = Entries(*types);
    for (const sEntry& e : entries) {
        if (!IsNoMacType(macType) && macType == e.macType) {
            return true;
        }
        if (rowOfSuffix != eNoFileType && rowOfSuffix != eUnknownFileType &&
            rowOfSuffix == e.fileType) {
            return true;
        }
    }
    if (upper.empty()) {
        return false;
    }
    for (const sEntry& e : entries) {
        for (const std::u16string& ext : Extensions(e.extension)) {
            if (UpperAscii(ext) == upper) {
                return true;
            }
        }
    }
    return false;
}

std::vector<std::string> gCFileDlg::Patterns(const gCString& extension) {
    std::vector<std::string> out;
    for (const std::u16string& ext : Extensions(extension)) {
        if (ext == u".*" || ext == u"*") {
            out.push_back("*");
            continue;
        }
        std::string pattern = "*";
        for (const char16_t u : ext) {
            const bool lower = u >= u'a' && u <= u'z';
            const bool upper = u >= u'A' && u <= u'Z';
            if (lower || upper) {
                pattern.push_back('[');
                pattern.push_back(char(lower ? u : u - u'A' + u'a'));
                pattern.push_back(char(lower ? u - u'a' + u'A' : u));
                pattern.push_back(']');
            } else if (u == u'*' || u == u'?' || u == u'[' || u == u']') {
                pattern.push_back('[');
                pattern.push_back(char(u));
                pattern.push_back(']');
            } else {
                pattern.append(gUtf16ToUtf8(std::u16string_view(&u, 1)));
            }
        }
        out.push_back(pattern);
    }
    return out;
}

int32_t gCFileDlg::EntryForName(const std::vector<sEntry>& entries, const std::string& name,
                                std::u16string* extension) {
    const std::u16string upper = UpperAscii(gUtf8ToUtf16(name));
    for (size_t i = 0; i < entries.size(); ++i) {
        for (const std::u16string& ext : Extensions(entries[i].extension)) {
            const std::u16string e = UpperAscii(ext);
            if (e.size() > 1 && e != u".*" && upper.size() > e.size() &&
                upper.compare(upper.size() - e.size(), e.size(), e) == 0) {
                if (extension) {
                    *extension = ext;
                }
                return int32_t(i);
            }
        }
    }
    return -1;
}

error gCFileDlg::ShowLoadFile(gCString& path, gCFTypeList* types) {
    m_pTypes = types;
    CFileDialogBackend::sRequest request;
    request.kind = CFileDialogBackend::eOpenFile;
    if (types) {
        CFileDialogBackend::sFilter all;
        for (const sEntry& e : Entries(*types)) {
            all.name += all.name.empty() ? "" : ", ";
            all.name += gStringToUtf8(e.description);
            for (const std::string& p : Patterns(e.extension)) {
                all.patterns.push_back(p);
            }
        }
        if (!all.patterns.empty()) {
            request.filters.push_back(all);
        }
    }
    gCString text;
    const error e = RunForColonText(request, text);
    if (e != eNoError) {
        return e;
    }
    gCFRef ref;
    if (ref.SetFileReference(text) != eNoError) {
        return eCreateFailed;
    }
    // FileReference is '' without memory: never a path that names nothing
    // given as the chosen file.
    const gCString chosen = ref.FileReference();
    return TextOf(chosen).empty() ? eOutOfMemory : SetText(path, TextOf(chosen));
}

error gCFileDlg::ShowSaveFile(gCFRef* ref, gCFTypeList* types) {
    if (!ref) {
        return eBadParameter;
    }
    const std::vector<sEntry> entries = types ? Entries(*types) : std::vector<sEntry>();
    CFileDialogBackend::sRequest request;
    request.kind = CFileDialogBackend::eSaveFile;
    for (const sEntry& e : entries) {
        request.filters.push_back({gStringToUtf8(e.description), Patterns(e.extension)});
    }
    if (!entries.empty() && types->GetAllFilesItem()) {
        request.filters.push_back({gStringToUtf8(MakeString(sFileName[eAllFiles])), {"*"}});
    }
    std::string chosen;
    int32_t format = -1;
    for (;;) {
        const error e = Backend().Run(request, chosen);
        if (e != eNoError) {
            return e;
        }
        std::string leaf = LeafOf(chosen);
        if (leaf.empty()) {
            return eHandled;
        }
        std::u16string matched;
        format = EntryForName(entries, leaf, &matched);
        if (format >= 0) {
            // The name keeps the stem the user typed and takes the format's
            // own spelling of the suffix, once.
            const std::string ext = gUtf16ToUtf8(matched);
            leaf = leaf.substr(0, leaf.size() - ext.size()) + ext;
        } else if (!entries.empty()) {
            format = 0;
            const std::vector<std::u16string> exts = Extensions(entries[0].extension);
            if (!exts.empty() && exts[0] != u".*") {
                leaf += gUtf16ToUtf8(exts[0]);
            }
        }
        chosen = FolderOf(chosen) + leaf;
        struct stat st;
        if (::stat(chosen.c_str(), &st) != 0) {
            break;
        }
        const error answer = Backend().Confirm("\xE2\x80\x9C" + leaf +
                                               "\xE2\x80\x9D already exists. Do you want to "
                                               "replace it?");
        if (answer == eNoError) {
            break;
        }
        if (answer != eHandled) {
            return answer;
        }
        request.startName = chosen; // ask again, starting from that name
    }
    gCString text;
    gCFRef result;
    error set = ColonText(chosen, text);
    if (set == eNoError) {
        set = result.SetFileReference(text);
    }
    if (set != eNoError) {
        return set;
    }
    if (format >= 0) {
        m_nChosenFormat = format;
        const sEntry& entry = entries[size_t(format)];
        // The suffix is already the format's own.
        result.SetFileTypes(entry.fileType, entry.macType);
    }
    *ref = std::move(result);
    return eNoError;
}

error gCFileDlg::ShowChooseFolder(gCString& path) {
    CFileDialogBackend::sRequest request;
    request.kind = CFileDialogBackend::eChooseFolder;
    gCString text;
    error e = RunForColonText(request, text);
    if (e != eNoError) {
        return e;
    }
    const std::u16string_view t = TextOf(text);
    if (t.empty() || t.back() != u':') {
        e = JoinText(text, {t, u":"});
    }
    // The path only when the whole folder text could be made.
    return e != eNoError ? e : SetText(path, TextOf(text));
}
