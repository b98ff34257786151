#include "devtools/layering/Layering.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace layering {

int EdgeTable::Layer(std::string_view module) const {
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layers[i] == module) {
            return int(i);
        }
    }
    return -1;
}

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool IsIdentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i])) {
            ++i;
        }
        const size_t start = i;
        while (i < line.size() && !IsSpace(line[i])) {
            ++i;
        }
        if (i > start) {
            words.emplace_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find('/', start);
        parts.push_back(
            path.substr(start, slash == std::string_view::npos ? slash : slash - start));
        if (slash == std::string_view::npos) {
            return parts;
        }
        start = slash + 1;
    }
}

// A path written from the root: no empty, "." or ".." component, no leading '/'.
bool FromRoot(std::string_view path) {
    for (std::string_view part : Components(path)) {
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
    }
    return true;
}

// Where a file sits in the tree, as far as the layering cares.
enum class Kind {
    Module,      // <module>/...
    Detail,      // <module>/detail/...
    Tests,       // <module>/tests/...
    TestSupport, // testsupport/<layer>/...
    Free,        // <free folder>/...
    FreeTests,   // <free folder>/.../tests/...
    Outside,     // anywhere else
};

struct Place {
    Kind kind = Kind::Outside;
    std::string area;          // the module, test support layer, free folder or top folder
    std::string privateFolder; // for Detail: the detail folder, "paint/canvas/detail"
    int layer = -1;
};

Place Classify(const EdgeTable& table, std::string_view path) {
    const std::vector<std::string_view> parts = Components(path);
    Place place;
    place.area = parts.size() > 1 ? std::string(parts[0]) : std::string();
    if (parts.size() < 2) {
        return place;
    }
    const bool inFolder = parts.size() > 2; // parts[1] is a folder, not the file
    if (const int layer = table.Layer(parts[0]); layer >= 0) {
        place.layer = layer;
        place.kind = Kind::Module;
        // A detail folder is private at any depth: paint/detail/ and
        // paint/canvas/detail/ alike.
        for (size_t i = 1; i + 1 < parts.size(); ++i) {
            if (parts[i] == "detail") {
                place.kind = Kind::Detail;
                for (size_t k = 0; k <= i; ++k) {
                    place.privateFolder += std::string(parts[k]) + (k < i ? "/" : "");
                }
                return place;
            }
        }
        if (inFolder && parts[1] == "tests") {
            place.kind = Kind::Tests;
        }
        return place;
    }
    if (parts[0] == "testsupport") {
        if (const int layer = inFolder ? table.Layer(parts[1]) : -1; layer >= 0) {
            place.kind = Kind::TestSupport;
            place.area = std::string(parts[1]);
            place.layer = layer;
        }
        return place;
    }
    if (std::find(table.freeFolders.begin(), table.freeFolders.end(), parts[0]) !=
        table.freeFolders.end()) {
        place.kind = Kind::Free;
        for (size_t i = 1; i + 1 < parts.size(); ++i) {
            if (parts[i] == "tests") {
                place.kind = Kind::FreeTests;
            }
        }
    }
    return place;
}

std::string Describe(const Place& place, const std::string& file) {
    switch (place.kind) {
    case Kind::Module:
    case Kind::Detail:
    case Kind::Free:
        return place.area;
    case Kind::Tests:
    case Kind::FreeTests:
        return place.area + " tests";
    case Kind::TestSupport:
        return "testsupport/" + place.area;
    case Kind::Outside:
        break;
    }
    return place.area.empty() ? file : place.area + "/";
}

std::string OutsideRule(const Place& place) {
    if (place.area.empty()) {
        return "the root holds no sources";
    }
    if (place.area == "testsupport") {
        return "testsupport/ holds one folder per layer";
    }
    return place.area + "/ is in no area of the table";
}

std::string Join(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) {
        joined += (joined.empty() ? "" : ", ") + item;
    }
    return joined;
}

