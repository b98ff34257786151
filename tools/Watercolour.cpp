#include "tools/Watercolour.h"

error CWatercolour::SetupTool() {
    return m_Name.CopyString("Watercolour");
}
