#include "devtools/rc/StringTable.h"

#include <map>

#include "FileIO/gCStringTable.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/Text.h"

void ReadStringEntry(CSourceFile& source, const YAML::Node& entry,
                     std::vector<StringEntry>& strings) {
    StringEntry s;
    int64_t id = 0;
    if (!source.KnownKeys(entry, {"id", "name", "text"}) ||
        !source.Integer(entry, "id", 0, 0xFFFFFFFFLL, id) ||
        !source.Text(entry, "name", false, s.name) || !source.Text(entry, "text", true, s.text)) {
        return;
    }
    if (s.text.empty()) {
        source.Error(entry["text"], "empty text");
        return;
    }
    if (s.text.back() == '|') {
        source.Error(entry["text"], "the text's last variant is empty");
        return;
    }
    s.id = uint32_t(id);
    s.place = source.Place(entry);
    strings.push_back(std::move(s));
}

void CheckStringEntries(const std::vector<StringEntry>& strings, Diagnostics& diagnostics) {
    std::map<std::string, SourcePlace> names;
    std::map<uint32_t, SourcePlace> ids;
    for (const StringEntry& s : strings) {
        if (auto [it, fresh] = ids.emplace(s.id, s.place); !fresh) {
            diagnostics.Error(s.place, "duplicate string id " + std::to_string(s.id) +
                                           " (first at " + Where(it->second) + ")");
        }
        if (s.name.empty()) {
            continue;
        }
        if (auto [it, fresh] = names.emplace(s.name, s.place); !fresh) {
            diagnostics.Error(s.place, "duplicate name \"" + s.name + "\" (first at " +
                                           Where(it->second) + ")");
        }
    }
}

bool WriteStringTableFile(const std::string& path, const ResourceSources& sources,
                          Diagnostics& diagnostics) {
    gCFile file;
    error e = OpenPosixFile(file, path, eAccessWholeNew);
    if (e != eNoError) {
        diagnostics.Error("cannot create " + path + " (error " + std::to_string(int(e)) + ")");
        return false;
    }
    for (const StringEntry& s : sources.strings) {
        if ((e = file.WriteUint32(s.id)) != eNoError || (e = file.WriteInt32(0)) != eNoError ||
            (e = file.WriteString(ToGString(s.name), 1)) != eNoError ||
            (e = file.WriteString(ToGString(s.text), 1)) != eNoError) {
            break;
        }
    }
    return CloseWritten(file, path, e, diagnostics);
}

bool VerifyStringTableFile(const std::string& path, const ResourceSources& sources,
                           Diagnostics& diagnostics) {
    gCFile file;
    gCStringTable table(1);
    error e = OpenPosixFile(file, path, eAccessReadOnly);
    if (e == eNoError) {
        e = table.GetFromRes(&file);
    }
    if (e != eNoError || table.GetCount() != int32_t(sources.strings.size())) {
        diagnostics.Error("cannot load the string table " + path + " (error " +
                          std::to_string(int(e)) + ")");
        return false;
    }
    for (const StringEntry& s : sources.strings) {
        bool same = SameText(table.GetEntry(s.id), s.text);
        if (!s.name.empty()) {
            int32_t id = 0;
            const gCString name = ToGString(s.name);
            same = same && SameText(table.GetEntry(name), s.text) &&
                   !SameText(table.GetStringAndID(id, name, 0), "%%String Table Error") &&
                   uint32_t(id) == s.id;
        }
        // Every variant, and nothing after the last.
        size_t start = 0;
        int32_t field = 0;
        for (;; ++field) {
            const size_t bar = s.text.find('|', start);
            const std::string variant = s.text.substr(start, bar - start);
            same = same && SameText(table.GetString(s.id, field), variant);
            if (bar == std::string::npos) {
                break;
            }
            start = bar + 1;
        }
        same = same && SameText(table.GetString(s.id, field + 1), "%%String Table Error") &&
               SameText(gCStringTable::FindFromFile(&file, s.id, 0),
                        s.text.substr(0, s.text.find('|')));
        if (!same) {
            diagnostics.Error(s.place, "the text of string " + std::to_string(s.id) +
                                           " does not read back as written");
        }
    }
    return !diagnostics.Failed();
}
