#include "ui/panels/NameBar.h"

#include "foundation/MessageIds.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "text/TxWidget.h"
#include "ui/InterfaceText.h"
#include "widgets/Backdrop.h"
#include "widgets/ImWidget.h"

namespace {

// The string-table text that follows the project's name: the suffix.
constexpr uint32_t kNameSuffixText = 0xB2D05E02;
constexpr char16_t kEllipsis = u'\u2026';

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The text with only `kept` of its units, half from its start and half
// from its end, joined by an ellipsis; no surrogate pair is cut.
gCString ShortenedInMiddle(const gCString& text, int32_t kept) {
    const char16_t* units = text.GetBuffer();
    const int32_t n = text.GetLength();
    int32_t head = (kept + 1) / 2;
    int32_t tailStart = n - kept / 2;
    if (head > 0 && IsHighSurrogate(units[head - 1])) {
        --head;
    }
    if (tailStart < n && IsLowSurrogate(units[tailStart])) {
        ++tailStart;
    }
    gCString shortened;
    const char16_t ellipsis[] = {kEllipsis, 0};
    // Without memory the pieces that fit are shown; the bar stays usable.
    (void)shortened.CopyStringFromBuffer(units, head);
    (void)shortened.AppendString(ellipsis);
    gCString tail;
    (void)tail.CopyStringFromBuffer(units + tailStart, n - tailStart);
    (void)shortened.AppendString(tail);
    return shortened;
}

} // namespace

int32_t CNameBar::ProcessData(uint32_t id, const void*, int64_t, int32_t) {
    return id == eCmdNewProject ? SetName(1) : 0;
}

error CNameBar::LocalSetupRoot() {
    // The bar starts at its place without sliding.
    const error sized = SizeTitlebar(1);
    const error placed = SetBarExtended(m_fExtended, 0, 0);
    if (sized != eNoError) {
        return sized;
    }
    if (placed != eNoError) {
        return placed;
    }
    CWidget* content = CWidget::CreateFromRes(int32_t(kContentID), nullptr, nullptr);
    if (!content) {
        return eResourceNotFound;
    }
    if (const error e = m_pRoot->AddChild(content, 0)) {
        delete content; // still the caller's when adding fails
        return e;
    }
    m_pContent = content;
    m_pNameText = dynamic_cast<CTxWidget*>(content->FindByID(kNameTextID));
    return m_pNameText ? eNoError : eResourceNotFound;
}

error CNameBar::LocalSizeTitlebar() {
    const int32_t width = m_pNameText ? m_pNameText->Width() + kTextMargin : kWidthWithoutText;
    return m_pRoot->SetWidth(width, 0);
}

error CNameBar::ShowFitted(const gCString& text) {
    if (const error e = m_pNameText->SetText(text, 1, 0)) {
        return e;
    }
    // Extended, the bar may take half the window: its cap stays inside.
    const int32_t limit = m_pBackdrop ? m_pBackdrop->Width() / 2 - kTextMargin : 0;
    auto fits = [&]() { return m_pNameText->Width() <= limit; };
    if (limit <= 0 || fits()) {
        return eNoError;
    }
    // The most units kept in the middle-shortened text that still fit.
    int32_t low = 0;
    int32_t high = text.GetLength() - 1;
    while (low < high) {
        const int32_t kept = (low + high + 1) / 2;
        if (const error e = m_pNameText->SetText(ShortenedInMiddle(text, kept), 1, 0)) {
            return e;
        }
        if (fits()) {
            low = kept;
        } else {
            high = kept - 1;
        }
    }
    return m_pNameText->SetText(ShortenedInMiddle(text, low), 1, 0);
}

error CNameBar::SetName(int32_t redraw) {
    if (!m_pNameText) {
        return eNoError;
    }
    CProjectInfo* info = nullptr;
    if (const int32_t e = GetBackboneData(eCmdGetProjectInfo, this, ChannelValueOf(&info))) {
        return error(e);
    }
    if (!info) {
        return eBadParameter;
    }
    gCString text;
    if (text.CopyStringFromBuffer(info->m_Name.GetBuffer(), info->m_Name.GetLength()) != eNoError ||
        text.AppendString(InterfaceText(kNameSuffixText)) != eNoError) {
        return eOutOfMemory;
    }
    if (const error e = ShowFitted(text)) {
        return e;
    }
    (void)m_pNameText->AlphaChanged(0); // the mask is rebuilt with the text
    const int32_t width = m_pRoot->Width();
    if (const error e = SizeTitlebar(0)) {
        return e;
    }
    if (m_pRoot->Width() != width) {
        // The cap stays where it was on screen.
        if (const error e = SetBarExtended(m_fExtended, 0, 0)) {
            return e;
        }
    }
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pRoot->PassRedraw();
    }
    return eNoError;
}
