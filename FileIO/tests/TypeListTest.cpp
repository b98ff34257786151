#include <gtest/gtest.h>

#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "testsupport/FileIO/TempVolume.h"

namespace {

std::vector<int32_t> Rows(const gCFTypeList& l) {
    return std::vector<int32_t>(l.Types().begin(), l.Types().end());
}

// A reference to a file named name in the temporary volume; with a
// Finder type, as a file picked from disk that carries one beside its
// suffix.
class TypeListFiles : public TempVolume {
protected:
    gCFRef Ref(const char* name, uint32_t macType = 0) {
        MakeFile(name);
        gCFRef ref;
        if (macType != 0) {
            EXPECT_EQ(ref.SetType(macType), eNoError);
            // The parts; the types stay.
            EXPECT_EQ(ref.SetFileReference(FSRef{Posix(name)}), eNoError);
        } else {
            EXPECT_EQ(ref.SetFileReference(S((std::string("HD:") + name).c_str())), eNoError);
        }
        return ref;
    }
};

TEST(TypeList, DefaultListsAndListTypes) {
    gCFTypeList l;
    EXPECT_EQ(l.SetDefaultList(eImageFilesFlag), eNoError);
    ASSERT_EQ(l.AddListType({eAllImageFiles, eLastTypeIndex, eTextFile}), eNoError);
    EXPECT_EQ(Rows(l), (std::vector<int32_t>{3, 4, 5, 20}));
    EXPECT_EQ(l.SetDefaultList(eGroupTypesFlag), eBadParameter);
    EXPECT_EQ(Rows(l).size(), 4u);

    gCFTypeList t;
    ASSERT_EQ(t.SetDefaultList(eTextFilesFlag), eNoError);
    ASSERT_EQ(t.SetDefaultList(eVantorFilesFlag), eNoError);
    ASSERT_EQ(t.SetDefaultList(eAudioFilesFlag), eNoError);
    EXPECT_EQ(Rows(t), (std::vector<int32_t>{8, 9, 10, 13, 14, 17}));
    ASSERT_EQ(t.AddListType({eLastTypeIndex, eTextFile}), eNoError);
    EXPECT_EQ(Rows(t).size(), 6u) << "a first argument of the end marker appends nothing";
    EXPECT_EQ(t.AddListTypeAt(ePNGFile, 9), eNoError);
    EXPECT_EQ(t.Types()[9], ePNGFile);
}

struct MatchCase {
    const char* name;
    const char* file;
    uint32_t macType; // 0: leave as the suffix gives it
    int32_t position;
};
void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << c.name;
}

class TypeListMatch : public TypeListFiles, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(TypeListMatch, ImageList) {
    const MatchCase& c = GetParam();
    gCFTypeList l;
    ASSERT_EQ(l.SetDefaultList(eImageFilesFlag), eNoError);
    const gCFRef ref = Ref(c.file, c.macType);
    EXPECT_EQ(l.FindRefPos(&ref), c.position);
    int32_t accepted = -1;
    EXPECT_EQ(l.CheckRef(&ref, accepted), eNoError);
    EXPECT_EQ(accepted, c.position >= 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypeListMatch,
    ::testing::Values(MatchCase{"capital_suffix", "a.JPG", 0, 1}, MatchCase{"png", "a.png", 0, 2},
                      // On Linux "????" is no type: an untyped project file is no image.
                      MatchCase{"untyped_project_file", "a.ptg", kNoMacType, -1},
                      MatchCase{"text_typed_project_file", "b.ptg", FourCC("TEXT"), -1},
                      MatchCase{"jpeg_by_finder_type", "a.jpeg", FourCC("JPEG"), 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TypeListFiles, GroupRowAndMarkerRows) {
    gCFTypeList group;
    ASSERT_EQ(group.AddListType({eAllImageFiles, eLastTypeIndex}), eNoError);
    const gCFRef png = Ref("a.png");
    const gCFRef jpeg = Ref("a.jpg");
    EXPECT_EQ(group.FindRefPos(&png), -1) << "'.BMP,.JPG,.PNG' never equals one suffix";
    EXPECT_EQ(group.FindRefPos(&jpeg), 0) << "JPEG files match through the Finder type";

    gCFTypeList marker;
    ASSERT_EQ(marker.AddListType({eImageFilesFlag, eLastTypeIndex}), eNoError);
    const gCFRef bare = Ref("readme");
    EXPECT_EQ(marker.FindRefPos(&bare), 0) << "an empty suffix equals the marker's";
    EXPECT_EQ(marker.FindRefPos(&png), -1);
}

TEST(TypeList, CombinedIndexes) {
    gCFTypeList l;
    ASSERT_EQ(l.AddCustomType(100, S("Mine"), S(".mine"), FourCC("MINE")), eNoError);
    ASSERT_EQ(l.AddCustomType(101, S("Yours"), S(".yours"), 0), eNoError);
    ASSERT_EQ(l.AddListType({eBMPFile, eJPEGFile, eLastTypeIndex}), eNoError);
    for (auto [index, entry] : std::initializer_list<std::pair<int32_t, int32_t>>{
             {0, 100}, {1, 101}, {2, 3}, {3, 4}, {4, 1}, {-1, 1}}) {
        EXPECT_EQ(l.GetEntryFromIndex(index), entry) << index;
    }
    EXPECT_EQ(l.GetIndexFromEntry(4), 3);
    EXPECT_EQ(l.GetIndexFromEntry(1), 4);
    EXPECT_EQ(l.GetIndexFromEntry(-1), 4);
    EXPECT_EQ(l.GetIndexFromEntry(7), -1);
    EXPECT_EQ(l.GetIndexFromEntry(101), 1);

    const gCFRef mine = gCFRef(S("Nowhere:x.MINE"));
    EXPECT_EQ(l.FindRefPos(&mine), 2) << "custom types come after the rows";

    gCFTypeList copy;
    copy = l;
    EXPECT_EQ(copy.GetEntryFromIndex(1), 101);
    EXPECT_EQ(U(copy.CustomTypes()[0].description), "Mine");
}

TEST(TypeList, CheckRefs) {
    std::vector<gCFRef*> owned = {new gCFRef(S("Nowhere:a.png")), new gCFRef(S("Nowhere:b.txt")),
                                  new gCFRef(S("Nowhere:c.bmp"))};
    gCArray<gCFRef*> in;
    for (gCFRef* r : owned) {
        ASSERT_EQ(in.Add(r), eNoError);
    }

    gCFTypeList empty;
    gCArray<gCFRef*> all;
    ASSERT_EQ(all.Add(nullptr), eNoError);
    EXPECT_EQ(empty.CheckRefs(in, all, 1), eNoError);
    ASSERT_EQ(all.GetSize(), 3) << "an empty list copies everything, replacing out";
    int32_t accepted = 0;
    EXPECT_EQ(empty.CheckRef(owned[1], accepted), eNoError);
    EXPECT_EQ(accepted, 1);

    gCFTypeList images;
    ASSERT_EQ(images.SetDefaultList(eImageFilesFlag), eNoError);
    gCArray<gCFRef*> kept;
    EXPECT_EQ(images.CheckRefs(in, kept, 1), eNoError);
    ASSERT_EQ(kept.GetSize(), 2);
    EXPECT_EQ(kept[0], owned[0]);
    EXPECT_EQ(kept[1], owned[2]);
    // The text file was destroyed by CheckRefs; the others are ours.
    delete owned[0];
    delete owned[2];
}

} // namespace
