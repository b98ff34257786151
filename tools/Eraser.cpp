#include "tools/Eraser.h"

error CEraser::SetupTool() {
    return SetupReload("Eraser", 1, 1.0f);
}
