// The table of block kinds: a source's "kind:" and a block's tag each lead
// to one kind only, and never to the version block.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FileIO/ResourceTags.h"
#include "devtools/rc/BlockKinds.h"

namespace {

TEST(BlockKinds, EachIsTheOnlyKindOfItsNameAndTag) {
    const auto kinds = BlockKinds();
    ASSERT_FALSE(kinds.empty());
    for (const CBlockKind* kind : kinds) {
        SCOPED_TRACE(kind->Name());
        const std::string name = kind->Name();
        EXPECT_NE(name, "");
        EXPECT_EQ(std::count_if(kinds.begin(), kinds.end(),
                                [&](const CBlockKind* k) { return k->Name() == name; }),
                  1);
        EXPECT_EQ(FindBlockKind(name), kind);
        EXPECT_NE(kind->Tag(), kResVersionTag);
        if (kind->Tag() != 0) {
            EXPECT_EQ(std::count_if(kinds.begin(), kinds.end(),
                                    [&](const CBlockKind* k) { return k->Tag() == kind->Tag(); }),
                      1);
            EXPECT_EQ(FindBlockKindByTag(kind->Tag()), kind);
        }
    }
    EXPECT_EQ(FindBlockKind("no such kind"), nullptr);
    EXPECT_EQ(FindBlockKindByTag(0), nullptr) << "raw blocks name their own tag";
}

} // namespace
