#include "imaging/RLE.h"

#include "imaging/ImNav.h"
#include "imaging/detail/RunLengthCoder.h"

using Policy = runlength::PixelPolicy;

error CRLE::CreateFromImage(CImage* image) {
    if (!image) {
        return eBadParameter;
    }
    CImNav view(image);
    return CreateFromImage(view);
}

error CRLE::CreateFromImage(CImNav& view) {
    return CreateFromView<Policy>(view);
}

int32_t CRLE::TestCompression(CImage* image) {
    return runlength::EstimateImage<CImNav>(image, [](CImNav& v) { return TestCompression(v); });
}

int32_t CRLE::TestCompression(CImNav& view) {
    return runlength::EstimateView<Policy>(view);
}

error CRLE::DoCompress(CImNav& view) {
    return CompressView<Policy>(view);
}

int32_t CRLE::CountDuplicatePoints(const CPixel* row, int32_t x, int32_t width) {
    return runlength::CountDuplicates<Policy>(row, x, width);
}

int32_t CRLE::CountUniquePoints(const CPixel* row, int32_t x, int32_t width) {
    return runlength::CountUniques<Policy>(row, x, width);
}
