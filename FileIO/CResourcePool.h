#pragma once
// An owning list of shared resource objects (images, image lists, fonts).
// A pooled object belongs to its pool from Add until RemoveAt (its caller
// then owns it again), DestroyAt or Empty.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCBaseObject.h"

class gCResourceObject;
class gCString;

class CResourcePool : public gCBaseObject {
public:
    CResourcePool() = default;
    ~CResourcePool() override { Empty(); }
    CResourcePool(const CResourcePool&) = delete;
    CResourcePool& operator=(const CResourcePool&) = delete;

    // Appends the object and marks it pooled; 5 when the list cannot grow.
    error Add(gCResourceObject* object);
    // Takes the object out without deleting it and clears its pooled flag.
    error RemoveAt(int32_t index);
    // Takes the object out and deletes it.
    void DestroyAt(int32_t index);
    // Deletes every object and frees the list.
    void Empty();

    // The first object with that exact name (code unit by code unit,
    // case-sensitive) or id, or null.
    gCResourceObject* FindByName(const gCString& name) const;
    gCResourceObject* FindByID(uint32_t id) const;
    // The object's index, or -1.
    int32_t GetIndex(const gCResourceObject* object) const;
    gCResourceObject* GetResourceAtIndex(int32_t index) const { return m_aObjects[index]; }
    int32_t GetCount() const { return m_aObjects.GetSize(); }

private:
    gCArray<gCResourceObject*> m_aObjects;
};
