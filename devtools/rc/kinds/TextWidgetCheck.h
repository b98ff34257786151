#pragma once
// What a text widget block ('txwg') needs from the rest of the sources: a
// "font" chunk, a font block for the full style name the widget asks for,
// and a "txlx" inside the text list its "txls" names.

#include <vector>

#include "devtools/rc/SourceModel.h"

class CWidgetChunks;

// The number of items of a text-list block; -1 for other blocks.
int64_t TextListItemCount(const ResourceBlock& block);

// Reports at the block or the chunk (`places` holds one per chunk) what
// the text widget's chunks need that the sources do not hold.
void CheckTextWidget(const ResourceBlock& block, const CWidgetChunks& chunks,
                     const std::vector<SourcePlace>& places,
                     const std::vector<ResourceBlock>& blocks, Diagnostics& diagnostics);
