#pragma once
// A real backbone with a fresh 100 x 100 painting shown in a canvas widget,
// for the project file's fuzz target and its seeds. Built only with clang;
// see the README.

#include <cstdint>

#include "paint/Backbone.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/widgets/RecordingRoot.h"

namespace fuzz {

class CPaintingWorld {
public:
    CPaintingWorld();
    ~CPaintingWorld();
    CPaintingWorld(const CPaintingWorld&) = delete;
    CPaintingWorld& operator=(const CPaintingWorld&) = delete;
    bool Ready() const { return m_fReady; }

    int32_t Set(uint32_t id, int64_t value) { return m_Backbone.ProcessData(id, &m_UI, value, 1); }
    // Loads or saves the scratch file of that leaf.
    int32_t Project(uint32_t id, const char* leaf);
    CSMKBackbone& Backbone() { return m_Backbone; }

private:
    CFakeAppServices m_App; // alerts go nowhere
    CRecordingModule m_UI;
    CRecordingRoot m_Root{120, 120};
    CSMKBackbone m_Backbone;
    bool m_fReady = false;
};

} // namespace fuzz
