#include "devtools/rc/kinds/TextWidgetCheck.h"

#include <string>

#include "devtools/rc/BlockKind.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "text/TextTags.h"
#include "widgets/TextList.h"

namespace {

// The chunks as the widget's loader leaves them: each setter's last value.
struct STextWidgetChunks {
    const SWidgetChunk* font = nullptr;
    const SWidgetChunk* list = nullptr;
    const SWidgetChunk* index = nullptr;
    size_t fontAt = 0;
    size_t indexAt = 0;
    bool bold = false;
    bool italic = false;
};

STextWidgetChunks LastValues(const CWidgetChunks& chunks) {
    STextWidgetChunks out;
    const std::vector<SWidgetChunk>& all = chunks.Chunks();
    for (size_t i = 0; i < all.size(); ++i) {
        const SWidgetChunk& c = all[i];
        if (c.code == "font") {
            out.font = &c;
            out.fontAt = i;
        } else if (c.code == "txls") {
            out.list = &c;
        } else if (c.code == "txlx") {
            out.index = &c;
            out.indexAt = i;
        } else if (c.code == "fbld") {
            out.bold = c.number == 1;
        } else if (c.code == "fita") {
            out.italic = c.number == 1;
        }
    }
    return out;
}

const ResourceBlock* FindBlock(const std::vector<ResourceBlock>& blocks, uint32_t tag,
                               const std::string& name) {
    for (const ResourceBlock& b : blocks) {
        if (b.tag == tag && b.name == name) {
            return &b;
        }
    }
    return nullptr;
}

} // namespace

void CheckTextWidget(const std::string& type, const ResourceBlock& block,
                     const CWidgetChunks& chunks, const std::vector<SourcePlace>& places,
                     const std::vector<ResourceBlock>& blocks, Diagnostics& diagnostics) {
    const STextWidgetChunks last = LastValues(chunks);
    if (!last.font) {
        // The renderer's default family is no font of the resource file.
        diagnostics.Error(block.place, "a '" + type + "' widget needs a \"font\" chunk");
    } else {
        // The face the renderer asks for first: the family, then " Bold"
        // and " Italic" as the block sets them.
        const std::string full =
            last.font->text + (last.bold ? " Bold" : "") + (last.italic ? " Italic" : "");
        if (!FindBlock(blocks, kResFontTag, full)) {
            diagnostics.Error(places[last.fontAt], "no font block is named \"" + full + "\"");
        }
    }
    if (!last.index) {
        return;
    }
    if (!last.list) {
        diagnostics.Error(places[last.indexAt], "\"txlx\" needs a \"txls\" naming its text list");
        return;
    }
    const ResourceBlock* list = FindBlock(blocks, kTextListTypeID, last.list->text);
    const int64_t count = list ? TextListItemCount(*list) : -1;
    if (count >= 0 && (last.index->number < 0 || last.index->number >= count)) {
        diagnostics.Error(places[last.indexAt], "\"txlx\" is " +
                                                    std::to_string(last.index->number) +
                                                    ", outside the text list \"" + last.list->text +
                                                    "\" of " + std::to_string(count) + " items");
    }
}

void CheckEditField(const ResourceBlock& block, const CWidgetChunks& chunks,
                    const std::vector<SourcePlace>& places, Diagnostics& diagnostics) {
    const std::vector<SWidgetChunk>& all = chunks.Chunks();
    bool background = false;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].code == "imag" || all[i].code == "imls") {
            background = true;
        } else if (all[i].code == "fjst") {
            diagnostics.Error(places[i], "a 'tewg' widget takes no \"fjst\": the field places "
                                         "its text itself");
        }
    }
    if (!background) {
        // The caret and the field's look stand on its image.
        diagnostics.Error(block.place, "a 'tewg' widget needs an \"imag\" or \"imls\" chunk");
    }
}
