#include "FileIO/gCVolumeRef.h"

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/StringText.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFolderRef.h"

gCVolumeRef::gCVolumeRef(const gCString& text) {
    SetReference(text);
}

gCVolumeRef& gCVolumeRef::operator=(const gCVolumeRef& other) {
    m_Reference = other.m_Reference;
    m_nVolume = other.m_nVolume;
    return *this;
}

void gCVolumeRef::SetReference(const gCString& text) {
    m_Reference = text;
    m_Reference.Trim(MakeString(u"\t \n\r"));
    m_fValid = 1;
}

std::unique_ptr<gCFRef> gCVolumeRef::GetFileRef(const gCString& text) const {
    gCString full(m_Reference);
    full.AppendString(text);
    return std::make_unique<gCFRef>(full);
}

std::unique_ptr<gCFolderRef> gCVolumeRef::GetChildFolder(const gCString& text) const {
    gCString full(m_Reference);
    full.AppendString(text);
    auto child = std::make_unique<gCFolderRef>();
    if (child->SetFolderReference(full) != eNoError) {
        return nullptr;
    }
    return child;
}

bool gCVolumeRef::VolSupportsCopy(int32_t volume) {
    return volume >= 1 && size_t(volume) <= gCVolumeTable::Volumes().size();
}
