#include <gtest/gtest.h>

#include <memory>

#include "FileIO/CResourcePool.h"
#include "FileIO/ResourceTags.h"
#include "imaging/ImageList.h"
#include "imaging/tests/ResourceFixture.h"

namespace {

class ImageLists : public ImageResourceFile {
protected:
    void SetUp() override {
        ImageResourceFile::SetUp();
        CImage a(2, 2), b(3, 1);
        CImage8 m(2, 2);
        Install(ResBlock(kResImageTag, 1, "a", ImagePayload(a)) +
                ResBlock(kResImageTag, 2, "b", ImagePayload(b)) +
                ResBlock(kResImageTag, 3, "m", ImagePayload(m)) +
                ResBlock(kResImageListTag, 10, "empty", ListPayload(0, {})) +
                ResBlock(kResImageListTag, 11, "shared1", ListPayload(0, {"a", "b"})) +
                ResBlock(kResImageListTag, 12, "shared2", ListPayload(0, {"b"})) +
                ResBlock(kResImageListTag, 13, "own", ListPayload(1, {"a", "b"})) +
                ResBlock(kResImageListTag, 14, "gap", ListPayload(0, {"a", "nope", "b"})) +
                ResBlock(kResImageList8Tag, 15, "masks", ListPayload(1, {"m"})) +
                ResBlock(kResImageListTag, 16, "huge", Le32(0) + Le32(100000)));
    }
    CResourcePool& Pool() { return *app.GetResourcePool(1); }
};

TEST_F(ImageLists, EmptyListLoads) {
    gCImageList list(0);
    EXPECT_EQ(list.GetFromRes(S("empty"), nullptr, nullptr), eNoError);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(ImageLists, SharedListsShareTheirMembers) {
    auto one = std::make_unique<gCImageList>(1);
    auto two = std::make_unique<gCImageList>(1);
    ASSERT_EQ(one->GetFromRes(11, nullptr, nullptr), eNoError);
    ASSERT_EQ(two->GetFromRes(S("shared2"), nullptr, nullptr), eNoError);
    EXPECT_EQ(one->IsExclusive(), 0) << "the block's flag is taken";
    ASSERT_EQ(one->GetCount(), 2);
    ASSERT_EQ(two->GetCount(), 1);
    EXPECT_EQ(one->GetImage(1), two->GetImage(0)) << "one object for both lists";
    EXPECT_EQ(Pool().GetCount(), 2);
    EXPECT_EQ(one->GetImage(0)->GetWidth(), 2);

    CImage* b = two->GetImage(0);
    one.reset();
    EXPECT_EQ(Pool().GetCount(), 2) << "members stay in the pool";
    EXPECT_EQ(Pool().GetIndex(b), 1);
}

TEST_F(ImageLists, ExclusiveListsOwnPrivateCopies) {
    gCImageList shared(0);
    ASSERT_EQ(shared.GetFromRes(S("shared1"), nullptr, nullptr), eNoError);
    std::unique_ptr<gCImageList> own(gCImageList::CreateFromRes(S("own"), nullptr, nullptr));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->IsExclusive(), 1);
    ASSERT_EQ(own->GetCount(), 2);
    EXPECT_NE(own->GetImage(0), shared.GetImage(0)) << "a copy, though the pool has one";
    EXPECT_EQ(own->GetImage(0)->IsPooled(), 1) << "marked as held by a container";
    EXPECT_EQ(Pool().GetCount(), 2);
    own.reset(); // deletes its copies; the sanitizers see any leak or double free

    std::unique_ptr<gCImageList8> masks(gCImageList8::CreateFromRes(15, nullptr, nullptr));
    ASSERT_NE(masks, nullptr);
    EXPECT_EQ(masks->GetImage(0)->GetBitsPerPixel(), 8);
}

TEST_F(ImageLists, MissingMemberIsReportedByName) {
    gCImageList list(0);
    EXPECT_EQ(list.GetFromRes(S("gap"), nullptr, nullptr), eResourceReadError);
    EXPECT_EQ(list.GetCount(), 1) << "the members before it stay";
    ASSERT_FALSE(app.m_Alerts.empty());
    EXPECT_EQ(app.m_Alerts.back().text, "A requested resource was not found.\nnope");
}

TEST_F(ImageLists, DamagedCountsAndMissingLists) {
    gCImageList list(0);
    EXPECT_EQ(list.GetFromRes(S("huge"), nullptr, nullptr), eResourceReadError);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].text, "An error occurred reading data from a binary resource file.\n"
                                    "Error reading number of entries");
    EXPECT_EQ(list.GetFromRes(S("nothing"), nullptr, nullptr), eResourceNotFound);
    EXPECT_EQ(gCImageList::CreateFromRes(99, nullptr, nullptr), nullptr);
}

} // namespace
