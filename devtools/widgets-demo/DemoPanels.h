#pragma once
// The widgets demo's frame widget gets its frame rectangles in code (its
// resource block gives only their colour).

#include "foundation/Error.h"

class CWidget;

// The two frame rectangles of "DemoFrame": a bar along its top and a block
// in its middle. 6 when the tree has no frame widget of that name.
error ArrangeDemoPanels(CWidget& root);
