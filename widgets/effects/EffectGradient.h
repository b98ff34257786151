#pragma once
// Lays a many-stop colour gradient over the owner, linear at any angle,
// radial or angular round a centre, and mixes it into the pixels below by
// one of the seven mix modes. The colours come from a CGradient's table.
// When the owner hands over its image the gradient is drawn once into a
// cache, its alpha masked by the image's; otherwise every render computes
// it per pixel.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "imaging/Gradient.h"
#include "imaging/Image.h"
#include "widgets/WidgetEffectBase.h"

inline constexpr uint32_t kGradientEffectTypeID = FourCC("grfx");

// Where each pixel of a W x H area reads the gradient's table, for one type,
// angle and centre. Indexes are kept within the table (0..4096).
class CGradientIndexer {
public:
    enum EType : int32_t { eLinear = 0, eRadial = 1, eAngular = 2 };

    // The constants of the type for an area of width x height (both > 0).
    // A non-finite angle counts as 0.0, a non-finite centre as 0.5.
    CGradientIndexer(int32_t type, float angle, float centreX, float centreY, int32_t width,
                     int32_t height);

    // Whether the type draws at all (0, 1 or 2).
    bool Draws() const { return m_nType >= eLinear && m_nType <= eAngular; }
    // The linear form at angle 0 takes its colour from the gradient's
    // position y / height, not from an index.
    bool Vertical() const { return m_fVertical; }
    // The table index at owner-local (x, y), for a type that draws and is
    // not vertical.
    int32_t Index(int32_t x, int32_t y) const;
    // The linear index at (x, y) in 16.16 and its step per column: the
    // angled loop adds the step, integers only.
    int64_t LinearAt(int32_t x, int32_t y) const {
        return m_nStart + int64_t(x) * m_nDx + int64_t(y) * m_nDy;
    }
    int64_t LinearStep() const { return m_nDx; }
    static int32_t Clamped(int64_t index) {
        return int32_t(index < 0 ? 0 : index > 4096 ? 4096 : index);
    }

private:
    int32_t m_nType;
    bool m_fVertical = false;
    int64_t m_nStart = 0;
    int64_t m_nDx = 0;
    int64_t m_nDy = 0;
    int64_t m_nCx = 0;
    int64_t m_nCy = 0;
    double m_dK = 0.0;
    float m_rRot = 0.0f;
};

class CWidgetEffectGradient : public CWidgetEffectBase {
public:
    // Opaque black at 0.0 to opaque white at 1.0, linear, angle 0, centre
    // (0.5, 0.5), Normal.
    CWidgetEffectGradient();
    ~CWidgetEffectGradient() override;

    uint32_t TypeID() const override { return kGradientEffectTypeID; }

    // Mixes the gradient (cached or computed) over the target, each colour's
    // alpha weighted by (alpha + 1) / 256. 5 when a view cannot be locked.
    error RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) override;
    // Drops the cache; the extent is the owner's rectangle.
    error WidgetChanged() override;
    // Draws the gradient into the cache, its alpha masked by the image's
    // (pixels the image does not have count as alpha 0). A null image or an
    // opaque-blit owner gives WidgetChanged(); a zero or negative size
    // changes nothing. 5 when the cache cannot be made; SetSize's error.
    error WidgetChanged(CImage* ownerImage) override;

    // Each stores its value and has the owner bring the effect up to date.
    error SetAngle(float angle, int32_t redraw);
    error SetType(int32_t type, int32_t redraw);
    error SetCentre(float x, float y, int32_t redraw);
    error SetBlendMode(int32_t mode, int32_t redraw);
    // Adds (or replaces) a stop: 6 when the gradient has no place for its
    // position, 5 when it has no memory for it.
    error AddStop(CPixel colour, float position, int32_t redraw);

    float Angle() const { return m_rAngle; }
    int32_t Type() const { return m_nType; }
    float CentreX() const { return m_rCentreX; }
    float CentreY() const { return m_rCentreY; }
    int32_t BlendMode() const { return m_nBlendMode; }
    CGradient& Gradient() { return m_Gradient; }
    const CImage* Cache() const { return m_pCache.get(); }
    // The indexer for the current extent.
    CGradientIndexer Indexer() const;

private:
    error Changed(int32_t redraw);
    // Calls put(x, y, colour) for every pixel of r (owner-local) in the
    // current type; the table is brought up to date first.
    template <class Put> void ForColours(const gCRect& r, Put&& put);

    std::unique_ptr<CImage> m_pCache;
    CGradient m_Gradient;
    float m_rAngle = 0.0f;
    int32_t m_nType = CGradientIndexer::eLinear;
    float m_rCentreX = 0.5f;
    float m_rCentreY = 0.5f;
    int32_t m_nBlendMode = 0; // Normal
};
