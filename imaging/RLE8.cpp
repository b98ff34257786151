#include "imaging/RLE8.h"

#include "imaging/ImNav.h"
#include "imaging/detail/RunLengthCoder.h"

using runlength::BytePolicy;
using High = runlength::ChannelPolicy<24>;
using Low = runlength::ChannelPolicy<8>;

error CRLE8::CreateFromImage(CImage8* image) {
    if (!image) {
        return eBadParameter;
    }
    CImNav8 view(image);
    return CreateFromImage(view);
}

error CRLE8::CreateFromImage(CImNav8& view) {
    return CreateFromView<BytePolicy>(view);
}

int32_t CRLE8::TestCompression(CImage8* image) {
    return runlength::EstimateImage<CImNav8>(image, [](CImNav8& v) { return TestCompression(v); });
}

int32_t CRLE8::TestCompression(CImNav8& view) {
    return runlength::EstimateView<BytePolicy>(view);
}

error CRLE8::DoCompress(CImNav8& view) {
    return CompressView<BytePolicy>(view);
}

int32_t CRLE8::CountDuplicatePoints(const uint8_t* row, int32_t x, int32_t width) {
    return runlength::CountDuplicates<BytePolicy>(row, x, width);
}

int32_t CRLE8::CountUniquePoints(const uint8_t* row, int32_t x, int32_t width) {
    return runlength::CountUniques<BytePolicy>(row, x, width);
}

// The channel forms: channel non-zero reads bits 24-31, channel 0 bits 8-15.

error CRLE8::CreateFromImage16(CImage* image, int32_t channel) {
    if (!image) {
        return eBadParameter;
    }
    CImNav view(image);
    return CreateFromImage16(view, channel);
}

error CRLE8::CreateFromImage16(CImNav& view, int32_t channel) {
    return channel ? CreateFromView<High>(view) : CreateFromView<Low>(view);
}

int32_t CRLE8::TestCompression16(CImage* image, int32_t channel) {
    return runlength::EstimateImage<CImNav>(
        image, [channel](CImNav& v) { return TestCompression16(v, channel); });
}

int32_t CRLE8::TestCompression16(CImNav& view, int32_t channel) {
    return channel ? runlength::EstimateView<High>(view) : runlength::EstimateView<Low>(view);
}

error CRLE8::DoCompress16(CImNav& view, int32_t channel) {
    return channel ? CompressView<High>(view) : CompressView<Low>(view);
}

int32_t CRLE8::CountDuplicatePoints16(const CPixel* row, int32_t x, int32_t width,
                                      int32_t channel) {
    return channel ? runlength::CountDuplicates<High>(row, x, width)
                   : runlength::CountDuplicates<Low>(row, x, width);
}

int32_t CRLE8::CountUniquePoints16(const CPixel* row, int32_t x, int32_t width, int32_t channel) {
    return channel ? runlength::CountUniques<High>(row, x, width)
                   : runlength::CountUniques<Low>(row, x, width);
}
