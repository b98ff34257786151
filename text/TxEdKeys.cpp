// The edit field's keyboard: the key handler, the caret movement keys with
// their word jumps, the editing primitives, the numeric and length filters,
// the clipboard keys and the confirm and cancel notifications.

#include <algorithm>

#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "foundation/MacRoman.h"
#include "foundation/MessageIds.h"
#include "text/TxEdWidget.h"

namespace {

// Whether a unit can stand in the field's one line: no control code, no
// DEL and no half of a pair (the field steps over single units).
bool IsFieldUnit(char16_t unit) {
    return unit >= 0x20 && unit != 0x7F && (unit < 0xD800 || unit > 0xDFFF);
}

// The character a key code types: 0x20..0x7E as themselves, the Mac Roman
// bytes 0x80..0xFF (delivered as 0xFFFFFF80..0xFFFFFFFF) as the characters
// they stand for, other codes from 0x80 to 0xFFFEFFFF by their low 16
// bits. False for every other code and for a unit the field cannot hold.
bool CharacterOf(uint32_t key, char16_t& ch) {
    if (key >= 0x20 && key <= 0x7E) {
        ch = char16_t(key);
    } else if (key >= 0xFFFFFF80u) {
        ch = MacRomanToUnicode(static_cast<unsigned char>(key & 0xFF));
    } else if (key >= 0x80 && key <= 0xFFFEFFFFu) {
        ch = char16_t(key & 0xFFFF);
    } else {
        return false;
    }
    return IsFieldUnit(ch);
}

// The pasted text as the field takes it: cut at its first CR or LF, with
// the units it cannot hold dropped. 5 when memory runs out.
error CleanedPaste(const gCString& pasted, gCString& out) {
    std::u16string units;
    for (int32_t i = 0; i < pasted.GetLength(); ++i) {
        const char16_t unit = pasted.GetBuffer()[i];
        if (unit == u'\r' || unit == u'\n') {
            break;
        }
        if (IsFieldUnit(unit)) {
            units.push_back(unit);
        }
    }
    return out.CopyStringFromBuffer(units.data(), int32_t(units.size()));
}

bool IsSpace(const gCString& text, int32_t i) {
    return i < text.GetLength() && text.GetBuffer()[i] == u' ';
}

int32_t WordForward(const gCString& text, int32_t k, int32_t last) {
    while (k < last && !IsSpace(text, k)) {
        ++k;
    }
    while (k < last && IsSpace(text, k)) {
        ++k;
    }
    return k;
}

int32_t WordBack(const gCString& text, int32_t k, int32_t last) {
    while (k > 0 && IsSpace(text, k)) {
        --k;
    }
    k = std::max(k - 1, 0);
    if (k == 0) {
        return 0;
    }
    while (k > 0 && !IsSpace(text, k)) {
        --k;
    }
    return k == 0 ? 0 : std::min(k + 1, last);
}

} // namespace

// ---------------------------------------------------------------------------
// The key handler

error CTxEdWidget::KeyDown(CWidget*& taker, uint32_t key) {
    if (taker) {
        return eNoError;
    }
    if (!Parent() || Parent()->ChildWithFocus() != this || !HasBackdropFocus()) {
        return eNoError;
    }
    if (error e = Caret(0)) {
        return e;
    }
    CAppServices* app = CAppServices::Get();
    if (app && app->IsCtrlKeyDown()) {
        bool handled = false;
        if (error e = CommandKey(taker, key, handled)) {
            return e;
        }
        return handled ? Caret(1) : eNoError;
    }
    char16_t ch = 0;
    if (CharacterOf(key, ch)) {
        bool restart = false;
        if (error e = TypeChar(taker, ch, restart)) {
            return e;
        }
        return restart ? Caret(1) : eNoError;
    }
    switch (key) {
    case kKeyCodeBackspace:
    case kKeyCodeDelete:
        if (error e = RemoveSingleChar(key == kKeyCodeBackspace ? 1 : 0)) {
            return e;
        }
        break;
    case kKeyCodeLeft:
    case kKeyCodeRight:
    case kKeyCodeUp:
    case kKeyCodeDown:
    case kKeyCodeHome:
    case kKeyCodeEnd:
    case kKeyCodePageUp:
    case kKeyCodePageDown:
        if (error e = MovementKey(key)) {
            return e;
        }
        break;
    case kKeyCodeReturn:
    case 11:
        return Notify(taker, eMsgEditConfirm);
    case kKeyCodeEscape:
        return Notify(taker, eMsgEditCancel);
    case kKeyCodeTab:
        return eNoError; // for the other widgets and the owner
    default:
        return Caret(1);
    }
    taker = this;
    return Caret(1);
}

