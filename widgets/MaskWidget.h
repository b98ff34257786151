#pragma once
// A widget whose shape is an 8-bit mask: it paints its client colour
// through the mask (each byte the coverage of its pixel), hit-tests against
// it, hands its shape to its effects as the client colour with the mask as
// alpha and answers alpha mattes with it. The mask is an image set
// directly, loaded by name (optionally shared through the application's
// image pool), one frame of an 8-bit image list, or, without either, a
// rectangle at the colour's own alpha. Mask coordinates are the widget's
// local ones; pixels outside the mask have coverage 0.
//
// The widget owns its mask and its list unless they are pooled (shared
// through a pool, or frames of a list): those it never deletes, resizes or
// overwrites; it takes a private mask first.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "imaging/Image8.h"
#include "imaging/ImageList.h"
#include "widgets/CoWidget.h"
#include "widgets/UnlessPooled.h"

inline constexpr uint32_t kMaskWidgetTypeID = FourCC("mkwg");

class CMaskWidget : public CCoWidget {
public:
    CMaskWidget() = default;
    ~CMaskWidget() override;

    uint32_t TypeID() const override { return kMaskWidgetTypeID; }

    // With a mask, the widget takes the mask's size; 0 without one.
    virtual error ResizeAroundImage(int32_t redraw);
    // Without the stretch flag the image becomes the mask (and with resize
    // the widget takes its size, returning that result). With it, the image
    // is scaled into a new mask of the widget's size and then deleted
    // unless pooled, on every path; when that mask cannot be made (5) the
    // old mask stays. The mask held before is deleted unless pooled or the
    // same. 6 for a null image or one without pixels. A visible widget
    // invalidates its client area and redraws when asked.
    virtual error SetImage(CImage8* image, int32_t resize, int32_t redraw);
    // Holds the list (6 for null); the list held before is deleted unless
    // pooled or the same, and a mask that was one of its frames goes with
    // it (the widget then draws as a colour widget).
    virtual error SetImageList(gCImageList8* list);
    // Frame index of the list becomes the mask; 6 without a list or
    // outside it.
    virtual error SetImage(int32_t index, int32_t resize, int32_t redraw);
    // The next frame, after the last the first; 6 without a list or with
    // fewer than two frames.
    virtual error AdvanceFrame(int32_t resize, int32_t redraw);
    // Fills the whole mask with the client colour's alpha; a pooled mask is
    // first replaced by a private one of its size. 0 without a mask, 5 when
    // it cannot be made or locked.
    virtual error MakeContents();
    virtual error CompressImage();
    virtual error DecompressImage();
    virtual CImage8* Image() { return m_pMask.get(); }
    // The frame last selected; 0 without a list.
    virtual int32_t ImageIndex() const { return m_pImageList ? m_nImageIndex : 0; }
    virtual gCImageList8* ImageList() const { return m_pImageList.get(); }
    virtual int32_t StretchImageOnSet() const { return m_fStretchImageOnSet; }
    virtual void SetStretchImageOnSet(int32_t stretch) { m_fStretchImageOnSet = stretch; }
    virtual int32_t Compressed() const { return m_pMask && m_pMask->IsCompressed() ? 1 : 0; }
    // The mask changed: the effects are rebuilt and the total rect
    // invalidated.
    virtual error AlphaChanged(int32_t redraw);

    // What the mask chunks leave for after the block.
    class CMaskWidgetDataHolder : public CWidgetDataHolder {
    public:
        CMaskWidgetDataHolder() = default;
        ~CMaskWidgetDataHolder() override = default;

        int32_t m_nListIndex = 0;
        gCString m_ImageName;
        gCString m_ImageListName;
        int32_t m_fSharedImage = 0;
        int32_t m_fSizeToImage = 0;
        int32_t m_fCompressImage = 0;
    };

    // Loading: the mask chunks into the holder, the rest CCoWidget's;
    // afterwards the mask (shared through the image pool when asked),
    // compressed and sized to when asked, or else the list and its frame.
    static CMaskWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CMaskWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CMaskWidgetDataHolder* holder);

    // For a positive size: a mask of that size stays as it is; otherwise
    // the mask is made (or remade) at that size and filled uniformly.
    error SizeChanged() override;
    // The client colour through the mask, at the mask's coverage times the
    // opacity: level 0 is skipped, 255 stored, the rest blended through the
    // level blend hook. An opaque-blit widget fills the area with the
    // colour made opaque; without a mask it draws as a colour widget.
    error RenderArea(const gCRect& area, CImage* target, uint32_t opacity) override;
    // Opaque everywhere with threshold 0; else where the mask reaches it.
    int32_t OpaquePixel(gCPoint& local) override;
    // The mask into the matte, from (0, 0).
    error GetAlpha(CImage8* matte) override;
    // The effect rebuilds after an image of the client colour with the
    // mask as alpha; without a mask it is not told.
    error EffectChanged(CWidgetEffectBase* effect, int32_t redraw) override;

    // The mask byte at (x, y), 0 outside the mask or without one.
    uint8_t CoverageAt(int32_t x, int32_t y);

protected:
    using MaskPtr = std::unique_ptr<CImage8, SDeleteUnlessPooled>;
    using ListPtr = std::unique_ptr<gCImageList8, SDeleteUnlessPooled>;

    // Holds mask, deleting the mask held before unless it is the same.
    void HoldMask(CImage8* mask);

    MaskPtr m_pMask;

private:
    // The stretch form of SetImage; owns image from the start.
    error SetStretchedImage(CImage8* image, int32_t redraw);
    error ShowNewMask(int32_t redraw);
    error ApplyHolder(CMaskWidgetDataHolder& holder, gCFile* file);
    // (0, 0, width, height) of the mask (of its run-length form when
    // compressed); empty without one.
    gCRect MaskBounds() const;
    // The mask's bytes over the area, row by row, to row(y, bytes, count):
    // columns outside the mask read 0.
    template <class Row> error ForEachMaskRow(const gCRect& area, Row row);

    ListPtr m_pImageList;
    int32_t m_nImageIndex = 0;
    int32_t m_fStretchImageOnSet = 0;
};
