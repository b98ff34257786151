// The edit field's state, geometry, caret blink, drawing, mouse selection,
// scrolling and focus. The keys and the editing primitives are in
// TxEdKeys.cpp, the loading in TxEdWidgetResources.cpp.

#include "text/TxEdWidget.h"

#include <algorithm>

#include "foundation/AppServices.h"
#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/Backdrop.h"

namespace {

// The caption's x offset while the text fits: 2 pixels from the left edge.
constexpr float kTextInset = 2.0f;

// Moves the target's origin by the widget's left and top while it lives.
class COriginMove {
public:
    COriginMove(CImageBase* target, int32_t dx, int32_t dy)
        : m_pTarget(target), m_Saved(target->GetOrigin()) {
        m_pTarget->SetOrigin(gCPoint(m_Saved.x + dx, m_Saved.y + dy));
    }
    ~COriginMove() { m_pTarget->SetOrigin(m_Saved); }
    COriginMove(const COriginMove&) = delete;
    COriginMove& operator=(const COriginMove&) = delete;

private:
    CImageBase* m_pTarget;
    gCPoint m_Saved;
};

const CWidget* RootOf(const CWidget* widget) {
    while (widget->Parent()) {
        widget = widget->Parent();
    }
    return widget;
}

// Every colour bit of the pixels in the rectangle (local to the target's
// origin) inverted, alpha kept; 5 when the view cannot be locked.
error InvertRect(CImage* target, const gCRect& rect) {
    CImNav view(target, &rect);
    if (!view.IsLocked() || !view.GetData()) {
        return eOutOfMemory;
    }
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            row[x] = CPixel(uint32_t(row[x]) ^ 0x00FFFFFFu);
        }
    }
    return eNoError;
}

} // namespace

CTxEdWidget::CTxEdWidget()
    : m_CaretTrack(0.0f, 100.0f, 500.0f, 2.0f, CTimeTrack::eBackAndForth, 1) {
    // The text starts 2 pixels from the left edge and stays centred down.
    SPositioner* place = Caption().Positioner();
    place->m_fXCentre = 0;
    place->m_rXPos = kTextInset;
    m_nEventMask = 0xFFFFFFFFu;
    m_fCanGetFocus = 1;
}

CTxEdWidget::~CTxEdWidget() = default;

// ---------------------------------------------------------------------------
// Geometry

bool CTxEdWidget::HasBackdropFocus() const {
    const auto* backdrop = dynamic_cast<const CBackdrop*>(RootOf(this));
    return backdrop && backdrop->FocusWidget() == this;
}

int32_t CTxEdWidget::LastBoundary() const {
    const int32_t count = m_aCharPositions.GetSize();
    return count > 0 ? count - 1 : 0;
}

int32_t CTxEdWidget::FieldHeight() const {
    // A field without an image (also while its block is read, before the
    // image is set) spans its own height.
    CImage* image = const_cast<CTxEdWidget*>(this)->Image();
    return image ? image->GetHeight() : Height();
}

void CTxEdWidget::Rows(int32_t& top, int32_t& bottom) const {
    CTextRenderer renderer = Caption().TextRenderer();
    float line = renderer.m_rLineHeight;
    if (!(line > 0.0f)) {
        // A caption that has not rendered yet: the face gives the height.
        FT_Face face = nullptr;
        if (renderer.BuildFace(face) == eNoError) {
            line = renderer.m_rLineHeight;
        }
    }
    const float h = float(FieldHeight());
    top = RoundToInt32((h - line) * 0.5f, INT32_MIN, INT32_MAX);
    bottom = RoundToInt32((h + line) * 0.5f, INT32_MIN, INT32_MAX);
}

gCRect CTxEdWidget::CaretRect() const {
    const int32_t cl = Caption().Rect().left;
    const int32_t x0 =
        cl + (m_aCharPositions.GetSize() > 0 && m_nCaretPos != 0 ? m_aCharPositions[m_nCaretPos] - 1
                                                                 : 0);
    int32_t top = 0, bottom = 0;
    Rows(top, bottom);
    return gCRect(x0, top, x0 + 2, bottom);
}

