#include "tools/RegisterPaintTools.h"

#include <new>

#include "paint/Backbone.h"
#include "tools/Airbrush.h"
#include "tools/Chalk.h"
#include "tools/Crayon.h"
#include "tools/Eraser.h"
#include "tools/OilPaint.h"
#include "tools/PaletteKnife.h"
#include "tools/Pencils.h"
#include "tools/Pens.h"
#include "tools/Watercolour.h"

namespace {

template <class Tool> CPaintTool* Make() {
    return new (std::nothrow) Tool;
}

} // namespace

void RegisterPaintTools() {
    const CPaintToolCreator creators[CSMKBackbone::kToolCount] = {
        &Make<COilPaint>,     &Make<CPencils>, &Make<CAirbrush>,
        &Make<CChalk>,        &Make<CCrayon>,  &Make<CEraser>,
        &Make<CPaletteKnife>, &Make<CPens>,    &Make<CWatercolour>,
    };
    for (int32_t id = 0; id < CSMKBackbone::kToolCount; ++id) {
        CSMKBackbone::SetToolCreator(id, creators[id]);
    }
}
