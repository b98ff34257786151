#pragma once
// A scoped lock of a whole image. A null or compressed image is not locked
// and the caller's pointer is left as it was; otherwise the pointer receives
// what Lock hands out, and the lock is released at the end of the scope.

#include "foundation/gCBaseObject.h"
#include "imaging/ImageBase.h"

class CImLocker : public gCBaseObject {
public:
    template <typename T> CImLocker(CImageBase* image, T*& pixels) : m_pImage(image) {
        if (!image || image->IsCompressed()) {
            return;
        }
        void* p = nullptr;
        m_fLocked = image->Lock(p) == eNoError ? 1 : 0;
        pixels = static_cast<T*>(p);
    }
    ~CImLocker() override {
        if (m_fLocked) {
            // A destructor has no one to hand a result to; releasing a
            // memory surface always succeeds.
            (void)m_pImage->Unlock();
        }
    }
    CImLocker(const CImLocker&) = delete;
    CImLocker& operator=(const CImLocker&) = delete;

    int32_t IsLocked() const { return m_fLocked; }

private:
    CImageBase* m_pImage;
    int32_t m_fLocked = 0;
};