gCRect CTxEdWidget::SelectionRect() const {
    if (m_aCharPositions.GetSize() == 0) {
        return gCRect();
    }
    const int32_t cl = Caption().Rect().left;
    int32_t top = 0, bottom = 0;
    Rows(top, bottom);
    return gCRect(cl + m_aCharPositions[std::min(m_nCaretPos, m_nAnchorPos)], top,
                  cl + m_aCharPositions[std::max(m_nCaretPos, m_nAnchorPos)], bottom);
}

int32_t CTxEdWidget::SelectionStart() const {
    return std::min(m_nCaretPos, m_nAnchorPos);
}

int32_t CTxEdWidget::SelectionLength() const {
    return std::abs(m_nCaretPos - m_nAnchorPos);
}

int32_t CTxEdWidget::BoundaryAt(int32_t x) const {
    const int32_t count = m_aCharPositions.GetSize();
    if (x >= Caption().Width()) {
        return LastBoundary();
    }
    if (x <= 0) {
        return 0;
    }
    for (int32_t i = 1; i < count; ++i) {
        const float left = float(m_aCharPositions[i - 1]);
        const float right = float(m_aCharPositions[i]);
        if (right > float(x) + 0.4f * (right - left)) {
            return i - 1;
        }
    }
    return LastBoundary();
}

error CTxEdWidget::CalcCharacterPositions() {
    const gCString text = String();
    const int32_t length = text.GetLength();
    if (length > 0) {
        if (error e = m_aCharPositions.SetSize(length + 1)) {
            return e;
        }
        CTextRenderer renderer = Caption().TextRenderer();
        if (error e = renderer.CharPositions(text.GetBuffer(), m_aCharPositions.GetData())) {
            (void)m_aCharPositions.SetSize(0); // shrinking to nothing frees
            m_nCaretPos = m_nAnchorPos = 0;
            return e;
        }
        m_nCaretPos = std::clamp(m_nCaretPos, 0, length);
        m_nAnchorPos = std::clamp(m_nAnchorPos, 0, length);
        return eNoError;
    }
    m_nCaretPos = m_nAnchorPos = 0;
    (void)m_aCharPositions.SetSize(0); // shrinking to nothing frees
    return eNoError;
}

// ---------------------------------------------------------------------------
// Caret and selection

error CTxEdWidget::Caret(int32_t restart) {
    if (restart) {
        m_CaretTrack.m_StartTime = CTimer();
        m_CaretTrack.m_fRunning = 1;
    }
    // A failed redraw was shown by the redraw; the caret goes on.
    if (m_nCaretPos != m_nAnchorPos) {
        (void)InvalidateArea(SelectionRect(), 0);
    }
    (void)InvalidateArea(CaretRect(), restart);
    return eNoError;
}

error CTxEdWidget::Heartbeat() {
    if (!HasBackdropFocus()) {
        return eNoError;
    }
    const int32_t phase =
        m_CaretTrack.m_fRunning ? int32_t(m_CaretTrack.CalcVal()) : int32_t(m_CaretTrack.m_rEnd);
    if (phase != m_nCaretPhase) {
        m_nCaretPhase = phase;
        (void)InvalidateArea(CaretRect(), 1); // a failed redraw was shown by it
    }
    return eNoError;
}

error CTxEdWidget::SelectText(int32_t redraw) {
    if (error e = CalcCharacterPositions()) {
        return e;
    }
    if (error e = Caret(0)) {
        return e;
    }
    m_nAnchorPos = 0;
    m_nCaretPos = LastBoundary();
    (void)Heartbeat(); // always 0
    return Caret(redraw);
}

error CTxEdWidget::UnselectText(int32_t redraw) {
    if (error e = Caret(0)) {
        return e;
    }
    m_nAnchorPos = m_nCaretPos;
    (void)Heartbeat(); // always 0
    return Caret(redraw);
}

error CTxEdWidget::SetCaretPos(uint32_t index, int32_t keepAnchor, int32_t redraw) {
    if (String().GetLength() == 0 || m_aCharPositions.GetSize() == 0) {
        return eNoError;
    }
    if (index >= uint32_t(m_aCharPositions.GetSize())) {
        return eHandled;
    }
    m_nCaretPos = int32_t(index);
    if (!keepAnchor) {
        m_nAnchorPos = m_nCaretPos;
    }
    (void)EnsureCharVisible(m_nCaretPos); // its callers go on whatever it did
    return InvalidateClient(redraw);
}

