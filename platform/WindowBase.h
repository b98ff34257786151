#pragma once
// The main window, as far as the application object uses it: its backdrop,
// its heartbeat and its painting. This is the smallest form of the window;
// the window's own implementation replaces it.

#include <memory>

#include "Backdrop.h"
#include "Error.h"
#include "gCBaseObject.h"

class CWindowBase : public gCBaseObject {
public:
    CWindowBase() { m_pThis = this; }
    ~CWindowBase() override {
        if (m_pThis == this) {
            m_pThis = nullptr;
        }
    }
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    // The window owns its backdrop; attaching another deletes the old one.
    virtual error AttachBackdrop(CBackdrop* backdrop) {
        m_pBackdrop.reset(backdrop);
        return eNoError;
    }
    CBackdrop* GetBackdrop() const { return m_pBackdrop.get(); }

    // The backdrop's heartbeat; its result.
    virtual error Heartbeat() { return eNoError; }
    // Copies the back buffer to the screen.
    virtual void OnPaint() {}

    // The one live window.
    static inline CWindowBase* m_pThis = nullptr;

private:
    std::unique_ptr<CBackdrop> m_pBackdrop;
};
