#include "tools/Pens.h"

error CPens::SetupTool() {
    return SetupReload("Pens", 1, 3.0f);
}
