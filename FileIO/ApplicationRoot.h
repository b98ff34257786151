#pragma once
// The application folder's full colon path, volume first, ending in ':', as
// the application object keeps it. Empty before an application exists.

#include "Error.h"

class gCString;

error gGetApplicationRoot(gCString& root);
