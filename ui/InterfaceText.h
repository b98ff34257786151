#pragma once
// The interface's texts from the application's string table, by id.

#include <cstdint>

#include "FileIO/gCStringTable.h"
#include "foundation/AppServices.h"
#include "foundation/gCString.h"

// The text with that id; empty without a table or without the entry.
inline gCString InterfaceText(uint32_t id) {
    CAppServices* services = CAppServices::Get();
    gCStringTable* table = services ? services->GetStringTable() : nullptr;
    return table ? table->GetString(id, 0) : gCString();
}
