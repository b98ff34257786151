#pragma once
// A text of the application's string table as UTF-8; "" without one.

#include <cstdint>
#include <string>

#include "FileIO/gCStringTable.h"
#include "foundation/AppServices.h"
#include "foundation/Utf8.h"

inline std::string TableText(uint32_t id) {
    CAppServices* app = CAppServices::Get();
    gCStringTable* table = app ? app->GetStringTable() : nullptr;
    return table ? gStringToUtf8(table->GetString(id, 0)) : std::string();
}
