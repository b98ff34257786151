#include "imaging/ImageIO.h"

#include <memory>
#include <new>

#include "FileIO/gCMemFile.h"
#include "imaging/BmpIO.h"
#include "imaging/JpgIO.h"
#include "imaging/PngIO.h"
#include "imaging/detail/ImageIOForms.h"

namespace imageio {

std::unique_ptr<gCImageFormat> MakeCodec(uint32_t type) {
    switch (type) {
    case gCImageIO::kBMP:
        return std::unique_ptr<gCImageFormat>(new (std::nothrow) gCBmpIO);
    case gCImageIO::kJPEG:
        return std::unique_ptr<gCImageFormat>(new (std::nothrow) gCJpgIO);
    case gCImageIO::kPNG:
        return std::unique_ptr<gCImageFormat>(new (std::nothrow) gCPngIO);
    default:
        return nullptr;
    }
}

template <class Image> error Read(gCStream& stream, Image& image) {
    const uint32_t type = gCImageIO::GetImageType(stream);
    if (type == gCImageIO::kNoImage) {
        return eBadParameter;
    }
    std::unique_ptr<gCImageFormat> codec = MakeCodec(type);
    return codec ? codec->ReadImage(stream, image) : eCreateFailed;
}

template <class Image> error Write(gCStream& stream, Image& image, uint32_t type) {
    std::unique_ptr<gCImageFormat> codec = MakeCodec(type);
    return codec ? codec->WriteImage(stream, image) : eCreateFailed;
}

template <class Image> error ReadBlock(CMemBlock& block, Image& image) {
    gCMemFile stream(&block);
    return Read(stream, image);
}

template <class Image> error WriteBlock(CMemBlock& block, Image& image, uint32_t type) {
    if (!gCImageIO::IsWritableType(type)) {
        return eCreateFailed;
    }
    // A memory stream grows only a block that already holds bytes.
    if (block.GetCount() == 0 && !block.Resize(1, 1)) {
        return eOutOfMemory;
    }
    gCMemFile stream(&block);
    return Write(stream, image, type);
}

template error Read(gCStream&, CImage&);
template error Read(gCStream&, CImage8&);
template error Write(gCStream&, CImage&, uint32_t);
template error Write(gCStream&, CImage8&, uint32_t);

} // namespace imageio

uint32_t gCImageIO::GetImageType(gCStream& stream) {
    if (gCPngIO::TypeOf(stream)) {
        return kPNG;
    }
    if (gCJpgIO::TypeOf(stream)) {
        return kJPEG;
    }
    if (gCBmpIO::TypeOf(stream)) {
        return kBMP;
    }
    return kNoImage;
}

uint32_t gCImageIO::GetImageType(CMemBlock& block) {
    gCMemFile stream(&block);
    return GetImageType(stream);
}

bool gCImageIO::IsImage(gCStream& stream) {
    return GetImageType(stream) > kNoImage;
}

error gCImageIO::ReadImage(gCStream& stream, CImage& image) {
    return imageio::Read(stream, image);
}

error gCImageIO::ReadImage(gCStream& stream, CImage8& image) {
    return imageio::Read(stream, image);
}

error gCImageIO::ReadImage(gCStream& stream, CImage& image, gCImageFormat* codec) {
    return codec ? codec->ReadImage(stream, image) : eBadParameter;
}

error gCImageIO::ReadImage(gCStream& stream, CImage8& image, gCImageFormat* codec) {
    return codec ? codec->ReadImage(stream, image) : eBadParameter;
}

error gCImageIO::ReadImage(CMemBlock& block, CImage& image) {
    return imageio::ReadBlock(block, image);
}

error gCImageIO::ReadImage(CMemBlock& block, CImage8& image) {
    return imageio::ReadBlock(block, image);
}

error gCImageIO::WriteImage(gCStream& stream, CImage& image, uint32_t type) {
    return imageio::Write(stream, image, type);
}

error gCImageIO::WriteImage(gCStream& stream, CImage8& image, uint32_t type) {
    return imageio::Write(stream, image, type);
}

error gCImageIO::WriteImage(CMemBlock& block, CImage& image, uint32_t type) {
    return imageio::WriteBlock(block, image, type);
}

error gCImageIO::WriteImage(CMemBlock& block, CImage8& image, uint32_t type) {
    return imageio::WriteBlock(block, image, type);
}
