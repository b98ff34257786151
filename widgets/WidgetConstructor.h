#pragma once
// Turns a block name or id and a widget type code into a loaded widget of
// that class, optionally put in front of a parent. Its table of type codes
// is the one place a widget class becomes constructible from resource
// data. A null file is the application's resource file.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCString.h"

class CWidget;
class gCFile;
class gCResourceIndex;

class CWidgetConstructor {
public:
    // A class's loaders: by block name, and by id through an index.
    using LoadByNameProc = CWidget* (*)(const gCString& name, gCFile* file);
    using LoadByIdProc = CWidget* (*)(int32_t id, gCFile* file, gCResourceIndex* index);

    // A class of a higher layer joins the table with its loaders and the
    // text shown when its loader fails; registering the type code again
    // replaces them. 6 for a missing loader or text, a type code of the
    // toolkit's own classes, or a full table (it holds 8).
    static error RegisterClass(int32_t type, LoadByNameProc byName, LoadByIdProc byId,
                               const char* failed);

    // The widget of the type code's class loaded from the block with that
    // name (or id); with a parent it is added in front of the parent's
    // children. Null after a shown failure: an empty name (6), a type code
    // that builds nothing (23), a failed load (23 with the class's text),
    // a refusing parent (its error; the widget is deleted).
    static CWidget* Construct(const gCString& name, int32_t type, CWidget* parent, gCFile* file);
    static CWidget* Construct(int32_t id, int32_t type, CWidget* parent, gCFile* file);
    // The first block of the file with that name, built as the type code
    // of its tag, without a parent. The version block is skipped. A header
    // that cannot be read, or a block size that is negative or runs past
    // the file's end, is shown with "Widget construct input error" (22
    // for a bad size); no block of that name gives null without an alert.
    static CWidget* ConstructFromName(const gCString& name, gCFile* file);

    // Whether the type code names a class the table builds.
    static bool IsConstructible(int32_t type);
    // The class's own loader on the block with that id, found through the
    // index: the new widget, or null for a type code the table does not
    // know or a failed load (the loader shows its own alerts, this adds
    // none).
    static CWidget* Load(int32_t type, int32_t id, gCFile* file, gCResourceIndex* index);
};
