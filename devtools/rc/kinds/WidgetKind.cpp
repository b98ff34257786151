// Widget blocks: the block tag is the class's type code, the payload an
// Int32 size and then the chunks, each a code and its payload.
//
//   - kind: widget
//     type: rrwg            # wdgt, cowg, fmwg, imwg, rrwg, shwg, mkwg, txwg or tewg
//     id: 2001
//     name: InfoPanel
//     chunks:               # in file order; codes may repeat
//       - xsiz: 320         # Real: a finite number
//       - colr: 0xFFE8E0D0  # Int32: -2147483648 to 4294967295
//       - usrd: "3|int|250"
//       - shad: {radius: 12, y: 4}  # effect chunks: a map of keys
//       - hier:             # back to front
//           - [InfoTitle, cowg]
//
//   - kind: widget
//     type: bkdp            # a window's root
//     id: 1
//     name: Main
//     chunks:
//       - grad: Dusk        # a gradient block; "imag" an image block
//       - curs: "Arrow|0,0" # a widget block and the hot spot
//       - dcur: Arrow       # one of the block's cursors
//
// The chunks a class takes are those of its parser chain, with their values
// checked as the loaders read them (the block writer's checked form); every
// block is loaded again by its class's own loader.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "FileIO/FileTypes.h"
#include "FileIO/ResourceTags.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/EffectChunkSource.h"
#include "devtools/rc/kinds/SourceDump.h"
#include "devtools/rc/kinds/TextWidgetCheck.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "widgets/TextList.h"
#include "widgets/Widget.h"
#include "widgets/WidgetConstructor.h"

namespace {

struct ChildReference {
    uint32_t tag = 0;
    std::string name;
    SourcePlace place;
};

struct WidgetModel : BlockModel {
    std::string type;
    CWidgetChunks chunks;
    std::vector<ChildReference> children;
    std::vector<ChildReference> cursors; // "curs": a widget block of any type
    std::vector<SourcePlace> places;     // each chunk's
};

std::string TypeText(uint32_t tag) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text.push_back(char((tag >> shift) & 0xFF));
    }
    return text;
}

uint32_t TagOf(const std::string& type) {
    uint32_t tag = 0;
    for (size_t i = 0; i < 4; ++i) {
        tag = (tag << 8) | uint8_t(i < type.size() ? type[i] : ' ');
    }
    return tag;
}

