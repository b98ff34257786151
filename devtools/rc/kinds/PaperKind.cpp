// Paper textures: 'imag' blocks whose picture the compiler draws itself, an
// 8-bit grey PNG of the grain (see PaperGrain.h). The image loader reads it
// back with red = green = blue = the grain.
//
//   - kind: paper
//     id: 80
//     name: PaperColdPress
//     pattern: cold-press    # cold-press, laid, weave or hot-press
//     size: 512              # 64..1024
//     period: 8              # divides the size
//     seed: 0x5EED0080

#include <memory>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCMemFile.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"
#include "devtools/rc/kinds/PaperGrain.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Image8.h"
#include "imaging/ImageIO.h"

namespace {

struct PaperModel : BytesModel {
    int32_t size = 0;
    std::vector<uint8_t> grain;
};

// The grain as one PNG file; false when it cannot be encoded.
bool EncodeGrey(int32_t size, const std::vector<uint8_t>& grain, std::string& png) {
    CImage8 image(size, size);
    CImNav8 view(&image);
    if (!view.IsLocked() || view.GetWidth() != size) {
        return false;
    }
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            view.Row(y)[x] = grain[size_t(y) * size_t(size) + size_t(x)];
        }
    }
    gCMemFile mem;
    if (gCImageIO::WriteImage(mem, image, gCImageIO::kPNG) != eNoError) {
        return false;
    }
    png.assign(reinterpret_cast<const char*>(mem.GetMemBlock()->GetData()), size_t(mem.GetSize()));
    return true;
}

class CPaperKind final : public CByteBlockKind {
public:
    CPaperKind() : CByteBlockKind(true) {}
    const char* Name() const override { return "paper"; }
    // Its blocks are images: the image kind owns the tag.
    uint32_t Tag() const override { return 0; }
    std::vector<const char*> Keys() const override { return {"pattern", "size", "period", "seed"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        std::string patternName;
        int64_t size = 0, period = 0, seed = 0;
        PaperRecipe recipe;
        if (!source.Scalar(entry, "pattern", patternName)) {
            return false;
        }
        if (!PaperPatternByName(patternName, recipe.pattern)) {
            source.Error(entry["pattern"], "unknown paper pattern \"" + patternName +
                                               "\" (cold-press, laid, weave or hot-press)");
            return false;
        }
        if (!source.Integer(entry, "size", kPaperSmallestSize, kPaperLargestSize, size) ||
            !source.Integer(entry, "period", 1, kPaperLargestSize, period) ||
            !source.Integer(entry, "seed", 0, UINT32_MAX, seed)) {
            return false;
        }
        if (size % period != 0) {
            source.Error(entry["period"], "the period " + std::to_string(period) +
                                              " does not divide the size " + std::to_string(size) +
                                              ": the paper would not tile");
            return false;
        }
        recipe.size = int32_t(size);
        recipe.period = int32_t(period);
        recipe.seed = uint32_t(seed);

        auto model = std::make_unique<PaperModel>();
        model->size = recipe.size;
        model->grain = DrawPaper(recipe);
        if (!EncodeGrey(recipe.size, model->grain, model->bytes)) {
            source.Error(entry, "the paper could not be encoded as PNG");
            return false;
        }
        block.tag = kResImageTag;
        block.model = std::move(model);
        return true;
    }

    // The image loader reads the grain back into every colour channel.
    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string& why) const override {
        const PaperModel& paper = ModelOf<PaperModel>(block);
        CImage image;
        if (const error e = image.GetFromRes(block.id, &file, &index); e != eNoError) {
            return e;
        }
        CImNav view(&image);
        if (view.GetWidth() != paper.size || view.GetHeight() != paper.size) {
            why = "the paper reads back at another size";
            return eResourceReadError;
        }
        for (int32_t y = 0; y < paper.size; ++y) {
            for (int32_t x = 0; x < paper.size; ++x) {
                const uint32_t g = paper.grain[size_t(y) * size_t(paper.size) + size_t(x)];
                if (uint32_t(view.Row(y)[x]) != (0xFF000000u | g * 0x010101u)) {
                    why = "the paper's grain reads back differently";
                    return eResourceReadError;
                }
            }
        }
        return eNoError;
    }
};

} // namespace

const CBlockKind& PaperKind() {
    static const CPaperKind kind;
    return kind;
}
