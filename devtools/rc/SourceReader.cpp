#include "devtools/rc/SourceReader.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "FileIO/ResourceTags.h"
#include "devtools/rc/Payloads.h"

namespace fs = std::filesystem;

namespace {

// The largest payload file: its length must fit an Int32 with room to spare.
constexpr size_t kMaxFileBytes = 0x7FFF0000;

class FileReader {
public:
    FileReader(const fs::path& path, ResourceSources& sources, Diagnostics& diagnostics)
        : m_Path(path), m_Sources(sources), m_Diagnostics(diagnostics) {}

    void Read() {
        YAML::Node root;
        try {
            root = YAML::LoadFile(m_Path.string());
        } catch (const YAML::Exception& e) {
            m_Diagnostics.Error({m_Path.string(), e.mark.line + 1}, e.msg);
            return;
        }
        if (root.IsNull()) {
            return;
        }
        if (!root.IsMap()) {
            Error(root, "expected a map with \"strings\" and/or \"blocks\"");
            return;
        }
        for (const auto& item : root) {
            const std::string key = item.first.as<std::string>();
            if (key == "strings") {
                ForEach(item.second, [this](const YAML::Node& n) { ReadString(n); });
            } else if (key == "blocks") {
                ForEach(item.second, [this](const YAML::Node& n) { ReadBlock(n); });
            } else {
                Error(item.first, "unknown section \"" + key + "\"");
            }
        }
    }

private:
    SourcePlace Place(const YAML::Node& node) const {
        return {m_Path.string(), node.Mark().line + 1};
    }
    void Error(const YAML::Node& node, const std::string& message) {
        m_Diagnostics.Error(Place(node), message);
    }

    template <typename Each> void ForEach(const YAML::Node& list, Each each) {
        if (!list.IsSequence()) {
            Error(list, "expected a list");
            return;
        }
        for (const YAML::Node& n : list) {
            each(n);
        }
    }

