#include "devtools/rc/kinds/SourceDump.h"

#include <cstdio>

#include "FileIO/gCFile.h"
#include "foundation/Utf8.h"

bool ReadDumpUnits(gCFile& file, int64_t end, std::string& text) {
    std::u16string units;
    while (file.GetFilePos() + 2 <= end) {
        uint16_t unit = 0;
        if (file.ReadUint16(unit) != eNoError) {
            return false;
        }
        if (unit == 0) {
            text = gUtf16ToUtf8(units);
            // A text that does not come back as the same units has no source form.
            return gUtf8ToUtf16(text) == units;
        }
        units.push_back(char16_t(unit));
    }
    return false;
}

bool ReadDumpName(gCFile& file, int64_t end, std::string& text) {
    std::u16string units;
    while (file.GetFilePos() + 2 <= end) {
        uint16_t unit = 0;
        if (file.ReadUint16(unit) != eNoError) {
            return false;
        }
        if (unit == 0x000D && !units.empty() && units.back() == 0x000A) {
            units.pop_back();
            text = gUtf16ToUtf8(units);
            return gUtf8ToUtf16(text) == units;
        }
        units.push_back(char16_t(unit));
    }
    return false;
}

bool DropChunkLineEnd(std::string& text) {
    if (text.empty() || text.back() != '\n') {
        return false;
    }
    text.pop_back();
    return true;
}

std::string DumpQuoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uint8_t(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", unsigned(uint8_t(c)));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
