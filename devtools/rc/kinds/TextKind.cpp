// 'text' blocks: one string, stored as block names are (UTF-16LE units,
// then LF CR); the reader drops the line end, so a text holds no line
// break.
//
//   - kind: text
//     id: 1
//     name: WelcomeText
//     text: Paint with oil, chalk and pencil.

#include <memory>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/Text.h"
#include "text/Text.h"
#include "text/TextTags.h"

namespace {

struct TextModel : BlockModel {
    std::string text; // UTF-8
};

class CTextKind final : public CBlockKind {
public:
    const char* Name() const override { return "text"; }
    uint32_t Tag() const override { return kResTextTag; }
    std::vector<const char*> Keys() const override { return {"text"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        auto model = std::make_unique<TextModel>();
        if (!source.Text(entry, "text", true, model->text)) {
            return false;
        }
        block.model = std::move(model);
        return true;
    }

    error Write(const ResourceBlock& block, gCStream& stream) const override {
        return stream.WriteString(ToGString(ModelOf<TextModel>(block).text), 1);
    }

    bool Verify(const ResourceBlock& block, gCFile& file, gCResourceObject&,
                std::string& why) const override {
        gCString text;
        if (file.ReadString(text) != eNoError) {
            return Mismatch(why, "its text cannot be read back");
        }
        DropLineEnd(text);
        return SameText(text, ModelOf<TextModel>(block).text) ||
               Mismatch(why, "its text reads back differently");
    }

    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string& why) const override {
        CText text;
        const error e = text.GetFromRes(block.id, &file, &index);
        // A raw block of this tag has no text to compare.
        const auto* model = dynamic_cast<const TextModel*>(block.model.get());
        if (e == eNoError && model && !SameText(text.m_sText, model->text)) {
            why = "the program reads another text";
            return eResourceReadError;
        }
        return e;
    }
};

} // namespace

const CBlockKind& TextKind() {
    static const CTextKind kind;
    return kind;
}