    // The entry's keys must all be known; true when they are.
    bool KnownKeys(const YAML::Node& entry, std::initializer_list<const char*> keys) {
        if (!entry.IsMap()) {
            Error(entry, "expected a map");
            return false;
        }
        bool ok = true;
        for (const auto& item : entry) {
            const std::string key = item.first.Scalar();
            if (std::none_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; })) {
                Error(item.first, "unknown key \"" + key + "\"");
                ok = false;
            }
        }
        return ok;
    }

    bool Scalar(const YAML::Node& entry, const char* key, std::string& value) {
        const YAML::Node n = entry[key];
        if (!n) {
            Error(entry, std::string("missing \"") + key + "\"");
            return false;
        }
        if (!n.IsScalar()) {
            Error(n, std::string("\"") + key + "\" must be a single value");
            return false;
        }
        value = n.Scalar();
        return true;
    }

    // An integer in decimal or 0x hex within [low, high].
    bool Integer(const YAML::Node& entry, const char* key, int64_t low, int64_t high,
                 int64_t& value) {
        std::string text;
        if (!Scalar(entry, key, text)) {
            return false;
        }
        const bool negative = !text.empty() && text[0] == '-';
        const std::string digits = negative ? text.substr(1) : text;
        const bool hex =
            digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
        const std::string body = hex ? digits.substr(2) : digits;
        char* end = nullptr;
        errno = 0;
        const unsigned long long magnitude = std::strtoull(body.c_str(), &end, hex ? 16 : 10);
        if (body.empty() || *end != '\0' || errno != 0 || body[0] == '-' || body[0] == '+' ||
            magnitude > (1ULL << 40)) {
            Error(entry[key], std::string("\"") + key + "\" is not a number: " + text);
            return false;
        }
        value = negative ? -int64_t(magnitude) : int64_t(magnitude);
        if (value < low || value > high) {
            Error(entry[key], std::string("\"") + key + "\" is out of range: " + text);
            return false;
        }
        return true;
    }

    // A text that the stream's line reader gives back whole.
    bool Text(const YAML::Node& entry, const char* key, bool required, std::string& value) {
        if (!entry[key]) {
            if (required) {
                Error(entry, std::string("missing \"") + key + "\"");
            }
            return !required;
        }
        if (!Scalar(entry, key, value)) {
            return false;
        }
        if (value.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) {
            Error(entry[key], std::string("\"") + key + "\" holds a line feed, return or NUL");
            return false;
        }
        return true;
    }

    bool ReadFileBytes(const YAML::Node& entry, std::string& bytes) {
        std::string relative;
        if (!Text(entry, "file", true, relative)) {
            return false;
        }
        const fs::path path = m_Path.parent_path() / relative;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            Error(entry["file"], "cannot read " + path.string());
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (bytes.size() > kMaxFileBytes) {
            Error(entry["file"], path.string() + " is too large");
            return false;
        }
        return true;
    }

    void ReadString(const YAML::Node& entry) {
        StringEntry s;
        int64_t id = 0;
        if (!KnownKeys(entry, {"id", "name", "text"}) ||
            !Integer(entry, "id", 0, 0xFFFFFFFFLL, id) || !Text(entry, "name", false, s.name) ||
            !Text(entry, "text", true, s.text)) {
            return;
        }
        if (s.text.empty()) {
            Error(entry["text"], "empty text");
            return;
        }
        if (s.text.back() == '|') {
            Error(entry["text"], "the text's last variant is empty");
            return;
        }
        s.id = uint32_t(id);
        s.place = Place(entry);
        m_Sources.strings.push_back(std::move(s));
    }

    void ReadBlock(const YAML::Node& entry) {
        if (!entry.IsMap()) {
            Error(entry, "expected a map");
            return;
        }
        std::string kind;
        if (!Scalar(entry, "kind", kind)) {
            return;
        }
        ResourceBlock block;
        block.place = Place(entry);
        int64_t id = 0;
        const auto header = [&](std::initializer_list<const char*> keys) {
            return KnownKeys(entry, keys) && Integer(entry, "id", INT32_MIN, INT32_MAX, id) &&
                   Text(entry, "name", true, block.name);
        };
        if (kind == "image" || kind == "sound") {
            std::string bytes;
            if (!header({"kind", "id", "name", "file"}) || !ReadFileBytes(entry, bytes)) {
                return;
            }
            if (kind == "image") {
                if (!IsImageFile(bytes)) {
                    Error(entry["file"], "not a PNG, JPEG or BMP file");
                    return;
                }
                if (PngHasBackground(bytes)) {
                    m_Diagnostics.Warning(Place(entry["file"]),
                                          "the PNG carries a background colour (bKGD): its "
                                          "transparency is flattened onto it when loaded");
                }
                block.tag = kResImageTag;
            } else {
                std::string canonical, why;
                if (!NormaliseWav(bytes, canonical, why)) {
                    Error(entry["file"], "unusable sound: " + why);
                    return;
                }
                bytes = std::move(canonical);
                block.tag = kResSoundTag;
            }
            block.payload = std::make_unique<BytesPayload>(std::move(bytes), true);
        } else if (kind == "imagelist" || kind == "imagelist8") {
            if (!header({"kind", "id", "name", "exclusive", "images"})) {
                return;
            }
            bool exclusive = false;
            if (entry["exclusive"]) {
                std::string flag;
                if (!Scalar(entry, "exclusive", flag)) {
                    return;
                }
                if (flag != "true" && flag != "false") {
                    Error(entry["exclusive"], "\"exclusive\" is true or false");
                    return;
                }
                exclusive = flag == "true";
            }
            const YAML::Node images = entry["images"];
            if (!images || !images.IsSequence()) {
                Error(images ? images : entry, "\"images\" must be a list of image names");
                return;
            }
            std::vector<std::string> names;
            for (const YAML::Node& n : images) {
                if (!n.IsScalar() || n.Scalar().empty()) {
                    Error(n, "an image name must be a non-empty text");
                    return;
                }
                names.push_back(n.Scalar());
                m_Members.push_back({n.Scalar(), Place(n)});
            }
            block.tag = kind == "imagelist" ? kResImageListTag : kResImageList8Tag;
            block.payload = std::make_unique<ImageListPayload>(exclusive, std::move(names));
        } else if (kind == "gradient") {
            if (!header({"kind", "id", "name", "stops"})) {
                return;
            }
            std::vector<GradientStop> stops;
            const YAML::Node list = entry["stops"];
            if (!list || !list.IsSequence()) {
                Error(list ? list : entry, "\"stops\" must be a list");
                return;
            }
            for (const YAML::Node& n : list) {
                GradientStop stop;
                int64_t colour = 0;
                std::string position;
                if (!KnownKeys(n, {"colour", "position"}) ||
                    !Integer(n, "colour", 0, 0xFFFFFFFFLL, colour) ||
                    !Scalar(n, "position", position)) {
                    return;
                }
                char* end = nullptr;
                stop.position = std::strtof(position.c_str(), &end);
                if (position.empty() || *end != '\0' || !std::isfinite(stop.position) ||
                    stop.position < 0 || stop.position > 1) {
                    Error(n["position"], "a stop's position is a number from 0 to 1");
                    return;
                }
                stop.colour = uint32_t(colour);
                stops.push_back(stop);
            }
            block.tag = kResGradientTag;
            block.payload = std::make_unique<GradientPayload>(std::move(stops));
        } else if (kind == "raw") {
            std::string tag, hex;
            if (!header({"kind", "id", "name", "tag", "bytes"}) || !Scalar(entry, "tag", tag)) {
                return;
            }
            if (tag.size() != 4 || tag == "vers") {
                Error(entry["tag"], "a raw block's tag is four characters other than vers");
                return;
            }
            std::string bytes;
            if (entry["bytes"] &&
                (!Scalar(entry, "bytes", hex) || !Hex(entry["bytes"], hex, bytes))) {
                return;
            }
            block.tag = (uint32_t(uint8_t(tag[0])) << 24) | (uint32_t(uint8_t(tag[1])) << 16) |
                        (uint32_t(uint8_t(tag[2])) << 8) | uint32_t(uint8_t(tag[3]));
            block.payload = std::make_unique<BytesPayload>(std::move(bytes), false);
        } else {
            Error(entry["kind"], "unknown kind \"" + kind + "\"");
            return;
        }
        if (block.name.empty()) {
            Error(entry["name"], "a block needs a name");
            return;
        }
        block.id = int32_t(id);
        m_Sources.blocks.push_back(std::move(block));
    }

    bool Hex(const YAML::Node& node, const std::string& text, std::string& bytes) {
        std::string digits;
        for (char c : text) {
            if (std::isxdigit(uint8_t(c))) {
                digits.push_back(c);
            } else if (c != ' ') {
                Error(node, "\"bytes\" are hex digits, optionally spaced");
                return false;
            }
        }
        if (digits.size() % 2) {
            Error(node, "\"bytes\" need an even number of hex digits");
            return false;
        }
        for (size_t i = 0; i < digits.size(); i += 2) {
            bytes.push_back(char(std::stoi(digits.substr(i, 2), nullptr, 16)));
        }
        return true;
    }

