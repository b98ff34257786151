#include "ui/boxes/AboutBox.h"

#include "ui/boxes/BlurredBackground.h"
#include "widgets/ImWidget.h"

CWidget* CAboutBox::CreateRoot() {
    return CImWidget::CreateFromRes(int32_t(kIds.m_nRoot), nullptr, nullptr);
}

void CAboutBox::BeforeAdding() {
    BlurredBackground::Refresh(m_pBackdrop);
}

void CAboutBox::PaintBackground() {
    // Without the blur the box shows its own image as loaded.
    (void)BlurredBackground::Paint(m_pBackdrop, static_cast<CImWidget*>(m_pRoot));
}
