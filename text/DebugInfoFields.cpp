// The inspector's property fields and warnings.

#include <cstdint>

#include "text/DebugInfoWidget.h"
#include "text/TxWidget.h"
#include "text/detail/DebugInfoParts.h"

namespace {

// " True " or " False " for an event bit of the mask.
const char16_t* Enabled(uint32_t mask, uint32_t bit) {
    return (mask & bit) ? u" True " : u" False ";
}

// "+" when a callback is registered for the entry, else "o".
const char16_t* Registered(const CWidget& widget, int32_t entry) {
    return widget.EventProc(entry) ? u"+" : u"o";
}

// " True" or " False" for a flag.
const char16_t* Flag(int32_t on) {
    return on ? u" True" : u" False";
}

// The four corners of a rectangle.
gCString RectText(const gCRect& r) {
    gCString s;
    (void)s.Format(u" ( %d, %d ),  ( %d, %d)", r.left, r.top, r.right, r.bottom); // short: fits
    return s;
}

bool Inside(const gCRect& r, const gCRect& area) {
    return !(r.left < area.left || r.right > area.right || r.top < area.top ||
             r.bottom > area.bottom);
}

// The warnings the widget's own settings give, each with the lead and the
// tail given.
void PropertyProblems(const CWidget& widget, const char16_t* lead, const char16_t* tail,
                      SInspectorText& out) {
    auto add = [&](const char16_t* text) { out << lead << text << tail; };
    if (!widget.Visible()) {
        add(u"Not visible.");
    }
    if (!widget.Active()) {
        add(u"Not Active.");
    }
    if (!widget.CanGetFocus()) {
        add(u"Can't get focus.");
    }
    if (widget.Opacity() < 40) {
        add(u"Opacity < 40");
    }
    if (widget.OpaqueThreshold() > 200) {
        add(u"OpaqueThreshold > 200");
    }
    if (widget.TypeID() == kWidgetTypeID && widget.OpaqueThreshold() == 0) {
        add(u"CWidget may need OpaqueThreshold > 0");
    }
}

} // namespace

gCString CDebugInfoWidget::IdText(uint32_t id) {
    gCString s;
    (void)s.Format(u" %d,  (0x0%X)", int32_t(id), unsigned(id)); // short: fits
    return s;
}

CWidget* CDebugInfoWidget::Root() {
    CWidget* root = this;
    while (root->Parent()) {
        root = root->Parent();
    }
    return root;
}

