// CWidget's loading: finding its block, the chunk loop, the base chunks and
// the children.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "FileIO/ResourceLoading.h"
#include "foundation/Utf8.h"
#include "widgets/Widget.h"
#include "widgets/WidgetChunkLoop.h"
#include "widgets/WidgetConstructor.h"

using namespace widget_loading;

bool CLoadingFrame::IsLoading(uint32_t type, const gCString& name) {
    for (const CLoadingFrame* frame = s_pInnermost; frame; frame = frame->m_pOuter) {
        const gCString& loading = frame->m_pWidget->GetResName();
        if (frame->m_pWidget->TypeID() == type && loading.GetLength() == name.GetLength() &&
            std::memcmp(loading.GetBuffer(), name.GetBuffer(),
                        sizeof(char16_t) * size_t(name.GetLength())) == 0) {
            return true;
        }
    }
    return false;
}

namespace {

// The leading ASCII of a text (anything else ends it), for the number
// readers.
std::string AsciiPrefix(const gCString& text) {
    std::string out;
    for (int32_t i = 0; i < text.GetLength(); ++i) {
        const char16_t unit = text.GetBuffer()[i];
        if (unit == 0 || unit > 0x7F) {
            break;
        }
        out.push_back(char(unit));
    }
    return out;
}

// The leading decimal integer (optional sign; none gives 0), clamped so
// that a long run of digits cannot overflow.
int64_t LeadingInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > (int64_t(1) << 40)) {
            break;
        }
    }
    return negative ? -value : value;
}

// Splits at the first '|'; false without one.
bool SplitAtBar(const gCString& text, gCString& before, gCString& after) {
    const int32_t bar = text.Find(uint32_t(u'|'));
    if (bar < 0) {
        return false;
    }
    if (before.CopyStringFromBuffer(text.GetBuffer(), bar) != eNoError ||
        after.CopyStringFromBuffer(text.GetBuffer() + bar + 1, text.GetLength() - bar - 1) !=
            eNoError) {
        return false;
    }
    return true;
}

// Event chunks: 1 enables the bit on this widget only, anything else
// clears it.
struct SEventChunk {
    uint32_t code;
    uint32_t bit;
    const char* text;
};
constexpr SEventChunk kEventChunks[] = {
    {FourCC("kydn"), CWidget::eKeyEvent, "Widget kydn."},
    {FourCC("kyup"), CWidget::eKeyEvent, "Widget kyup."},
    {FourCC("timr"), CWidget::eTimerEvent, "Widget timr."},
    {FourCC("hrtb"), CWidget::eHeartbeatEvent, "Widget hrtb."},
    {FourCC("msmv"), CWidget::eMouseMoveEvent, "Widget msmv."},
    {FourCC("lbdn"), CWidget::eLButtonEvent, "Widget lbdn."},
    {FourCC("lbup"), CWidget::eLButtonEvent, "Widget lbup."},
    {FourCC("mbdn"), CWidget::eMButtonEvent, "Widget mbdn."},
    {FourCC("mbup"), CWidget::eMButtonEvent, "Widget mbup."},
    {FourCC("rbdn"), CWidget::eRButtonEvent, "Widget rbdn."},
    {FourCC("rbup"), CWidget::eRButtonEvent, "Widget rbup."},
    {FourCC("mswh"), CWidget::eMouseWheelEvent, "Widget mswh."},
};

// Size modes: 0 clears the fraction flag, 1 sets it, 2 sets parent-minus,
// anything else clears both.
void ApplySizeMode(int32_t mode, int32_t& fraction, int32_t& parentMinus) {
    switch (mode) {
    case 0:
        fraction = 0;
        break;
    case 1:
        fraction = 1;
        break;
    case 2:
        parentMinus = 1;
        break;
    default:
        fraction = 0;
        parentMinus = 0;
        break;
    }
}

} // namespace

error CWidget::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    m_nResType = TypeID(); // the block is found by the class's own tag
    const error e = LocateFromRes(id, file, index);
    return e != eNoError ? e : SetFromResData(file);
}

