// Resource files: the index of blocks, the block search with its single
// wrap-around, and the pools that own shared resource objects.

#include "FileIO/CResourcePool.h"
#include "FileIO/ResourceTags.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCResourceObject.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

// A file stream that counts the block tags a scan reads (tags are the only
// unsigned 32-bit reads of the index and the search).
class CountingFile : public gCFile {
public:
    error ReadUint32(uint32_t& value) override {
        ++m_nTags;
        return gCFile::ReadUint32(value);
    }
    int m_nTags = 0;
};

class ResourceFile : public TempVolume {
protected:
    void Open(const std::string& bytes) {
        WriteFileBytes(Posix("system.vrf"), bytes);
        gCFRef ref(S("HD:system.vrf"));
        ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
    }
    // The version block, then the image block 7 "logo" at 12.
    void OpenLogoFile() { Open(VersionBlock(2) + ResBlock(kResImageTag, 7, "logo", Le32(0))); }

    CountingFile m_File;
    gCResourceIndex m_Index;
    gCResourceObject m_Object{kResImageTag};
};

TEST_F(ResourceFile, IndexHoldsEveryBlockButTheVersion) {
    OpenLogoFile();
    ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
    ASSERT_EQ(m_Index.GetCount(), 1);
    EXPECT_EQ(m_Index.GetEntry(0)->m_nID, 7);
    EXPECT_EQ(m_Index.GetEntry(0)->m_nLocation, 12);
    EXPECT_EQ(U(m_Index.GetEntry(0)->m_Name), "logo");
    EXPECT_EQ(m_Index.GetVersion(), 2);
    EXPECT_EQ(m_Index.GetLocation(7), 12);
    EXPECT_EQ(m_Index.GetLocation(8), -1);
    EXPECT_EQ(m_Index.GetLocation(S("logo")), 12);
    EXPECT_EQ(m_Index.GetLocation(S("Logo")), -1);
    m_Index.ClearContents();
    EXPECT_EQ(m_Index.GetCount(), 0);
    EXPECT_EQ(m_Index.GetLocation(7), -1);
}

// A damaged file adds nothing: the index keeps the entries and the version
// it held (it used to keep the blocks read before the damage).
TEST_F(ResourceFile, AFailedIndexLeavesTheIndexAsItWas) {
    OpenLogoFile();
    ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
    ASSERT_EQ(m_File.Close(), eNoError);
    // A good block under version 3, then a block that runs past the end.
    Open(VersionBlock(3) + ResBlock(kResImageTag, 8, "next", Le32(0)) + Le32(kResImageTag) +
         Le32(100));
    EXPECT_EQ(m_Index.SetupIndex(&m_File), eResourceReadError);
    EXPECT_EQ(m_Index.GetCount(), 1);
    EXPECT_EQ(m_Index.GetLocation(7), 12);
    EXPECT_EQ(m_Index.GetLocation(8), -1);
    EXPECT_EQ(m_Index.GetVersion(), 2);
}

TEST_F(ResourceFile, IndexNeedsAnOpenFile) {
    gCFile closed;
    EXPECT_EQ(m_Index.SetupIndex(nullptr), eBadParameter);
    EXPECT_EQ(m_Index.SetupIndex(&closed), eBadParameter);
}

TEST_F(ResourceFile, FindBlockByIdLeavesTheFileAtThePayload) {
    OpenLogoFile();
    ASSERT_EQ(m_Object.FindBlock(kResImageTag, 7, &m_File), eNoError);
    EXPECT_EQ(m_File.GetFilePos(), 36);
    EXPECT_EQ(m_Object.GetResID(), 7);
    EXPECT_EQ(U(m_Object.GetResName()), "logo");
}

TEST_F(ResourceFile, FindBlockByNameIsExact) {
    OpenLogoFile();
    ASSERT_EQ(m_Object.FindBlock(kResImageTag, S("logo"), &m_File), eNoError);
    EXPECT_EQ(m_File.GetFilePos(), 36);
    EXPECT_EQ(m_Object.GetResID(), 7);
    ASSERT_EQ(m_File.Rewind(), eNoError);
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, S("Logo"), &m_File), eResourceNotFound);
    ASSERT_EQ(m_File.Rewind(), eNoError);
    EXPECT_EQ(m_Object.FindBlock(FourCC("grad"), S("logo"), &m_File), eResourceNotFound);
}

TEST_F(ResourceFile, FindBlockNeedsAnOpenFile) {
    gCFile closed;
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, 7, &closed), eInvalidFile);
    // No application object: no application resource file either.
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, 7, nullptr), eInvalidFile);
}

