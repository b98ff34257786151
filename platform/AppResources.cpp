// The application object's resource file, font file, their indexes, the
// string table and the shared resource pools.
#include "AppBase.h"

void CAppBase::EmptyResources() {}
void CAppBase::ClearResourceIndexes() {}

error CAppBase::InitResFile() {
    return eNoError;
}

gCFile* CAppBase::GetResFile() {
    return nullptr;
}
gCResourceIndex* CAppBase::GetResIndex() {
    return nullptr;
}
gCFile* CAppBase::GetFontFile() {
    return nullptr;
}
gCResourceIndex* CAppBase::GetFontIndex() {
    return nullptr;
}
gCStringTable* CAppBase::GetStringTable() {
    return nullptr;
}
CResourcePool* CAppBase::GetResourcePool(int32_t) {
    return nullptr;
}
gCResourceObject* CAppBase::FindResourceByID(int32_t, int32_t) {
    return nullptr;
}
gCResourceObject* CAppBase::FindResourceByName(int32_t, const gCString&) {
    return nullptr;
}