error CWidget::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    m_nResType = TypeID(); // the block is found by the class's own tag
    const error e = LocateFromRes(name, file, index);
    return e != eNoError ? e : SetFromResData(file);
}

CWidget* CWidget::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CWidget>(id, file, index);
}

CWidget* CWidget::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CWidget>(name, file, index);
}

error CWidget::SetFromResData(gCFile* file) {
    CWidgetDataHolder holder;
    return LoadWidget(*this, file, holder, [&](int32_t code, gCMemFile* data) {
        return ParseResData(code, data, &holder);
    });
}

error CWidget::ParseResData(int32_t code, gCMemFile* data, CWidgetDataHolder* holder) {
    SPositioner& p = m_Positioner;
    int32_t value = 0;
    // An Int32 chunk whose value goes to set; the read error is returned.
    auto intChunk = [&](const char* text, auto set) {
        const error e = ReadInt(data, value, text);
        if (e == eNoError) {
            set(value);
        }
        return e;
    };
    auto flag = [&](const char* text, int32_t& field) {
        return intChunk(text, [&](int32_t v) { field = v == 1 ? 1 : 0; });
    };
    const uint32_t c = uint32_t(code);
    for (const SEventChunk& event : kEventChunks) {
        if (event.code == c) {
            return intChunk(event.text, [&](int32_t v) {
                if (v == 1) {
                    EnableEvent(event.bit, 0);
                } else {
                    DisableEvent(event.bit);
                }
            });
        }
    }
    switch (c) {
    case FourCC("xpos"):
        return ReadReal(data, p.m_rXPos, 0.0f, "Widget xpsp.");
    case FourCC("ypos"):
        return ReadReal(data, p.m_rYPos, 0.0f, "Widget ypsp.");
    case FourCC("xpsr"):
        return flag("Widget xpsr.", p.m_fXPosFraction);
    case FourCC("ypsr"):
        return flag("Widget ypsr.", p.m_fYPosFraction);
    case FourCC("xpsd"):
        return flag("Widget xpsd.", p.m_fXFarSide);
    case FourCC("ypsd"):
        return flag("Widget ypsd.", p.m_fYFarSide);
    case FourCC("xsiz"):
        return ReadReal(data, p.m_rXSize, 0.0f, "Widget xszp.");
    case FourCC("ysiz"):
        return ReadReal(data, p.m_rYSize, 0.0f, "Widget yszp.");
    case FourCC("xszr"):
        return intChunk("Widget xszr.", [&](int32_t v) {
            ApplySizeMode(v, p.m_fXSizeFraction, p.m_fXParentMinus);
        });
    case FourCC("yszr"):
        return intChunk("Widget yszr.", [&](int32_t v) {
            ApplySizeMode(v, p.m_fYSizeFraction, p.m_fYParentMinus);
        });
    case FourCC("xgrd"):
        return flag("Widget xgrd.", p.m_fXMinusOwn);
    case FourCC("ygrd"):
        return flag("Widget ygrd.", p.m_fYMinusOwn);
    case FourCC("xcnt"):
        return flag("Widget xcnt.", p.m_fXCentre);
    case FourCC("ycnt"):
        return flag("Widget ycnt.", p.m_fYCentre);
    case FourCC("oblt"):
        return flag("Widget oblt.", m_fOpaqueBlit);
    case FourCC("vsbl"):
        return flag("Widget vsbl.", m_fVisible);
    case FourCC("actv"):
        return flag("Widget actv.", m_fActive);
    case FourCC("opac"):
        return intChunk("Widget opac.", [&](int32_t v) { m_nOpacity = uint32_t(v); });
    case FourCC("sipr"):
        return flag("Widget sipr.", m_fStayInParent);
    case FourCC("opct"):
        return intChunk("Widget opct.", [&](int32_t v) { m_nOpaqueThreshold = uint32_t(v); });
    case FourCC("prop"):
        return flag("Widget prop.", m_fPropagateOpacity);
    case FourCC("focs"):
        return flag("Widget focs.", m_fCanGetFocus);
    case FourCC("ttrg"):
    case FourCC("ttrt"):
    case FourCC("autt"):
    case FourCC("tfpt"):
        // Read and ignored; a payload cut short ends the data quietly.
        if (data->ReadInt32(value) != eNoError) {
            (void)data->SetFilePos(data->GetSize()); // the end always exists
        }
        return eNoError;
    case FourCC("hier"):
        return ReadHierarchy(data, holder);
    case FourCC("usrd"):
        return ReadUserData(data);
    default:
        return Fail(eBadParameter, eResourceReadError, "Unrecognised chunk in widget.");
    }
}