// A payload's count is checked against what is left of its own block, not
// of the file, before a loader sizes anything from it.
TEST_F(ResourceFile, PayloadCountsMustFitTheirBlock) {
    struct Case {
        int32_t count;
        int32_t unit;
        error result;
    } cases[] = {{4, 1, eNoError}, {5, 1, eResourceReadError}, {-1, 1, eResourceReadError},
                 {2, 2, eNoError}, {2, 4, eResourceReadError}, {0, 8, eNoError}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " x " + std::to_string(c.unit));
        Open(VersionBlock(2) + ResBlock(kResImageTag, 7, "logo", Le32(uint32_t(c.count)) + "abcd") +
             ResBlock(kResImageTag, 8, "big", std::string(64, 'x')));
        ASSERT_EQ(m_Object.FindBlock(kResImageTag, 7, &m_File), eNoError);
        int32_t count = 99;
        EXPECT_EQ(m_Object.ReadPayloadCount(&m_File, count, c.unit), c.result);
        EXPECT_EQ(count, c.result == eNoError ? c.count : 99);
        ASSERT_EQ(m_File.Close(), eNoError);
    }
    gCResourceObject unfound(kResImageTag);
    Open(VersionBlock(2) + Le32(0));
    int32_t count = 0;
    EXPECT_EQ(unfound.ReadPayloadCount(&m_File, count, 1), eResourceReadError);
}

class WrapAround : public ResourceFile {
protected:
    void SetUp() override {
        ResourceFile::SetUp();
        const std::string head = VersionBlock(2) + ResBlock(kResImageTag, 1, "first", "") +
                                 ResBlock(kResImageTag, 2, "second", "");
        m_nLast = int64_t(head.size());
        Open(head + ResBlock(kResImageTag, 3, "last", ""));
    }
    int64_t m_nLast = 0;
};

TEST_F(WrapAround, FromTheLastBlockFindsTheFirst) {
    ASSERT_EQ(m_File.SetFilePos(m_nLast), eNoError);
    ASSERT_EQ(m_Object.FindBlock(kResImageTag, 1, &m_File), eNoError);
    EXPECT_EQ(U(m_Object.GetResName()), "first");
    EXPECT_EQ(m_File.GetFilePos(), 12 + 8 + 4 + 2 * 7);
}

TEST_F(WrapAround, AMissingResourceVisitsEveryBlockOnce) {
    ASSERT_EQ(m_File.SetFilePos(m_nLast), eNoError);
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, 99, &m_File), eResourceNotFound);
    EXPECT_EQ(m_File.m_nTags, 4);
    m_File.m_nTags = 0;
    ASSERT_EQ(m_File.Rewind(), eNoError);
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, S("none"), &m_File), eResourceNotFound);
    EXPECT_EQ(m_File.m_nTags, 4);
}

TEST_F(WrapAround, AScanStartedPastTheEndStops) {
    ASSERT_EQ(m_File.SetFilePos(m_nLast + 1000), eNoError);
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, 99, &m_File), eResourceNotFound);
    ASSERT_EQ(m_File.SetFilePos(m_nLast + 1000), eNoError);
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, 2, &m_File), eNoError);
}

// Damaged files: every scan ends with a code, never by looping or seeking
// backwards.
struct CorruptCase {
    const char* name;
    std::string bytes;
    error index;
    error find;
};

void PrintTo(const CorruptCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kGood = VersionBlock(2) + ResBlock(kResImageTag, 7, "logo", Le32(0));

std::string NegativeSize() {
    return kGood + Le32(kResImageTag) + Le32(uint32_t(-40)) + Le32(8) + Utf16Line("x");
}

class CorruptFile : public ResourceFile, public ::testing::WithParamInterface<CorruptCase> {};

// Nothing asked for is larger than the file.
TEST_P(CorruptFile, IndexAndSearchEndWithTheirCode) {
    Open(GetParam().bytes);
    CLargestRequest watch;
    EXPECT_EQ(m_Index.SetupIndex(&m_File), GetParam().index);
    ASSERT_EQ(m_File.Rewind(), eNoError);
    EXPECT_EQ(m_Object.FindBlock(kResImageTag, 99, &m_File), GetParam().find);
    EXPECT_LE(CLargestRequest::Largest(), GetParam().bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    ResourceFile, CorruptFile,
    ::testing::Values(
        CorruptCase{"NegativeSize", NegativeSize(), eResourceReadError, eResourceReadError},
        CorruptCase{"TruncatedHeader", kGood + Le32(kResImageTag) + "\x10\x00", eFileReadWriteError,
                    eFileReadWriteError},
        CorruptCase{"TruncatedTag", kGood + "\x67\x61", eFileReadWriteError, eFileReadWriteError},
        CorruptCase{"LoneTagAtTheEnd", kGood + Le32(kResImageTag), eFileReadWriteError,
                    eResourceNotFound},
        CorruptCase{"SizePastTheEnd", kGood + Le32(kResImageTag) + Le32(400) + Le32(8),
                    eResourceReadError, eResourceReadError},
        CorruptCase{"VersionOfAnotherSize", Block(0x76657273, Le32(2) + Le32(0)) + kGood,
                    eResourceReadError, eResourceReadError},
        CorruptCase{"NameRunsPastItsBlock",
                    Block(kResImageTag, Le32(7) + std::string("l\0o\0", 4)) +
                        ResBlock(kResImageTag, 8, "b", ""),
                    eResourceReadError, eResourceReadError},
        CorruptCase{"BlockTooSmallForItsHeader", kGood + Block(kResImageTag, Le32(9)),
                    eResourceReadError, eResourceReadError}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
