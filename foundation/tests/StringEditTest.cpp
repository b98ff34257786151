#include <gtest/gtest.h>

#include <functional>

#include "foundation/tests/StringTestSupport.h"

namespace {

// One cut applied to a text: the text it leaves and what it returns.
struct CutCase {
    const char* name;
    const char16_t* text;
    std::function<int32_t(gCString&)> cut;
    const char16_t* expected;
    int32_t result;
};

void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.name;
}

class StringCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(StringCut, LeavesTheExpectedText) {
    const CutCase& c = GetParam();
    gCString s = Str(c.text);
    EXPECT_EQ(c.cut(s), c.result);
    EXPECT_EQ(U(s), c.expected);
    if (s.GetBuffer()) {
        EXPECT_EQ(s.GetBuffer()[s.GetLength()], 0);
    }
}

int32_t Right(gCString& s, int32_t n) {
    s.Right(n);
    return 0;
}
int32_t Mid(gCString& s, int32_t start, int32_t count) {
    s.Mid(start, count);
    return 0;
}
int32_t Sub(gCString& s, int32_t first, int32_t last) {
    s.SubString(first, last);
    return 0;
}
int32_t GetSub(gCString& s, int32_t first, int32_t last) {
    s = s.GetSubString(first, last);
    return 0;
}

// A cut that returns nothing.
std::function<int32_t(gCString&)> Do(std::function<void(gCString&)> cut) {
    return [cut](gCString& s) {
        cut(s);
        return 0;
    };
}

using std::placeholders::_1;