class CWidgetKind final : public CBlockKind {
public:
    const char* Name() const override { return "widget"; }
    uint32_t Tag() const override { return 0; }
    std::vector<const char*> Keys() const override { return {"type", "chunks"}; }
    bool Takes(uint32_t tag) const override { return IsWidgetType(TypeText(tag)); }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        auto model = std::make_unique<WidgetModel>();
        if (!source.Scalar(entry, "type", model->type)) {
            return false;
        }
        if (!IsWidgetType(model->type) || model->type.size() != 4) {
            source.Error(entry["type"],
                         "'" + model->type + "' is no widget type code of this build");
            return false;
        }
        block.tag = TagOf(model->type);
        const YAML::Node list = entry["chunks"];
        if (!list || !list.IsSequence() || list.size() == 0) {
            source.Error(list ? list : entry, "a widget block needs a list of chunks");
            return false;
        }
        for (const YAML::Node& item : list) {
            if (!item.IsMap() || item.size() != 1) {
                source.Error(item, "a chunk is a map of one code to its value");
                return false;
            }
            if (!ReadChunk(source, item, *model)) {
                return false;
            }
        }
        block.model = std::move(model);
        return true;
    }

    bool Check(CSourceFile& source, const YAML::Node& entry,
               const ResourceBlock& block) const override {
        const WidgetModel& model = ModelOf<WidgetModel>(block);
        std::string bytes, why;
        size_t failing = 0;
        if (!CheckedWidgetBlock(model.type, block.id, block.name, model.chunks, bytes, why,
                                failing)) {
            source.Error(failing < model.chunks.Chunks().size() ? entry["chunks"][failing] : entry,
                         why);
            return false;
        }
        return true;
    }

    // A child naming the block itself or one of the blocks it sits in.
    void CheckAll(const std::vector<ResourceBlock>& blocks,
                  Diagnostics& diagnostics) const override {
        std::map<std::pair<uint32_t, std::string>, const WidgetModel*> trees;
        for (const ResourceBlock& b : blocks) {
            if (b.kind == this) {
                const WidgetModel& model = ModelOf<WidgetModel>(b);
                trees[{b.tag, b.name}] = &model;
                if (model.type == "txwg" || model.type == "tewg") {
                    CheckTextWidget(model.type, b, model.chunks, model.places, blocks, diagnostics);
                }
                if (model.type == "tewg") {
                    CheckEditField(b, model.chunks, model.places, diagnostics);
                }
            }
        }
        std::set<std::string> widgetNames;
        for (const auto& [key, model] : trees) {
            widgetNames.insert(key.second);
        }
        for (const auto& [key, model] : trees) {
            for (const ChildReference& cursor : model->cursors) {
                if (!widgetNames.count(cursor.name)) {
                    diagnostics.Error(cursor.place,
                                      "no widget block is named \"" + cursor.name + "\"");
                }
            }
        }
        std::set<std::pair<uint32_t, std::string>> done;
        std::set<std::pair<uint32_t, std::string>> open;
        for (const auto& [key, model] : trees) {
            Walk(key, trees, open, done, diagnostics);
        }
    }

    error Write(const ResourceBlock& block, gCStream& stream) const override {
        const std::string data = ModelOf<WidgetModel>(block).chunks.Data();
        return stream.WriteBlock(data.data(), int32_t(data.size()));
    }

    bool Verify(const ResourceBlock& block, gCFile& file, gCResourceObject&,
                std::string& why) const override {
        const std::string data = ModelOf<WidgetModel>(block).chunks.Data();
        std::string read(data.size(), '\0');
        if (file.ReadBlock(read.data(), int32_t(read.size())) != eNoError || read != data) {
            return Mismatch(why, "its chunks do not read back");
        }
        return true;
    }

    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string& why) const override {
        const std::unique_ptr<CWidget> widget(
            CWidgetConstructor::Load(int32_t(block.tag), block.id, &file, &index));
        if (!widget) {
            why.clear();
            return eResourceReadError;
        }
        return eNoError;
    }

    bool DumpSource(uint32_t tag, int32_t id, const std::string& name, gCFile& file, int64_t end,
                    std::ostream& out) const override {
        const std::string type = TypeText(tag);
        int32_t size = 0;
        if (file.ReadInt32(size) != eNoError || size <= 0 || size != end - file.GetFilePos()) {
            return false;
        }
        std::ostringstream chunks;
        while (file.GetFilePos() < end) {
            uint32_t code = 0;
            if (file.ReadUint32(code) != eNoError) {
                return false;
            }
            const std::string c = TypeText(code);
            const EChunkRule rule = WidgetChunkRule(type, c);
            int32_t value = 0;
            chunks << "      - " << c << ": ";
            switch (rule) {
            case EChunkRule::NotTaken:
                return false;
            case EChunkRule::Effect:
                if (!DumpEffectChunk(c, file, end, chunks)) {
                    return false;
                }
                chunks << "\n";
                break;
            case EChunkRule::Real:
            case EChunkRule::FontSize: {
                float real = 0.0f;
                char text[32];
                if (file.ReadReal(real) != eNoError || !std::isfinite(real)) {
                    return false;
                }
                std::snprintf(text, sizeof text, "%.9g", double(real));
                chunks << text << "\n";
                break;
            }
            case EChunkRule::Image:
            case EChunkRule::ImageList:
            case EChunkRule::ImageList8:
            case EChunkRule::Gradient:
            case EChunkRule::Cursor:
            case EChunkRule::CursorRef:
            case EChunkRule::UserData:
            case EChunkRule::FontName:
            case EChunkRule::Justify:
            case EChunkRule::Text:
            case EChunkRule::TextList: {
                std::string text;
                if (!ReadDumpUnits(file, end, text) || !DropChunkLineEnd(text)) {
                    return false;
                }
                chunks << DumpQuoted(text) << "\n";
                break;
            }
            case EChunkRule::Hier: {
                if (file.ReadInt32(value) != eNoError || value < 0 ||
                    int64_t(value) * 6 > end - file.GetFilePos()) {
                    return false;
                }
                chunks << (value == 0 ? "[]\n" : "\n");
                for (int32_t i = 0; i < value; ++i) {
                    std::string child;
                    uint32_t childType = 0;
                    if (!ReadDumpUnits(file, end, child) || !DropChunkLineEnd(child) ||
                        file.ReadUint32(childType) != eNoError) {
                        return false;
                    }
                    chunks << "          - [" << DumpQuoted(child) << ", "
                           << DumpQuoted(TypeText(childType)) << "]\n";
                }
                break;
            }
            default: {
                if (file.ReadInt32(value) != eNoError) {
                    return false;
                }
                char text[16];
                if (c == "colr" || c == "rbcl" || c == "frcl" || c == "txcl") {
                    std::snprintf(text, sizeof text, "0x%08X", uint32_t(value));
                } else {
                    std::snprintf(text, sizeof text, "%d", int(value));
                }
                chunks << text << "\n";
                break;
            }
            }
        }
        out << "  - kind: widget\n    type: " << DumpQuoted(type) << "\n    id: " << id
            << "\n    name: " << DumpQuoted(name) << "\n    chunks:\n"
            << chunks.str();
        return file.GetFilePos() == end;
    }

