// Paper previews: 'imag' blocks of a paper as a new canvas shows it (lit
// grain on the default paper colour), which the compiler has the canvas
// itself draw from the paper block the entry names (see LitPaper.h). The
// picture is an opaque PNG of the size given.
//
//   - kind: paper-preview
//     id: 84
//     name: PaperColdPressPreview
//     paper: PaperColdPress  # a paper block, one of the canvas's 80..83
//     width: 76              # 1..1024
//     height: 44

#include <memory>
#include <string>
#include <vector>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCMemFile.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"
#include "devtools/rc/kinds/LitPaper.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/canvas/Canvas.h"

const CBlockKind& PaperKind();

namespace {

constexpr int64_t kLargestSide = 1024;

struct PaperPreviewModel : BytesModel {
    std::string paper;
    SourcePlace paperPlace;
    int32_t width = 0;
    int32_t height = 0;
};

// The pixels as one PNG file; false when they cannot be encoded.
bool EncodePixels(int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                  std::string& png) {
    CImage image(width, height);
    CImNav view(&image);
    if (!view.IsLocked() || view.GetWidth() != width || view.GetHeight() != height) {
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            view.Row(y)[x] = pixels[size_t(y) * size_t(width) + size_t(x)];
        }
    }
    gCMemFile mem;
    if (gCImageIO::WriteImage(mem, image, gCImageIO::kPNG) != eNoError) {
        return false;
    }
    png.assign(reinterpret_cast<const char*>(mem.GetMemBlock()->GetData()), size_t(mem.GetSize()));
    return true;
}

class CPaperPreviewKind final : public CByteBlockKind {
public:
    CPaperPreviewKind() : CByteBlockKind(true) {}
    const char* Name() const override { return "paper-preview"; }
    // Its blocks are images: the image kind owns the tag.
    uint32_t Tag() const override { return 0; }
    std::vector<const char*> Keys() const override { return {"paper", "width", "height"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        auto model = std::make_unique<PaperPreviewModel>();
        int64_t width = 0, height = 0;
        if (!source.Text(entry, "paper", true, model->paper) ||
            !source.Integer(entry, "width", 1, kLargestSide, width) ||
            !source.Integer(entry, "height", 1, kLargestSide, height)) {
            return false;
        }
        source.Refer(kResImageTag, "paper", entry["paper"]);
        model->paperPlace = source.Place(entry["paper"]);
        model->width = int32_t(width);
        model->height = int32_t(height);
        block.tag = kResImageTag;
        block.model = std::move(model);
        return true;
    }

    // The pictures, drawn once every paper is read.
    void Derive(std::vector<ResourceBlock>& blocks, Diagnostics& diagnostics) const override {
        for (ResourceBlock& b : blocks) {
            if (b.kind != this) {
                continue;
            }
            auto& model = dynamic_cast<PaperPreviewModel&>(*b.model);
            const ResourceBlock* paper = nullptr;
            for (const ResourceBlock& p : blocks) {
                if (p.tag == kResImageTag && p.name == model.paper) {
                    paper = &p;
                    break;
                }
            }
            if (!paper) {
                continue; // refused already: no image block has the name
            }
            if (paper->kind != &PaperKind()) {
                diagnostics.Error(model.paperPlace, "\"" + model.paper + "\" is a block of kind " +
                                                        paper->kind->Name() +
                                                        ", not a paper block");
                continue;
            }
            const int32_t last = CCanvas::kFirstPaperId + int32_t(CCanvas::kLastPaperTexture);
            if (paper->id < CCanvas::kFirstPaperId || paper->id > last) {
                diagnostics.Error(model.paperPlace, "the canvas takes papers " +
                                                        std::to_string(CCanvas::kFirstPaperId) +
                                                        " to " + std::to_string(last) + ", not " +
                                                        std::to_string(paper->id));
                continue;
            }
            std::vector<uint32_t> pixels;
            std::string why;
            if (!LightPaper(*paper, model.width, model.height, pixels, why)) {
                diagnostics.Error(b.place, "the preview of \"" + model.paper + "\": " + why);
                continue;
            }
            if (!EncodePixels(model.width, model.height, pixels, model.bytes)) {
                diagnostics.Error(b.place, "the preview could not be encoded as PNG");
            }
        }
    }
};

} // namespace

const CBlockKind& PaperPreviewKind() {
    static const CPaperPreviewKind kind;
    return kind;
}
