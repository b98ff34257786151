#include "text/Text.h"

#include <utility>

#include "FileIO/ResourceLoading.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/ErrorReport.h"
#include "text/TextTags.h"

CText::CText() : gCResourceObject(kResTextTag) {}

CText* CText::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CText>(id, file, index);
}

CText* CText::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CText>(name, file, index);
}

template <class Key> error CText::Load(const Key& key, gCFile* file, gCResourceIndex* index) {
    if (error e = LocateFromRes(key, file, index)) {
        return e;
    }
    return SetFromResData(file);
}

error CText::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return Load(id, file, index);
}

error CText::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return Load(name, file, index);
}

error CText::SetFromResData(gCFile* file) {
    gCString text;
    const error e = file ? file->ReadString(text) : eInvalidFile;
    if (e != eNoError) {
        // The alert's own result only says it was dismissed.
        (void)ReportError(eResourceReadError, "Error reading CText string.");
        return e;
    }
    // The string ends with its line end, as block names do.
    DropLineEnd(text);
    m_sText = std::move(text);
    return eNoError;
}
