// libFuzzer target for the preferences reader: each input is the user's
// Daublin.prs, found in the configuration folder and read as the program
// reads it at start-up, by a backdrop without panels or window, the
// settings going to a recording backbone. A pressure weight outside 0..1
// or more than one alert for one file is a finding. Built only with clang;
// see the README.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/FuzzSupport.h"
#include "foundation/Input.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKBackdrop.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseHeadlessDrivers();
    const std::string config = fuzz::ScratchPosix("config");
    std::filesystem::create_directories(config + "/daublin");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::WriteScratch("config/daublin/Daublin.prs", data, size)) {
        return 0;
    }
    CFakeAppServices quiet;
    CRecordingModule backbone;
    gCCmdTarget::SetBackboneModule(&backbone);
    const float weight = CTabletSource::m_rWeight;
    {
        CSMKBackdrop backdrop;
        (void)backdrop.ReadPersistency();
        const float read = CTabletSource::m_rWeight;
        if (!(read >= 0.0f && read <= 1.0f) || quiet.m_Alerts.size() > 1) {
            std::abort();
        }
    }
    CTabletSource::m_rWeight = weight;
    gCCmdTarget::SetBackboneModule(nullptr);
    return 0;
}
