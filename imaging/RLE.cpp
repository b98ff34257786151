#include "RLE.h"

#include "ImNav.h"
#include "RunLengthCoder.h"

using Policy = runlength::PixelPolicy;

error CRLE::CreateFromImage(CImage* image) {
    if (!image) {
        return eBadParameter;
    }
    CImNav view(image);
    return CreateFromImage(view);
}

error CRLE::CreateFromImage(CImNav& view) {
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    return CreateFrom<Policy>(view.GetData(), view.GetStride(), view.GetWidth(), view.GetHeight());
}

int32_t CRLE::TestCompression(CImage* image) {
    if (!image) {
        return 0;
    }
    CImNav view(image);
    if (!view.IsLocked()) {
        return image->GetWidth() * image->GetHeight();
    }
    return TestCompression(view);
}

int32_t CRLE::TestCompression(CImNav& view) {
    if (!view.IsLocked()) {
        return view.GetWidth() * view.GetHeight();
    }
    return int32_t(runlength::Estimate<Policy>(view.GetData(), view.GetStride(), view.GetWidth(),
                                               view.GetHeight()));
}

error CRLE::DoCompress(CImNav& view) {
    if (!view.IsLocked()) {
        Clear();
        return eBadParameter;
    }
    return CompressFrom<Policy>(view.GetData(), view.GetStride(), view.GetWidth(),
                                view.GetHeight());
}

int32_t CRLE::CountDuplicatePoints(const CPixel* row, int32_t x, int32_t width) {
    return runlength::CountDuplicates<Policy>(row, x, width);
}

int32_t CRLE::CountUniquePoints(const CPixel* row, int32_t x, int32_t width) {
    return runlength::CountUniques<Policy>(row, x, width);
}
