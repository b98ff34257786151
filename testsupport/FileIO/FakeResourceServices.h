#pragma once
// The test application services with the six shared resource pools of the
// real application object: 1 images and image lists, 5 fonts.

#include "FileIO/CResourcePool.h"
#include "testsupport/foundation/FakeAppServices.h"

class CFakeResourceServices : public CFakeAppServices {
public:
    CResourcePool* GetResourcePool(int32_t type) override;
    gCResourceObject* FindResourceByID(int32_t type, int32_t id) override;
    gCResourceObject* FindResourceByName(int32_t type, const gCString& name) override;

    CResourcePool m_aResourcePools[6];

private:
    // Pool type 0 to 5 asks that pool; -1 asks pools 0 to 4 in order.
    template <typename Find> gCResourceObject* FindInPools(int32_t type, Find find);
};
