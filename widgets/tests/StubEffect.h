#pragma once
// A stub effect and a recording render procedure for the tests of the
// render passes and effect hosting. Both write one line per call into a
// shared log: the name, what was called, the area, the alpha and where the
// target's origin stood, e.g. "U0 render 0,0,50,30 a200 @10,10".

#include <cstdint>
#include <string>
#include <vector>

#include "FileIO/FileTypes.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/Widget.h"
#include "widgets/WidgetEffectBase.h"
#include "widgets/tests/TestWidgets.h"

inline std::string RectText(const gCRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

inline std::string DrawText(const std::string& name, const std::string& what, const gCRect& area,
                            uint32_t alpha, const CImage* target) {
    return name + " " + what + " " + RectText(area) + " a" + std::to_string(alpha) + " @" +
           PointText(target ? target->GetOrigin() : gCPoint());
}

inline constexpr uint32_t kStubEffectTypeID = FourCC("stfx");

class CStubEffect : public CWidgetEffectBase {
public:
    // The extent WidgetChanged sets.
    CStubEffect(Log* log, std::string name, const gCRect& extent = gCRect(), int32_t opacity = 255)
        : m_rNextExtent(extent), m_pLog(log), m_Name(std::move(name)) {
        m_nOpacity = opacity;
    }
    ~CStubEffect() override { Write(m_Name + " deleted"); }

    uint32_t TypeID() const override { return m_nTypeID; }

    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override {
        Write(DrawText(m_Name, "render", area, alpha, target));
        m_aRendered.push_back(area);
        return m_nRenderResult;
    }
    error PreRenderNotification(const gCRect& area, CImage* target, uint32_t alpha) override {
        Write(DrawText(m_Name, "pre", area, alpha, target));
        return eNoError;
    }
    error WidgetChanged() override {
        Write(m_Name + " changed");
        if (m_nChangedResult == eNoError) {
            m_rExtent = m_rNextExtent;
        }
        return m_nChangedResult;
    }
    // Keeps what it was shown of the owner's image.
    error WidgetChanged(CImage* image) override {
        Write(m_Name + " changed image");
        m_fSeenCompressed = image && image->IsCompressed();
        m_aSeenPixels.clear();
        if (image && !image->IsCompressed()) {
            CImNav view(image);
            m_nSeenWidth = view.GetWidth();
            for (int32_t y = 0; y < view.GetHeight(); ++y) {
                for (int32_t x = 0; x < view.GetWidth(); ++x) {
                    m_aSeenPixels.push_back(view.Row(y)[x]);
                }
            }
        }
        if (m_nChangedResult == eNoError) {
            m_rExtent = m_rNextExtent;
        }
        return m_nChangedResult;
    }
    error EffectParentMoved(CWidget*, gCRect& rect) override {
        Write(m_Name + " moved " + RectText(rect));
        return eNoError;
    }

    uint32_t m_nTypeID = kStubEffectTypeID;
    gCRect m_rNextExtent;
    error m_nChangedResult = eNoError;
    error m_nRenderResult = eNoError;
    std::vector<gCRect> m_aRendered;
    bool m_fSeenCompressed = false;
    int32_t m_nSeenWidth = 0;
    std::vector<uint32_t> m_aSeenPixels;

private:
    void Write(const std::string& line) {
        if (m_pLog) {
            m_pLog->push_back(line);
        }
    }

    Log* m_pLog;
    std::string m_Name;
};

// What a recording render procedure writes to and answers.
struct SRenderRecord {
    Log* log = nullptr;
    std::string name;
    error result = eNoError;
};

inline error RecordRender(void* user, CWidget*, const gCRect& area, CImage* target,
                          uint32_t alpha) {
    SRenderRecord& r = *static_cast<SRenderRecord*>(user);
    r.log->push_back(DrawText(r.name, "draw", area, alpha, target));
    return r.result;
}
