#pragma once
// The edit fields of the widgets demo (demo-fields.yaml): "Size", made
// numeric here (real numbers allowed, at most 6 characters), and "Name".
// Every confirm and cancel they announce is printed on standard output as
// "confirm <field> <text>" or "cancel <field> <text>", which the smoke
// test (devtools/demo/demo-smoke-fields.sh) reads.

#include <cstdint>

#include "foundation/Error.h"

class CWidget;

error AttachDemoFields(CWidget& backdrop);

// Prints an edit field's confirm or cancel; 0 (the broadcast goes on).
int32_t PrintDemoFieldMessage(uint32_t id, void* data);