// Why module `from` may not include module `to`, or "" when it may. `file`
// is the including file, or null for the module's tests, which may take an
// edge that only some of the module's files may.
std::string ModuleEdgeRule(const EdgeTable& table, const std::string& from, const std::string& to,
                           const std::string* file) {
    if (table.Layer(to) > table.Layer(from)) {
        return to + " sits above " + from + " in the layers";
    }
    for (const auto& [denyFrom, denyTo] : table.denied) {
        if (denyFrom == from && denyTo == to) {
            return "the table denies " + from + " -> " + to;
        }
    }
    for (const EdgeTable::OnlyFrom& only : table.onlyFrom) {
        if (only.from != from || only.to != to || file == nullptr) {
            continue;
        }
        const bool matched = std::any_of(only.globs.begin(), only.globs.end(),
                                         [&](const std::string& g) { return GlobMatch(g, *file); });
        if (!matched) {
            return from + " -> " + to + " only from " + Join(only.globs);
        }
    }
    return "";
}

// Why a file at `from` may not include the tree's file at `to`, or "".
std::string EdgeRule(const EdgeTable& table, const Place& from, const std::string& file,
                     const Place& to) {
    if (from.kind == Kind::Outside) {
        return OutsideRule(from);
    }
    if (to.kind == Kind::Outside) {
        return OutsideRule(to);
    }
    const bool fromModule =
        from.kind == Kind::Module || from.kind == Kind::Detail || from.kind == Kind::Tests;

    // Private folders, whoever includes them.
    if (to.kind == Kind::Detail) {
        if (fromModule && from.area == to.area) {
            return "";
        }
        return to.privateFolder + "/ is private to " + to.area + " and its tests";
    }
    if (to.kind == Kind::Tests) {
        if (from.kind == Kind::Tests && from.area == to.area) {
            return "";
        }
        return to.area + "/tests/ belongs to " + to.area + "'s own tests";
    }
    if (to.kind == Kind::FreeTests) {
        if (from.kind == Kind::FreeTests && from.area == to.area) {
            return "";
        }
        return "the tests folders of " + to.area + " belong to its own tests";
    }

    if (fromModule) {
        if (to.kind == Kind::Module) {
            if (to.area == from.area) {
                return "";
            }
            return ModuleEdgeRule(table, from.area, to.area,
                                  from.kind == Kind::Tests ? nullptr : &file);
        }
        if (from.kind != Kind::Tests) {
            return "a module includes modules alone";
        }
        if (to.kind == Kind::TestSupport) {
            if (to.layer > from.layer) {
                return "testsupport/" + to.area + " sits above " + from.area + " in the layers";
            }
            return "";
        }
        return "a module's tests include modules and test support alone";
    }
    if (from.kind == Kind::TestSupport) {
        if (to.kind == Kind::Module || to.kind == Kind::TestSupport) {
            if (to.layer > from.layer) {
                return to.area + " sits above " + from.area + " in the layers";
            }
            return "";
        }
        return "test support includes modules and test support alone";
    }
    // A free folder.
    if (to.kind == Kind::Module || to.kind == Kind::TestSupport || to.area == from.area) {
        return "";
    }
    return from.area + " includes modules, test support and its own files alone";
}

} // namespace