gCString CTxEdWidget::GetSelectedText(int32_t wholeIfNone) const {
    const gCString text = String();
    if (m_nCaretPos == m_nAnchorPos) {
        return wholeIfNone ? text : gCString();
    }
    return text.GetSubString(SelectionStart(), SelectionStart() + SelectionLength() - 1);
}

// ---------------------------------------------------------------------------
// Text and justification

bool CTxEdWidget::PassesNumeric(const gCString& text) const {
    if (text.IsInteger()) {
        return true;
    }
    // A text that starts with its point cannot be split into two numbers;
    // it is refused without the splitter's alert.
    if (!m_fAllowReal || (text.GetLength() > 0 && text.GetBuffer()[0] == u'.')) {
        return false;
    }
    return text.IsReal();
}

error CTxEdWidget::SetText(const gCString& text, int32_t resize, int32_t redraw) {
    if (error e = Caret(0)) {
        return e;
    }
    if (m_fNumeric && !PassesNumeric(text)) {
        return eHandled;
    }
    if (m_nMaxLength >= 0 && text.GetLength() > m_nMaxLength) {
        return eHandled;
    }
    if (error e = CTxImWidget::SetText(text, resize, 0)) {
        return e;
    }
    m_nCaretPos = m_nAnchorPos = 0;
    if (error e = SelectText(redraw)) {
        return e;
    }
    (void)EnsureCharVisible(0); // its callers go on whatever it did
    return eNoError;
}

error CTxEdWidget::SetTextList(CTextList* list) {
    // The field shows no list: one handed to it is let go.
    if (list && !list->IsPooled()) {
        delete list;
    }
    return eNoError;
}

void CTxEdWidget::SetChildTxWJustify(CTextRenderer::EJustify justify) {
    SPositioner* place = Caption().Positioner();
    switch (justify) {
    case CTextRenderer::eJustifyLeft:
        place->m_fXFarSide = 0;
        place->m_fXMinusOwn = 0;
        place->m_fXCentre = 0;
        break;
    case CTextRenderer::eJustifyRight:
        place->m_fXFarSide = 1;
        place->m_fXMinusOwn = 1;
        place->m_fXCentre = 0;
        break;
    default:
        place->m_fXCentre = 1;
        break;
    }
}

error CTxEdWidget::SetJustify(CTextRenderer::EJustify justify, int32_t resize, int32_t redraw) {
    Caption().Positioner()->m_rXPos = 0.0f;
    m_eJustify = justify;
    SetChildTxWJustify(justify);
    if (resize) {
        if (error e = RecalcSizePosition(0)) {
            return e;
        }
    }
    if (redraw && Image()) {
        return Caret(1);
    }
    return eNoError;
}

// ---------------------------------------------------------------------------
// Scrolling

error CTxEdWidget::PlaceCaption(float xOffset) {
    SetChildTxWJustify(CTextRenderer::eJustifyLeft);
    Caption().Positioner()->m_rXPos = xOffset;
    return Caption().RecalcSizePosition(0);
}

error CTxEdWidget::EnsureCharVisible(int32_t index) {
    const int32_t count = m_aCharPositions.GetSize();
    const int32_t w = Width();
    const gCRect& caption = Caption().Rect();
    const int32_t cl = caption.left;
    const int32_t cr = caption.right;
    const int32_t cw = cr - cl;
    const bool inside = count > 0 && index >= 0 && index < count;
    const int32_t p = inside ? m_aCharPositions[index] : 0;
    const int32_t q = inside && index + 1 < count ? m_aCharPositions[index + 1] : p;
    if (cl + p <= 1) {
        return PlaceCaption(kTextInset - float(p));
    }
    if (cl + q > w - 2) {
        return PlaceCaption(float(w - q - 2));
    }
    if (cw < w) {
        Caption().Positioner()->m_rXPos = kTextInset;
        SetChildTxWJustify(m_eJustify);
        return eNoError;
    }
    if (cw > w) {
        if (cr < w) {
            return PlaceCaption(float(w - cw));
        }
        if (cl > 0) {
            return PlaceCaption(kTextInset);
        }
    }
    return eNoError;
}

// ---------------------------------------------------------------------------
// Drawing

