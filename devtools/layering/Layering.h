#pragma once
// The include-layering check: a table of the edges the tree's folders may
// take (devtools/layering/allowed-edges.txt describes its form), a scanner
// for the includes of a source file, and a walk over the tree that reports
// every include the table does not allow as
//
//   file:line: <includer> may not include <header> (<rule>)

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace layering {

struct EdgeTable {
    // An edge of the layer order that holds only from files matching a glob.
    struct OnlyFrom {
        std::string from;
        std::string to;
        std::vector<std::string> globs;
    };
    // Angle includes matching a glob belong to one module alone.
    struct SystemOwner {
        std::string module;
        std::vector<std::string> globs;
    };

    std::vector<std::string> layers; // lowest first
    std::vector<std::pair<std::string, std::string>> denied;
    std::vector<OnlyFrom> onlyFrom;
    std::vector<SystemOwner> systemOwners;
    std::vector<std::string> freeFolders;

    // The module's place in the order, or -1.
    int Layer(std::string_view module) const;
};

// Reads a table's text. Errors go to `errors` as "<name>:<line>: <message>";
// the result is true when there were none.
bool ParseEdgeTable(std::string_view text, const std::string& name, EdgeTable& table,
                    std::vector<std::string>& errors);

// '*' matches any run of characters ('/' included), '?' any one.
bool GlobMatch(std::string_view glob, std::string_view text);

struct Include {
    int line = 0; // 1-based
    bool angled = false;
    std::string path; // as written between the quotes or brackets
};

// The #include directives of a source text, comments and raw string literals
// aside.
std::vector<Include> ScanIncludes(std::string_view source);

// Checks one include of `file` (a path from the root, '/'-separated);
// `inTree` tells whether the include's path names a file under the root.
// Returns the report line, or an empty string when the edge is allowed.
std::string CheckInclude(const EdgeTable& table, const std::string& file, const Include& include,
                         bool inTree);

// Checks every source file under `root`; the report lines come sorted by
// file and line. `filesChecked` counts the files read.
std::vector<std::string> CheckTree(const EdgeTable& table, const std::filesystem::path& root,
                                   int* filesChecked = nullptr);

} // namespace layering
