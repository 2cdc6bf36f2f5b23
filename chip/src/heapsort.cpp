// Index heap sort. The order it gives among equal keys is part of its contract (the ranking of
// an atom's cells depends on it), so the procedure is followed step by step rather than
// replaced by a library sort.
#include <cstring>

#include "tesk/pendrix71_containers.h"

namespace {

template <typename Less>
void HeapSort(int n, int* index, Less less) {
  for (int i = 0; i < n; ++i) index[i] = i;
  if (n < 2) return;
  int l = n / 2 + 1;  // 1-based heap positions
  int r = n;
  for (;;) {
    int t;
    if (l > 1) {
      --l;
      t = index[l - 1];
    } else {
      t = index[r - 1];
      index[r - 1] = index[0];
      --r;
      if (r == 1) {
        index[0] = t;
        return;
      }
    }
    int i = l;
    int j = 2 * l;
    while (j <= r) {
      if (j < r && less(index[j - 1], index[j])) ++j;
      if (less(t, index[j - 1])) {
        index[i - 1] = index[j - 1];
        i = j;
        j *= 2;
      } else {
        j = r + 1;
      }
    }
    index[i - 1] = t;
  }
}

}  // namespace

void HeapSortIndex(int n, const float* keys, int* index) {
  HeapSort(n, index, [keys](int a, int b) { return keys[a] < keys[b]; });
}

void HeapSortIndex(int n, const int* keys, int* index) {
  HeapSort(n, index, [keys](int a, int b) { return keys[a] < keys[b]; });
}

void HeapSortIndex(int n, const char* const* keys, int* index) {
  HeapSort(n, index, [keys](int a, int b) { return std::strcmp(keys[a], keys[b]) < 0; });
}
