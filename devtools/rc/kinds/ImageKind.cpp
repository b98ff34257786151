// 'imag' blocks: Int32 n, then the n bytes of one PNG, JPEG or BMP file.
//
//   - kind: image
//     id: 7
//     name: logo
//     file: art/logo.png    # relative to the YAML file

#include "FileIO/ResourceTags.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"
#include "devtools/rc/kinds/ImageFile.h"
#include "imaging/Image.h"

namespace {

class CImageKind final : public CByteBlockKind {
public:
    CImageKind() : CByteBlockKind(true) {}
    const char* Name() const override { return "image"; }
    uint32_t Tag() const override { return kResImageTag; }
    std::vector<const char*> Keys() const override { return {"file"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        std::string bytes;
        if (!source.FileBytes(entry, bytes)) {
            return false;
        }
        SetBytes(block, std::move(bytes));
        return true;
    }

    bool Check(CSourceFile& source, const YAML::Node& entry,
               const ResourceBlock& block) const override {
        const std::string& bytes = Bytes(block);
        if (!IsImageFile(bytes)) {
            source.Error(entry["file"], "not a PNG, JPEG or BMP file");
            return false;
        }
        if (PngHasBackground(bytes)) {
            source.Warning(entry["file"], "the PNG carries a background colour (bKGD): its "
                                          "transparency is flattened onto it when loaded");
        }
        return true;
    }

    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string&) const override {
        CImage image;
        return image.GetFromRes(block.id, &file, &index);
    }
};

} // namespace

const CBlockKind& ImageKind() {
    static const CImageKind kind;
    return kind;
}
