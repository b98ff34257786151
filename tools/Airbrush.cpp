#include "tools/Airbrush.h"

error CAirbrush::SetupTool() {
    return m_Name.CopyString("Airbrush");
}
