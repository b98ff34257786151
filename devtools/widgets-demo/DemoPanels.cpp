#include "devtools/widgets-demo/DemoPanels.h"

#include "foundation/gCString.h"
#include "widgets/FrameWidget.h"

error ArrangeDemoPanels(CWidget& root) {
    gCString name;
    if (error e = name.CopyString(u"DemoFrame")) {
        return e;
    }
    auto* frame = dynamic_cast<CFrameWidget*>(root.FindByName(name));
    if (!frame) {
        return eBadParameter;
    }
    frame->SetAutoClearOnSize(0);
    if (error e = frame->AddRect(gCRect(0, 0, 160, 16), 0)) {
        return e;
    }
    return frame->AddRect(gCRect(60, 40, 100, 70), 0);
}
