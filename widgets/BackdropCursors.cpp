// The backdrop's drawn cursors and its loading from a backdrop block.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FileIO/ResourceLoading.h"
#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"
#include "widgets/Backdrop.h"
#include "widgets/WidgetChunkLoop.h"
#include "widgets/WidgetConstructor.h"

using namespace widget_loading;

namespace {

constexpr SLoopTexts kBackdropTexts{
    "Error reading backdrop data block size.", "Error setting backdrop memfile size",
    "Error reading backdrop data block.",      "Error rewinding backdrop data block.",
    "Error reading backdrop data chunk type.", "Error parsing backdrop data chunk type.",
    "Error constructing backdrop hierarchy.",
};

// A hot-spot coordinate: the decimal number at the start of the text,
// truncated toward zero; not finite gives 0, beyond 32 bits saturates.
int32_t HotSpotCoordinate(const std::u16string& units) {
    std::string ascii;
    for (const char16_t unit : units) {
        if (unit == 0 || unit > 0x7F) {
            break;
        }
        ascii.push_back(char(unit));
    }
    const double value = std::atof(ascii.c_str());
    if (!std::isfinite(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return INT32_MAX;
    }
    if (value <= -2147483648.0) {
        return INT32_MIN;
    }
    return int32_t(value);
}

// "name|x,y" into its parts; false when a separator is missing or starts
// the text it splits.
bool SplitCursor(const gCString& text, gCString& name, gCPoint& hot) {
    const std::u16string units(text.GetBuffer(), size_t(text.GetLength()));
    const size_t bar = units.find(u'|');
    if (bar == std::u16string::npos || bar == 0) {
        return false;
    }
    const std::u16string rest = units.substr(bar + 1);
    const size_t comma = rest.find(u',');
    if (comma == std::u16string::npos || comma == 0) {
        return false;
    }
    if (name.CopyString(units.substr(0, bar).c_str()) != eNoError) {
        return false;
    }
    hot = gCPoint(HotSpotCoordinate(rest.substr(0, comma)),
                  HotSpotCoordinate(rest.substr(comma + 1)));
    return true;
}

bool SameName(const gCString& a, const gCString& b) {
    return a.GetLength() > 0 && a.GetLength() == b.GetLength() &&
           std::memcmp(a.GetBuffer(), b.GetBuffer(), sizeof(char16_t) * size_t(a.GetLength())) == 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Loading

CBackdrop* CBackdrop::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CBackdrop>(id, file, index);
}

CBackdrop* CBackdrop::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CBackdrop>(name, file, index);
}

error CBackdrop::SetFromResData(gCFile* file) {
    CBWidgetDataHolder holder;
    CLoadingFrame frame(this);
    error e = ReadChunks(*this, file, kBackdropTexts, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
    if (e != eNoError) {
        return e;
    }
    if ((e = ConstructHierarchy(&holder, file)) != eNoError) {
        return Fail(e, eCreateFailed, kBackdropTexts.hierarchy);
    }
    return ApplyHolder(holder, file);
}

error CBackdrop::ApplyHolder(CBWidgetDataHolder& holder, gCFile* file) {
    if (holder.m_BackgroundImageName.GetLength() > 0) {
        std::unique_ptr<CImage, SDeleteUnlessPooled> image(
            CImage::CreateFromRes(holder.m_BackgroundImageName, file, nullptr));
        if (!image) {
            return Fail(eResourceReadError, eCreateFailed, "Backdrop image load failed!");
        }
        m_pBackgroundImage = std::move(image);
    }
    if (holder.m_GradientName.GetLength() > 0) {
        std::unique_ptr<CGradient, SDeleteUnlessPooled> gradient(
            CGradient::CreateFromRes(holder.m_GradientName, nullptr, nullptr));
        if (!gradient) {
            return Fail(eResourceReadError, eCreateFailed, "Backdrop gradient load failed!");
        }
        m_pGradient = std::move(gradient);
    }
    for (int32_t i = 0; i < holder.m_aCursorNames.GetSize(); ++i) {
        std::unique_ptr<CWidget> cursor(
            CWidgetConstructor::ConstructFromName(holder.m_aCursorNames[i], nullptr));
        if (!cursor) {
            return Fail(eResourceReadError, eCreateFailed, "Backdrop cursor create failed!");
        }
        if (AddCursorToArray(cursor.get(), holder.m_aCursorHotSpots[i]) != eNoError) {
            return Fail(eResourceReadError, eCreateFailed, "Backdrop cursor store failed!");
        }
        (void)cursor.release(); // the cursor array holds it now
    }
    if (holder.m_DefaultCursorName.GetLength() > 0 &&
        SetCursor(holder.m_DefaultCursorName) != eNoError) {
        return Fail(eResourceReadError, eBadParameter, "Backdrop default cursor init failed!");
    }
    if (holder.m_fFullScreen) {
        m_Positioner.m_rXSize = 10000.0f;
        m_Positioner.m_rYSize = 10000.0f;
    }
    return eNoError;
}

error CBackdrop::ParseResData(int32_t code, gCMemFile* data, CBWidgetDataHolder* holder) {
    int32_t value = 0;
    float real = 0.0f;
    error e = eNoError;
    // A gradient setting redraws the background when a gradient is there.
    auto gradientChanged = [&]() { return m_pGradient ? InvalidateClient(0) : eNoError; };
    switch (uint32_t(code)) {
    case FourCC("colr"):
        if ((e = ReadInt(data, value, "Backdrop colr.")) == eNoError) {
            m_BackgroundColour = CPixel(uint32_t(value));
        }
        return e;
    case FourCC("grop"):
        return ReadInt(data, m_nGradientOpacity, "Backdrop grop.");
    case FourCC("grad"):
        return ReadChunkString(data, holder->m_GradientName, "Backdrop grad.");
    case FourCC("gran"):
        return ReadReal(data, m_rGradientAngle, 0.0f, "Backdrop gran.");
    case FourCC("grac"):
        if ((e = ReadInt(data, value, "Backdrop grac.")) != eNoError) {
            return e;
        }
        m_fRadialGradient = value == 1 ? 1 : 0;
        return gradientChanged();
    case FourCC("grcx"):
        if ((e = ReadReal(data, real, 0.5f, "Backdrop grcx.")) != eNoError) {
            return e;
        }
        m_rGradientCentreX = real;
        return gradientChanged();
    case FourCC("grcy"):
        if ((e = ReadReal(data, real, 0.5f, "Backdrop grcy.")) != eNoError) {
            return e;
        }
        m_rGradientCentreY = real;
        return gradientChanged();
    case FourCC("imag"):
        return ReadChunkString(data, holder->m_BackgroundImageName, "Backdrop imag.");
    case FourCC("curs"): {
        gCString text;
        if ((e = ReadChunkString(data, text, "Backdrop curs.")) != eNoError) {
            return e;
        }
        gCString name;
        gCPoint hot;
        if (!SplitCursor(text, name, hot)) {
            return Fail(eResourceReadError, eResourceReadError, "Backdrop curs.");
        }
        if ((e = holder->m_aCursorNames.Add(name)) != eNoError) {
            return e;
        }
        if ((e = holder->m_aCursorHotSpots.Add(hot)) != eNoError) {
            holder->m_aCursorNames.RemoveAt(holder->m_aCursorNames.GetSize() - 1);
            return e;
        }
        return eNoError;
    }
    case FourCC("dcur"):
        return ReadChunkString(data, holder->m_DefaultCursorName, "Backdrop dcur.");
    case FourCC("fscr"):
        if ((e = ReadInt(data, value, "Backdrop fscr.")) == eNoError) {
            holder->m_fFullScreen = value == 1 ? 1 : 0;
        }
        return e;
    case FourCC("whsb"):
        if ((e = ReadInt(data, value, "Backdrop whsb.")) == eNoError) {
            m_fWindowHasBorder = value != 0 ? 1 : 0;
        }
        return e;
    default:
        return CWidget::ParseResData(code, data, holder);
    }
}

// ---------------------------------------------------------------------------
// Cursors

error CBackdrop::AddCursorToArray(CWidget* widget, const gCPoint& hot) {
    if (!widget) {
        return eBadParameter;
    }
    StructCursorInfo info;
    info.m_pWidget = widget;
    info.m_nHotX = hot.x;
    info.m_nHotY = hot.y;
    if (m_aCursors.Add(info) != eNoError) {
        return eOutOfMemory;
    }
    widget->SetPooled(1);
    return eNoError;
}

error CBackdrop::SetCursor(CWidget* widget, const gCPoint& hot) {
    if (CWidget* outgoing = m_pCursor) {
        // Marking its place or showing it again cannot fail in a way that
        // matters here: the cursor is on its way out.
        if (outgoing->Visible()) {
            (void)outgoing->InvalidateTotal(0);
        } else {
            (void)outgoing->SetVisibility(1, 0);
        }
        m_pCursor = nullptr;
        if (!outgoing->IsPooled() && outgoing != widget) {
            DeleteWhenSafe(outgoing);
        }
    }
    CAppServices* app = CAppServices::Get();
    if (!widget) {
        if (app) {
            app->ShowSystemCursor();
        }
        return eNoError;
    }
    if (app) {
        app->HideSystemCursor();
    }
    m_pCursor = widget;
    widget->SetParent(this);
    m_nCursorHotX = hot.x;
    m_nCursorHotY = hot.y;
    UpdateCursorPos();
    return eNoError;
}

error CBackdrop::SetCursor(int32_t index) {
    if (index < 0 || index >= m_aCursors.GetSize()) {
        return eBadParameter;
    }
    const StructCursorInfo info = m_aCursors[index];
    return SetCursor(info.m_pWidget, gCPoint(info.m_nHotX, info.m_nHotY));
}

error CBackdrop::SetCursor(uint32_t id) {
    for (int32_t i = 0; i < m_aCursors.GetSize(); ++i) {
        if (uint32_t(m_aCursors[i].m_pWidget->GetResID()) == id) {
            return SetCursor(i);
        }
    }
    return eBadParameter;
}

error CBackdrop::SetCursor(const gCString& name) {
    for (int32_t i = 0; i < m_aCursors.GetSize(); ++i) {
        if (SameName(m_aCursors[i].m_pWidget->GetResName(), name)) {
            return SetCursor(i);
        }
    }
    return eBadParameter;
}

void CBackdrop::UpdateCursorPos() {
    CAppServices* app = CAppServices::Get();
    if (!Host() || !m_pCursor || !app) {
        return;
    }
    gCPoint where = app->CursorLoc();
    DesktopToLocal(where);
    where.x -= m_nCursorHotX;
    where.y -= m_nCursorHotY;
    // The cursor is drawn where it lands; a failed redraw was shown by the
    // redraw and shows again on the next move.
    (void)m_pCursor->SetPosition(where, 1);
}

void CBackdrop::HideCursor() {
    if (m_pCursor) {
        (void)m_pCursor->SetVisibility(0, 1); // a failed redraw was shown by the redraw
        return;
    }
    if (CAppServices* app = CAppServices::Get()) {
        app->HideSystemCursor();
    }
}

void CBackdrop::ShowCursor() {
    if (m_pCursor) {
        (void)m_pCursor->SetVisibility(1, 1); // a failed redraw was shown by the redraw
        return;
    }
    if (CAppServices* app = CAppServices::Get()) {
        app->ShowSystemCursor();
    }
}

int32_t CBackdrop::IsCursorVisible() {
    if (m_pCursor) {
        return m_pCursor->Visible();
    }
    CAppServices* app = CAppServices::Get();
    return app ? app->IsSystemCursorVisible() : 0;
}
