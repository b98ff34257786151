#include "tools/PaletteKnife.h"

error CPaletteKnife::SetupTool() {
    return SetupReload("Palette Paint", 0, 1.0f);
}
