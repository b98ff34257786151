#include "devtools/rc/ResourceDump.h"

#include <cstdio>
#include <sstream>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/BlockKinds.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/rc/kinds/SourceDump.h"
#include "foundation/Utf8.h"

namespace {

std::string TagText(uint32_t tag) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((tag >> shift) & 0xFF);
        text.push_back(c >= 0x20 && c < 0x7F ? c : '?');
    }
    return text;
}

std::string Line(const std::string& tag, const std::string& id, const std::string& name,
                 int32_t size) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%-4s %11s  ", tag.c_str(), id.c_str());
    return buffer + name + "  " + std::to_string(size) + "\n";
}

} // namespace

int DumpResourceFile(const std::string& path, std::ostream& out) {
    gCFile file;
    error e = OpenPosixFile(file, path, eAccessReadOnly);
    while (e == eNoError && !file.FileEnd()) {
        uint32_t tag = 0;
        int32_t size = 0;
        int64_t data = 0;
        if ((e = file.ReadUint32(tag)) != eNoError ||
            (e = ReadResBlockSize(file, size, data)) != eNoError) {
            break;
        }
        if (tag == kResVersionTag) {
            int32_t version = 0;
            if (size != 4 || (e = file.ReadInt32(version)) != eNoError) {
                e = e != eNoError ? e : eResourceReadError;
                break;
            }
            out << Line(TagText(tag), "", "version " + std::to_string(version), size);
            continue;
        }
        int32_t id = 0;
        gCString name;
        if (size < kResHeaderMinimum || (e = file.ReadInt32(id)) != eNoError ||
            (e = ReadResBlockName(file, data + size, name)) != eNoError) {
            e = e != eNoError ? e : eResourceReadError;
            break;
        }
        out << Line(TagText(tag), std::to_string(id), gStringToUtf8(name), size);
        if (const CBlockKind* kind = FindBlockKindByTag(tag)) {
            kind->Dump(file, data + size, out);
        }
        e = file.SetFilePos(data + size);
    }
    return int(e);
}

int DumpResourceSource(const std::string& path, std::ostream& out) {
    gCFile file;
    error e = OpenPosixFile(file, path, eAccessReadOnly);
    std::ostringstream source;
    source << "blocks:\n";
    while (e == eNoError && !file.FileEnd()) {
        uint32_t tag = 0;
        int32_t size = 0;
        int64_t data = 0;
        if ((e = file.ReadUint32(tag)) != eNoError ||
            (e = ReadResBlockSize(file, size, data)) != eNoError) {
            break;
        }
        if (tag == kResVersionTag) {
            e = file.SetFilePos(data + size); // the compiler writes its own
            continue;
        }
        int32_t id = 0;
        gCString name;
        if (size < kResHeaderMinimum || (e = file.ReadInt32(id)) != eNoError ||
            (e = ReadResBlockName(file, data + size, name)) != eNoError) {
            e = e != eNoError ? e : eResourceReadError;
            break;
        }
        const std::string utf8 = gStringToUtf8(name);
        const int64_t payload = file.GetFilePos();
        const int64_t end = data + size;
        const CBlockKind* kind = FindBlockKindByTag(tag);
        std::ostringstream entry;
        if (!kind || !kind->DumpSource(tag, id, utf8, file, end, entry)) {
            std::string bytes(size_t(end - payload), '\0');
            if ((e = file.SetFilePos(payload)) != eNoError ||
                (!bytes.empty() &&
                 (e = file.ReadBlock(bytes.data(), int32_t(bytes.size()))) != eNoError)) {
                break;
            }
            entry.str("");
            entry << "  - kind: raw\n    tag: " << DumpQuoted(TagText(tag)) << "\n    id: " << id
                  << "\n    name: " << DumpQuoted(utf8) << "\n    bytes: \"";
            for (const char c : bytes) {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%02x", unsigned(uint8_t(c)));
                entry << hex;
            }
            entry << "\"\n";
        }
        source << entry.str();
        e = file.SetFilePos(end);
    }
    if (e == eNoError) {
        out << source.str();
    }
    return int(e);
}
