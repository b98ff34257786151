#include "devtools/rc/BlockKinds.h"

// Each kind's source under kinds/ defines its object.
const CBlockKind& ImageKind();
const CBlockKind& ImageListKind();
const CBlockKind& ImageList8Kind();
const CBlockKind& GradientKind();
const CBlockKind& SoundKind();
const CBlockKind& FontKind();
const CBlockKind& TextKind();
const CBlockKind& PaperKind();
const CBlockKind& PaperPreviewKind();
const CBlockKind& RawKind();
const CBlockKind& WidgetKind();
const CBlockKind& TextListKind();
const CBlockKind& ChecklistKind();

std::span<const CBlockKind* const> BlockKinds() {
    static const CBlockKind* const kinds[] = {
        &ImageKind(),        //
        &ImageListKind(),    //
        &ImageList8Kind(),   //
        &GradientKind(),     //
        &SoundKind(),        //
        &FontKind(),         //
        &TextKind(),         //
        &PaperKind(),        //
        &PaperPreviewKind(), //
        &RawKind(),          //
        &WidgetKind(),       //
        &TextListKind(),     //
        &ChecklistKind(),    //
    };
    return kinds;
}

const CBlockKind* FindBlockKind(std::string_view name) {
    for (const CBlockKind* kind : BlockKinds()) {
        if (name == kind->Name()) {
            return kind;
        }
    }
    return nullptr;
}

const CBlockKind* FindBlockKindByTag(uint32_t tag) {
    for (const CBlockKind* kind : BlockKinds()) {
        if (kind->Takes(tag)) {
            return kind;
        }
    }
    return nullptr;
}
