// 'grad' blocks: Int32 count, then count × (Int32 colour 0xAARRGGBB, Real
// position).
//
//   - kind: gradient
//     id: 30
//     name: sky
//     stops:
//       - {colour: 0xFF102030, position: 0}   # position from 0 to 1

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceObject.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/SourceFile.h"
#include "imaging/Gradient.h"

namespace {

struct GradientStop {
    uint32_t colour = 0; // 0xAARRGGBB
    float position = 0;  // 0 to 1
};

struct GradientModel : BlockModel {
    std::vector<GradientStop> stops;
};

class CGradientKind final : public CBlockKind {
public:
    const char* Name() const override { return "gradient"; }
    uint32_t Tag() const override { return kResGradientTag; }
    std::vector<const char*> Keys() const override { return {"stops"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        auto model = std::make_unique<GradientModel>();
        const YAML::Node list = entry["stops"];
        if (!list || !list.IsSequence()) {
            source.Error(list ? list : entry, "\"stops\" must be a list");
            return false;
        }
        for (const YAML::Node& n : list) {
            GradientStop stop;
            int64_t colour = 0;
            std::string position;
            if (!source.KnownKeys(n, {"colour", "position"}) ||
                !source.Integer(n, "colour", 0, 0xFFFFFFFFLL, colour) ||
                !source.Scalar(n, "position", position)) {
                return false;
            }
            char* end = nullptr;
            stop.position = std::strtof(position.c_str(), &end);
            if (position.empty() || *end != '\0' || !std::isfinite(stop.position) ||
                stop.position < 0 || stop.position > 1) {
                source.Error(n["position"], "a stop's position is a number from 0 to 1");
                return false;
            }
            stop.colour = uint32_t(colour);
            model->stops.push_back(stop);
        }
        block.model = std::move(model);
        return true;
    }

    error Write(const ResourceBlock& block, gCStream& stream) const override {
        const std::vector<GradientStop>& stops = ModelOf<GradientModel>(block).stops;
        error e = stream.WriteInt32(int32_t(stops.size()));
        for (const GradientStop& stop : stops) {
            if (e != eNoError) {
                break;
            }
            if ((e = stream.WriteInt32(int32_t(stop.colour))) == eNoError) {
                e = stream.WriteReal(stop.position);
            }
        }
        return e;
    }

    bool Verify(const ResourceBlock& block, gCFile& file, gCResourceObject& found,
                std::string& why) const override {
        const std::vector<GradientStop>& stops = ModelOf<GradientModel>(block).stops;
        int32_t count = 0;
        // A stop is a colour and a position: 8 bytes.
        if (found.ReadPayloadCount(&file, count, 8) != eNoError || count != int32_t(stops.size())) {
            return Mismatch(why, "its stop count does not read back");
        }
        for (const GradientStop& stop : stops) {
            int32_t colour = 0;
            float position = 0;
            if (file.ReadInt32(colour) != eNoError || file.ReadReal(position) != eNoError ||
                uint32_t(colour) != stop.colour ||
                std::memcmp(&position, &stop.position, sizeof position) != 0) {
                return Mismatch(why, "a stop reads back differently");
            }
        }
        return true;
    }

    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string&) const override {
        std::unique_ptr<CGradient> gradient(CGradient::CreateFromRes(block.id, &file, &index));
        return gradient ? eNoError : eResourceReadError;
    }
};

} // namespace

const CBlockKind& GradientKind() {
    static const CGradientKind kind;
    return kind;
}
