#pragma once
// An ordered list of command targets that see the application's broadcast
// messages after the application object itself. The hub does not own its
// targets; a target registered twice receives each message twice.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"

class CMessageHub : public gCCmdTarget {
public:
    CMessageHub() = default;
    ~CMessageHub() override = default;

    // Offers the message to each target in registration order; the first
    // non-zero answer stops the walk and is returned, otherwise 0.
    int32_t Message(uint32_t id, void* data, uintptr_t extra) override;

    // Appends the target; 5 when the list cannot grow (the list unchanged).
    error AddTarget(gCCmdTarget* target);
    // Removes the target's first registration; nothing when it has none.
    void RemoveTarget(gCCmdTarget* target);

    int32_t GetCount() const { return m_aTargets.GetSize(); }

private:
    gCArray<gCCmdTarget*> m_aTargets;
};