error CWidget::ReadHierarchy(gCMemFile* data, CWidgetDataHolder* holder) {
    int32_t count = 0;
    error e = data->ReadInt32(count);
    // Each entry takes at least an empty name's terminator and a type code.
    constexpr int64_t kSmallestEntry = 2 + 4;
    if (e == eNoError &&
        (count < 0 || int64_t(count) * kSmallestEntry > data->GetSize() - data->GetFilePos())) {
        e = eResourceReadError;
    }
    if (e != eNoError) {
        return ReadFailed(e, "Widget hierarchy entries.");
    }
    for (int32_t i = 0; i < count; ++i) {
        gCString name;
        int32_t type = 0;
        if ((e = ReadChunkString(data, name, "Widget hierarchy names.")) != eNoError) {
            return e;
        }
        if ((e = ReadInt(data, type, "Widget hierarchy type.")) != eNoError) {
            return e;
        }
        if ((e = holder->m_aHierarchyTypes.Add(type)) != eNoError ||
            (e = holder->m_aHierarchyNames.Add(name)) != eNoError) {
            return e;
        }
    }
    return eNoError;
}

error CWidget::ReadUserData(gCMemFile* data) {
    gCString text;
    error e = ReadChunkString(data, text, "Widget usrd.");
    if (e != eNoError) {
        return e;
    }
    gCString indexText;
    gCString rest;
    if (!SplitAtBar(text, indexText, rest)) {
        return Fail(eBadParameter, eResourceReadError, "Widget usrd.");
    }
    const int64_t index = LeadingInteger(AsciiPrefix(indexText));
    if (index > 7) {
        return Fail(eBadParameter, eResourceReadError, "Widget usrd index too high.");
    }
    gCString type;
    gCString valueText;
    if (!SplitAtBar(rest, type, valueText)) {
        return Fail(eBadParameter, eResourceReadError, "Widget usrd.");
    }
    const std::string kind = AsciiPrefix(type);
    const std::string number = AsciiPrefix(valueText);
    uint32_t bits = 0;
    if (kind == "real" && type.GetLength() == 4) {
        const float real = std::strtof(number.c_str(), nullptr);
        std::memcpy(&bits, &real, sizeof bits);
    } else if (kind == "int" && type.GetLength() == 3) {
        const double real = std::strtod(number.c_str(), nullptr);
        if (!std::isfinite(real) || real <= -2147483649.0 || real >= 4294967296.0) {
            return Fail(eBadParameter, eResourceReadError, "Widget usrd.");
        }
        const double whole = std::trunc(real);
        bits = whole < 0 ? uint32_t(int32_t(whole)) : uint32_t(whole);
    } else {
        return Fail(eBadParameter, eResourceReadError, "Widget usrd.");
    }
    // A negative index passes and is refused by the slot: nothing stored.
    (void)SetUserData(uint32_t(int32_t(index)), bits); // refusal is silent by design
    return eNoError;
}

error CWidget::ConstructHierarchy(CWidgetDataHolder* holder, gCFile* file) {
    for (int32_t i = 0; i < holder->m_aHierarchyNames.GetSize(); ++i) {
        const gCString& name = holder->m_aHierarchyNames[i];
        const uint32_t type = uint32_t(holder->m_aHierarchyTypes[i]);
        CWidget* child = nullptr;
        if (!CLoadingFrame::IsLoading(type, name)) {
            child = CWidgetConstructor::Construct(name, int32_t(type), this, file);
        }
        if (!child) {
            return Fail(eResourceReadError, eCreateFailed, gStringToUtf8(name).c_str());
        }
    }
    return eNoError;
}
