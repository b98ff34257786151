#include <gtest/gtest.h>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFolderRef.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

class FileRef : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        MakeFile("Users/me/picture.jpg");
    }
};

struct Split {
    const char* volume;
    const char* path;
    const char* name;
    const char* suffix;
    eFileType type;
    uint32_t macType;
};

void ExpectSplit(const gCFRef& ref, const Split& s) {
    EXPECT_EQ(ref.IsValid(), 1);
    EXPECT_EQ(U(ref.Volume()), s.volume);
    EXPECT_EQ(U(ref.Path()), s.path);
    EXPECT_EQ(U(ref.FileName()), s.name);
    EXPECT_EQ(U(ref.TypeString()), s.suffix);
    EXPECT_EQ(ref.GetFileType(), s.type);
    EXPECT_EQ(ref.GetMacType(), s.macType);
}

TEST_F(FileRef, ExistingFileSplitsIntoItsParts) {
    const gCFRef ref(S("HD:Users:me:picture.jpg"));
    ExpectSplit(ref, {"HD:", "Users:me:", "picture", ".jpg", eJPEGFile, FourCC("JPEG")});
    EXPECT_EQ(U(ref.FileReference()), "HD:Users:me:picture.jpg");
    EXPECT_EQ(ref.FileSpecReference()->path, Posix("Users/me/picture.jpg"));
    EXPECT_TRUE(ref.Exists());
    EXPECT_EQ(ref.GetSize(), 1);
}

TEST_F(FileRef, FileToBeCreatedInAnExistingFolder) {
    const gCFRef ref(S("HD:Users:me:new.ptg"));
    ExpectSplit(ref, {"HD:", "Users:me:", "new", ".ptg", eUnknownFileType, kNoMacType});
    EXPECT_FALSE(ref.Exists());
    EXPECT_EQ(ref.GetSize(), -1);
    EXPECT_EQ(ref.FileSpecReference()->path, Posix("Users/me")) << "the folder's reference";
}

TEST_F(FileRef, FileToBeCreatedInTheVolumeRoot) {
    const gCFRef ref(S("HD:new.txt"));
    ExpectSplit(ref, {"HD:", "", "new", ".txt", eTextFile, FourCC("TEXT")});
    EXPECT_EQ(U(ref.FileReference()), "HD:new.txt");
}

TEST_F(FileRef, NeitherFileNorFolderTakesItsPartsFromTheText) {
    gCFRef ref(S("HD:Users:me:picture.jpg"));
    ASSERT_EQ(ref.SetFileReference(S("HD:No:Such:thing.png")), eNoError);
    ExpectSplit(ref, {"HD:", "No:Such:", "thing", ".png", ePNGFile, kNoMacType});
    EXPECT_FALSE(ref.FileSpecReference()->IsSet()) << "no earlier file's reference is kept";
    EXPECT_FALSE(ref.Exists());

    ASSERT_EQ(ref.SetFileReference(S("Elsewhere:a.bmp")), eNoError);
    ExpectSplit(ref, {"Elsewhere:", "", "a", ".bmp", eBMPFile, kNoMacType});
    EXPECT_FALSE(ref.Exists());
}

TEST_F(FileRef, SuffixRules) {
    for (auto [name, suffix] : std::initializer_list<std::pair<const char*, const char*>>{
             {"archive.tar.gz", ".gz"}, {".profile", ""}, {"readme", ""}, {"a.", "."}}) {
        EXPECT_EQ(U(gCFRef::GetFileSuffix(S(name))), suffix) << name;
    }
}

TEST_F(FileRef, IsWithinFolderComparesCapitalisedPrefixes) {
    const gCFRef ref(S("HD:Users:Me:a.txt"));
    EXPECT_TRUE(ref.IsWithinFolder(gCFolderRef(S("hd:users:me:"))));
    EXPECT_FALSE(ref.IsWithinFolder(gCFolderRef(S("HD:Users:M:"))));
    EXPECT_FALSE(ref.IsWithinFolder(gCFolderRef(S("HD:Users:Me:a.txt:"))))
        << "a folder reference as long as the file's is not a prefix";
    EXPECT_EQ(U(ref.ReferenceWithinFolder(gCFolderRef(S("HD:Users:")))), "Me:a.txt");
}