namespace {

bool Reaches(const CWidget& from, const CWidget* widget, int32_t depth) {
    if (depth > kMaxDepth + 1) {
        return false;
    }
    for (int32_t i = 0; i < from.ChildCount(); ++i) {
        const CWidget* child = from.Child(i);
        if (child == widget || Reaches(*child, widget, depth + 1)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool CDebugInfoWidget::InTree(const CWidget* widget) {
    CWidget* root = Root();
    return widget && (widget == root || Reaches(*root, widget, 1));
}

error CDebugInfoWidget::SetField(uint32_t id, const gCString& text) {
    auto* field = dynamic_cast<CTxWidget*>(FindByID(id));
    return field ? field->SetText(text, 1, 0) : eNoError;
}

error CDebugInfoWidget::PopulateInfo(CWidget* widget) {
    m_pShownWidget = widget;
    if (!widget) {
        return eNoError;
    }
    const uint32_t mask = widget->EventsHandled();
    const uint32_t type = widget->TypeID();
    const char16_t typeUnits[] = {u' ', char16_t(type >> 24), char16_t((type >> 16) & 0xFFu),
                                  char16_t((type >> 8) & 0xFFu), char16_t(type & 0xFFu), 0};
    const gCRect rect = widget->Rect();
    gCRect backdropRect = rect;
    widget->ParentToLocal(backdropRect);
    widget->LocalToBackdrop(backdropRect);
    CWidget* parent = widget->Parent();
    gCRect parentArea;
    gCRect rootArea;
    if (parent) {
        parentArea = parent->Rect();
        parent->ParentToLocal(parentArea);
        CWidget* root = Parent() ? Root() : parent;
        while (root->Parent()) {
            root = root->Parent();
        }
        rootArea = root->Rect();
    }
    auto mark = [parent](const gCRect& r, const gCRect& area) {
        return parent && !Inside(r, area) ? u"   ***" : u"";
    };
    struct SLine {
        uint32_t id;
        SInspectorText text;
    };
    SLine lines[] = {
        {FourCC("name"), {}}, {FourCC("rsid"), {}}, {FourCC("wgty"), {}}, {FourCC("evky"), {}},
        {FourCC("evtm"), {}}, {FourCC("evhb"), {}}, {FourCC("evbl"), {}}, {FourCC("evbm"), {}},
        {FourCC("evbr"), {}}, {FourCC("evmm"), {}}, {FourCC("evms"), {}}, {FourCC("rend"), {}},
        {FourCC("flvs"), {}}, {FourCC("flip"), {}}, {FourCC("flgf"), {}}, {FourCC("flac"), {}},
        {FourCC("flpo"), {}}, {FourCC("flob"), {}}, {FourCC("inop"), {}}, {FourCC("inot"), {}},
        {FourCC("crpr"), {}}, {FourCC("crbk"), {}},
    };
    const CWidget& w = *widget;
    int32_t i = 0;
    lines[i++].text << u" " << w.GetResName();
    lines[i++].text << IdText(uint32_t(w.GetResID()));
    lines[i++].text << typeUnits;
    lines[i++].text << Enabled(mask, 0x1) << Registered(w, 0) << Registered(w, 1);
    lines[i++].text << Enabled(mask, 0x2) << Registered(w, 2);
    lines[i++].text << Enabled(mask, 0x4) << Registered(w, 3);
    lines[i++].text << Enabled(mask, 0x10) << Registered(w, 5) << Registered(w, 6);
    lines[i++].text << Enabled(mask, 0x20) << Registered(w, 7) << Registered(w, 8);
    lines[i++].text << Enabled(mask, 0x40) << Registered(w, 9) << Registered(w, 10);
    lines[i++].text << Enabled(mask, 0x8) << Registered(w, 4);
    lines[i++].text << Enabled(mask, 0x80) << Registered(w, 11);
    lines[i++].text << u"   " << Registered(w, 12);
    for (int32_t on : {w.Visible(), w.StayInParent(), w.CanGetFocus(), w.Active(),
                       w.PropagateOpacity(), w.OpaqueBlit()}) {
        lines[i++].text << Flag(on);
    }
    for (uint32_t value : {w.Opacity(), w.OpaqueThreshold()}) {
        gCString number;
        lines[i].text.Keep(number.Format(u" %d", int32_t(value)));
        lines[i++].text << number;
    }
    lines[i++].text << RectText(rect) << mark(rect, parentArea);
    lines[i++].text << RectText(backdropRect) << mark(backdropRect, rootArea);
    for (SLine& line : lines) {
        if (line.text.m_nError) {
            return line.text.m_nError;
        }
        if (error e = SetField(line.id, line.text.m_Text)) {
            return e;
        }
    }
    if (error e = CheckParents(widget)) {
        return e;
    }
    (void)PassRedraw(); // a failed redraw was shown by the redraw
    return eNoError;
}

error CDebugInfoWidget::CheckParents(CWidget* widget) {
    auto* note = widget ? dynamic_cast<CTxWidget*>(FindByID(kNoteID)) : nullptr;
    if (!note) {
        return eNoError;
    }
    SInspectorText report;
    CWidget* ancestors[kMaxDepth + 1];
    int32_t count = 0;
    for (CWidget* p = widget->Parent(); p; p = p->Parent()) {
        ancestors[count++] = p;
        if (count == kMaxDepth + 1) {
            report << u"*** Possible recursion error: Depth greater than 100 ***   ";
            break;
        }
    }
    if (widget->EventsHandled() != 0) {
        PropertyProblems(*widget, u"Warning: ", u"   ", report);
    }
    gCString& text = report.m_Text;
    for (int32_t i = count - 1; i >= 0; --i) {
        (void)TestParent(widget, ancestors[i], text); // always 0
    }
    if (report.m_nError) {
        return report.m_nError;
    }
    return note->SetText(text, 1, 0);
}

error CDebugInfoWidget::TestParent(CWidget* widget, CWidget* ancestor, gCString& report) {
    static const char16_t* const kEvents[] = {
        u"eKeyEvent False.   ",      u"eTimerEvent False.   ",   u"eHeartbeatEvent False.   ",
        u"eMouseMoveEvent False.   ", u"eLButtonEvent False.   ", u"eMButtonEvent False.   ",
        u"eRButtonEvent False.   ",  u"eMessageEvent False.   ",
    };
    SInspectorText problems;
    PropertyProblems(*ancestor, u"", u"  ", problems);
    const uint32_t wanted = widget->EventsHandled();
    const uint32_t has = ancestor->EventsHandled();
    for (int32_t bit = 0; bit < 8; ++bit) {
        if ((wanted & (1u << bit)) && !(has & (1u << bit))) {
            problems << kEvents[bit];
        }
    }
    if (problems.m_Text.GetLength() == 0) {
        return eNoError;
    }
    SInspectorText line;
    line << u"Warning: \"" << ancestor->GetResName() << u"\"  - ID = "
         << IdText(uint32_t(ancestor->GetResID())) << u" : " << problems.m_Text << u"   ";
    // A line that cannot be built is left out: the report goes on.
    if (line.m_nError == eNoError && problems.m_nError == eNoError) {
        (void)report.AppendString(line.m_Text);
    }
    return eNoError;
}
