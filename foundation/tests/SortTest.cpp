#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "foundation/Sort.h"

namespace {

struct Item {
    int32_t key;
    int32_t tag;
};

int32_t ByKey(const void* a, const void* b, uintptr_t) {
    const auto* x = static_cast<const Item*>(a);
    const auto* y = static_cast<const Item*>(b);
    return x->key - y->key;
}

int32_t ByKeyAt(const void* a, const void* b, uintptr_t user) {
    ++*reinterpret_cast<int32_t*>(user);
    return static_cast<const Item*>(a)->key - static_cast<const Item*>(b)->key;
}

TEST(QuickSort, ZeroAndOneElementsAreNotTouched) {
    int32_t calls = 0;
    EXPECT_NO_FATAL_FAILURE(QuickSort(nullptr, 0, &ByKeyAt, uintptr_t(&calls)));
    Item one{5, 0};
    void* words[1] = {&one};
    QuickSort(words, 1, &ByKeyAt, uintptr_t(&calls));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(words[0], &one);
}

TEST(QuickSort, SortsPointersByTheirTargets) {
    std::mt19937 rng(7);
    std::vector<Item> items(257);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i] = {int32_t(rng() % 50), int32_t(i)};
    }
    std::vector<void*> words;
    for (Item& it : items) {
        words.push_back(&it);
    }
    QuickSort(words.data(), int32_t(words.size()), &ByKey, 0);
    for (size_t i = 1; i < words.size(); ++i) {
        EXPECT_LE(static_cast<Item*>(words[i - 1])->key, static_cast<Item*>(words[i])->key);
    }
    std::vector<void*> sorted = words;
    std::sort(sorted.begin(), sorted.end());
    std::vector<void*> original;
    for (Item& it : items) {
        original.push_back(&it);
    }
    EXPECT_EQ(sorted, original) << "every pointer is still there once";
}

TEST(QuickSort, ElementsEqualToThePivotGoBeforeIt) {
    // Three equal elements: the middle one becomes the pivot and ends last;
    // the partition of the other two leaves a before c.
    Item a{1, 0}, b{1, 1}, c{1, 2};
    void* words[3] = {&a, &b, &c};
    QuickSort(words, 3, &ByKey, 0);
    EXPECT_EQ(words[2], &b) << "the pivot (middle element) ends last";
    EXPECT_EQ(words[0], &a);
    EXPECT_EQ(words[1], &c);
}

TEST(QuickSort, GeneralSizeFormSortsStructs) {
    std::vector<Item> items = {{3, 0}, {1, 1}, {2, 2}, {0, 3}, {2, 4}};
    QuickSort(items.data(), int32_t(items.size()), int32_t(sizeof(Item)), &ByKey, 0);
    std::vector<int32_t> keys;
    for (const Item& it : items) {
        keys.push_back(it.key);
    }
    EXPECT_EQ(keys, (std::vector<int32_t>{0, 1, 2, 2, 3}));
}

TEST(MinMax, ReturnTheFirstOnTies) {
    EXPECT_EQ(Min<int32_t>(3, 4), 3);
    EXPECT_EQ(Min<float>(4.0f, -1.0f), -1.0f);
    EXPECT_EQ(Max<float>(4.0f, -1.0f), 4.0f);
    // On a tie of +0 and -0 the first argument wins.
    EXPECT_TRUE(std::signbit(Min<float>(-0.0f, 0.0f)));
    EXPECT_TRUE(std::signbit(Max<float>(-0.0f, 0.0f)));
}

} // namespace
