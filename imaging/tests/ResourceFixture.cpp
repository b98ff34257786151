#include "imaging/tests/ResourceFixture.h"

#include "FileIO/gCMemFile.h"
#include "imaging/ImageIO.h"

namespace {

template <class Image> std::string PngBytes(Image& image) {
    gCMemFile mem;
    EXPECT_EQ(gCImageIO::WriteImage(mem, image, gCImageIO::kPNG), eNoError);
    const char* data = reinterpret_cast<const char*>(mem.GetMemBlock()->GetData());
    const std::string bytes(data, size_t(mem.GetSize()));
    return Le32(uint32_t(bytes.size())) + bytes;
}

} // namespace

void ImageResourceFile::Install(const std::string& blocks) {
    InstallResourceFile(VersionBlock(2) + blocks);
}

void ImageResourceFile::TearDown() {
    // Pooled objects go before the file they were loaded from.
    for (int32_t pool = 0; pool <= 5; ++pool) {
        if (CResourcePool* p = app.GetResourcePool(pool)) {
            p->Empty();
        }
    }
    ResourceFileFixture::TearDown();
}

std::string ImageResourceFile::ImagePayload(CImage& image) {
    return PngBytes(image);
}
std::string ImageResourceFile::ImagePayload(CImage8& image) {
    return PngBytes(image);
}

std::string ImageResourceFile::ListPayload(int32_t exclusive,
                                           std::initializer_list<const char*> names) {
    std::string out = Le32(uint32_t(exclusive)) + Le32(uint32_t(names.size()));
    for (const char* n : names) {
        out += Utf16Line(n);
    }
    return out;
}