bool GlobMatch(std::string_view glob, std::string_view text) {
    size_t g = 0;
    size_t t = 0;
    size_t starG = std::string_view::npos; // the last '*' seen, and where its run began
    size_t starT = 0;
    while (t < text.size()) {
        if (g < glob.size() && (glob[g] == '?' || glob[g] == text[t])) {
            ++g;
            ++t;
        } else if (g < glob.size() && glob[g] == '*') {
            starG = g++;
            starT = t;
        } else if (starG != std::string_view::npos) {
            g = starG + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*') {
        ++g;
    }
    return g == glob.size();
}

bool ParseEdgeTable(std::string_view text, const std::string& name, EdgeTable& table,
                    std::vector<std::string>& errors) {
    const size_t errorsBefore = errors.size();
    table = EdgeTable();
    bool haveLayers = false;
    int lineNumber = 0;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const auto error = [&](const std::string& message) {
            errors.push_back(name + ":" + std::to_string(lineNumber) + ": " + message);
        };
        std::vector<std::string> words = Words(std::string_view(line).substr(0, line.find('#')));
        if (words.empty()) {
            continue;
        }
        const std::string directive = words[0];
        words.erase(words.begin());
        const auto isModule = [&](const std::string& word) {
            if (table.Layer(word) >= 0) {
                return true;
            }
            error("'" + word + "' is not a module of the layers line");
            return false;
        };

        if (directive == "layers") {
            if (haveLayers) {
                error("a second layers line");
                continue;
            }
            haveLayers = true;
            if (words.empty()) {
                error("layers names no module");
            }
            for (const std::string& module : words) {
                if (module.find('/') != std::string::npos || module == "testsupport") {
                    error("'" + module + "' cannot be a module");
                } else if (table.Layer(module) >= 0) {
                    error("'" + module + "' is listed twice");
                } else {
                    table.layers.push_back(module);
                }
            }
            continue;
        }
        if (!haveLayers) {
            error(directive + " before the layers line");
            continue;
        }
        if (directive == "deny") {
            if (words.size() != 2) {
                error("deny takes two modules");
            } else if (isModule(words[0]) && isModule(words[1])) {
                table.denied.emplace_back(words[0], words[1]);
            }
        } else if (directive == "only") {
            if (words.size() < 3) {
                error("only takes two modules and at least one glob");
            } else if (isModule(words[0]) && isModule(words[1])) {
                table.onlyFrom.push_back({words[0], words[1], {words.begin() + 2, words.end()}});
            }
        } else if (directive == "system") {
            if (words.size() < 2) {
                error("system takes a module and at least one glob");
            } else if (isModule(words[0])) {
                table.systemOwners.push_back({words[0], {words.begin() + 1, words.end()}});
            }
        } else if (directive == "free") {
            if (words.size() != 1) {
                error("free takes one folder");
            } else if (table.Layer(words[0]) >= 0 || words[0] == "testsupport" ||
                       words[0].find('/') != std::string::npos) {
                error("'" + words[0] + "' cannot be a free folder");
            } else {
                table.freeFolders.push_back(words[0]);
            }
        } else {
            error("unknown directive '" + directive + "'");
        }
    }
    if (!haveLayers && errors.size() == errorsBefore) {
        errors.push_back(name + ": no layers line");
    }
    return errors.size() == errorsBefore;
}

std::vector<Include> ScanIncludes(std::string_view source) {
    // Blank out comments and the bodies of raw string literals, keeping every
    // newline, so that each directive left starts its own line. Ordinary
    // string and character literals are stepped over whole, so a "/*" inside
    // one opens no comment.
    std::string code(source);
    const size_t n = code.size();
    const auto blank = [&](size_t from, size_t to) {
        for (size_t k = from; k < to && k < n; ++k) {
            if (code[k] != '\n') {
                code[k] = ' ';
            }
        }
    };
    // The identifier run just before position i (a literal's prefix).
    const auto wordBefore = [&](size_t i) {
        size_t j = i;
        while (j > 0 && IsIdentChar(code[j - 1])) {
            --j;
        }
        return std::string_view(code).substr(j, i - j);
    };
    size_t i = 0;
    while (i < n) {
        const char c = code[i];
        const char next = i + 1 < n ? code[i + 1] : '\0';
        if (c == '/' && next == '/') {
            size_t end = i;
            while (end < n && code[end] != '\n') {
                end += (code[end] == '\\' && end + 1 < n) ? 2 : 1; // a '\' joins the next line
            }
            blank(i, end);
            i = end;
        } else if (c == '/' && next == '*') {
            const size_t close = code.find("*/", i + 2);
            const size_t end = close == std::string::npos ? n : close + 2;
            blank(i, end);
            i = end;
        } else if (c == '"' || c == '\'') {
            const std::string_view prefix = wordBefore(i);
            const bool raw = c == '"' && (prefix == "R" || prefix == "u8R" || prefix == "uR" ||
                                          prefix == "UR" || prefix == "LR");
            if (raw) {
                const size_t open = code.find('(', i + 1);
                if (open == std::string::npos) {
                    break;
                }
                // The closing sequence: ')', the delimiter, '"'.
                std::string close(1, ')');
                close.append(code, i + 1, open - i - 1);
                close.push_back('"');
                const size_t found = code.find(close, open + 1);
                const size_t end = found == std::string::npos ? n : found + close.size();
                blank(i, end);
                i = end;
                continue;
            }
            const bool literal = prefix.empty() || prefix == "u8" || prefix == "u" ||
                                 prefix == "U" || prefix == "L" || c == '"';
            ++i;
            if (!literal) {
                continue; // a digit separator: 1'000'000
            }
            while (i < n && code[i] != c && code[i] != '\n') {
                i += (code[i] == '\\' && i + 1 < n) ? 2 : 1;
            }
            if (i < n && code[i] == c) {
                ++i;
            }
        } else {
            ++i;
        }
    }

    std::vector<Include> includes;
    int lineNumber = 0;
    size_t start = 0;
    while (start < n) {
        size_t end = code.find('\n', start);
        if (end == std::string::npos) {
            end = n;
        }
        ++lineNumber;
        const std::string_view line = std::string_view(code).substr(start, end - start);
        start = end + 1;

        size_t p = 0;
        const auto skipSpace = [&] {
            while (p < line.size() && IsSpace(line[p])) {
                ++p;
            }
        };
        skipSpace();
        if (p >= line.size() || line[p] != '#') {
            continue;
        }
        ++p;
        skipSpace();
        constexpr std::string_view kInclude = "include";
        if (line.substr(p, kInclude.size()) != kInclude ||
            (p + kInclude.size() < line.size() && IsIdentChar(line[p + kInclude.size()]))) {
            continue;
        }
        p += kInclude.size();
        skipSpace();
        if (p >= line.size() || (line[p] != '"' && line[p] != '<')) {
            continue; // an include through a macro names nothing we can check
        }
        const char close = line[p] == '"' ? '"' : '>';
        const size_t stop = line.find(close, p + 1);
        if (stop == std::string_view::npos) {
            continue;
        }
        includes.push_back(
            {lineNumber, close == '>', std::string(line.substr(p + 1, stop - p - 1))});
    }
    return includes;
}

