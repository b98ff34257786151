#include "tools/OilPaint.h"

error COilPaint::SetupTool() {
    return SetupReload("Oil Paint", 0, 1.0f);
}
