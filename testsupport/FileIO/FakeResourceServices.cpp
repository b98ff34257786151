#include "testsupport/FileIO/FakeResourceServices.h"

CResourcePool* CFakeResourceServices::GetResourcePool(int32_t type) {
    return type >= 0 && type < 6 ? &m_aResourcePools[type] : nullptr;
}

template <typename Find>
gCResourceObject* CFakeResourceServices::FindInPools(int32_t type, Find find) {
    if (type != -1) {
        CResourcePool* pool = GetResourcePool(type);
        return pool ? find(*pool) : nullptr;
    }
    // Every pool but the fonts'.
    for (int32_t i = 0; i < 5; ++i) {
        if (gCResourceObject* found = find(m_aResourcePools[i])) {
            return found;
        }
    }
    return nullptr;
}

gCResourceObject* CFakeResourceServices::FindResourceByID(int32_t type, int32_t id) {
    return FindInPools(type, [id](CResourcePool& pool) { return pool.FindByID(uint32_t(id)); });
}

gCResourceObject* CFakeResourceServices::FindResourceByName(int32_t type, const gCString& name) {
    return FindInPools(type, [&name](CResourcePool& pool) { return pool.FindByName(name); });
}
