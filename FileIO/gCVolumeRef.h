#pragma once
// A reference to a mounted volume: its name followed by ':' ("Data:") and
// the volume number the volume listing gives it.

#include <cstdint>
#include <memory>

#include "foundation/gCBaseObject.h"
#include "foundation/gCString.h"

class gCFRef;
class gCFolderRef;

class gCVolumeRef : public gCBaseObject {
public:
    gCVolumeRef() = default;
    // SetReference of the text; without memory the reference stays invalid.
    explicit gCVolumeRef(const gCString& text);
    gCVolumeRef(const gCVolumeRef& other) : gCBaseObject() { *this = other; }
    // Copies the reference and the volume number, not the valid flag. A
    // reference that cannot be copied without memory leaves the empty text.
    gCVolumeRef& operator=(const gCVolumeRef& other);
    ~gCVolumeRef() override = default;

    // The text with tab, space, LF and CR trimmed at both ends; valid. 5
    // without memory, the reference then as it was.
    error SetReference(const gCString& text);
    const gCString& Reference() const { return m_Reference; }
    int32_t IsValid() const { return m_fValid; }
    int16_t VolumeNumber() const { return m_nVolume; }
    void SetVolumeNumber(int16_t number) { m_nVolume = number; }

    // A new reference to the reference followed by the text: the file's
    // (invalid when it cannot be set) or the folder's (null when it cannot
    // be set); null when memory runs out.
    std::unique_ptr<gCFRef> GetFileRef(const gCString& text) const;
    std::unique_ptr<gCFolderRef> GetChildFolder(const gCString& text) const;

    // Whether files can be copied on the volume of that number: true for
    // every volume the listing knows.
    static bool VolSupportsCopy(int32_t volume);

private:
    int32_t m_fValid = 0;
    gCString m_Reference;
    int16_t m_nVolume = 0;
};
