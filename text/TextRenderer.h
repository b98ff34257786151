#pragma once
// The text attributes that every text-showing widget owns by value, and the
// measuring and drawing of UTF-16 text with them: the face is resolved
// through the font manager by family, style and size (BuildFace), text is
// measured (positions, width, height, where a line breaks) and drawn into
// 8-bit targets (coverage, for masks) or 32-bit targets (the colour with
// the coverage as alpha).
//
// Text is a NUL-terminated run of UTF-16 code units, one character each;
// CR and LF end lines in wrapped text. Distances inside are in 1/64 pixel,
// results in whole pixels. Measuring and drawing share the font's glyph
// cache, so they run on one thread.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"
#include "imaging/Pixel.h"
#include "text/Font.h"

class CImageBase;

class CTextRenderer : public gCBaseObject {
public:
    enum EJustify : int32_t {
        eJustifyLeft = 0,
        eJustifyRight = 1,
        eJustifyCentre = 2, // and every other value
    };

    CTextRenderer();
    ~CTextRenderer() override = default;
    // A copy takes what assignment copies; the rest start at their defaults.
    CTextRenderer(const CTextRenderer& other);
    // Copies the text attributes; keeps this renderer's line-space scale,
    // snapping flags, line height, inverse-gamma and "EnRegular" flags and
    // tracking.
    CTextRenderer& operator=(const CTextRenderer& other);

    // The gamma tables of every renderer: coverage goes through one of
    // them before it is drawn or cached. The application builds them with
    // 1.0 (the identity) before any text is drawn.
    static void BuildGammaLUT(float gamma);
    static uint8_t m_nGammaLUT[256];
    static uint8_t m_nGammaLUTInv[256];

    // Drawing. RenderText clears the image (or, with resize, sizes it to
    // the text) and lays the text out; RenderTextOver draws over what the
    // image holds. Both answer BuildFace's error, else 0 (or the resize's
    // error). RenderTextWithFace draws at most count characters (count 0 or
    // less: to the NUL) with x the run's left edge and y the top of its
    // line; always 0.
    virtual error RenderText(const gCString& text, CImageBase* image, int32_t resize);
    virtual error RenderTextOver(const gCString& text, CImageBase* image);
    virtual error RenderTextWithFace(FT_Face face, const char16_t* text, CImageBase* image, float x,
                                     float y, int32_t count);

    // Measuring, resolving the face first. CharPositions writes one entry
    // more than the text has characters: entry i + 1 is the right edge of
    // character i. CalcTextWidth and CalcTextHeight give 0 when the face
    // cannot be resolved.
    virtual error CharPositions(const char16_t* text, int32_t* positions);
    virtual int32_t CalcTextWidth(const char16_t* text);
    virtual int32_t CalcTextHeight(const char16_t* text, int32_t width);
    // How many characters form the first line of the text within width
    // pixels: it breaks after the last space or punctuation that fits, else
    // at the first character that does not fit. 0 for an empty line and
    // for a first character that alone does not fit.
    virtual int32_t CalcBreakCharPos(const char16_t* text, int32_t width);

    // The same with a resolved face. Width over count characters (0 or
    // less: all); positions always 0.
    virtual int32_t CalcTextHeightWithFace(FT_Face face, const char16_t* text, int32_t width);
    virtual int32_t CalcTextWidthWithFace(FT_Face face, const char16_t* text, int32_t count);
    virtual error CharPositionsWithFace(FT_Face face, const char16_t* text, int32_t* positions);

    // Resolves family, style and size to the font's face and computes the
    // line height. UseFont's or the size's error; 0 with the face.
    virtual error BuildFace(FT_Face& face);

    gCString m_sFontName;
    gCFont* m_pFont = nullptr;  // the font pool owns it
    int32_t m_nPixelHeight = 0; // 0: the point height applies
    float m_rPointHeight = 16.0f;
    float m_rAspect = 1.0f;
    float m_rKerningScale = 1.0f;
    float m_rLineSpaceScale = 1.0f;
    int32_t m_fBold = 0;
    int32_t m_fItalic = 0;
    int32_t m_fUnderline = 0; // kept and copied; drawn by nobody
    int32_t m_fWordWrap = 0;
    // 0: pen positions (x) and the baseline (y) snap to whole pixels, and
    // the glyph cache may be used.
    int32_t m_fSubPixelX = 0;
    int32_t m_fSubPixelY = 0;
    CPixel m_nColour = 0xFF000000; // its alpha is not used
    EJustify m_eJustify = eJustifyLeft;
    float m_rLineHeight = 0.0f;
    int32_t m_fInverseGamma = 0;
    int32_t m_fEnRegular = 0;
    int32_t m_nTracking = 0; // 1/64 pixel between consecutive mapped characters
    float m_rXOffset = 0.0f;
    float m_rYOffset = 0.0f;

private:
    // Draws the wrapped lines of the text from m_rYOffset down.
    error RenderLines(FT_Face face, const char16_t* text, CImageBase* image);
    // The left edge of a run of the given width, by the justification.
    float JustifiedX(CImageBase* image, int32_t width) const;
};
