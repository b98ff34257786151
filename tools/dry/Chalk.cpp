#include "tools/dry/Chalk.h"

error CChalk::SetupTool() {
    return SetupReload("Chalk", 1, 1.0f);
}
