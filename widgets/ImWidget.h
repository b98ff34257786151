#pragma once
// A widget that shows a 32-bit image: one it holds itself, or one frame of
// an image list. It hit-tests by the image's alpha, cross-fades between two
// images or frames into its own image, can keep its image run-length
// compressed (drawing, hit-testing and masking then read the run-length
// form directly) and hands its image to its effects so that shadows and
// glows follow the picture's outline. Without an image it draws as a colour
// widget.
//
// The widget owns its image and list unless they are pooled (shared through
// the application's resource pools, or frames of a list): those it never
// deletes, resizes or draws into.

#include <cstdint>
#include <memory>

#include "FileIO/FileTypes.h"
#include "imaging/Image.h"
#include "imaging/ImageList.h"
#include "widgets/CoWidget.h"
#include "widgets/ImageChunkTexts.h"
#include "widgets/UnlessPooled.h"

inline constexpr uint32_t kImWidgetTypeID = FourCC("imwg");

class CImWidget : public CCoWidget {
public:
    CImWidget() = default;
    ~CImWidget() override;

    uint32_t TypeID() const override { return kImWidgetTypeID; }

    // With an image, the widget takes the image's size; 0 without one.
    virtual error ResizeAroundImage(int32_t redraw);
    // Without the stretch flag the widget holds image itself (and with
    // resize takes its size, returning that result). With it, the image is
    // scaled into a new one of the widget's size and then deleted unless
    // pooled, whatever happens (5 when an image cannot be made or locked).
    // The image held before is deleted unless pooled or the same. 6 for a
    // null image or one without pixels (in stretch mode it is still
    // deleted). A visible widget invalidates its client area and redraws
    // when asked.
    virtual error SetImage(CImage* image, int32_t resize, int32_t redraw);
    // Holds the list (6 for null); the list held before is deleted unless
    // pooled or the same. An image that was a frame of a deleted list is
    // let go with it.
    virtual error SetImageList(gCImageList* list);
    // Shows frame index of the list; 6 without a list or outside it.
    virtual error SetImage(int32_t index, int32_t resize, int32_t redraw);
    // The next frame, after the last the first; 6 without a list or with
    // fewer than two frames.
    virtual error AdvanceFrame(int32_t resize, int32_t redraw);
    // Fills the whole image with the client colour made opaque; 0 without
    // an image, 5 when it cannot be locked. Subclasses draw theirs here.
    virtual error MakeContents();
    virtual error CompressImage();
    virtual error DecompressImage();
    // The widget's own image becomes a moved toward b by t (0..1, a level
    // of round(t * 255) clamped to 0..255; a t that is not finite counts as
    // 0) over the overlap of the three images. Missing images: only the
    // redraw. A pooled own image is first replaced by a private one of its
    // size, so that a shared picture is never painted over.
    virtual error LerpImage(CImage* a, CImage* b, float t, int32_t updateEffects, int32_t redraw);
    // The same between frames i and j of the list.
    virtual error LerpImage(int32_t i, int32_t j, float t, int32_t updateEffects, int32_t redraw);
    virtual CImage* Image() { return m_pImage.get(); }
    // The frame last selected; 0 without a list.
    virtual int32_t ImageIndex() const { return m_pImageList ? m_nImageIndex : 0; }
    virtual gCImageList* ImageList() const { return m_pImageList.get(); }
    virtual int32_t StretchImageOnSet() const { return m_fStretchImageOnSet; }
    virtual void SetStretchImageOnSet(int32_t stretch) { m_fStretchImageOnSet = stretch; }
    virtual int32_t Compressed() const { return m_pImage && m_pImage->IsCompressed() ? 1 : 0; }
    // The image's alpha changed: the effects are rebuilt and the total rect
    // invalidated.
    virtual error AlphaChanged(int32_t redraw);

    // What the image chunks leave for after the block: the image or list
    // to load, the frame, and the flags (each set only by the value 1).
    class CImWidgetDataHolder : public CWidgetDataHolder {
    public:
        CImWidgetDataHolder() = default;
        ~CImWidgetDataHolder() override = default;

        int32_t m_nListIndex = 0;
        gCString m_ImageName;
        gCString m_ImageListName;
        int32_t m_fSharedImage = 0;
        int32_t m_fSizeToImage = 0;
        int32_t m_fCompressImage = 0;
    };

    // Loading: the image chunks into the holder, the rest CCoWidget's;
    // afterwards the image (shared through the image pool when asked) or
    // else the list, compression and sizing to the image.
    static CImWidget* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CImWidget* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    error SetFromResData(gCFile* file) override;
    error ParseResData(int32_t code, gCMemFile* data, CImWidgetDataHolder* holder);

    using CWidget::SetSize;
    // CWidget's SetSize; a widget without a parent then makes its image.
    error SetSize(int32_t width, int32_t height, int32_t redraw) override;
    // For a positive size: an image of that size stays as it is; otherwise
    // the image is made (or remade) at that size and MakeContents draws it.
    error SizeChanged() override;
    // The image's pixels over the area (the part inside the image), copied
    // for an opaque-blit widget, else blended by alpha * opacity.
    error RenderArea(const gCRect& area, CImage* target, uint32_t opacity) override;
    // Opaque everywhere with threshold 0; else where the image's alpha
    // reaches the threshold.
    int32_t OpaquePixel(gCPoint& local) override;
    // The image's alpha into the mask (mask coordinates are the widget's).
    error GetAlpha(CImage8* mask) override;
    // The effect rebuilds after the image (an uncompressed copy of a
    // compressed one); without an image only the total rect is rebuilt.
    error EffectChanged(CWidgetEffectBase* effect, int32_t redraw) override;

protected:
    using ImagePtr = std::unique_ptr<CImage, SDeleteUnlessPooled>;
    using ListPtr = std::unique_ptr<gCImageList, SDeleteUnlessPooled>;

    // Holds image, deleting the image held before unless it is the same.
    void HoldImage(CImage* image);

    ImagePtr m_pImage;
    ListPtr m_pImageList;
    int32_t m_nImageIndex = 0;
    int32_t m_fStretchImageOnSet = 0;

    // The holder's image, or else its image list and frame, applied after
    // the block with the class's texts.
    error ApplyHolder(CImWidgetDataHolder& holder, gCFile* file,
                      const widget_loading::SImageTexts& texts);

private:
    // The stretch form of SetImage; owns image from the start.
    error SetStretchedImage(CImage* image, int32_t redraw);
    // The holder applied once the block is read.
    error ApplyHolder(CImWidgetDataHolder& holder, gCFile* file);
    // Invalidates the client area of a visible widget, then redraws when
    // asked.
    error ShowNewImage(int32_t redraw);
    // A private image to cross-fade into.
    error MakeImagePrivate();

    // The list's current frame. The list keeps no position a widget can
    // read, so the widget keeps it for the list: SetImage(index) moves both
    // it and the frame shown, a cross-fade between frames moves only this.
    int32_t m_nListIndex = 0;
};
