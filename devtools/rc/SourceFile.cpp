#include "devtools/rc/SourceFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// The largest payload file: its length must fit an Int32 with room to spare.
constexpr size_t kMaxFileBytes = 0x7FFF0000;

} // namespace

SourcePlace CSourceFile::Place(const YAML::Node& node) const {
    return {m_Path.string(), node.Mark().line + 1};
}

void CSourceFile::Error(const YAML::Node& node, const std::string& message) {
    m_Diagnostics.Error(Place(node), message);
}

void CSourceFile::Warning(const YAML::Node& node, const std::string& message) {
    m_Diagnostics.Warning(Place(node), message);
}

bool CSourceFile::KnownKeys(const YAML::Node& entry, const std::vector<const char*>& keys) {
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

bool CSourceFile::Scalar(const YAML::Node& entry, const char* key, std::string& value) {
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

bool CSourceFile::Integer(const YAML::Node& entry, const char* key, int64_t low, int64_t high,
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
    const int64_t number = negative ? -int64_t(magnitude) : int64_t(magnitude);
    if (number < low || number > high) {
        Error(entry[key], std::string("\"") + key + "\" is out of range: " + text);
        return false;
    }
    value = number;
    return true;
}

bool CSourceFile::Text(const YAML::Node& entry, const char* key, bool required,
                       std::string& value) {
    if (!entry[key]) {
        if (required) {
            Error(entry, std::string("missing \"") + key + "\"");
        }
        return !required;
    }
    std::string text;
    if (!Scalar(entry, key, text)) {
        return false;
    }
    if (text.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) {
        Error(entry[key], std::string("\"") + key + "\" holds a line feed, return or NUL");
        return false;
    }
    value = std::move(text);
    return true;
}

bool CSourceFile::FileBytes(const YAML::Node& entry, std::string& bytes) {
    std::string relative;
    if (!Text(entry, "file", true, relative)) {
        return false;
    }
    const std::filesystem::path path = m_Path.parent_path() / relative;
    // Read aside, and only a regular file read to its end: a read that
    // fails part-way is never taken as a short file.
    std::string read;
    bool whole = false;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        try {
            read.assign(std::istreambuf_iterator<char>(in), {});
            whole = in.is_open() && !in.bad();
        } catch (const std::ios_base::failure&) {
            whole = false;
        }
    }
    if (!whole) {
        Error(entry["file"], "cannot read " + path.string());
        return false;
    }
    if (read.size() > kMaxFileBytes) {
        Error(entry["file"], path.string() + " is too large");
        return false;
    }
    bytes = std::move(read);
    return true;
}

void CSourceFile::Refer(uint32_t tag, const std::string& what, const YAML::Node& node) {
    m_References.push_back({tag, what, node.Scalar(), Place(node)});
}
