#pragma once
// The save prompt: the modal question whether to save a modified painting
// before an action would throw it away (quit, open, new painting, import).
// Its widgets belong to the backdrop's tree; the prompt finds them by id,
// hooks its callbacks on them, shows and hides the root as the backdrop's
// modal widget and sends the answer with the pending action back to the
// UI module, which carries it out.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"

class CBackdrop;
class CWidget;

class CSavePrompt : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 1000;
    static constexpr uint32_t kSaveID = 1031;
    static constexpr uint32_t kDiscardID = 1032;
    static constexpr uint32_t kCancelID = 1033;

    // The sounds it plays (the interface sounds' values).
    static constexpr int32_t kClickSound = 0;
    static constexpr int32_t kOpenSound = 2;
    static constexpr int32_t kCloseSound = 3;

    explicit CSavePrompt(CBackdrop* backdrop) : m_pBackdrop(backdrop) {}

    // Finds the root (1000) in the backdrop and its three buttons (1031
    // save, 1032 discard, 1033 cancel), hooks the keys and outside presses
    // on the root and the click and highlight on each button, which gets
    // its time step. 21 when a widget is missing, 23 when a time step
    // cannot be made; it stops at the first failure.
    error SetupRoot();
    // Remembers the action (0 quit, 1 open, 2 new painting, 3 import),
    // brings the root to the front, shows and focuses it, makes it modal
    // and plays the opening sound; redraws when asked. Asked again while
    // it is up, it only takes the newer action. 0, or why the root could
    // not be made modal.
    error Show(int32_t action, int32_t redraw);
    // Answers with the button's choice: leaves the modal stack (when its
    // root is on top), hides the root, plays the closing sound, redraws
    // when asked, and sends the answer with the pending action to the UI
    // module, whose result it returns.
    error Hide(uint32_t buttonID, int32_t redraw);

    // y, Y and Return save; n and N discard; Escape cancels; every other
    // key is taken and ignored.
    static error RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t key);
    // A press that no widget of the prompt took (one outside the box)
    // cancels, as Escape does.
    static int32_t RootMessage(void* user, CWidget* widget, uint32_t id, void* data,
                               uintptr_t extra);
    // Tracks a press on a button until release; released on it, answers.
    static error ButtonClick(void* user, CWidget* button, CWidget*& target, gCPoint& point);
    // The buttons' rollover highlight.
    static error ButtonHeart(void* user, CWidget* button);

    CWidget* Root() const { return m_pRoot; }
    int32_t PendingAction() const { return m_nPendingAction; }
    bool IsShown() const { return m_fShown; }

private:
    void PlaySound(int32_t sound);

    CBackdrop* m_pBackdrop; // not owned
    CWidget* m_pRoot = nullptr; // belongs to the backdrop's tree
    int32_t m_nPendingAction = -1;
    bool m_fShown = false;
};
