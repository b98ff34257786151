#include "ui/SMKBackdrop.h"

#include <cstddef>

#include "platform/WindowBase.h"

CSMKBackdrop::CSMKBackdrop() {
    gCString name;
    name.CopyString(u"Daublin");
    SetName(name);
}

error CSMKBackdrop::SetSize(int32_t width, int32_t height, int32_t flag) {
    if (error e = CBackdrop::SetSize(width, height, flag)) {
        return e;
    }
    CImage* buffer = BackBuffer();
    void* pixels = nullptr;
    if (buffer->Lock(pixels) != eNoError) {
        return eNoError;
    }
    auto* words = static_cast<uint32_t*>(pixels);
    const size_t count = size_t(width) * size_t(height);
    for (size_t i = 0; i < count; ++i) {
        words[i] = kColour;
    }
    buffer->Unlock();
    PassRedraw();
    return eNoError;
}
