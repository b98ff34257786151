// The id checklist: every name and id the program asks the resource file
// for, with the kind of block it expects there, for widget trees the class
// and the children it looks up under the tree, and the feature that needs
// it in the program's own words.
//
//   - kind: checklist
//     id: 1
//     name: Checklist
//     entries:
//       - {id: 90000, kind: sound, feature: "the click of a button", status: required}
//       - {name: "DejaVu Sans", kind: font, feature: "interface labels", status: required}
//       - id: 2001
//         kind: widget
//         class: rrwg
//         children: [2002, InfoTitle]
//         feature: "the info panel"
//         status: pending
//
// A required entry whose block is missing, of another kind or class fails
// the build at the entry's line; its children are looked up in the tree the
// program's own constructor loads from the written file. Pending entries
// are listed as notes. The block itself holds nothing but its id and name:
// the checks are the compiler's, the program never reads it.

#include <memory>
#include <variant>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFile.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/BlockKinds.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/Text.h"
#include "devtools/rc/kinds/SourceDump.h"
#include "widgets/Widget.h"
#include "widgets/WidgetConstructor.h"

namespace {

inline constexpr uint32_t kChecklistTag = FourCC("ckls");

// A block by its id or its name.
using Key = std::variant<int32_t, std::string>;

struct ChecklistEntry {
    Key key;
    const CBlockKind* kind = nullptr;
    uint32_t widgetClass = 0; // 0: any class
    std::vector<Key> children;
    std::string feature;
    bool required = true;
    SourcePlace place;
};

struct ChecklistModel : BlockModel {
    std::vector<ChecklistEntry> entries;
};

std::string KeyText(const Key& key) {
    if (const int32_t* id = std::get_if<int32_t>(&key)) {
        return "id " + std::to_string(*id);
    }
    return "name \"" + std::get<std::string>(key) + "\"";
}

std::string Label(const ChecklistEntry& entry) {
    return KeyText(entry.key) + " (" + entry.feature + ")";
}

std::string ClassText(uint32_t tag) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text.push_back(char((tag >> shift) & 0xFF));
    }
    return text;
}

bool Matches(const Key& key, const ResourceBlock& block) {
    if (const int32_t* id = std::get_if<int32_t>(&key)) {
        return block.id == *id;
    }
    return block.name == std::get<std::string>(key);
}

// An id in decimal or 0x hex, or else a name.
bool ReadKey(CSourceFile& source, const YAML::Node& node, Key& key) {
    if (!node.IsScalar() || node.Scalar().empty()) {
        source.Error(node, "expected an id or a name");
        return false;
    }
    const std::string text = node.Scalar();
    const bool number = text.find_first_not_of("0123456789-") == std::string::npos ||
                        (text.size() > 2 && text.rfind("0x", 0) == 0);
    if (!number) {
        key = text;
        return true;
    }
    YAML::Node holder;
    holder["id"] = node;
    int64_t id = 0;
    if (!source.Integer(holder, "id", INT32_MIN, INT32_MAX, id)) {
        return false;
    }
    key = int32_t(id);
    return true;
}

bool ReadEntry(CSourceFile& source, const YAML::Node& item, ChecklistEntry& entry) {
    if (!source.KnownKeys(item, {"id", "name", "kind", "class", "children", "feature", "status"})) {
        return false;
    }
    entry.place = source.Place(item);
    if (item["id"].IsDefined() == item["name"].IsDefined()) {
        source.Error(item, "a checklist entry names either an id or a name");
        return false;
    }
    if (item["id"]) {
        int64_t id = 0;
        if (!source.Integer(item, "id", INT32_MIN, INT32_MAX, id)) {
            return false;
        }
        entry.key = int32_t(id);
    } else {
        std::string name;
        if (!source.Text(item, "name", true, name)) {
            return false;
        }
        if (name.empty()) {
            source.Error(item["name"], "a checklist entry's name is empty");
            return false;
        }
        entry.key = name;
    }
    std::string kind, status;
    if (!source.Scalar(item, "kind", kind) || !source.Text(item, "feature", true, entry.feature) ||
        !source.Scalar(item, "status", status)) {
        return false;
    }
    entry.kind = FindBlockKind(kind);
    if (!entry.kind || kind == "checklist") {
        source.Error(item["kind"], "unknown kind \"" + kind + "\"");
        return false;
    }
    if (entry.feature.empty()) {
        source.Error(item["feature"], "a checklist entry names the feature that needs it");
        return false;
    }
    if (status != "required" && status != "pending") {
        source.Error(item["status"], "a status is \"required\" or \"pending\"");
        return false;
    }
    entry.required = status == "required";
    const bool widget = std::string(entry.kind->Name()) == "widget";
    if (item["class"]) {
        std::string type;
        if (!source.Scalar(item, "class", type)) {
            return false;
        }
        uint32_t tag = 0;
        for (size_t i = 0; i < type.size() && i < 4; ++i) {
            tag = (tag << 8) | uint8_t(type[i]);
        }
        if (!widget || type.size() != 4 || !entry.kind->Takes(tag)) {
            source.Error(item["class"], "'" + type + "' is no widget type code of this build");
            return false;
        }
        entry.widgetClass = tag;
    }
    if (const YAML::Node children = item["children"]) {
        if (!widget) {
            source.Error(children, "only widget trees have children");
            return false;
        }
        if (!children.IsSequence()) {
            source.Error(children, "expected a list of ids or names");
            return false;
        }
        for (const YAML::Node& child : children) {
            Key key;
            if (!ReadKey(source, child, key)) {
                return false;
            }
            entry.children.push_back(std::move(key));
        }
    }
    return true;
}

