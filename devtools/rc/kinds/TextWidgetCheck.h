#pragma once
// What a text widget block ('txwg') or an edit field's ('tewg') needs from
// the rest of the sources: a "font" chunk, a font block for the full style
// name the widget asks for, and a "txlx" inside the text list its "txls"
// names. An edit field needs its background image and takes no "fjst".

#include <string>
#include <vector>

#include "devtools/rc/SourceModel.h"

class CWidgetChunks;

// The number of items of a text-list block; -1 for other blocks.
int64_t TextListItemCount(const ResourceBlock& block);

// Reports at the block or the chunk (`places` holds one per chunk) what
// the text chunks of a block of that type need that the sources do not
// hold.
void CheckTextWidget(const std::string& type, const ResourceBlock& block,
                     const CWidgetChunks& chunks, const std::vector<SourcePlace>& places,
                     const std::vector<ResourceBlock>& blocks, Diagnostics& diagnostics);
// Reports an edit field block without "imag" or "imls", and each "fjst".
void CheckEditField(const ResourceBlock& block, const CWidgetChunks& chunks,
                    const std::vector<SourcePlace>& places, Diagnostics& diagnostics);