std::string CheckInclude(const EdgeTable& table, const std::string& file, const Include& include,
                         bool inTree) {
    inTree = inTree && FromRoot(include.path);
    const Place from = Classify(table, file);
    const std::string shown = include.angled ? "<" + include.path + ">" : include.path;
    const auto refuse = [&](const std::string& rule) {
        return file + ":" + std::to_string(include.line) + ": " + Describe(from, file) +
               " may not include " + shown + " (" + rule + ")";
    };

    if (include.angled && !inTree) {
        // A system or third-party header.
        for (const EdgeTable::SystemOwner& owner : table.systemOwners) {
            for (const std::string& glob : owner.globs) {
                if (!GlobMatch(glob, include.path)) {
                    continue;
                }
                // The layer's test support may use them in its sources, while
                // its headers stay free of them for the layers above.
                const bool supportSource = from.kind == Kind::TestSupport && file.size() > 4 &&
                                           file.compare(file.size() - 4, 4, ".cpp") == 0;
                const bool owned = (from.kind == Kind::Module || from.kind == Kind::Detail ||
                                    from.kind == Kind::Tests || supportSource) &&
                                   from.area == owner.module;
                return owned ? std::string()
                             : refuse("<" + glob + "> belongs to " + owner.module + " alone");
            }
        }
        return "";
    }
    if (!inTree) {
        return refuse("bare include: no file of that path from the repository root");
    }
    const std::string rule = EdgeRule(table, from, file, Classify(table, include.path));
    return rule.empty() ? rule : refuse(rule);
}

std::vector<std::string> CheckTree(const EdgeTable& table, const std::filesystem::path& root,
                                   int* filesChecked) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::vector<std::string> report;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
        report.push_back(root.string() + ": " + ec.message());
        return report;
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_directory(ec)) {
            // Hidden folders (.git) and the build folders at the top hold no
            // sources of ours.
            if (name.starts_with('.') || (it.depth() == 0 && name.starts_with("build"))) {
                it.disable_recursion_pending();
            }
            continue;
        }
        const std::string ext = it->path().extension().string();
        if (it->is_regular_file(ec) &&
            (ext == ".h" || ext == ".cpp" || ext == ".hpp" || ext == ".cc")) {
            files.push_back(it->path().lexically_relative(root).generic_string());
        }
    }
    std::sort(files.begin(), files.end());

    for (const std::string& file : files) {
        std::ifstream in(root / file, std::ios::binary);
        if (!in) {
            report.push_back(file + ": cannot be read");
            continue;
        }
        const std::string source{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
        for (const Include& include : ScanIncludes(source)) {
            const bool inTree =
                FromRoot(include.path) && fs::is_regular_file(root / include.path, ec);
            std::string line = CheckInclude(table, file, include, inTree);
            if (!line.empty()) {
                report.push_back(std::move(line));
            }
        }
    }
    if (filesChecked != nullptr) {
        *filesChecked = int(files.size());
    }
    return report;
}

} // namespace layering
