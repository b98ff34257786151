// daublin-layering: checks that every include of the tree takes an edge the
// layering table allows.
//
//   daublin-layering [--table <file>] <repository root>
//       reads the table (by default devtools/layering/allowed-edges.txt under
//       the root) and prints "file:line: ..." for every include it does not
//       allow. Exit status 0 when there is none, 1 when there are, 2 when the
//       table or the arguments are wrong.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "devtools/layering/Layering.h"

namespace {

int Usage() {
    std::cerr << "usage: daublin-layering [--table <file>] <repository root>\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path table;
    std::filesystem::path root;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--table" && i + 1 < argc) {
            table = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && root.empty()) {
            root = arg;
        } else {
            return Usage();
        }
    }
    if (root.empty()) {
        return Usage();
    }
    if (table.empty()) {
        table = root / "devtools" / "layering" / "allowed-edges.txt";
    }

    std::ifstream in(table, std::ios::binary);
    if (!in) {
        std::cerr << "daublin-layering: cannot read " << table.string() << "\n";
        return 2;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    layering::EdgeTable edges;
    std::vector<std::string> errors;
    if (!layering::ParseEdgeTable(text, table.string(), edges, errors)) {
        for (const std::string& error : errors) {
            std::cerr << error << "\n";
        }
        return 2;
    }

    int files = 0;
    const std::vector<std::string> report = layering::CheckTree(edges, root, &files);
    for (const std::string& line : report) {
        std::cerr << line << "\n";
    }
    if (!report.empty()) {
        std::cerr << "daublin-layering: " << report.size() << " include(s) the table "
                  << table.string() << " does not allow\n";
        return 1;
    }
    std::cout << "daublin-layering: " << files << " files, every include allowed\n";
    return 0;
}
