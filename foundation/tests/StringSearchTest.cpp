#include <gtest/gtest.h>

#include "foundation/tests/StringTestSupport.h"

namespace {

TEST(StringFind, UnitsAndPatterns) {
    const gCString s = Str(u"abcabc");
    EXPECT_EQ(s.Find(u'c'), 2);
    EXPECT_EQ(s.Find(0x10000 + u'c'), 2) << "a unit is matched by its low 16 bits";
    EXPECT_EQ(s.Find(u'z'), -1);
    EXPECT_EQ(s.Find(Str(u"bc")), 1);
    EXPECT_EQ(s.Find(Str(u"")), -1);
    EXPECT_EQ(s.Find(gCString()), -1);
    EXPECT_EQ(s.FindFrom(2, Str(u"bc")), 4);
    EXPECT_EQ(s.FindFrom(5, Str(u"bc")), -1);
    EXPECT_EQ(s.FindFrom(6, Str(u"c")), -1);
    EXPECT_EQ(s.FindFrom(-1, Str(u"a")), -1);
    EXPECT_EQ(s.FindFromEnd(Str(u"ab")), 3);
    EXPECT_EQ(Str(u"aaa").FindFromEnd(Str(u"aa")), 1);
    EXPECT_EQ(s.FindFromEnd(Str(u"cb")), -1);
    EXPECT_EQ(s.FindOneOf(Str(u"zc")), 2);
    EXPECT_EQ(s.FindOneOfFromEnd(Str(u"ab")), 4);
    EXPECT_EQ(s.FindOneOf(Str(u"")), -1);
    EXPECT_EQ(s.FindOneOfFromEnd(gCString()), -1);
    EXPECT_EQ(gCString().FindOneOf(Str(u"a")), -1);
}

struct SplitCase {
    const char* name;
    const char16_t* text;
    const char16_t* separator;
    int32_t dropLast;
    int32_t result;
    const char16_t* left;
    const char16_t* right;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class StringSplitInTwo : public ::testing::TestWithParam<SplitCase> {};

TEST_P(StringSplitInTwo, GivesResultAndParts) {
    const SplitCase& c = GetParam();
    gCString left = Str(u"old left"), right = Str(u"old right");
    EXPECT_EQ(Str(c.text).SplitString(left, right, Str(c.separator), c.dropLast), c.result);
    EXPECT_EQ(U(left), c.left);
    EXPECT_EQ(U(right), c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringSplitInTwo,
    ::testing::Values(
        SplitCase{"split", u"abc", u"b", 0, 0, u"a", u"c"},
        SplitCase{"split_drop_last", u"key=value\n", u"=", 1, 0, u"key", u"value"},
        SplitCase{"drop_last_of_an_empty_right", u"ab", u"b", 1, 0, u"a", u""},
        SplitCase{"first_of_several", u"a.b.c", u".", 0, 0, u"a", u"b.c"},
        SplitCase{"right_starts_one_unit_after_the_separator", u"a::b", u"::", 0, 0, u"a", u":b"},
        SplitCase{"separator_at_index_0", u"abc", u"a", 0, 1, u"old left", u"old right"},
        SplitCase{"empty_text", u"", u"a", 0, 1, u"old left", u"old right"},
        SplitCase{"separator_absent", u"abc", u"z", 0, 2, u"abc", u""}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::u16string> Pieces(const gCArray<gCString>& a) {
    std::vector<std::u16string> v;
    for (const gCString& s : a) {
        v.push_back(U(s));
    }
    return v;
}

TEST(StringSplitIntoArray, ByUnitAppendsEveryPiece) {
    gCArray<gCString> pieces;
    ASSERT_EQ(pieces.Add(Str(u"kept")), eNoError);
    EXPECT_EQ(Str(u"a,,b").SplitString(pieces, u','), 4) << "the array's size, not the count";
    EXPECT_EQ(Pieces(pieces), (std::vector<std::u16string>{u"kept", u"a", u"", u"b"}));

    gCArray<gCString> ends;
    EXPECT_EQ(Str(u",x,").SplitString(ends, u','), 3);
    EXPECT_EQ(Pieces(ends), (std::vector<std::u16string>{u"", u"x", u""}));

    gCArray<gCString> none;
    EXPECT_EQ(gCString().SplitString(none, u','), 0);
    EXPECT_EQ(Str(u"").SplitString(none, u','), 0);
    EXPECT_EQ(none.GetSize(), 0);
    EXPECT_EQ(Str(u"abc").SplitString(none, u','), 1);
    EXPECT_EQ(Pieces(none), (std::vector<std::u16string>{u"abc"}));
}

TEST(StringSplitIntoArray, BySetEndsAPieceAtAnyOfItsUnits) {
    gCArray<gCString> pieces;
    EXPECT_EQ(Str(u"a b\tc  d").SplitString(pieces, Str(u" \t")), 5);
    EXPECT_EQ(Pieces(pieces), (std::vector<std::u16string>{u"a", u"b", u"c", u"", u"d"}));
}

TEST(StringSplitIntoArray, AnElementOfTheArrayItself) {
    gCArray<gCString> pieces;
    ASSERT_EQ(pieces.SetSize(1, 0), eNoError); // exact capacity: the split must grow it
    pieces[0] = Str(u"p,q,r");
    EXPECT_EQ(pieces[0].SplitString(pieces, u','), 4);
    EXPECT_EQ(Pieces(pieces), (std::vector<std::u16string>{u"p,q,r", u"p", u"q", u"r"}));
}

} // namespace
