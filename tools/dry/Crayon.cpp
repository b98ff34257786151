#include "tools/dry/Crayon.h"

error CCrayon::SetupTool() {
    return SetupReload("Crayon", 1, 1.0f);
}
