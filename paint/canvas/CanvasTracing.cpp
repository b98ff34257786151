// The tracing image: read from a file, handed round the chain, replaced and
// dropped. The canvas owns it unless it is a pooled resource image.

#include <memory>
#include <new>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCFileIO.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"

error CCanvas::LoadCloneSource(gCFRef* file) {
    if (!file) {
        return eBadParameter;
    }
    gCFile stream;
    if (gCFileIO::InitLoadFile(stream, *file, nullptr, eAccessReadOnly) != eNoError ||
        !stream.IsOpen()) {
        return eFileReadWriteError;
    }
    std::unique_ptr<CImage> image(new (std::nothrow) CImage);
    if (!image) {
        return eOutOfMemory;
    }
    if (gCImageIO::ReadImage(stream, *image) != eNoError || !image->IsValid()) {
        return eFileReadWriteError;
    }

    // Round the backbone's chain when this is its canvas, so that the
    // backbone marks the project modified and the interface hears of it;
    // any other canvas takes the image itself.
    const int64_t value = ChannelValueOf(image.get());
    const int32_t result = m_pBackbone && m_pBackbone->Canvas() == this
                               ? m_pBackbone->ProcessData(eCmdTracingImage, this, value, 1)
                               : ProcessData(eCmdTracingImage, this, value, 1);
    if (m_pTracingImage == image.get()) {
        // Taken on the way: the canvas owns it now, whatever a later link
        // of the chain answered. One nobody took goes with image.
        (void)image.release();
    }
    if (result != 0) {
        return error(result);
    }
    InvalidateCanvasWidget(0);
    m_fTracingDisplay = 1;
    return eNoError;
}

error CCanvas::CloneSourceChanged(CImage* image) {
    // A pooled image is the pool's: SetTracingImage never deletes it.
    SetTracingImage(std::unique_ptr<CImage>(image));
    InvalidateCanvasWidget(1);
    return eNoError;
}

void CCanvas::RemoveCloneSource(int32_t redraw) {
    SetTracingImage(nullptr);
    InvalidateCanvasWidget(redraw);
}
