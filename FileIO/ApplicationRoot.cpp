#include "FileIO/detail/ApplicationRoot.h"

#include <unistd.h>

#include <string>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/StringText.h"
#include "foundation/AppServices.h"
#include "foundation/gCString.h"

error gGetApplicationRoot(gCString& root) {
    if (CAppServices* app = CAppServices::Get()) {
        app->GetApplicationRoot(root);
    } else {
        (void)root.Destroy(); // freeing cannot fail
    }
    return root.GetLength() > 0 ? eNoError : ePathError;
}

error gGetCurrentDirectory(gCString& directory) {
    char buffer[1024];
    if (!::getcwd(buffer, sizeof buffer)) {
        return ePathError;
    }
    std::u16string colon;
    if (gCVolumeTable::PosixToColon(buffer, colon) != eNoError) {
        return ePathError;
    }
    if (!colon.empty() && colon.back() == u':') {
        colon.pop_back();
    }
    directory = MakeString(colon);
    return eNoError;
}