error CTxEdWidget::TypeChar(CWidget*& taker, char16_t ch, bool& restart) {
    if (m_fNumeric) {
        gCString s;
        if (error e = GetResultantStringForAddedChar(ch, s, 0)) {
            return e;
        }
        // A trailing 0 lets a lone minus sign or a number ending in its
        // point through while it is typed.
        if (error e = s.AppendString(u"0")) {
            return e;
        }
        if (!PassesNumeric(s)) {
            taker = this;
            return eNoError;
        }
    }
    if (m_nMaxLength > -1 && String().GetLength() - SelectionLength() + 1 > m_nMaxLength) {
        taker = this;
        return eNoError;
    }
    if (error e = AddChar(ch)) {
        return e;
    }
    taker = this;
    restart = true;
    return eNoError;
}

error CTxEdWidget::CommandKey(CWidget*& taker, uint32_t key, bool& handled) {
    switch (key) {
    case 'A':
    case 'a':
        if (error e = SelectText(1)) {
            return e;
        }
        break;
    case 'X':
    case 'x':
    case 'C':
    case 'c': {
        const bool cut = key == 'X' || key == 'x';
        const gCString selected = GetSelectedText(0);
        // Nothing selected: the clipboard and the text stay as they are.
        if (selected.GetLength() > 0) {
            if (error e = CAppServices::Get()->OSCopy(selected)) {
                (void)ReportError(e, cut ? "Failed to cut the requested text."
                                         : "Failed to copy the requested text.");
                return e;
            }
            if (cut) {
                if (error e = DeleteSelectedText(0, 1)) {
                    return e;
                }
            }
        }
        break;
    }
    case 'V':
    case 'v':
        if (error e = Paste(taker)) {
            return e;
        }
        handled = taker == this;
        return eNoError;
    default:
        return eNoError;
    }
    taker = this;
    handled = true;
    return eNoError;
}

error CTxEdWidget::Paste(CWidget*& taker) {
    gCString pasted;
    const error got = CAppServices::Get()->OSPaste(pasted);
    if (got == eHandled) {
        taker = this;
        return eNoError;
    }
    if (got != eNoError) {
        (void)ReportError(got, "Failed to paste clipboard text.");
        return got;
    }
    gCString p;
    if (error e = CleanedPaste(pasted, p)) {
        return e;
    }
    if (p.GetLength() == 0) {
        taker = this; // nothing to paste: the selection stays
        return eNoError;
    }
    const gCString text = String();
    if (m_fNumeric) {
        // The text with the selection replaced, tested as a typed
        // character's is.
        gCString s = text;
        (void)s.RemoveChar(SelectionStart(), SelectionLength()); // the count removed
        if (error e = s.Insert(p, SelectionStart())) {
            return e;
        }
        if (error e = s.AppendString(u"0")) {
            return e;
        }
        if (!PassesNumeric(s)) {
            return eNoError;
        }
    }
    taker = this;
    if (m_nMaxLength != -1 && text.GetLength() + p.GetLength() - SelectionLength() > m_nMaxLength) {
        return eNoError;
    }
    return InsertText(p.GetBuffer(), 1);
}

error CTxEdWidget::Notify(CWidget*& taker, uint32_t id) {
    CAppServices* app = CAppServices::Get();
    if (!app) {
        return Caret(1);
    }
    taker = this;
    const int32_t answer =
        m_fNotifyByData ? app->ProcessData(id, this, 0, 1) : app->PassMessage(id, this, 0);
    return error(answer);
}

// ---------------------------------------------------------------------------
// Movement

error CTxEdWidget::MovementKey(uint32_t key) {
    const gCString text = String();
    if (text.GetLength() == 0 || m_aCharPositions.GetSize() == 0) {
        return eNoError;
    }
    CAppServices* app = CAppServices::Get();
    const bool shift = app && app->IsShiftKeyDown();
    const bool ctrl = app && app->IsCtrlKeyDown();
    const int32_t last = LastBoundary();
    const bool back = key == kKeyCodeLeft || key == kKeyCodeUp;
    const bool forward = key == kKeyCodeRight || key == kKeyCodeDown;
    if (back) {
        if (shift || m_nCaretPos == m_nAnchorPos) {
            m_nCaretPos = std::max(m_nCaretPos - 1, 0);
        } else if (m_nCaretPos > m_nAnchorPos) {
            m_nCaretPos = m_nAnchorPos;
        }
        if (ctrl) {
            m_nCaretPos = WordBack(text, m_nCaretPos, last);
        }
    } else if (forward) {
        if (shift || m_nCaretPos == m_nAnchorPos) {
            m_nCaretPos = std::min(m_nCaretPos + 1, last);
        } else if (m_nCaretPos < m_nAnchorPos) {
            m_nCaretPos = m_nAnchorPos;
        }
        if (ctrl) {
            m_nCaretPos = WordForward(text, m_nCaretPos, last);
        }
    } else if (key == kKeyCodeHome || key == kKeyCodePageUp) {
        m_nCaretPos = 0;
    } else if (key == kKeyCodeEnd || key == kKeyCodePageDown) {
        m_nCaretPos = last;
    }
    (void)EnsureCharVisible(m_nCaretPos); // its callers go on whatever it did
    if (!shift) {
        m_nAnchorPos = m_nCaretPos;
    }
    return eNoError;
}

