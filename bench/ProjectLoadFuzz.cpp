// libFuzzer target for the project file: each input is a .ptg file opened
// with the load command on a real backbone and canvas holding a painting,
// its layers decoded on one thread and then on three workers, which must
// agree. A file that loads is saved again, so the writer runs on odd
// paintings too. Built only with clang; see the README.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bench/FuzzPainting.h"
#include "bench/FuzzSupport.h"
#include "foundation/MessageIds.h"
#include "paint/project/ProjectFile.h"
#include "tools/RegisterPaintTools.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseHeadlessDrivers();
    RegisterPaintTools();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::WriteScratch("in.ptg", data, size)) {
        return 0;
    }
    int32_t results[2] = {0, 0};
    const int32_t threads[2] = {1, 3};
    for (int i = 0; i < 2; ++i) {
        ptgfile::ForceDecodeThreads(threads[i]);
        fuzz::CPaintingWorld world;
        if (!world.Ready()) {
            std::fprintf(stderr, "the backbone does not start\n");
            std::abort();
        }
        results[i] = world.Project(eCmdLoadProject, "in.ptg");
        if (results[i] == 0) {
            (void)world.Project(eCmdSaveProject, "out.ptg");
        }
    }
    ptgfile::ForceDecodeThreads(0);
    if (results[0] != results[1]) {
        std::fprintf(stderr, "one thread loads with %d, three with %d\n", int(results[0]),
                     int(results[1]));
        std::abort();
    }
    return 0;
}
