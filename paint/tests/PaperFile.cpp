#include "paint/tests/PaperFile.h"

#include "FileIO/ResourceTags.h"
#include "FileIO/gCMemFile.h"
#include "imaging/ImageIO.h"

void PaperFile::Install(const std::string& blocks) {
    InstallResourceFile(VersionBlock(2) + blocks);
}

std::string PaperFile::PaperBlock(int32_t id, CImage& image) {
    gCMemFile mem;
    EXPECT_EQ(gCImageIO::WriteImage(mem, image, gCImageIO::kPNG), eNoError);
    const char* data = reinterpret_cast<const char*>(mem.GetMemBlock()->GetData());
    const std::string png(data, size_t(mem.GetSize()));
    return ResBlock(kResImageTag, id, "paper" + std::to_string(id),
                    Le32(uint32_t(png.size())) + png);
}

std::string PaperFile::EmptyBmpBlock(int32_t id, int32_t width, int32_t height) {
    std::string bmp = "BM" + Le32(54) + Le32(0) + Le32(54);
    bmp += Le32(40) + Le32(uint32_t(width)) + Le32(uint32_t(height));
    bmp += std::string("\x01\x00\x18\x00", 4) + Le32(0) + Le32(0) + Le32(2835) + Le32(2835) +
           Le32(0) + Le32(0);
    return ResBlock(kResImageTag, id, "paper" + std::to_string(id),
                    Le32(uint32_t(bmp.size())) + bmp);
}
