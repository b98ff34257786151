#include "FileIO/gCVolumeRef.h"

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/NewObject.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFolderRef.h"

gCVolumeRef::gCVolumeRef(const gCString& text) {
    // A constructor has no result: without memory the reference stays
    // invalid, which IsValid tells.
    (void)SetReference(text);
}

gCVolumeRef& gCVolumeRef::operator=(const gCVolumeRef& other) {
    if (this != &other) {
        if (SetText(m_Reference, TextOf(other.m_Reference)) != eNoError) {
            // An assignment has no result: never the previous volume's
            // name beside the other's number.
            (void)m_Reference.Destroy(); // freeing cannot fail
        }
        m_nVolume = other.m_nVolume;
    }
    return *this;
}

error gCVolumeRef::SetReference(const gCString& text) {
    constexpr std::u16string_view kBlanks = u"\t \n\r";
    std::u16string_view t = TextOf(text);
    while (!t.empty() && InSet(t.front(), kBlanks)) {
        t.remove_prefix(1);
    }
    while (!t.empty() && InSet(t.back(), kBlanks)) {
        t.remove_suffix(1);
    }
    const error e = SetText(m_Reference, t);
    if (e != eNoError) {
        return e;
    }
    m_fValid = 1;
    return eNoError;
}

std::unique_ptr<gCFRef> gCVolumeRef::GetFileRef(const gCString& text) const {
    gCString full;
    std::unique_ptr<gCFRef> ref = NewObject<gCFRef>();
    if (ref && (JoinText(full, {TextOf(m_Reference), TextOf(text)}) != eNoError ||
                ref->SetFileReference(full) != eNoError)) {
        ref->Invalidate();
    }
    return ref;
}

std::unique_ptr<gCFolderRef> gCVolumeRef::GetChildFolder(const gCString& text) const {
    gCString full;
    std::unique_ptr<gCFolderRef> child = NewObject<gCFolderRef>();
    if (!child || JoinText(full, {TextOf(m_Reference), TextOf(text)}) != eNoError ||
        child->SetFolderReference(full) != eNoError) {
        return nullptr;
    }
    return child;
}

bool gCVolumeRef::VolSupportsCopy(int32_t volume) {
    return volume >= 1 && size_t(volume) <= gCVolumeTable::Volumes().size();
}
