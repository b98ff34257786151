#pragma once
// A root widget for the tests of everything built on the widget tree. It
// stands where the backdrop will: it logs the dirty rectangles and redraws
// that reach the top of its tree, and the widgets that leave it, and it can
// stand for a window that holds the tree and then lets it go. It is visible
// and has its size from the start.
//
//   CRecordingRoot root(200, 100);
//   CWidget* panel = AddPlaced(root, gCRect(10, 10, 50, 30));
//   root.m_aLog.clear();
//   ASSERT_EQ(panel->SetVisibility(0, 1), eNoError);
//   EXPECT_EQ(root.m_aLog, (std::vector<std::string>{"dirty 10,10,50,30", "redraw"}));

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "widgets/Widget.h"

class CRecordingRoot : public CWidget {
public:
    explicit CRecordingRoot(int32_t width = 200, int32_t height = 100);

    // Logs "dirty l,t,r,b" for the rectangle as it arrives, then, like the
    // backdrop, redraws when asked to; answers m_nDirtyResult.
    error PassInvalidatedAreaToParent(const gCRect& local, int32_t redraw) override;
    // Logs "redraw"; answers m_nRedrawResult.
    error PassRedraw() override;
    void SubtreeLeaving(CWidget* leaving) override;
    CWindowHost* HoldingWindow() const override { return m_pWindow; }

    // A window takes the tree, and later lets it go.
    void HoldInWindow();
    void LetGo() { m_pWindow = nullptr; }

    std::vector<std::string> m_aLog;
    std::vector<CWidget*> m_aLeaving;
    error m_nDirtyResult = eNoError;
    error m_nRedrawResult = eNoError;

private:
    CWindowHost* m_pWindow = nullptr;
};

// "dirty l,t,r,b", as the root logs a rectangle.
std::string DirtyEntry(const gCRect& rect);

// Places the child at the rect's place and size (absolute, in the parent),
// shows it unless told not to and adds it to the parent, which owns it
// then; the child, or null after a test failure.
CWidget* AddPlaced(CWidget& parent, std::unique_ptr<CWidget> child, const gCRect& rect,
                   int32_t visible = 1);

template <typename W = CWidget>
W* AddPlaced(CWidget& parent, const gCRect& rect, int32_t visible = 1) {
    return static_cast<W*>(AddPlaced(parent, std::make_unique<W>(), rect, visible));
}
