#pragma once
// The application folder's full colon path, volume first, ending in ':', as
// the application object keeps it: 0, or 18 with the empty root when there
// is no application folder (before an application exists, or when the
// application object cannot make the text). Without a root no relative
// reference names anything.
// And the process's current folder as a colon path.

#include "foundation/Error.h"

class gCString;

error gGetApplicationRoot(gCString& root);

// The current folder's colon path with one trailing ':' removed (the root
// folder of a volume gives its bare name); 18 when it cannot be had or its
// path is longer than 1,024 bytes.
error gGetCurrentDirectory(gCString& directory);
