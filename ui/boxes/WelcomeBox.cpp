#include "ui/boxes/WelcomeBox.h"

#include "widgets/CoWidget.h"

CWidget* CWelcomeBox::CreateRoot() {
    return CCoWidget::CreateFromRes(int32_t(kIds.m_nRoot), nullptr, nullptr);
}