error CTxEdWidget::RenderSelectionAndCaret(const gCRect& area, CImage* target, uint32_t) {
    if (!target || (m_fFocusCaret && !HasBackdropFocus())) {
        return eNoError;
    }
    COriginMove move(target, m_Rect.left, m_Rect.top);
    gCRect local = area;
    local.Offset(-m_Rect.left, -m_Rect.top);
    if (m_aCharPositions.GetSize() > 0 && m_nCaretPos != m_nAnchorPos) {
        const gCRect selection = SelectionRect().Intersected(local);
        return selection.IsEmpty() ? eNoError : InvertRect(target, selection);
    }
    const gCRect caret = CaretRect().Intersected(local);
    if (caret.IsEmpty() || m_nCaretPhase != 0) {
        return eNoError;
    }
    return InvertRect(target, caret);
}

error CTxEdWidget::PassRenderAreaOpaque(const gCRect& area, CImage* target, uint32_t alpha,
                                        gCRect& covered) {
    const gCRect before = covered;
    if (error e = CTxImWidget::PassRenderAreaOpaque(area, target, alpha, covered)) {
        return e;
    }
    // Only a field that drew itself here has its caret drawn here; any
    // other is drawn, caret and all, by the transparent pass.
    if (covered == before) {
        return eNoError;
    }
    return RenderSelectionAndCaret(area, target, alpha);
}

error CTxEdWidget::PassRenderAreaTransparent(const gCRect& area, CImage* target, uint32_t alpha) {
    if (error e = CTxImWidget::PassRenderAreaTransparent(area, target, alpha)) {
        return e;
    }
    return m_fOpaqueBlit ? eNoError : RenderSelectionAndCaret(area, target, alpha);
}

// ---------------------------------------------------------------------------
// Mouse selection

error CTxEdWidget::ButtonDownL(CWidget*& taker, gCPoint& point) {
    taker = this;
    if (error e = CalcCharacterPositions()) {
        return e;
    }
    if (m_aCharPositions.GetSize() == 0) {
        m_nCaretPos = m_nAnchorPos = 0;
        return eNoError;
    }
    if (error e = Caret(0)) {
        return e;
    }
    gCPoint at = point;
    Caption().ParentToLocal(at);
    m_nCaretPos = m_nAnchorPos = BoundaryAt(at.x);
    (void)EnsureCharVisible(m_nCaretPos); // its callers go on whatever it did

    CAppServices* app = CAppServices::Get();
    if (!app) {
        return Caret(1);
    }
    // The drag counts as a pass: whatever leaves the tree meanwhile (this
    // field too) is deleted only when it has ended. It ends with the
    // button, or when the field left the tree it was in, or the window
    // let that tree go; then nothing of the field is touched.
    CPassScope scope;
    const CWidget* root = RootOf(this);
    const CWindowHost* window = root->HoldingWindow();
    auto stillHere = [&] { return RootOf(this) == root && root->HoldingWindow() == window; };
    gCPoint last = app->CursorLoc();
    while (app->LButtonStillDown()) {
        const gCPoint now = app->CursorLoc();
        if (now.x != last.x || now.y != last.y) {
            gCPoint local = now;
            DesktopToLocal(local);
            Caption().ParentToLocal(local);
            if (error e = Caret(0)) {
                return e;
            }
            m_nCaretPos = BoundaryAt(local.x);
            (void)EnsureCharVisible(m_nCaretPos);
            if (error e = Caret(1)) {
                return e;
            }
            last = now;
        }
        // An idle tick's answer (2 while the heartbeat is stopped) does not
        // end the drag.
        (void)app->AppHeartbeat();
        if (!stillHere()) {
            return eNoError;
        }
    }
    return Caret(1);
}

// ---------------------------------------------------------------------------
// Focus

int32_t CTxEdWidget::PassMessage(uint32_t id, void* data, uintptr_t extra) {
    if (id == eMsgFocusLost && data == this) {
        if (m_fFocusCaret) {
            if (error e = UnselectText(0)) {
                return e;
            }
        }
        m_nCaretPhase = 1;
        (void)InvalidateClient(1); // a failed redraw was shown by the redraw
    }
    return CTxImWidget::PassMessage(id, data, extra);
}

error CTxEdWidget::SetTabFocus(int32_t redraw) {
    if (error e = CTxImWidget::SetTabFocus(redraw)) {
        return e;
    }
    return SelectText(1);
}