TEST_F(FileRef, SetTypeForms) {
    gCFRef ref(S("HD:Users:me:picture.jpg"));
    EXPECT_EQ(ref.SetType(uint32_t(kNoMacType)), eNoError);
    EXPECT_EQ(ref.GetFileType(), eNoFileType) << "row 0 comes first";
    EXPECT_EQ(U(ref.TypeString()), "");
    EXPECT_EQ(ref.SetType(FourCC("JPEG")), eNoError);
    EXPECT_EQ(ref.GetFileType(), eJPEGFile);
    EXPECT_EQ(U(ref.TypeString()), ".jpg");
    EXPECT_EQ(ref.SetType(FourCC("ZZZZ")), eNoError);
    EXPECT_EQ(ref.GetFileType(), eUnknownFileType);
    EXPECT_EQ(U(ref.TypeString()), "");

    EXPECT_EQ(ref.SetType(ePNGFile), eNoError);
    EXPECT_EQ(U(ref.FileReference()), "HD:Users:me:picture.png");
    EXPECT_EQ(ref.SetType(eFileType(25)), eBadParameter);
    EXPECT_EQ(ref.SetType(eFileType(-1)), eBadParameter);
    EXPECT_EQ(ref.GetFileType(), ePNGFile) << "a bad row changes nothing";

    EXPECT_EQ(ref.SetType(S(".bmp")), eNoError);
    EXPECT_EQ(ref.GetFileType(), eBMPFile);
    EXPECT_EQ(U(ref.FileReference()), "HD:Users:me:picture.bmp");
}

TEST_F(FileRef, PartSettersKeepValidityAndResolveAgain) {
    MakeFile("Users/you/picture.jpg");
    gCFRef ref(S("HD:Users:me:picture.jpg"));
    ASSERT_EQ(ref.SetPath(S("Users:you:")), eNoError);
    EXPECT_EQ(ref.IsValid(), 1);
    EXPECT_EQ(ref.FileSpecReference()->path, Posix("Users/you/picture.jpg"));
    ASSERT_EQ(ref.SetName(S("other")), eNoError);
    EXPECT_EQ(ref.FileSpecReference()->path, Posix("Users/you"));
}

TEST_F(FileRef, InvalidateAndInit) {
    gCFRef ref(S("HD:Users:me:picture.jpg"));
    ref.Invalidate();
    EXPECT_EQ(ref.IsValid(), 0);
    EXPECT_EQ(ref.GetMacType(), kNoMacType);
    EXPECT_EQ(U(ref.FileReference()), "");
    EXPECT_TRUE(ref.FileSpecReference()->IsSet()) << "Invalidate keeps the system reference";
    EXPECT_EQ(gCFRef().SetFileReference(gCString()), eBadParameter);
}

TEST_F(FileRef, RelativePlaceInsideTheApplicationFolder) {
    CFakeAppServices app;
    app.m_ApplicationRoot = "HD:Apps:Daublin:";
    MakeFile("Apps/Daublin/Resources/system.vrf");
    const gCFRef inside(S("HD:Apps:Daublin:Resources:system.vrf"));
    gCFRelative rel;
    EXPECT_EQ(inside.SetRelativeRef(rel), eNoError);
    EXPECT_EQ(rel.IsValid(), 1);
    EXPECT_EQ(U(rel.RelativeReference()), "Resources:system.vrf");
    EXPECT_EQ(rel.GetMacType(), FourCC("VRES"));

    const gCFRef outside(S("HD:Users:me:picture.jpg"));
    EXPECT_EQ(outside.SetRelativeRef(rel), eGenericFailure);
    EXPECT_TRUE(app.m_Alerts.empty());
}

} // namespace
