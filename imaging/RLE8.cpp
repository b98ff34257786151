#include "RLE8.h"

#include "ImNav.h"
#include "RunLengthCoder.h"

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
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    return CreateFrom<BytePolicy>(view.GetData(), view.GetStride(), view.GetWidth(),
                                  view.GetHeight());
}

int32_t CRLE8::TestCompression(CImage8* image) {
    if (!image) {
        return 0;
    }
    CImNav8 view(image);
    if (!view.IsLocked()) {
        return image->GetWidth() * image->GetHeight();
    }
    return TestCompression(view);
}

int32_t CRLE8::TestCompression(CImNav8& view) {
    if (!view.IsLocked()) {
        return view.GetWidth() * view.GetHeight();
    }
    return int32_t(runlength::Estimate<BytePolicy>(view.GetData(), view.GetStride(),
                                                   view.GetWidth(), view.GetHeight()));
}

error CRLE8::DoCompress(CImNav8& view) {
    if (!view.IsLocked()) {
        Clear();
        return eBadParameter;
    }
    return CompressFrom<BytePolicy>(view.GetData(), view.GetStride(), view.GetWidth(),
                                    view.GetHeight());
}

int32_t CRLE8::CountDuplicatePoints(const uint8_t* row, int32_t x, int32_t width) {
    return runlength::CountDuplicates<BytePolicy>(row, x, width);
}

int32_t CRLE8::CountUniquePoints(const uint8_t* row, int32_t x, int32_t width) {
    return runlength::CountUniques<BytePolicy>(row, x, width);
}

error CRLE8::CreateFromImage16(CImage* image, int32_t channel) {
    if (!image) {
        return eBadParameter;
    }
    CImNav view(image);
    return CreateFromImage16(view, channel);
}

error CRLE8::CreateFromImage16(CImNav& view, int32_t channel) {
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    const int32_t s = view.GetStride(), w = view.GetWidth(), h = view.GetHeight();
    return channel ? CreateFrom<High>(view.GetData(), s, w, h)
                   : CreateFrom<Low>(view.GetData(), s, w, h);
}

int32_t CRLE8::TestCompression16(CImage* image, int32_t channel) {
    if (!image) {
        return 0;
    }
    CImNav view(image);
    if (!view.IsLocked()) {
        return image->GetWidth() * image->GetHeight();
    }
    return TestCompression16(view, channel);
}

int32_t CRLE8::TestCompression16(CImNav& view, int32_t channel) {
    if (!view.IsLocked()) {
        return view.GetWidth() * view.GetHeight();
    }
    const int32_t s = view.GetStride(), w = view.GetWidth(), h = view.GetHeight();
    return int32_t(channel ? runlength::Estimate<High>(view.GetData(), s, w, h)
                           : runlength::Estimate<Low>(view.GetData(), s, w, h));
}

error CRLE8::DoCompress16(CImNav& view, int32_t channel) {
    if (!view.IsLocked()) {
        Clear();
        return eBadParameter;
    }
    const int32_t s = view.GetStride(), w = view.GetWidth(), h = view.GetHeight();
    return channel ? CompressFrom<High>(view.GetData(), s, w, h)
                   : CompressFrom<Low>(view.GetData(), s, w, h);
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
