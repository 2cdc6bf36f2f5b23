// The index heap sort: ascending order, and exactly its own order among equal keys (the
// ranking of an atom's cells depends on it; a stable or library sort would differ).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tesk/pendrix71.h"

namespace {

std::vector<int> SortFloats(const std::vector<float>& keys) {
  std::vector<int> index(keys.size() + 1, -7);
  HeapSortIndex(static_cast<int>(keys.size()), keys.data(), index.data());
  EXPECT_EQ(index.back(), -7) << "wrote past n";
  index.pop_back();
  return index;
}

TEST(HeapSortIndexTest, SmallCountsLeaveTheIdentity) {
  int index[2] = {-1, -1};
  HeapSortIndex(0, static_cast<const float*>(nullptr), index);
  EXPECT_EQ(index[0], -1);
  const float one[] = {4.0f};
  HeapSortIndex(1, one, index);
  EXPECT_EQ(index[0], 0);
}

TEST(HeapSortIndexTest, OrderAmongEqualKeys) {
  EXPECT_EQ(SortFloats({3, 1, 2}), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(SortFloats({5, 5, 5}), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(SortFloats({5, 5, 5, 5}), (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(SortFloats({1, 1, 1, 1, 1, 1}), (std::vector<int>{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(SortFloats({2, 1, 2, 1}), (std::vector<int>{1, 3, 2, 0}));
  EXPECT_EQ(SortFloats({7, 7, 3, 7, 3}), (std::vector<int>{4, 2, 3, 1, 0}));
  EXPECT_EQ(SortFloats({10, 40, 20, 30}), (std::vector<int>{0, 2, 3, 1}));
}

TEST(HeapSortIndexTest, IntAndStringKeysFollowTheSameProcedure) {
  const int ints[] = {7, 7, 3, 7, 3};
  int index[5];
  HeapSortIndex(5, ints, index);
  EXPECT_EQ(std::vector<int>(index, index + 5), (std::vector<int>{4, 2, 3, 1, 0}));
  // Byte order: upper case before lower case.
  const char* words[] = {"b", "B", "a", "b"};
  int windex[4];
  HeapSortIndex(4, words, windex);
  EXPECT_STREQ(words[windex[0]], "B");
  EXPECT_STREQ(words[windex[1]], "a");
  EXPECT_STREQ(words[windex[2]], "b");
  EXPECT_STREQ(words[windex[3]], "b");
  EXPECT_STREQ(words[0], "b");  // the keys are not moved
}

TEST(HeapSortIndexTest, RandomKeysComeOutAscendingAsAPermutation) {
  std::mt19937 rng(42);
  for (int n : {2, 3, 17, 100, 1001}) {
    std::vector<float> keys(static_cast<std::size_t>(n));
    for (float& k : keys) k = static_cast<float>(rng() % 50);
    std::vector<int> index = SortFloats(keys);
    for (int i = 1; i < n; ++i) EXPECT_LE(keys[index[i - 1]], keys[index[i]]);
    std::vector<int> sorted = index;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < n; ++i) EXPECT_EQ(sorted[i], i);
  }
}

}  // namespace
