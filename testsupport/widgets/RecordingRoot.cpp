#include "testsupport/widgets/RecordingRoot.h"

#include <gtest/gtest.h>

#include "platform/WindowRoot.h"

namespace {

// The window a recording root can stand in: nothing but an address.
class CStandInWindow : public CWindowHost {
public:
    error CopyToScreen(CImage&, const gCRect*, int32_t) override { return eNoError; }
    gCPoint ContentOrigin() const override { return gCPoint(); }
    error SetSizeAndPosition(int32_t, int32_t, int32_t, int32_t, int32_t) override {
        return eNoError;
    }
    int32_t IsActive() const override { return 1; }
};

CStandInWindow s_Window;

} // namespace

CRecordingRoot::CRecordingRoot(int32_t width, int32_t height) {
    EXPECT_EQ(SetSize(width, height, 0), eNoError);
    EXPECT_EQ(SetVisibility(1, 0), eNoError);
    m_aLog.clear();
}

error CRecordingRoot::PassInvalidatedAreaToParent(const gCRect& local, int32_t redraw) {
    m_aLog.push_back(DirtyEntry(local));
    if (redraw) {
        if (error e = PassRedraw()) {
            return e;
        }
    }
    return m_nDirtyResult;
}

error CRecordingRoot::PassRedraw() {
    m_aLog.push_back("redraw");
    return m_nRedrawResult;
}

void CRecordingRoot::SubtreeLeaving(CWidget* leaving) {
    m_aLeaving.push_back(leaving);
}

void CRecordingRoot::HoldInWindow() {
    m_pWindow = &s_Window;
}

std::string DirtyEntry(const gCRect& rect) {
    return "dirty " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

CWidget* AddPlaced(CWidget& parent, std::unique_ptr<CWidget> child, const gCRect& rect,
                   int32_t visible) {
    if (child->SetPosition(rect.left, rect.top, 0) != eNoError ||
        child->SetSize(rect.Width(), rect.Height(), 0) != eNoError ||
        child->SetVisibility(visible, 0) != eNoError) {
        ADD_FAILURE() << "the child cannot be placed";
        return nullptr;
    }
    if (parent.AddChild(child.get(), 0) != eNoError) {
        ADD_FAILURE() << "the child cannot be added";
        return nullptr;
    }
    return child.release(); // owned by the parent
}
