// 'txlt' blocks: Int32 exclusive, Int32 count, then count items, each its
// text's UTF-16LE units and a zero unit, then its Int32 id (the file's
// version is 2).
//
//   - kind: textlist
//     id: 850
//     name: FileMenu
//     exclusive: 0
//     items:
//       - {text: "New...", id: 1}

#include <memory>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/Text.h"
#include "devtools/rc/kinds/SourceDump.h"
#include "devtools/rc/kinds/TextWidgetCheck.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "widgets/TextList.h"

namespace {

struct TextListModel : BlockModel {
    int32_t exclusive = 0;
    std::vector<std::pair<std::string, int32_t>> items;
};

class CTextListKind final : public CBlockKind {
public:
    const char* Name() const override { return "textlist"; }
    uint32_t Tag() const override { return kTextListTypeID; }
    std::vector<const char*> Keys() const override { return {"exclusive", "items"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        auto model = std::make_unique<TextListModel>();
        int64_t exclusive = 0;
        if (!source.Integer(entry, "exclusive", INT32_MIN, INT32_MAX, exclusive)) {
            return false;
        }
        model->exclusive = int32_t(exclusive);
        const YAML::Node items = entry["items"];
        if (!items || !items.IsSequence()) {
            source.Error(items ? items : entry, "\"items\" must be a list of {text, id}");
            return false;
        }
        for (const YAML::Node& item : items) {
            std::string text;
            int64_t id = 0;
            if (!source.KnownKeys(item, {"text", "id"}) || !source.Text(item, "text", true, text) ||
                !source.Integer(item, "id", INT32_MIN, INT32_MAX, id)) {
                return false;
            }
            model->items.emplace_back(text, int32_t(id));
        }
        block.model = std::move(model);
        return true;
    }

    bool Check(CSourceFile& source, const YAML::Node& entry,
               const ResourceBlock& block) const override {
        const TextListModel& list = ModelOf<TextListModel>(block);
        std::string bytes, why;
        size_t failing = 0;
        if (!CheckedTextListBlock(block.id, block.name, list.exclusive, list.items, bytes, why,
                                  failing)) {
            source.Error(failing < list.items.size()        ? entry["items"][failing]
                         : why.starts_with("\"exclusive\"") ? entry["exclusive"]
                                                            : entry,
                         why);
            return false;
        }
        return true;
    }

    error Write(const ResourceBlock& block, gCStream& stream) const override {
        const TextListModel& list = ModelOf<TextListModel>(block);
        const std::string data = TextListPayload(list.exclusive, list.items, 2);
        return stream.WriteBlock(data.data(), int32_t(data.size()));
    }

    bool Verify(const ResourceBlock& block, gCFile& file, gCResourceObject&,
                std::string& why) const override {
        const TextListModel& list = ModelOf<TextListModel>(block);
        const std::string data = TextListPayload(list.exclusive, list.items, 2);
        std::string read(data.size(), '\0');
        if (file.ReadBlock(read.data(), int32_t(read.size())) != eNoError || read != data) {
            return Mismatch(why, "its items do not read back");
        }
        return true;
    }

    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string& why) const override {
        std::unique_ptr<CTextList> list(CTextList::CreateFromRes(block.id, &file, &index));
        if (!list) {
            return eResourceReadError;
        }
        // A raw block of this tag has no items to compare.
        const auto* model = dynamic_cast<const TextListModel*>(block.model.get());
        if (!model) {
            return eNoError;
        }
        if (size_t(list->Count()) != model->items.size()) {
            why = "the program reads " + std::to_string(list->Count()) + " items";
            return eResourceReadError;
        }
        for (int32_t i = 0; i < list->Count(); ++i) {
            if (!SameText(list->Text(i), model->items[size_t(i)].first) ||
                list->ID(i) != model->items[size_t(i)].second) {
                why = "the program reads item " + std::to_string(i) + " differently";
                return eResourceReadError;
            }
        }
        return eNoError;
    }

    bool DumpSource(uint32_t, int32_t id, const std::string& name, gCFile& file, int64_t end,
                    std::ostream& out) const override {
        int32_t exclusive = 0;
        int32_t count = 0;
        if (file.ReadInt32(exclusive) != eNoError || file.ReadInt32(count) != eNoError ||
            count < 0 || int64_t(count) * 6 > end - file.GetFilePos()) {
            return false;
        }
        out << "  - kind: textlist\n    id: " << id << "\n    name: " << DumpQuoted(name)
            << "\n    exclusive: " << exclusive << "\n    items:" << (count == 0 ? " []\n" : "\n");
        for (int32_t i = 0; i < count; ++i) {
            std::string text;
            int32_t itemId = 0;
            if (!ReadDumpUnits(file, end, text) || file.ReadInt32(itemId) != eNoError) {
                return false;
            }
            out << "      - {text: " << DumpQuoted(text) << ", id: " << itemId << "}\n";
        }
        return file.GetFilePos() == end;
    }
};

} // namespace

const CBlockKind& TextListKind() {
    static const CTextListKind kind;
    return kind;
}

int64_t TextListItemCount(const ResourceBlock& block) {
    const auto* model = dynamic_cast<const TextListModel*>(block.model.get());
    return model ? int64_t(model->items.size()) : -1;
}
