#include "FileIO/CResourcePool.h"

#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCResourceObject.h"

error CResourcePool::Add(gCResourceObject* object) {
    if (m_aObjects.Add(object) != eNoError) {
        return eOutOfMemory;
    }
    if (object) {
        object->SetPooled(1);
    }
    return eNoError;
}

error CResourcePool::RemoveAt(int32_t index) {
    if (index < 0 || index >= m_aObjects.GetSize()) {
        return eNoError;
    }
    if (gCResourceObject* object = m_aObjects[index]) {
        object->SetPooled(0);
    }
    m_aObjects.RemoveAt(index);
    return eNoError;
}

void CResourcePool::DestroyAt(int32_t index) {
    if (index < 0 || index >= m_aObjects.GetSize()) {
        return;
    }
    gCResourceObject* object = m_aObjects[index];
    m_aObjects.RemoveAt(index);
    delete object;
}

void CResourcePool::Empty() {
    // Taken out first, so that a destructor that looks at the pool finds
    // it consistent.
    while (m_aObjects.GetSize() > 0) {
        DestroyAt(m_aObjects.GetSize() - 1);
    }
    m_aObjects.RemoveAll();
}

gCResourceObject* CResourcePool::FindByName(const gCString& name) const {
    for (gCResourceObject* object : m_aObjects) {
        if (object && SameText(object->GetResName(), name)) {
            return object;
        }
    }
    return nullptr;
}

gCResourceObject* CResourcePool::FindByID(uint32_t id) const {
    for (gCResourceObject* object : m_aObjects) {
        if (object && uint32_t(object->GetResID()) == id) {
            return object;
        }
    }
    return nullptr;
}

int32_t CResourcePool::GetIndex(const gCResourceObject* object) const {
    for (int32_t i = 0; i < m_aObjects.GetSize(); ++i) {
        if (m_aObjects[i] == object) {
            return i;
        }
    }
    return -1;
}
