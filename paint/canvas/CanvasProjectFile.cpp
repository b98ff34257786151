// The canvas's side of loading a project file: the file's layers become the
// project's, and the layers the file did not hold are made as a new project
// has them.

#include <utility>

#include "paint/canvas/Canvas.h"
#include "paint/canvas/detail/PaperGrain.h"
#include "paint/project/ProjectInfo.h"

void CCanvas::AdoptProject(std::unique_ptr<CCanvasLayers> layers, const CProjectInfo& info,
                           uint32_t missing) {
    m_pLayers = std::move(layers);
    m_nWidth = info.m_nWidth;
    m_nHeight = info.m_nHeight;
    m_nPaperTexture = info.m_nPaperTexture > kLastPaperTexture ? 0 : info.m_nPaperTexture;
    m_nPaperColour = info.m_nCanvasSetting;
    m_nFirstInvalidRow = 0x7FFFFFFF;
    m_nLastInvalidRow = -1;
    m_rDisplayScale = 1.0f;

    // A new project's height layer is the paper grain and its grain layer
    // the copy of it; a paper that cannot be laid leaves grain 0, as for a
    // new project.
    const bool noHeight = (missing & (1u << CCanvasLayers::kHeight)) != 0;
    const bool noGrain = (missing & (1u << CCanvasLayers::kGrain)) != 0;
    if (noHeight && noGrain) {
        (void)FillBumpWithCanvasTexture(0);
    } else if (noHeight) {
        (void)gLayPaperGrain(*Layer(CCanvasLayers::kHeight), m_nPaperTexture, 0);
    } else if (noGrain) {
        // The grain is laid in the grain layer's high half, then moved to
        // its low half: the file's height layer stays as it was.
        CImage* grain = Layer(CCanvasLayers::kGrain);
        if (gLayPaperGrain(*grain, m_nPaperTexture, 0) == eNoError) {
            CPixel* words = LayerView(CCanvasLayers::kGrain)->GetData();
            const size_t count = size_t(m_nWidth) * size_t(m_nHeight);
            for (size_t i = 0; i < count; ++i) {
                words[i] = uint32_t(words[i]) >> 16;
            }
        } else {
            (void)grain->Zero(); // zeroing always succeeds
        }
    }
}
