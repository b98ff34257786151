#pragma once
// The dialog base: a root widget and one word, with set-up and show hooks
// that a dialog fills in. The base itself does nothing.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCCmdTarget.h"

class CWidget;

class CDlg : public gCCmdTarget {
public:
    CDlg() = default;

    virtual error LocalSetupRoot() { return eNoError; }
    virtual error LocalShow() { return eNoError; }
    error SetupRoot() { return eNoError; }
    error Show() { return eNoError; }

    CWidget* Root() const { return m_pRoot; }
    int32_t Word() const { return m_nWord; }

protected:
    CWidget* m_pRoot = nullptr;
    int32_t m_nWord = 0;
};
