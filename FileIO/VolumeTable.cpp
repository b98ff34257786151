#include "FileIO/VolumeTable.h"

#include "foundation/StringUnits.h"
#include "foundation/Utf8.h"
#include "foundation/gCString.h"

namespace {

std::vector<gCVolumeTable::Volume>& Table() {
    static std::vector<gCVolumeTable::Volume> table = {
        {std::u16string(gCVolumeTable::kRootVolume), "/"}};
    return table;
}

std::string NormaliseFolder(const std::string& folder) {
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') {
        f.pop_back();
    }
    return f.empty() ? "/" : f;
}

// A colon component to its name on disk: '/' inside a name is ':' there.
std::string ComponentToPosix(std::u16string_view component) {
    std::u16string c(component);
    for (char16_t& u : c) {
        if (u == u'/') {
            u = u':';
        }
    }
    return gUtf16ToUtf8(c);
}

std::u16string ComponentFromPosix(std::string_view name) {
    std::u16string c = gUtf8ToUtf16(name);
    for (char16_t& u : c) {
        if (u == u':') {
            u = u'/';
        }
    }
    return c;
}

} // namespace

void gCVolumeTable::Register(std::u16string_view name, const std::string& folder) {
    for (Volume& v : Table()) {
        if (v.name == name) {
            v.folder = NormaliseFolder(folder);
            return;
        }
    }
    Table().push_back({std::u16string(name), NormaliseFolder(folder)});
}

void gCVolumeTable::Unregister(std::u16string_view name) {
    auto& t = Table();
    for (auto it = t.begin(); it != t.end(); ++it) {
        if (it->name == name) {
            t.erase(it);
            return;
        }
    }
}

void gCVolumeTable::Reset() {
    Table() = {{std::u16string(kRootVolume), "/"}};
}

std::vector<gCVolumeTable::Volume> gCVolumeTable::Volumes() {
    return Table();
}

error gCVolumeTable::ColonToPosix(std::u16string_view colon, std::string& posix) {
    const size_t first = colon.find(u':');
    if (first == std::u16string_view::npos || first == 0) {
        return eBadParameter;
    }
    const std::u16string_view volume = colon.substr(0, first);
    const Volume* found = nullptr;
    for (const Volume& v : Table()) {
        if (v.name == volume) {
            found = &v;
            break;
        }
    }
    if (!found) {
        return eBadParameter;
    }
    std::string out = found->folder == "/" ? std::string() : found->folder;
    std::u16string_view rest = colon.substr(first + 1);
    const bool trailing = !rest.empty() && rest.back() == u':';
    while (!rest.empty()) {
        const size_t colonAt = rest.find(u':');
        const std::u16string_view component = rest.substr(0, colonAt);
        if (!component.empty()) {
            out += '/';
            out += ComponentToPosix(component);
        }
        if (colonAt == std::u16string_view::npos) {
            break;
        }
        rest = rest.substr(colonAt + 1);
    }
    if (out.empty() || trailing) {
        out += '/';
    }
    posix = out;
    return eNoError;
}

error gCVolumeTable::ColonToPosix(const gCString& colon, std::string& posix) {
    return ColonToPosix(TextOf(colon), posix);
}

error gCVolumeTable::PosixToColon(const std::string& posix, std::u16string& colon) {
    if (posix.empty() || posix[0] != '/') {
        return eBadParameter;
    }
    const Volume* best = nullptr;
    for (const Volume& v : Table()) {
        const std::string& f = v.folder;
        const bool prefix = f == "/" || (posix.compare(0, f.size(), f) == 0 &&
                                         (posix.size() == f.size() || posix[f.size()] == '/'));
        if (prefix && (!best || f.size() > best->folder.size())) {
            best = &v;
        }
    }
    if (!best) {
        return eBadParameter;
    }
    std::u16string out = best->name + u":";
    std::string_view rest(posix);
    rest.remove_prefix(best->folder == "/" ? 0 : best->folder.size());
    bool firstComponent = true;
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string_view component = rest.substr(0, slash);
        if (!component.empty()) {
            if (!firstComponent) {
                out += u':';
            }
            out += ComponentFromPosix(component);
            firstComponent = false;
        }
        if (slash == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(slash + 1);
    }
    colon = out;
    return eNoError;
}
