// libFuzzer target for the image readers: each input is read through the
// facade (sniffing PNG, JPEG or BMP) into a 32-bit and an 8-bit image, and
// through each codec directly. Built only with clang; see the README.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FileIO/gCMemFile.h"
#include "imaging/BmpIO.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageIO.h"
#include "imaging/JpgIO.h"
#include "imaging/PngIO.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

template <class Image> void ReadAll(CMemBlock& block) {
    {
        gCMemFile stream(&block);
        Image image;
        // Any result is fine: the fuzzer looks for crashes, leaks and memory.
        (void)gCImageIO::ReadImage(stream, image);
    }
    gCBmpIO bmp;
    gCJpgIO jpg;
    gCPngIO png;
    for (gCImageFormat* codec :
         {static_cast<gCImageFormat*>(&bmp), static_cast<gCImageFormat*>(&jpg),
          static_cast<gCImageFormat*>(&png)}) {
        gCMemFile stream(&block);
        Image image;
        (void)gCImageIO::ReadImage(stream, image, codec);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (size_t(1) << 24)) {
        return 0;
    }
    CFakeAppServices quiet; // the BMP reader's alerts go nowhere
    CMemBlock block;
    if (!block.Resize(uint32_t(size), 0)) {
        return 0;
    }
    std::memcpy(block.GetData(), data, size);
    ReadAll<CImage>(block);
    ReadAll<CImage8>(block);
    return 0;
}
