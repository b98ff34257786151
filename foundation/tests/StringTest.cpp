#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/tests/StringTestSupport.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

TEST(String, ZeroInitialisedIsTheEmptyString) {
    alignas(gCString) unsigned char bytes[sizeof(gCString)] = {};
    const gCString& zero = *reinterpret_cast<const gCString*>(bytes);
    EXPECT_EQ(zero.GetBuffer(), nullptr);
    EXPECT_EQ(zero.GetLength(), 0);
    EXPECT_EQ(zero.Find(u'a'), -1);
    EXPECT_EQ(zero.Find(Str(u"a")), -1);
    EXPECT_EQ(zero.Int32(), 0);
    EXPECT_STREQ(zero.Ascii(), "");

    gCString s;
    ASSERT_EQ(s.AppendString(u"ab"), eNoError);
    EXPECT_EQ(U(s), u"ab");
    EXPECT_EQ(s.GetCapacity(), 16);
}

struct CapacityCase {
    const char* name;
    int32_t length;
    int32_t capacity;
};

void PrintTo(const CapacityCase& c, std::ostream* os) {
    *os << c.name;
}

class StringCapacity : public ::testing::TestWithParam<CapacityCase> {};

TEST_P(StringCapacity, IsTheSmallestMultipleOf16AboveTheNeed) {
    const CapacityCase& c = GetParam();
    const std::u16string text(size_t(c.length), u'x');
    gCString s;
    ASSERT_EQ(s.CopyString(text.c_str()), eNoError);
    EXPECT_EQ(s.GetLength(), c.length);
    EXPECT_EQ(s.GetCapacity(), c.capacity);
    EXPECT_EQ(s.GetBuffer()[c.length], 0) << "a NUL follows the text";
}

INSTANTIATE_TEST_SUITE_P(Cases, StringCapacity,
                         ::testing::Values(CapacityCase{"empty_text_allocates_16", 0, 16},
                                           CapacityCase{"three_units", 3, 16},
                                           CapacityCase{"fourteen_units", 14, 16},
                                           CapacityCase{"fifteen_units", 15, 32},
                                           CapacityCase{"thirty_units", 30, 32},
                                           CapacityCase{"thirty_one_units", 31, 48}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(String, CapacityNeverShrinks) {
    gCString s = Str(u"0123456789abcdefghij");
    ASSERT_EQ(s.GetCapacity(), 32);
    ASSERT_EQ(s.CopyString(u"a"), eNoError);
    EXPECT_EQ(U(s), u"a");
    EXPECT_EQ(s.GetCapacity(), 32);
    s.Mid(0, 0);
    EXPECT_EQ(s.GetCapacity(), 32);
}

TEST(String, CopyStringFromBufferStopsAtNAndAtNul) {
    const char16_t units[] = u"abc\0def";
    gCString s;
    ASSERT_EQ(s.CopyStringFromBuffer(units, 2), eNoError);
    EXPECT_EQ(U(s), u"ab");
    ASSERT_EQ(s.CopyStringFromBuffer(units, 7), eNoError);
    EXPECT_EQ(U(s), u"abc");
    for (int32_t n : {0, -1}) {
        ASSERT_EQ(s.CopyStringFromBuffer(units, n), eNoError);
        EXPECT_EQ(s.GetLength(), 0);
    }
    ASSERT_EQ(s.CopyStringFromBuffer(static_cast<const char16_t*>(nullptr), 3), eNoError);
    EXPECT_EQ(s.GetLength(), 0);
}

TEST(String, CopyFromAPartOfItself) {
    gCString s = Str(u"hello world");
    ASSERT_EQ(s.CopyString(s.GetBuffer() + 6), eNoError);
    EXPECT_EQ(U(s), u"world");
}

TEST(String, AppendAndInsert) {
    gCString s;
    ASSERT_EQ(s.AppendString(Str(u"")), eNoError);
    ASSERT_EQ(s.AppendString(Str(u"bd")), eNoError);
    ASSERT_EQ(s.Insert(u'a', 0), eNoError);
    ASSERT_EQ(s.Insert(u'c', 2), eNoError);
    ASSERT_EQ(s.Insert(u'e', 99), eNoError) << "a position past the end appends";
    EXPECT_EQ(U(s), u"abcde");
    ASSERT_EQ(s.Insert(Str(u"XY"), 1), eNoError);
    ASSERT_EQ(s.Insert(Str(u"Z"), 99), eNoError);
    ASSERT_EQ(s.Insert(gCString(), 0), eNoError);
    EXPECT_EQ(U(s), u"aXYbcdeZ");
    ASSERT_EQ(s.AppendString(s), eNoError);
    EXPECT_EQ(U(s), u"aXYbcdeZaXYbcdeZ");
    ASSERT_EQ(s.AppendString(static_cast<const char16_t*>(nullptr)), eNoError);
    EXPECT_EQ(s.GetLength(), 16);

    gCString one;
    ASSERT_EQ(one.Insert(0x10041, 5), eNoError) << "the low 16 bits";
    EXPECT_EQ(U(one), u"A");
    EXPECT_EQ(one.GetCapacity(), 16);
}

TEST(String, GrowingCharacterByCharacterKeepsTheText) {
    gCString s;
    std::u16string expected;
    for (int32_t i = 0; i < 100; ++i) {
        const char16_t u = char16_t(u'a' + i % 26);
        ASSERT_EQ(s.Insert(u, s.GetLength()), eNoError);
        expected += u;
    }
    EXPECT_EQ(U(s), expected);
    EXPECT_EQ(s.GetCapacity(), 112);
}

TEST(String, CopyAndMove) {
    const gCString a = Str(u"text");
    gCString b(a);
    EXPECT_EQ(U(b), u"text");
    EXPECT_NE(b.GetBuffer(), a.GetBuffer());
    gCString c;
    c = a;
    c = c;
    EXPECT_EQ(U(c), u"text");
    gCString d(std::move(c));
    EXPECT_EQ(U(d), u"text");
    EXPECT_EQ(c.GetBuffer(), nullptr);
    c = gCString();
    EXPECT_EQ(c.GetLength(), 0);
    b = gCString();
    EXPECT_EQ(b.GetLength(), 0);
    EXPECT_EQ(b.Destroy(), eNoError);
    EXPECT_EQ(b.GetBuffer(), nullptr);
    EXPECT_EQ(b.GetCapacity(), 0);
}

TEST(StringAllocationFailure, LeavesTheStringAsItWas) {
    gCString s = Str(u"0123456789");
    const gCString other = Str(u"0123456789");
    const char16_t* before = s.GetBuffer();
    CFailingMemory noMemory;
    EXPECT_EQ(s.AppendString(u"0123456789"), eOutOfMemory);
    EXPECT_EQ(s.Insert(other, 3), eOutOfMemory);
    EXPECT_EQ(s.CopyString(u"0123456789abcdef"), eOutOfMemory);
    EXPECT_EQ(s.CopyString("0123456"), eOutOfMemory) << "8-bit text reserves three units a byte";
    EXPECT_EQ(s.GetBuffer(), before);
    EXPECT_EQ(U(s), u"0123456789");
    EXPECT_EQ(s.GetCapacity(), 16);
    EXPECT_EQ(s.AppendString(u"abcde"), eNoError) << "what fits needs no allocation";
    EXPECT_EQ(U(s), u"0123456789abcde");

    gCString fresh;
    EXPECT_EQ(fresh.CopyString(u"a"), eOutOfMemory);
    EXPECT_EQ(fresh.GetBuffer(), nullptr);
    EXPECT_EQ(fresh.GetLength(), 0);
}

} // namespace