private:
    bool ReadChunk(CSourceFile& source, const YAML::Node& item, WidgetModel& model) const {
        const std::string code = item.begin()->first.Scalar();
        const YAML::Node value = item.begin()->second;
        if (code.size() != 4) {
            source.Error(item, "\"" + code + "\" is no four-character chunk code");
            return false;
        }
        SWidgetChunk chunk;
        chunk.code = code;
        chunk.value = EChunkValue::Int;
        const EChunkRule rule = WidgetChunkRule(model.type, code);
        int64_t number = 0;
        switch (rule) {
        case EChunkRule::NotTaken:
            break; // refused below with the class's reason
        case EChunkRule::Effect:
            if (!ReadEffectChunk(source, code, value, chunk)) {
                return false;
            }
            break;
        case EChunkRule::Real:
        case EChunkRule::FontSize: {
            chunk.value = EChunkValue::Real;
            const std::string text = value.IsScalar() ? value.Scalar() : "";
            char* end = nullptr;
            chunk.real = std::strtof(text.c_str(), &end);
            if (text.empty() || *end != '\0') {
                source.Error(item, "\"" + code + "\" takes a finite number");
                return false;
            }
            break;
        }
        case EChunkRule::Image:
        case EChunkRule::ImageList:
        case EChunkRule::ImageList8:
        case EChunkRule::Gradient:
        case EChunkRule::Cursor:
        case EChunkRule::CursorRef:
        case EChunkRule::UserData:
        case EChunkRule::FontName:
        case EChunkRule::Justify:
        case EChunkRule::Text:
        case EChunkRule::TextList:
            chunk.value = EChunkValue::String;
            if (!value.IsScalar()) {
                source.Error(item, "\"" + code + "\" takes a text");
                return false;
            }
            chunk.text = value.Scalar();
            if (rule == EChunkRule::Image) {
                source.Refer(kResImageTag, "image", value);
            } else if (rule == EChunkRule::ImageList) {
                source.Refer(kResImageListTag, "image list", value);
            } else if (rule == EChunkRule::ImageList8) {
                source.Refer(kResImageList8Tag, "8-bit image list", value);
            } else if (rule == EChunkRule::Gradient) {
                source.Refer(kResGradientTag, "gradient", value);
            } else if (rule == EChunkRule::TextList) {
                source.Refer(kTextListTypeID, "text list", value);
            } else if (rule == EChunkRule::Cursor && !CursorBlockName(chunk.text).empty()) {
                model.cursors.push_back({0, CursorBlockName(chunk.text), source.Place(value)});
            }
            break;
        case EChunkRule::Hier:
            chunk.value = EChunkValue::Hier;
            if (!value.IsSequence()) {
                source.Error(item, "\"hier\" takes a list of [name, type] pairs");
                return false;
            }
            for (const YAML::Node& pair : value) {
                if (!pair.IsSequence() || pair.size() != 2 || !pair[0].IsScalar() ||
                    !pair[1].IsScalar()) {
                    source.Error(pair, "a \"hier\" entry is a [name, type] pair");
                    return false;
                }
                chunk.children.emplace_back(pair[0].Scalar(), pair[1].Scalar());
                if (IsWidgetType(pair[1].Scalar()) && pair[1].Scalar().size() == 4) {
                    source.Refer(TagOf(pair[1].Scalar()), "'" + pair[1].Scalar() + "' widget",
                                 pair[0]);
                    model.children.push_back(
                        {TagOf(pair[1].Scalar()), pair[0].Scalar(), source.Place(pair)});
                }
            }
            break;
        default:
            if (!source.Integer(item, code.c_str(), INT32_MIN, 0xFFFFFFFFLL, number)) {
                return false;
            }
            chunk.number = number;
            break;
        }
        const std::string why = CheckedChunk(model.type, chunk);
        if (!why.empty()) {
            source.Error(item, why);
            return false;
        }
        Append(model.chunks, chunk);
        model.places.push_back(source.Place(item));
        return true;
    }

    static void Append(CWidgetChunks& chunks, const SWidgetChunk& c) {
        switch (c.value) {
        case EChunkValue::Int:
            chunks.Int(c.code, c.number);
            break;
        case EChunkValue::Real:
            chunks.Real(c.code, c.real);
            break;
        case EChunkValue::String:
            chunks.String(c.code, c.text);
            break;
        case EChunkValue::Hier:
            chunks.Hier(c.children);
            break;
        case EChunkValue::Damaged:
            chunks.Raw(c.text);
            break;
        case EChunkValue::Effect:
            chunks.Effect(c.code, c.fields);
            break;
        }
    }

    void Walk(const std::pair<uint32_t, std::string>& key,
              const std::map<std::pair<uint32_t, std::string>, const WidgetModel*>& trees,
              std::set<std::pair<uint32_t, std::string>>& open,
              std::set<std::pair<uint32_t, std::string>>& done, Diagnostics& diagnostics) const {
        const auto found = trees.find(key);
        if (found == trees.end() || done.count(key)) {
            return;
        }
        open.insert(key);
        for (const ChildReference& child : found->second->children) {
            const std::pair<uint32_t, std::string> next{child.tag, child.name};
            if (open.count(next)) {
                diagnostics.Error(child.place, "the \"hier\" entry \"" + child.name +
                                                   "\" names a block it sits in: a cycle");
            } else {
                Walk(next, trees, open, done, diagnostics);
            }
        }
        open.erase(key);
        done.insert(key);
    }
};

} // namespace

const CBlockKind& WidgetKind() {
    static const CWidgetKind kind;
    return kind;
}
