#pragma once
// A colour-and-alpha ramp defined by stops and read through a 4,097-entry
// table that is rebuilt lazily whenever the stops change. Entry i is the
// colour at position i / 4095; entry 4096 is the partner interpolation reads
// after entry 4095. In 16-bit mode an entry holds alpha in bits 24-31 and a
// 16-bit grey in bits 0-15.

#include <cstdint>

#include "FileIO/gCResourceObject.h"
#include "foundation/gCArray.h"
#include "imaging/Pixel.h"

class CImage;
class gCStream;

struct CGradientPoint {
    CPixel colour = CPixel(0xFF000000u);
    float position = 0.0f;

    void SetPoint(CPixel c, float p) {
        colour = c;
        position = p;
    }
    // Add to one channel; a sum outside 0..255 (taken unsigned) gives 255.
    void AdjustR(int32_t d) { Adjust(16, d); }
    void AdjustG(int32_t d) { Adjust(8, d); }
    void AdjustB(int32_t d) { Adjust(0, d); }
    void AdjustA(int32_t d) { Adjust(24, d); }

private:
    void Adjust(int shift, int32_t d);
};

class CGradient : public gCResourceObject {
public:
    static constexpr int32_t kTableSize = 4097;
    enum EMode : int32_t { eSmooth = -1, eLinear = 0, eCubic = 1 };

    // A ramp with the two stops at 0 and 1; when memory runs out it has no
    // stops (and every AddPoint then gives -1).
    CGradient(CPixel start, CPixel end);
    // A copy of the stops, flag and mode (without memory: no stops).
    CGradient(const CGradient& other);
    // Copies the stops, the 16-bit flag and the mode; the table is rebuilt.
    // When memory for the stops runs out the gradient is left as it was.
    CGradient& operator=(const CGradient& other);

    // Loads the stops of the 'grad' block with that id or name, adding them
    // to those present. 6 without a file, 21 when no block matches; read
    // failures are reported (code 22) and their error returned. A failed
    // load leaves the stops, flag and mode as they were; the id and name are
    // the block's once it has been found.
    virtual error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    virtual error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // The block's payload at the file's position, as GetFromRes reads it:
    // all its stops are added, or (on a failure) none; 5 when memory for
    // keeping the present stops runs out.
    virtual error SetFromResData(gCFile* file);
    // The stream form: 'grad', version 1, the 16-bit flag, the mode and the
    // stops (position, then colour). Read gives 6 for another type or
    // version; any failure leaves the gradient unchanged.
    virtual error Read(gCStream* stream);
    virtual error Write(gCStream* stream);
    // A gradient from opaque black to opaque white with the block's stops
    // added; null when it does not load.
    static CGradient* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CGradient* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // The colour at pos within a span of range pixels (range > 0).
    CPixel GetColourAtPoint(int32_t pos, int32_t range);
    // The interpolated colour at t, 0 to 1.
    CPixel GetColourAtPoint(float t);
    // The colour at table position x, with 8 fraction bits (0 to 0xFFF00).
    CPixel GetInterpColour(uint32_t x);
    void Rebuild();

    // Paints the ramp into the image, by rows (vertical) or columns, over a
    // checkerboard when checker is non-zero. 0, or 5 when the image cannot
    // be locked.
    error FillGradientImage(CImage* image, int32_t vertical, int32_t checker);

    // Adds or replaces a stop; its index, or -1.
    int32_t AddPoint(CPixel colour, float pos);
    int32_t AddPoint(CPixel colour, int32_t pos, int32_t range);
    // Whether AddPoint has no place for a stop at pos, whatever the memory:
    // NaN, or a position after every stop that replaces neither the first
    // (0) nor the last (1.0 up to 2.0), such as 2.0 and above. A gradient
    // without stops refuses nothing (AddPoint fails for want of them).
    bool RefusesPosition(float pos) const;
    int32_t AddAlphaPoint(int32_t alpha, float pos);
    int32_t AddAlphaPoint(int32_t alpha, int32_t pos, int32_t range);
    int32_t AddColourPoint(CPixel colour, float pos);
    int32_t AddColourPoint(CPixel colour, int32_t pos, int32_t range);
    int32_t AddNullPoint(float pos);
    int32_t AddNullPoint(int32_t pos, int32_t range);
    int32_t IsPointAtPos(float pos) const;
    int32_t IsPointAtPos(int32_t pos, int32_t range) const;
    int32_t GetLastIndex() const { return m_aStops.GetSize() - 1; }
    void SetColourAtIndex(int32_t index, CPixel colour);
    void RemovePoint(int32_t index);
    error ClearPointsBetweenIndices(int32_t a, int32_t b);

    void Set16Bit(int32_t flag) {
        m_f16Bit = flag;
        m_fDirty = 1;
    }
    void SetMode(int32_t mode) {
        m_nMode = mode;
        m_fDirty = 1;
    }
    int32_t Is16Bit() const { return m_f16Bit; }
    int32_t GetMode() const { return m_nMode; }
    int32_t IsDirty() const { return m_fDirty; }
    const gCArray<CGradientPoint>& Stops() const { return m_aStops; }
    const CPixel* Table() const { return m_aTable; }

protected:
    // SetFromResData's reading and adding, which may stop part way.
    error AddStopsFrom(gCFile* file);
    // The current colour at a position, as the Add...Point forms take it.
    CPixel CurrentColourAt(float pos);
    // A stop's colour in the table's form.
    uint32_t TableForm(CPixel c) const;
    void FillSpan(int64_t s, int64_t e, uint32_t from, uint32_t to, uint32_t next);

    CPixel m_aTable[kTableSize];
    gCArray<CGradientPoint> m_aStops;
    int32_t m_fDirty = 1;
    int32_t m_f16Bit = 0;
    int32_t m_nMode = eLinear;
};
