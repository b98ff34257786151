#pragma once
// A piece of text kept in the resource file: a 'text' block holding one
// string. Texts are not shared: each CreateFromRes makes a new object that
// its caller owns.

#include <cstdint>

#include "FileIO/gCResourceObject.h"
#include "foundation/Error.h"
#include "foundation/gCString.h"

class CText : public gCResourceObject {
public:
    CText();
    ~CText() override = default;

    // A new text loaded by id or name, or null (a missing block is not
    // reported).
    static CText* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CText* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // Finds the block (a null file, or the application's resource file,
    // means that file with its index; 6 without a file; FindBlock's error
    // unreported) and reads its string.
    error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // Reads the string at the file's position into m_sText; a failed read
    // is reported (22) and leaves m_sText as it was.
    error SetFromResData(gCFile* file);

    gCString m_sText;

private:
    template <class Key> error Load(const Key& key, gCFile* file, gCResourceIndex* index);
};