// What is wrong with the entry's block among the sources; empty when
// nothing is.
std::string Fault(const ChecklistEntry& entry, const std::vector<ResourceBlock>& blocks) {
    const ResourceBlock* other = nullptr;
    for (const ResourceBlock& b : blocks) {
        if (!Matches(entry.key, b)) {
            continue;
        }
        if (b.kind != entry.kind && !entry.kind->Takes(b.tag)) {
            other = other ? other : &b;
            continue;
        }
        if (entry.widgetClass != 0 && b.tag != entry.widgetClass) {
            return "its block is a '" + ClassText(b.tag) + "' widget, not '" +
                   ClassText(entry.widgetClass) + "'";
        }
        return {};
    }
    if (other) {
        return "its block is a " + std::string(other->kind->Name()) + " block, not a " +
               entry.kind->Name() + " block";
    }
    return std::string("no ") + entry.kind->Name() + " block has it";
}

class CChecklistKind final : public CBlockKind {
public:
    const char* Name() const override { return "checklist"; }
    uint32_t Tag() const override { return kChecklistTag; }
    std::vector<const char*> Keys() const override { return {"entries"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        auto model = std::make_unique<ChecklistModel>();
        const YAML::Node list = entry["entries"];
        if (!list || !list.IsSequence()) {
            source.Error(list ? list : entry, "a checklist needs a list of entries");
            return false;
        }
        for (const YAML::Node& item : list) {
            ChecklistEntry read;
            if (!ReadEntry(source, item, read)) {
                return false;
            }
            model->entries.push_back(std::move(read));
        }
        block.model = std::move(model);
        return true;
    }

    void CheckAll(const std::vector<ResourceBlock>& blocks,
                  Diagnostics& diagnostics) const override {
        for (const ResourceBlock& b : blocks) {
            if (b.kind != this) {
                continue;
            }
            for (const ChecklistEntry& entry : ModelOf<ChecklistModel>(b).entries) {
                if (!entry.required) {
                    diagnostics.Warning(entry.place, "pending: " + Label(entry));
                    continue;
                }
                if (const std::string fault = Fault(entry, blocks); !fault.empty()) {
                    diagnostics.Error(entry.place, "required " + Label(entry) + ": " + fault);
                }
            }
        }
    }

    error Write(const ResourceBlock&, gCStream&) const override { return eNoError; }

    bool Verify(const ResourceBlock&, gCFile&, gCResourceObject&, std::string&) const override {
        return true;
    }

    // The children of each required tree, looked up as the program looks
    // them up in the tree its constructor loads.
    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex&,
               std::string& why) const override {
        const auto* model = dynamic_cast<const ChecklistModel*>(block.model.get());
        if (!model) {
            return eNoError; // a raw block of this tag lists nothing
        }
        for (const ChecklistEntry& entry : model->entries) {
            if (!entry.required || entry.children.empty()) {
                continue;
            }
            std::unique_ptr<CWidget> tree;
            const int32_t type = int32_t(entry.widgetClass ? entry.widgetClass : kWidgetTypeID);
            if (const int32_t* id = std::get_if<int32_t>(&entry.key)) {
                tree.reset(CWidgetConstructor::Construct(*id, type, nullptr, &file));
            } else {
                tree.reset(CWidgetConstructor::Construct(
                    ToGString(std::get<std::string>(entry.key)), type, nullptr, &file));
            }
            if (!tree) {
                why =
                    Where(entry.place) + ": required " + Label(entry) + ": its tree does not load";
                return eResourceReadError;
            }
            for (const Key& child : entry.children) {
                const int32_t* id = std::get_if<int32_t>(&child);
                const CWidget* found =
                    id ? tree->FindByID(uint32_t(*id))
                       : tree->FindByName(ToGString(std::get<std::string>(child)));
                if (!found || found == tree.get()) {
                    why = Where(entry.place) + ": required " + Label(entry) + ": no child " +
                          KeyText(child) + " under it";
                    return eResourceReadError;
                }
            }
        }
        return eNoError;
    }

    bool DumpSource(uint32_t, int32_t id, const std::string& name, gCFile& file, int64_t end,
                    std::ostream& out) const override {
        // The entries are the sources' alone: the block has only its header.
        if (file.GetFilePos() != end) {
            return false;
        }
        out << "  - kind: checklist\n    id: " << id << "\n    name: " << DumpQuoted(name)
            << "\n    entries: []\n";
        return true;
    }
};

} // namespace

const CBlockKind& ChecklistKind() {
    static const CChecklistKind kind;
    return kind;
}
