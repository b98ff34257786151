#include <gtest/gtest.h>

#include <vector>

#include "foundation/gCDictionary.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

// Reversed sense, as the toolkit's dictionaries use: -1 when the key is
// larger, so the elements lie in ascending order.
int32_t Ascending(int32_t a, int32_t b, void*) {
    return a > b ? -1 : (a < b ? 1 : 0);
}

std::vector<int32_t> Elements(const gCDictionary<int32_t>& d) {
    return std::vector<int32_t>(d.begin(), d.end());
}

class Dictionary : public ::testing::Test {
protected:
    void SetUp() override { d.SetCompareCallback(&Ascending, nullptr); }
    gCDictionary<int32_t> d;
};

TEST_F(Dictionary, KeepsKeysOrderedWhateverTheInsertionOrder) {
    for (int32_t k : {50, 10, 90, 30, 70, 20, 80, 40, 60, 0, 100, 55, 45}) {
        ASSERT_EQ(d.AddKey(k), eNoError) << k;
    }
    EXPECT_EQ(Elements(d),
              (std::vector<int32_t>{0, 10, 20, 30, 40, 45, 50, 55, 60, 70, 80, 90, 100}));
    for (int32_t i = 0; i < d.GetSize(); ++i) {
        EXPECT_EQ(d.GetIndexOfElement(d[i]), i);
    }
    for (int32_t missing : {-5, 5, 47, 65, 105}) {
        EXPECT_EQ(d.GetIndexOfElement(missing), -1) << missing;
    }
}

TEST_F(Dictionary, OneElementLookups) {
    EXPECT_EQ(d.GetIndexOfElement(7), -1) << "empty";
    ASSERT_EQ(d.AddKey(7), eNoError);
    EXPECT_EQ(d.GetIndexOfElement(7), 0);
    EXPECT_EQ(d.GetIndexOfElement(6), -1);
    EXPECT_EQ(d.GetIndexOfElement(8), -1);
}

TEST_F(Dictionary, DuplicateKeyIsRefusedUnlessAllowed) {
    ASSERT_EQ(d.AddKey(7), eNoError);
    EXPECT_EQ(d.AddKey(7), eDuplicateKey);
    EXPECT_EQ(d.GetSize(), 1);
    for (int32_t k : {1, 3, 9, 11}) {
        ASSERT_EQ(d.AddKey(k), eNoError);
    }
    for (int32_t k : {1, 3, 7, 9, 11}) {
        EXPECT_EQ(d.AddKey(k), eDuplicateKey) << k;
    }
    EXPECT_EQ(d.GetSize(), 5);

    d.SetAllowDuplicates(1);
    EXPECT_EQ(d.AddKey(7), eNoError);
    EXPECT_EQ(Elements(d), (std::vector<int32_t>{1, 3, 7, 7, 9, 11}));
}

TEST_F(Dictionary, RemoveElement) {
    for (int32_t k : {1, 2, 3}) {
        ASSERT_EQ(d.AddKey(k), eNoError);
    }
    const int32_t capacity = d.GetCapacity();
    EXPECT_EQ(d.RemoveElement(4), eKeyNotFound);
    EXPECT_EQ(d.RemoveElement(2), eNoError);
    EXPECT_EQ(Elements(d), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(d.GetCapacity(), capacity) << "the capacity stays";
    EXPECT_EQ(d.RemoveElement(1), eNoError);
    EXPECT_EQ(d.RemoveElement(3), eNoError);
    EXPECT_EQ(d.GetSize(), 0);
    EXPECT_NE(d.GetData(), nullptr);
    EXPECT_EQ(d.SetSize(0), eNoError);
    EXPECT_NE(d.GetData(), nullptr) << "a size already 0 keeps its buffer";
}

TEST(DictionaryWithoutCallback, AddKeyAlertsAndRefuses) {
    CFakeAppServices app;
    gCDictionary<int32_t> d;
    EXPECT_EQ(d.AddKey(1), eBadParameter);
    EXPECT_EQ(d.GetSize(), 0);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].headline, "Message");
    EXPECT_EQ(app.m_Alerts[0].text,
              "gCDictionary::AddKey() called without a valid key return function set");
}

} // namespace
