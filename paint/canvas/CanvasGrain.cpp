// The paper grain: a paper image tiled over the height layer from the
// top-left corner, its red byte as the grain, blurred a little.

#include <memory>

#include "imaging/Blur.h"
#include "paint/canvas/Canvas.h"
#include "paint/canvas/detail/PaperGrain.h"

namespace {

// The paper image of the texture id (80 for an id above 3); null when it is
// missing or has no pixels to tile.
std::unique_ptr<CImage> LoadPaper(uint32_t texture) {
    const int32_t id =
        CCanvas::kFirstPaperId + int32_t(texture > CCanvas::kLastPaperTexture ? 0 : texture);
    std::unique_ptr<CImage> paper(CImage::CreateFromRes(id, nullptr, nullptr));
    if (paper && (paper->GetWidth() <= 0 || paper->GetHeight() <= 0)) {
        paper.reset();
    }
    return paper;
}

} // namespace

error gLayPaperGrain(CImage& image, uint32_t texture, int32_t keepPaint) {
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0) {
        return eNoError;
    }
    CImNav height(&image);
    if (!height.IsLocked() || !height.GetData()) {
        return eOutOfMemory;
    }
    const int32_t width = height.GetWidth(), rows = height.GetHeight();

    std::unique_ptr<CImage> paper = LoadPaper(texture);
    if (!paper) {
        for (int32_t y = 0; y < rows; ++y) {
            CPixel* row = height.Row(y);
            for (int32_t x = 0; x < width; ++x) {
                row[x] = uint32_t(row[x]) & 0xFFFFu;
            }
        }
        return eNoError;
    }
    CImNav tile(paper.get());
    if (!tile.IsLocked() || !tile.GetData()) {
        return eOutOfMemory;
    }
    const uint32_t keep = keepPaint ? 0xFFFFu : 0u;
    for (int32_t y = 0; y < rows; ++y) {
        CPixel* row = height.Row(y);
        const CPixel* source = tile.Row(y % tile.GetHeight());
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t t = source[x % tile.GetWidth()];
            row[x] = (uint32_t(row[x]) & keep) | (t & 0x00FF0000u);
        }
    }
    return CBlur::GaussianBlur(&image, 0.5f, 1) == 0 ? eOutOfMemory : eNoError;
}

error CCanvas::FillBumpWithCanvasTexture(int32_t keepPaint) {
    CImage* heightImage = Layer(CCanvasLayers::kHeight);
    if (!heightImage || heightImage->GetWidth() <= 0 || heightImage->GetHeight() <= 0) {
        return eNoError;
    }
    if (const error e = gLayPaperGrain(*heightImage, m_nPaperTexture, keepPaint); e != eNoError) {
        return e;
    }
    CImNav height(heightImage);
    if (!height.IsLocked() || !height.GetData()) {
        return eOutOfMemory;
    }
    if (CImNav* grainView = LayerView(CCanvasLayers::kGrain); grainView && grainView->IsLocked()) {
        CPixel* grain = grainView->GetData();
        const CPixel* h = height.GetData();
        const size_t count = size_t(height.GetWidth()) * size_t(height.GetHeight());
        for (size_t i = 0; i < count; ++i) {
            grain[i] = (uint32_t(grain[i]) & 0xFFFF0000u) | (uint32_t(h[i]) >> 16);
        }
    }
    return eNoError;
}