// ---------------------------------------------------------------------------
// Editing primitives: each edits a copy of the text and hands it back to
// the caption, which takes its new size.

error CTxEdWidget::GetResultantStringForAddedChar(char16_t ch, gCString& out, int32_t apply) {
    if (!Text()) {
        if (error e = out.CopyStringFromBuffer(&ch, 1)) {
            return e;
        }
        if (apply) {
            m_nCaretPos = m_nAnchorPos = 1;
        }
        return eNoError;
    }
    if (error e = out.CopyString(u"")) {
        return e;
    }
    gCString s = String();
    const int32_t start = SelectionStart();
    (void)s.RemoveChar(start, SelectionLength()); // the count removed
    if (error e = s.Insert(uint32_t(ch), start)) {
        return e;
    }
    out = std::move(s);
    if (apply) {
        m_nCaretPos = m_nAnchorPos = start + 1;
    }
    return eNoError;
}

error CTxEdWidget::AddChar(char16_t ch) {
    gCString s;
    if (error e = GetResultantStringForAddedChar(ch, s, 1)) {
        return e;
    }
    (void)CTxImWidget::SetText(s, 1, 0); // a caption that cannot render shows it itself
    if (error e = CalcCharacterPositions()) {
        return e;
    }
    (void)EnsureCharVisible(m_nCaretPos); // its callers go on whatever it did
    return eNoError;
}

error CTxEdWidget::RemoveSingleChar(int32_t backwards) {
    if (!Text()) {
        return eNoError;
    }
    gCString s = String();
    if (m_nCaretPos == m_nAnchorPos) {
        if (s.GetLength() == 0) {
            m_nCaretPos = m_nAnchorPos = 0;
            return eNoError;
        }
        if (backwards) {
            if (m_nCaretPos == 0) {
                return eNoError;
            }
            --m_nCaretPos;
            (void)s.RemoveChar(m_nCaretPos, 1); // the count removed
        } else {
            (void)s.RemoveChar(m_nCaretPos, 1); // nothing at the end
        }
    } else {
        const int32_t start = SelectionStart();
        (void)s.RemoveChar(start, SelectionLength()); // the count removed
        m_nCaretPos = start;
    }
    m_nAnchorPos = m_nCaretPos;
    if (error e = CTxImWidget::SetText(s, 1, 0)) {
        return e;
    }
    if (error e = CalcCharacterPositions()) {
        return e;
    }
    (void)EnsureCharVisible(m_nCaretPos); // its callers go on whatever it did
    return eNoError;
}

error CTxEdWidget::InsertText(const char16_t* text, int32_t redraw) {
    if (!text) {
        return DeleteSelectedText(0, redraw);
    }
    gCString inserted;
    if (error e = inserted.CopyString(text)) {
        return e;
    }
    if (Text()) {
        gCString s = String();
        const int32_t start = SelectionStart();
        (void)s.RemoveChar(start, SelectionLength()); // the count removed
        m_nCaretPos = m_nAnchorPos = start;
        if (error e = s.Insert(inserted, start)) {
            return e;
        }
        if (error e = CTxImWidget::SetText(s, 1, redraw)) {
            return e;
        }
        m_nCaretPos += inserted.GetLength();
    } else {
        if (error e = CTxImWidget::SetText(inserted, 1, redraw)) {
            return e;
        }
        m_nCaretPos = inserted.GetLength();
    }
    m_nAnchorPos = m_nCaretPos;
    if (error e = CalcCharacterPositions()) {
        return e;
    }
    (void)EnsureCharVisible(m_nCaretPos); // its callers go on whatever it did
    return eNoError;
}

error CTxEdWidget::DeleteSelectedText(int32_t clearIfNone, int32_t redraw) {
    if (!Text()) {
        return redraw ? PassRedraw() : eNoError;
    }
    gCString s = String();
    if (m_nCaretPos != m_nAnchorPos) {
        const int32_t start = SelectionStart();
        (void)s.RemoveChar(start, SelectionLength()); // the count removed
        m_nCaretPos = m_nAnchorPos = start;
    } else {
        if (clearIfNone) {
            (void)s.RemoveChar(0, s.GetLength()); // the count removed
        }
        m_nCaretPos = m_nAnchorPos = 0;
    }
    (void)CTxImWidget::SetText(s, 1, redraw); // a caption that cannot render shows it itself
    return CalcCharacterPositions();
}
