// Resource pools and the loading convention that every resource class
// follows: the application's file and index, the index as a shortcut that
// may be wrong, and shared objects kept in the application's pools.

#include "FileIO/CResourcePool.h"
#include "FileIO/ResourceLoading.h"
#include "FileIO/ResourceTags.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"

namespace {

int g_nDestroyed = 0;

// A resource class of its own: a 'blob' block holding one Int32.
class CBlob : public gCResourceObject {
public:
    CBlob() : gCResourceObject(FourCC("blob")) {}
    CBlob(int32_t id, const char* name) : CBlob() {
        m_nResID = id;
        m_ResName = S(name);
    }
    ~CBlob() override { ++g_nDestroyed; }

    template <typename Key> error GetFromRes(const Key& key, gCFile* file, gCResourceIndex* index) {
        const error e = LocateFromRes(key, file, index);
        return e != eNoError ? e : file->ReadInt32(m_nValue);
    }
    template <typename Key>
    static CBlob* CreateFromRes(const Key& key, gCFile* file, gCResourceIndex* index) {
        return CreateFromResource<CBlob>(key, file, index);
    }

    int32_t m_nValue = 0;
};

class ResourcePool : public ::testing::Test {
protected:
    void SetUp() override { g_nDestroyed = 0; }
    CResourcePool m_Pool;
};

TEST_F(ResourcePool, FindsTheFirstOfTheSameIdUntilItIsRemoved) {
    CBlob* first = new CBlob(5, "a");
    CBlob* second = new CBlob(5, "b");
    ASSERT_EQ(m_Pool.Add(first), eNoError);
    ASSERT_EQ(m_Pool.Add(second), eNoError);
    EXPECT_EQ(first->IsPooled(), 1);
    EXPECT_EQ(m_Pool.FindByID(5), first);
    EXPECT_EQ(m_Pool.FindByName(S("b")), second);
    EXPECT_EQ(m_Pool.FindByName(S("B")), nullptr);
    EXPECT_EQ(m_Pool.GetIndex(second), 1);

    EXPECT_EQ(m_Pool.RemoveAt(0), eNoError);
    EXPECT_EQ(m_Pool.FindByID(5), second);
    EXPECT_EQ(first->IsPooled(), 0);
    EXPECT_EQ(g_nDestroyed, 0);
    EXPECT_EQ(m_Pool.GetIndex(first), -1);
    delete first;
}

TEST_F(ResourcePool, EmptyAndDestroyAtDeleteTheirObjects) {
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(m_Pool.Add(new CBlob(i, "x")), eNoError);
    }
    m_Pool.DestroyAt(1);
    EXPECT_EQ(g_nDestroyed, 1);
    EXPECT_EQ(m_Pool.GetCount(), 2);
    EXPECT_EQ(m_Pool.FindByID(1), nullptr);
    m_Pool.DestroyAt(7); // out of range: nothing
    m_Pool.Empty();
    EXPECT_EQ(g_nDestroyed, 3);
    EXPECT_EQ(m_Pool.GetCount(), 0);
}

TEST_F(ResourcePool, ApplicationSearchesPoolsZeroToFourForMinusOne) {
    CFakeResourceServices app;
    CBlob* image = new CBlob(1, "picture");
    CBlob* font = new CBlob(2, "font");
    ASSERT_EQ(app.GetResourcePool(1)->Add(image), eNoError);
    ASSERT_EQ(app.GetResourcePool(5)->Add(font), eNoError);
    EXPECT_EQ(app.FindResourceByID(-1, 1), image);
    EXPECT_EQ(app.FindResourceByName(-1, S("picture")), image);
    EXPECT_EQ(app.FindResourceByID(-1, 2), nullptr);
    EXPECT_EQ(app.FindResourceByName(5, S("font")), font);
    EXPECT_EQ(app.FindResourceByID(0, 1), nullptr);
    EXPECT_EQ(app.GetResourcePool(6), nullptr);
    EXPECT_EQ(app.FindResourceByID(7, 1), nullptr);
}

// Blocks 'blob' 1 "one" (value 11) and 2 "two" (value 22) after an image.
class LoadingConvention : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        g_nDestroyed = 0;
        WriteFileBytes(Posix("system.vrf"), VersionBlock(2) +
                                                ResBlock(kResImageTag, 1, "picture", Le32(0)) +
                                                ResBlock(FourCC("blob"), 1, "one", Le32(11)) +
                                                ResBlock(FourCC("blob"), 2, "two", Le32(22)));
        gCFRef ref(S("HD:system.vrf"));
        ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_App.m_pResFile = &m_File;
        m_App.m_pResIndex = &m_Index;
    }

    gCFile m_File;
    gCResourceIndex m_Index;
    CFakeResourceServices m_App;
};

TEST_F(LoadingConvention, NullFileMeansTheApplicationsFileAndIndex) {
    CBlob* two = CBlob::CreateFromRes(S("two"), nullptr, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->m_nValue, 22);
    EXPECT_EQ(two->GetResID(), 2);
    delete two;
}

TEST_F(LoadingConvention, TheIndexMayPointAtAnotherBlockOfTheId) {
    // The index's first id 1 is the image: the search scans on to the blob.
    CBlob* one = CBlob::CreateFromRes(1, &m_File, &m_Index);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->m_nValue, 11);
    EXPECT_EQ(U(one->GetResName()), "one");
    delete one;
}

TEST_F(LoadingConvention, AMissingResourceGivesNoObject) {
    EXPECT_EQ(CBlob::CreateFromRes(3, nullptr, nullptr), nullptr);
    EXPECT_EQ(g_nDestroyed, 1);
    gCFile closed;
    EXPECT_EQ(CBlob::CreateFromRes(1, &closed, nullptr), nullptr);
}

TEST_F(LoadingConvention, SharedObjectsLoadOnceIntoTheirPool) {
    CBlob* first = CreateSharedFromResource<CBlob>(1, S("two"), nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->IsPooled(), 1);
    EXPECT_EQ(CreateSharedFromResource<CBlob>(1, 2, nullptr, nullptr), first);
    EXPECT_EQ(m_App.GetResourcePool(1)->GetCount(), 1);
    EXPECT_EQ(CreateSharedFromResource<CBlob>(1, 3, nullptr, nullptr), nullptr);
}

} // namespace
