#pragma once
// The base of every object that takes part in messaging: broadcasts arrive
// at Message, and the data channel carries an id, the sender and a 64-bit
// value to the registered UI module or backbone (document) module, whose
// ProcessData receives it.
//
// The value is a small number (receivers read its low 32 bits) or a pointer
// to the value being set or to the variable that receives the current one.
// A result of 0 means handled or nothing to report; any other result is an
// error code that stops the receiver's chain and travels back to the
// sender. With no module registered the channel answers 0 and calls nothing.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/MessageIds.h"
#include "foundation/gCBaseObject.h"

class gCCmdTarget : public gCBaseObject {
public:
    gCCmdTarget() = default;
    ~gCCmdTarget() override = default;

    // A broadcast message; 0 when not handled. The extra argument may carry
    // an address.
    virtual int32_t Message(uint32_t id, void* data, uintptr_t extra);

    // Sending: the module's ProcessData with the same id, sender and value
    // and the set flag 1 (Set...) or 0 (Get...); its result unchanged. The
    // object these are called on is not passed on, only the sender.
    int32_t SetUIData(uint32_t id, const void* sender, int64_t value);
    int32_t SetBackboneData(uint32_t id, const void* sender, int64_t value);
    int32_t GetUIData(uint32_t id, const void* sender, int64_t value);
    int32_t GetBackboneData(uint32_t id, const void* sender, int64_t value);

    // Receiving: stores the value when set is 1, writes the current value
    // back when it is 0. The default handles nothing and returns 0.
    virtual int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set);

    // Registering the modules; null unregisters.
    static void SetUIModule(gCCmdTarget* module) { m_pUIModule = module; }
    static void SetBackboneModule(gCCmdTarget* module) { m_pBackboneModule = module; }
    static gCCmdTarget* UIModule() { return m_pUIModule; }

protected:
    static inline gCCmdTarget* m_pUIModule = nullptr;
    static inline gCCmdTarget* m_pBackboneModule = nullptr;
};
