// 'imag' blocks: Int32 n, then the n bytes of one PNG, JPEG or BMP file.
//
//   - kind: image
//     id: 7
//     name: logo
//     file: art/logo.png    # relative to the YAML file
//
// or an SVG drawing, rasterised by rsvg-convert (librsvg2-bin) to a PNG of
// exactly the size given:
//
//   - {kind: image, id: 8, name: tile, svg: art/tile.svg, width: 256, height: 256}

#include <filesystem>
#include <string>
#include <vector>

#include "FileIO/ResourceTags.h"
#include "FileIO/Spawn.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/ByteBlockKind.h"
#include "devtools/rc/kinds/ImageFile.h"
#include "imaging/Image.h"

namespace {

constexpr int64_t kLargestSide = 32767;

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
           uint32_t(uint8_t(bytes[at + 2])) << 8 | uint32_t(uint8_t(bytes[at + 3]));
}

// Whether the bytes are a PNG whose header gives that size.
bool IsPngOfSize(const std::string& bytes, int64_t width, int64_t height) {
    static const std::string kSignature("\x89PNG\r\n\x1a\n", 8);
    return bytes.size() >= 24 && bytes.compare(0, 8, kSignature) == 0 &&
           bytes.compare(12, 4, "IHDR") == 0 && BigEndian32(bytes, 16) == uint64_t(width) &&
           BigEndian32(bytes, 20) == uint64_t(height);
}

// The PNG without its background-colour chunks: rsvg-convert always writes
// one (white), onto which the image loader would flatten the drawing's
// transparency. Bytes that are not whole chunks stay as they are.
std::string WithoutBackground(const std::string& png) {
    std::string out = png.substr(0, 8);
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const size_t whole = size_t(BigEndian32(png, at)) + 12;
        if (whole > png.size() - at) {
            return png;
        }
        if (png.compare(at + 4, 4, "bKGD") != 0) {
            out.append(png, at, whole);
        }
        at += whole;
    }
    return at == png.size() ? out : png;
}

// The entry's SVG drawing as a PNG of its width and height, made by
// rsvg-convert with an argument vector; reported, false when it fails.
bool RasteriseSvg(CSourceFile& source, const YAML::Node& entry, std::string& png) {
    std::string relative;
    int64_t width = 0, height = 0;
    if (!source.Text(entry, "svg", true, relative) ||
        !source.Integer(entry, "width", 1, kLargestSide, width) ||
        !source.Integer(entry, "height", 1, kLargestSide, height)) {
        return false;
    }
    const std::filesystem::path path = source.Path().parent_path() / relative;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        source.Error(entry["svg"], "cannot read " + path.string());
        return false;
    }
    const std::string program = gFindProgram("rsvg-convert");
    if (program.empty()) {
        source.Error(entry["svg"], "rsvg-convert is not installed (Debian's librsvg2-bin)");
        return false;
    }
    const std::vector<std::string> argv{program, "--format=png", "--width=" + std::to_string(width),
                                        "--height=" + std::to_string(height), path.string()};
    std::string output;
    if (gSpawnAndCapture(argv, output, nullptr) != 0 || !IsPngOfSize(output, width, height)) {
        source.Error(entry["svg"], "rsvg-convert could not draw " + path.string() + " at " +
                                       std::to_string(width) + " x " + std::to_string(height));
        return false;
    }
    png = WithoutBackground(output);
    return true;
}

class CImageKind final : public CByteBlockKind {
public:
    CImageKind() : CByteBlockKind(true) {}
    const char* Name() const override { return "image"; }
    uint32_t Tag() const override { return kResImageTag; }
    std::vector<const char*> Keys() const override { return {"file", "svg", "width", "height"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        if (entry["svg"] && entry["file"]) {
            source.Error(entry["svg"], "an image has either \"file\" or \"svg\"");
            return false;
        }
        if (!entry["svg"] && (entry["width"] || entry["height"])) {
            source.Error(entry["width"] ? entry["width"] : entry["height"],
                         "only an \"svg\" image is given a size");
            return false;
        }
        std::string bytes;
        if (entry["svg"] ? !RasteriseSvg(source, entry, bytes) : !source.FileBytes(entry, bytes)) {
            return false;
        }
        SetBytes(block, std::move(bytes));
        return true;
    }

    bool Check(CSourceFile& source, const YAML::Node& entry,
               const ResourceBlock& block) const override {
        const std::string& bytes = Bytes(block);
        const YAML::Node file = entry["svg"] ? entry["svg"] : entry["file"];
        if (!IsImageFile(bytes)) {
            source.Error(file, "not a PNG, JPEG or BMP file");
            return false;
        }
        if (PngHasBackground(bytes)) {
            source.Warning(file, "the PNG carries a background colour (bKGD): its "
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
