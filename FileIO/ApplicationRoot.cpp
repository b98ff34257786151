#include "ApplicationRoot.h"

#include "AppServices.h"
#include "gCString.h"

error gGetApplicationRoot(gCString& root) {
    if (CAppServices* app = CAppServices::Get()) {
        app->GetApplicationRoot(root);
    } else {
        root.Destroy();
    }
    return eNoError;
}
