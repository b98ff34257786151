#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFolderRef.h"
#include "FileIO/gCVolumeRef.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/FileIO/TestBytes.h"

namespace {

class FolderRef : public TempVolume {};

struct FolderParts {
    const char* text;
    const char* volume;
    const char* path;
    const char* name;
    const char* reference;
};
void PrintTo(const FolderParts& c, std::ostream* os) {
    *os << c.text;
}

class FolderFromText : public TempVolume, public ::testing::WithParamInterface<FolderParts> {};

TEST_P(FolderFromText, PartsAndReference) {
    const FolderParts& c = GetParam();
    const gCFolderRef f(S(c.text));
    EXPECT_EQ(f.IsValid(), 1);
    EXPECT_EQ(U(f.Volume()), c.volume);
    EXPECT_EQ(U(f.Path()), c.path);
    EXPECT_EQ(U(f.Name()), c.name);
    EXPECT_EQ(U(f.FolderReference()), c.reference);
}

INSTANTIATE_TEST_SUITE_P(Texts, FolderFromText,
                         ::testing::Values(FolderParts{"HD:Docs", "HD", ":", "Docs", "HD:Docs:"},
                                           FolderParts{"HD:Docs:", "HD", ":", "Docs", "HD:Docs:"},
                                           FolderParts{"HD:Users:me:Docs:", "HD",
                                                       ":Users:me:", "Docs", "HD:Users:me:Docs:"},
                                           FolderParts{"HD:", "HD", "", "", "HD:"}));

TEST_F(FolderRef, OnlyColonsIsABadParameter) {
    gCFolderRef f;
    EXPECT_EQ(f.ExtractData(S(":::")), eBadParameter);
    EXPECT_EQ(f.SetFolderReference(S(":::")), eBadParameter);
    EXPECT_EQ(f.IsValid(), 0);
    EXPECT_EQ(f.ExtractData(gCString()), eNoError) << "an empty text changes nothing";
}

TEST_F(FolderRef, ResolvedFolderTakesTheSystemForm) {
    MakeFolder("Users/me/Docs");
    gCFolderRef f;
    ASSERT_EQ(f.SetFolderReference(FSRef{Posix("Users/me/Docs")}), eNoError);
    EXPECT_EQ(U(f.Volume()), "HD:");
    EXPECT_EQ(U(f.Path()), "Users:me:");
    EXPECT_EQ(U(f.Name()), "Docs");
    EXPECT_EQ(U(f.FolderReference()), "HD:Users:me:Docs:");
    EXPECT_TRUE(f.Exists());
}

TEST_F(FolderRef, ParentFolders) {
    const auto parent = gCFolderRef(S("HD:Docs:")).GetParentFolder();
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(U(parent->FolderReference()), "HD:");

    MakeFolder("Top");
    gCFolderRef top;
    ASSERT_EQ(top.SetFolderReference(FSRef{Posix("Top")}), eNoError);
    EXPECT_EQ(U(top.Path()), "");
    EXPECT_EQ(top.GetParentFolder(), nullptr) << "directly in the volume's root folder";
    gCFolderRef out(S("HD:Docs:"));
    EXPECT_EQ(top.GetParentFolder(out), eNoError);
    EXPECT_EQ(out.IsValid(), 0);
}

TEST_F(FolderRef, InsideAndChildren) {
    const gCFolderRef deep(S("HD:a:b:c:"));
    EXPECT_TRUE(deep.IsInside(&deep));
    const gCFolderRef a(S("hd:A:"));
    EXPECT_TRUE(deep.IsInside(&a));
    const gCFolderRef other(S("HD:x:"));
    EXPECT_FALSE(deep.IsInside(&other));

    const auto child = a.GetChildFolder(S("kid"));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(U(child->FolderReference()), "hd:A:kid:");
    const auto file = a.GetFileRef(S("f.txt"));
    EXPECT_EQ(U(file->FileReference()), "hd:A:f.txt");
}

TEST_F(FolderRef, CreateAndWritability) {
    gCFolderRef f(S("HD:Made:"));
    EXPECT_FALSE(f.Exists());
    EXPECT_EQ(f.Create(), eNoError);
    EXPECT_TRUE(f.Exists());
    EXPECT_EQ(f.Create(), eNoError) << "an existing folder is fine";
    EXPECT_TRUE(f.IsWritable());
    EXPECT_FALSE(gCFRef(S("HD:Made:test.tst")).Exists()) << "the probe file is gone";

    // A file of the user's named like the probe survives the test.
    MakeFile("Made/test.tst", "mine");
    EXPECT_TRUE(f.IsWritable());
    EXPECT_EQ(FileBytes(Posix("Made/test.tst")), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Posix("Made")),
                            std::filesystem::directory_iterator()),
              1);

    gCFolderRef nested(S("HD:No:Parent:"));
    EXPECT_EQ(nested.Create(), eCreateFailed);
    EXPECT_FALSE(nested.IsWritable());
    EXPECT_EQ(gCFolderRef().Browse(), eNotImplemented);
}

TEST_F(FolderRef, VolumeReference) {
    gCVolumeRef v(S("  Data:\r\n"));
    EXPECT_EQ(v.IsValid(), 1);
    EXPECT_EQ(U(v.Reference()), "Data:");
    const auto ref = v.GetFileRef(S("x.txt"));
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(U(ref->Volume()), "Data:");
    EXPECT_EQ(U(ref->FileName()), "x");
    EXPECT_EQ(ref->GetFileType(), eTextFile);

    gCVolumeRef copy;
    copy = v;
    EXPECT_EQ(U(copy.Reference()), "Data:");
    EXPECT_EQ(copy.IsValid(), 0) << "assignment does not copy the valid flag";
}

} // namespace
