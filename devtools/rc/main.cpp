// daublin-rc: the resource compiler.
//
//   daublin-rc <source folder> <output folder>
//       compiles the folder's YAML sources into <output folder>/system.vrf
//       and <output folder>/system.vsf, then reads both back with the
//       toolkit's loaders; any error names its source file and line.
//   daublin-rc --dump <file.vrf>
//       lists the blocks of a resource file.
//   daublin-rc --source <file.vrf>
//       writes a resource file's blocks as sources that compile back to it.

#include <exception>
#include <filesystem>
#include <iostream>

#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/ResourceDump.h"
#include "devtools/rc/ResourceVerifier.h"
#include "devtools/rc/ResourceWriter.h"
#include "devtools/rc/SourceReader.h"
#include "devtools/rc/StringTable.h"

namespace {

int Usage() {
    std::cerr << "usage: daublin-rc <source folder> <output folder>\n"
                 "       daublin-rc --dump <file.vrf>\n"
                 "       daublin-rc --source <file.vrf>\n";
    return 2;
}

int Report(const Diagnostics& diagnostics) {
    for (const std::string& warning : diagnostics.Warnings()) {
        std::cerr << "daublin-rc: " << warning << "\n";
    }
    for (const std::string& message : diagnostics.Messages()) {
        std::cerr << "daublin-rc: " << message << "\n";
    }
    return diagnostics.Failed() ? 1 : 0;
}

int Compile(const std::string& sourceFolder, const std::string& outputFolder) {
    Diagnostics diagnostics;
    ResourceSources sources;
    if (!ReadSources(sourceFolder, sources, diagnostics)) {
        return Report(diagnostics);
    }
    std::error_code ec;
    std::filesystem::create_directories(outputFolder, ec);
    const std::string vrf = (std::filesystem::path(outputFolder) / "system.vrf").string();
    const std::string vsf = (std::filesystem::path(outputFolder) / "system.vsf").string();
    std::vector<int64_t> locations;
    try {
        if (WriteResourceFile(vrf, sources, locations, diagnostics) &&
            WriteStringTableFile(vsf, sources, diagnostics)) {
            VerifyResourceFile(vrf, sources, locations, diagnostics);
            VerifyStringTableFile(vsf, sources, diagnostics);
        }
    } catch (const std::exception& e) {
        // Without memory the files are not what the sources say.
        diagnostics.Error(std::string("compiling stopped: ") + e.what());
    }
    if (diagnostics.Failed()) {
        // Never leave files behind that did not come back as written.
        std::filesystem::remove(vrf, ec);
        std::filesystem::remove(vsf, ec);
    }
    return Report(diagnostics);
}

int Run(const std::string& first, const std::string& second) {
    if (first == "--dump") {
        const int e = DumpResourceFile(second, std::cout);
        if (e != 0) {
            std::cerr << "daublin-rc: " << second << ": unreadable block (error " << e << ")\n";
            return 1;
        }
        return 0;
    }
    if (first == "--source") {
        const int e = DumpResourceSource(second, std::cout);
        if (e != 0) {
            std::cerr << "daublin-rc: " << second << ": unreadable block (error " << e << ")\n";
            return 1;
        }
        return 0;
    }
    return Compile(first, second);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return Usage();
    }
    // Running out of memory, or a source the YAML reader cannot take apart,
    // ends the run with its reason.
    try {
        return Run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "daublin-rc: " << e.what() << "\n";
        return 1;
    }
}