INSTANTIATE_TEST_SUITE_P(
    Cases, StringCut,
    ::testing::Values(
        CutCase{"right_0_empties", u"abc", std::bind(Right, _1, 0), u"", 0},
        CutCase{"right_negative_empties", u"abc", std::bind(Right, _1, -2), u"", 0},
        CutCase{"right_2", u"abc", std::bind(Right, _1, 2), u"bc", 0},
        CutCase{"right_past_length_keeps_all", u"abc", std::bind(Right, _1, 10), u"abc", 0},
        CutCase{"mid_at_length_empties", u"abc", std::bind(Mid, _1, 3, 5), u"", 0},
        CutCase{"mid_past_length_empties", u"abc", std::bind(Mid, _1, 7, 1), u"", 0},
        CutCase{"mid_clipped_at_end", u"abc", std::bind(Mid, _1, 1, 99), u"bc", 0},
        CutCase{"mid_inside", u"abcdef", std::bind(Mid, _1, 2, 3), u"cde", 0},
        CutCase{"substring_first_after_last_empties", u"abc", std::bind(Sub, _1, 2, 1), u"", 0},
        CutCase{"substring_negative_first_is_0", u"abc", std::bind(Sub, _1, -3, 1), u"ab", 0},
        CutCase{"substring_last_clipped", u"abc", std::bind(Sub, _1, 1, 99), u"bc", 0},
        CutCase{"substring_one_unit", u"abc", std::bind(Sub, _1, 2, 2), u"c", 0},
        CutCase{"getsubstring_clipped", u"abc", std::bind(GetSub, _1, 1, 99), u"bc", 0},
        CutCase{"getsubstring_first_after_last", u"abc", std::bind(GetSub, _1, 2, 1), u"", 0},
        CutCase{"getsubstring_at_length", u"abc", std::bind(GetSub, _1, 3, 5), u"", 0},
        CutCase{"removechar_past_length_returns_position", u"abc",
                [](gCString& s) { return s.RemoveChar(5, 1); }, u"abc", 5},
        CutCase{"removechar_count_clipped", u"abc",
                [](gCString& s) { return s.RemoveChar(1, 5); }, u"a", 1},
        CutCase{"removechar_at_length_removes_nothing", u"abc",
                [](gCString& s) { return s.RemoveChar(3, 1); }, u"abc", 3},
        CutCase{"removechar_inside", u"abcd", [](gCString& s) { return s.RemoveChar(1, 2); },
                u"ad", 2},
        CutCase{"removechar_on_empty_returns_position", u"",
                [](gCString& s) { return s.RemoveChar(2, 1); }, u"", 2},
        CutCase{"getremovechar", u"abcd",
                Do([](gCString& s) { s = s.GetRemoveChar(0, 1); }),
                u"bcd", 0},
        CutCase{"reverse", u"abc",
                Do([](gCString& s) { s.Reverse(); }),
                u"cba", 0},
        CutCase{"pure_alpha_capitalises_and_drops", u"a1-Bz 9",
                Do([](gCString& s) { s.PureAlpha(); }),
                u"ABZ", 0},
        CutCase{"pure_alphanumeric_keeps_digits", u"a1-Bz 9",
                Do([](gCString& s) { s = s.GetPureAlphaNumeric(); }),
                u"A1BZ9", 0},
        CutCase{"trim_unit_only_that_unit_empties", u"xxx",
                Do([](gCString& s) { s.Trim(u'x'); }),
                u"", 0},
        CutCase{"trim_unit_both_ends", u"xxaxbxx",
                Do([](gCString& s) { s.Trim(u'x'); }),
                u"axb", 0},
        CutCase{"trimleft_unit", u"xxab",
                [](gCString& s) {
                    s.TrimLeft(u'x');
                    return s.GetLength();
                },
                u"ab", 2},
        CutCase{"trimright_unit", u"xxabxx",
                Do([](gCString& s) { s.TrimRight(u'x'); }),
                u"xxab", 0},
        CutCase{"trim_unit_above_16_bits_matches_nothing", u"xax",
                Do([](gCString& s) { s.Trim(0x10000 + u'x'); }),
                u"xax", 0},
        CutCase{"trim_set", u" \t\na b\r\n",
                Do([](gCString& s) { s.Trim(Str(u"\t \n\r")); }),
                u"a b", 0},
        CutCase{"trimleft_set", u"-+a-+",
                Do([](gCString& s) { s = s.GetTrimLeft(Str(u"+-")); }),
                u"a-+", 0},
        CutCase{"trimright_set", u"-+a-+",
                Do([](gCString& s) { s.TrimRight(Str(u"+-")); }),
                u"-+a", 0},
        CutCase{"trim_empty_set_changes_nothing", u"  a  ",
                Do([](gCString& s) { s.Trim(gCString()); s.Trim(Str(u"")); }),
                u"  a  ", 0},
        CutCase{"trim_by_its_own_units_empties", u"abba",
                [](gCString& s) {
                    s.Trim(s);
                    return s.GetLength();
                },
                u"", 0},
        CutCase{"replace_unit_counts", u"banana",
                [](gCString& s) { return s.Replace(u'a', u'o'); }, u"bonono", 3},
        CutCase{"replace_unit_above_16_bits_matches_nothing", u"banana",
                [](gCString& s) { return s.Replace(0x10000 + u'a', u'o'); }, u"banana", 0},
        CutCase{"replace_a_by_aa_in_aaa", u"aaa",
                [](gCString& s) { return s.Replace(Str(u"a"), Str(u"aa")); }, u"aaaaaa", 3},
        CutCase{"replace_by_shorter", u"one, two, three",
                [](gCString& s) { return s.Replace(Str(u", "), Str(u";")); },
                u"one;two;three", 2},
        CutCase{"replace_by_nothing", u"a-b-c",
                [](gCString& s) { return s.Replace(Str(u"-"), gCString()); }, u"abc", 2},
        CutCase{"replace_absent", u"abc",
                [](gCString& s) { return s.Replace(Str(u"z"), Str(u"y")); }, u"abc", 0},
        CutCase{"replace_at_the_end", u"abcab",
                [](gCString& s) { return s.Replace(Str(u"ab"), Str(u"X")); }, u"XcX", 2},
        CutCase{"replace_empty_pattern", u"abc",
                [](gCString& s) { return s.Replace(Str(u""), Str(u"y")); }, u"abc", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringCut, EmptyStringsWithoutABuffer) {
    gCString s;
    s.Mid(0, 3);
    s.Right(2);
    s.SubString(0, 4);
    s.Trim(u'x');
    s.Reverse();
    EXPECT_EQ(s.GetBuffer(), nullptr);
    EXPECT_EQ(s.GetSubString(0, 3).GetLength(), 0);
    EXPECT_EQ(s.Replace(u'a', u'b'), 0);
    EXPECT_EQ(s.Replace(Str(u"a"), Str(u"b")), 0);
    EXPECT_EQ(s.RemoveChar(1, 1), 1);
}

} // namespace
