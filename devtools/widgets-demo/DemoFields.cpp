#include "devtools/widgets-demo/DemoFields.h"

#include <cstdio>

#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "foundation/gCString.h"
#include "text/TxEdWidget.h"

error AttachDemoFields(CWidget& backdrop) {
    gCString name;
    if (error e = name.CopyString(u"Size")) {
        return e;
    }
    auto* size = dynamic_cast<CTxEdWidget*>(backdrop.FindByName(name));
    if (!size) {
        return eResourceNotFound;
    }
    size->SetNumeric(1, 1);
    size->m_nMaxLength = 6;
    return eNoError;
}

int32_t PrintDemoFieldMessage(uint32_t id, void* data) {
    if (id != eMsgEditConfirm && id != eMsgEditCancel) {
        return 0;
    }
    const auto* field = dynamic_cast<const CTxEdWidget*>(static_cast<CWidget*>(data));
    if (!field) {
        return 0;
    }
    std::printf("%s %s %s\n", id == eMsgEditConfirm ? "confirm" : "cancel",
                gStringToUtf8(field->GetResName()).c_str(), gStringToUtf8(field->String()).c_str());
    std::fflush(stdout);
    return 0;
}
