// No effect class is built yet: every code is unknown.

#include "widgets/WidgetEffectConstructor.h"

int32_t CWidgetEffectConstructor::ConstructEffect(int32_t, CWidget*, gCMemFile*) {
    return 0;
}
