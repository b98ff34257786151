#include "tools/RegisterPaintTools.h"

#include <iterator>
#include <memory>
#include <new>

#include "paint/Backbone.h"
#include "paint/canvas/Canvas.h"
#include "tools/Airbrush.h"
#include "tools/Watercolour.h"
#include "tools/dry/Chalk.h"
#include "tools/dry/Crayon.h"
#include "tools/dry/Eraser.h"
#include "tools/ribbon/Pencils.h"
#include "tools/ribbon/Pens.h"
#include "tools/wet/OilPaint.h"
#include "tools/wet/OilPaintNew.h"
#include "tools/wet/PaletteKnife.h"

namespace {

template <class Tool> CPaintTool* Make() {
    return new (std::nothrow) Tool;
}

// The second engine's brush each canvas holds.
std::unique_ptr<CToolBase> MakeSecondEngine() {
    return std::unique_ptr<CToolBase>(new (std::nothrow) COilPaintNew);
}

} // namespace

void RegisterPaintTools() {
    struct SEntry {
        EToolId id;
        CPaintToolCreator creator;
    };
    const SEntry entries[] = {
        {eToolOilPaint, &Make<COilPaint>},
        {eToolPencils, &Make<CPencils>},
        {eToolAirbrush, &Make<CAirbrush>},
        {eToolChalk, &Make<CChalk>},
        {eToolCrayon, &Make<CCrayon>},
        {eToolEraser, &Make<CEraser>},
        {eToolPaletteKnife, &Make<CPaletteKnife>},
        {eToolPens, &Make<CPens>},
        {eToolWatercolour, &Make<CWatercolour>},
    };
    static_assert(std::size(entries) == size_t(kToolCount));
    for (const SEntry& e : entries) {
        CSMKBackbone::SetToolCreator(e.id, e.creator);
    }
    CCanvas::SetSecondEngineCreator(&MakeSecondEngine);
}