public:
    struct Member {
        std::string name;
        SourcePlace place;
    };
    std::vector<Member> m_Members;

private:
    fs::path m_Path;
    ResourceSources& m_Sources;
    Diagnostics& m_Diagnostics;
};

std::string Where(const SourcePlace& place) {
    return place.file + ":" + std::to_string(place.line);
}

// Names unique across the blocks and across the string table; ids unique
// per block tag and in the string table; image-list members name images.
void CheckUniqueness(const ResourceSources& sources, const std::vector<FileReader::Member>& members,
                     Diagnostics& diagnostics) {
    std::map<std::string, SourcePlace> names;
    std::map<std::pair<uint32_t, int32_t>, SourcePlace> ids;
    std::set<std::string> images;
    for (const ResourceBlock& b : sources.blocks) {
        if (auto [it, fresh] = names.emplace(b.name, b.place); !fresh) {
            diagnostics.Error(b.place, "duplicate name \"" + b.name + "\" (first at " +
                                           Where(it->second) + ")");
        }
        if (auto [it, fresh] = ids.emplace(std::make_pair(b.tag, b.id), b.place); !fresh) {
            diagnostics.Error(b.place, "duplicate id " + std::to_string(b.id) +
                                           " for this kind (first at " + Where(it->second) + ")");
        }
        if (b.tag == kResImageTag) {
            images.insert(b.name);
        }
    }
    for (const auto& m : members) {
        if (!images.count(m.name)) {
            diagnostics.Error(m.place, "no image block is named \"" + m.name + "\"");
        }
    }
    std::map<std::string, SourcePlace> stringNames;
    std::map<uint32_t, SourcePlace> stringIDs;
    for (const StringEntry& s : sources.strings) {
        if (auto [it, fresh] = stringIDs.emplace(s.id, s.place); !fresh) {
            diagnostics.Error(s.place, "duplicate string id " + std::to_string(s.id) +
                                           " (first at " + Where(it->second) + ")");
        }
        if (s.name.empty()) {
            continue;
        }
        if (auto [it, fresh] = stringNames.emplace(s.name, s.place); !fresh) {
            diagnostics.Error(s.place, "duplicate name \"" + s.name + "\" (first at " +
                                           Where(it->second) + ")");
        }
    }
}

} // namespace

bool ReadSources(const std::string& folder, ResourceSources& sources, Diagnostics& diagnostics) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec)) {
        if (item.is_regular_file() && item.path().extension() == ".yaml") {
            files.push_back(item.path());
        }
    }
    if (ec) {
        diagnostics.Error("cannot read the source folder " + folder + ": " + ec.message());
        return false;
    }
    std::sort(files.begin(), files.end());
    std::vector<FileReader::Member> members;
    for (const fs::path& path : files) {
        FileReader reader(path, sources, diagnostics);
        reader.Read();
        members.insert(members.end(), reader.m_Members.begin(), reader.m_Members.end());
    }
    CheckUniqueness(sources, members, diagnostics);
    return !diagnostics.Failed();
}
