#include "tools/Pencils.h"

error CPencils::SetupTool() {
    if (const error e = SetupPainting("Pencils", 0, 1.0f); e != eNoError) {
        return e;
    }
    m_rMaxPencilPressure = 1.0f;
    m_nNoisePosition = 0;
    return eNoError;
}

error CPencils::ModSetting(int32_t delta) {
    m_nToolSize = int32_t(uint32_t(m_nToolSize + delta) & 3u);
    return eNoError;
}

error CPencils::SetToolSize(int32_t size) {
    m_nToolSize = size < 0 ? 0 : (size > kLargestPencilStep ? kLargestPencilStep : size);
    return eNoError;
}
