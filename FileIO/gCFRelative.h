#pragma once
// A file named by its place below the application folder
// ("Resources:Manual:manual.html"). It never asks the file system anything:
// it parses and checks text, and shows every bad input to the user itself.
//
// What a failure leaves: a failed SetReference leaves the reference invalid
// (its fields as they were); every other setter, ExtractData included,
// leaves the reference exactly as it was. Results: 6 for a bad input (the
// user has been shown why), 5 without memory.

#include <cstdint>

#include "FileIO/FileTypes.h"
#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFRelative : public gCBaseObject {
public:
    gCFRelative() = default;
    // SetReference of the text; the valid flag tells whether it was taken.
    explicit gCFRelative(const gCString& text);
    // Copies every field. A copy that cannot be made without memory is the
    // empty invalid reference, never a mix of two.
    gCFRelative(const gCFRelative& other);
    gCFRelative& operator=(const gCFRelative& other);
    gCFRelative(gCFRelative&& other) noexcept = default;
    gCFRelative& operator=(gCFRelative&& other) noexcept = default;
    ~gCFRelative() override = default;

    error SetReference(const gCString& text);
    // Splits a relative text into path, name, suffix and type; leaves the
    // valid flag alone.
    error ExtractData(const gCString& text);

    error SetPath(const gCString& path);
    error SetName(const gCString& name);
    error SetSuffix(const gCString& suffix);
    error SetMacType(uint32_t macType);
    // A row 1 to 22 of the file-type table.
    error SetType(eFileType row);
    // File type 22 with this suffix (taken as it is) and Finder type.
    error SetType(const gCString& suffix, uint32_t macType);
    void UpdateValid();

    // The application root followed by the relative text; '' with a message
    // when the reference is invalid, and '' when there is no application
    // folder or memory runs out.
    gCString FileReference() const;
    gCString RelativeReference() const;
    bool Exists() const;
    void Invalidate();

    int32_t IsValid() const { return m_fValid; }
    const gCString& Path() const { return m_Path; }
    const gCString& Name() const { return m_Name; }
    const gCString& Suffix() const { return m_Suffix; }
    eFileType GetFileType() const { return m_nFileType; }
    uint32_t GetMacType() const { return m_nMacType; }

private:
    gCString Compose(const gCString& start) const;

    int32_t m_fValid = 0;
    gCString m_Path;
    gCString m_Name;
    eFileType m_nFileType = eNoFileType;
    uint32_t m_nMacType = kNoMacType;
    gCString m_Suffix;
};
