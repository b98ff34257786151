#pragma once
// The widgets demo's table, made in code: twelve colour names with their
// swatches on an opaque panel, the row under the pointer highlighted; a
// click prints "click row N" on standard output.

#include "foundation/Error.h"

class CBackdrop;

// The panel and its table on the backdrop's right side (the panel
// 0xFF303840 at 880,320, 320 x 240; rows of 20).
error AttachDemoTable(CBackdrop& root);
