// ptgtool: looks at a project file (.ptg) apart from the program's loader.
//
//   ptgtool validate FILE   one line per problem ("offset N: ..."); exit 0
//                           only when there is none, 1 when there are, 2
//                           when the file cannot be read
//   ptgtool info FILE       the header lines, the version and every block
//                           (offset, id name, length, value or image size
//                           and PNG type); exit 0, or 2 as above

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "devtools/ptgtool/PtgCheck.h"
#include "paint/project/ProjectFile.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: ptgtool validate FILE\n       ptgtool info FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return Usage();
    }
    const bool validate = std::strcmp(argv[1], "validate") == 0;
    if (!validate && std::strcmp(argv[1], "info") != 0) {
        return Usage();
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "ptgtool: cannot read %s\n", argv[2]);
        return 2;
    }
    const std::vector<unsigned char> file{std::istreambuf_iterator<char>(in), {}};
    const ptgcheck::SReport report = ptgcheck::Check(file);

    if (validate) {
        for (const ptgcheck::SProblem& p : report.problems) {
            std::printf("offset %" PRIu64 ": %s\n", p.offset, p.text.c_str());
        }
        return report.problems.empty() ? 0 : 1;
    }
    std::printf("header line 1: \"%s\"\n", report.line1.c_str());
    std::printf("header line 2: \"%s\"\n", report.line2.c_str());
    if (report.hasVersion) {
        std::printf("version: 0x%08X\n", unsigned(report.version));
    }
    for (const ptgcheck::SBlockInfo& b : report.blocks) {
        const char* name = ptgfile::BlockName(b.id);
        std::printf("offset %" PRIu64 ": 0x%08X %s, length %" PRId64 "%s%s\n", b.offset,
                    unsigned(b.id), name ? name : "(unknown)", b.length,
                    b.content.empty() ? "" : ": ", b.content.c_str());
    }
    for (const ptgcheck::SProblem& p : report.problems) {
        std::printf("problem at offset %" PRIu64 ": %s\n", p.offset, p.text.c_str());
    }
    return 0;
}
