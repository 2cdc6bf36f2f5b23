// Arrays, String and DoubleLinkedList at their edges.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tesk/pendrix71.h"

namespace {

TEST(ArrayTest, NewAndClearedArraysAreEmpty) {
  IntArrayClass a;
  EXPECT_EQ(a.count, 0);
  EXPECT_EQ(a.data, nullptr);
  a.ClearValues();  // nothing to do, must not crash
  EXPECT_EQ(a.Add(3), 1);
  a.Clear();
  EXPECT_EQ(a.count, 0);
  EXPECT_EQ(a.data, nullptr);
  EXPECT_EQ(a.Resize(-1), 0);
  EXPECT_EQ(a.count, 0);
}

TEST(ArrayTest, AddKeepsEveryValueAndIsCheapPerElement) {
  FloatArrayClass f;
  for (int i = 0; i < 1000000; ++i) ASSERT_EQ(f.Add(static_cast<float>(i)), 1);
  EXPECT_EQ(f.count, 1000000);
  EXPECT_EQ(f[0], 0.0f);
  EXPECT_EQ(f[999999], 999999.0f);
  f.Resize(3);
  EXPECT_EQ(f.count, 3);
  EXPECT_EQ(f[2], 2.0f);
  f.ClearValues();
  EXPECT_EQ(f[1], 0.0f);
  EXPECT_EQ(f.count, 3);
}

TEST(ArrayTest, ResizeKeepsThePrefixAndAPointerArrayOwnsNoItems) {
  ShortArrayClass s;
  for (short i = 0; i < 10; ++i) s.Add(i);
  s.Resize(20);
  EXPECT_EQ(s.count, 20);
  EXPECT_EQ(s.data[9], 9);
  ArrayClass p;
  int item = 5;
  p.Add(&item);
  p.Add(nullptr);
  EXPECT_EQ(p[0], &item);
  p.Clear();  // frees only the pointer block
  EXPECT_EQ(item, 5);
}

TEST(ArrayTest, CallerSuppliedBlockIsGrownSafely) {
  IntArrayClass a;
  a.data = static_cast<int*>(std::malloc(2 * sizeof(int)));
  a.data[0] = 1;
  a.data[1] = 2;
  a.count = 2;
  for (int i = 0; i < 100; ++i) a.Add(i);
  EXPECT_EQ(a.count, 102);
  EXPECT_EQ(a.data[1], 2);
  EXPECT_EQ(a.data[101], 99);
}

TEST(CharArrayTest, KeepsATerminatedText) {
  CharArrayClass c;
  c.Add('a');
  c.Add('b');
  EXPECT_STREQ(c(), "ab");
  EXPECT_EQ(c.count, 2);
  c.Resize(1);
  EXPECT_STREQ(c.data, "a");
  c.Set("hello");
  EXPECT_EQ(c.count, 5);
  EXPECT_STREQ(c(), "hello");
  c.Set(c.data + 1);  // a text inside its own block
  EXPECT_STREQ(c(), "ello");
  c.Set(nullptr);
  EXPECT_EQ(c.count, 0);
  EXPECT_EQ(c.data, nullptr);
  c.Resize(0);
  ASSERT_NE(c.data, nullptr);
  EXPECT_STREQ(c.data, "");
}

TEST(StringTest, AssignmentAndAppending) {
  String s;
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.Length(), 0);
  s = "ab";
  String& same = s + "cd";
  EXPECT_EQ(&same, &s);  // appends in place
  EXPECT_STREQ(s.text, "abcd");
  s = static_cast<const char*>(nullptr);
  EXPECT_EQ(s.text, nullptr);
  s += "xy";  // on an empty string the same as assigning
  EXPECT_STREQ(s.text, "xy");
  s += 'z';
  EXPECT_STREQ(s.text, "xyz");
  s += s;  // appending itself
  EXPECT_STREQ(s.text, "xyzxyz");
  s = s.text + 3;  // assigning a part of itself
  EXPECT_STREQ(s.text, "xyz");
  s = 'q';
  EXPECT_STREQ(s.text, "q");
  s = "";
  EXPECT_EQ(s.text, nullptr);  // the empty text is never a zero-length block
  String copy("abc");
  String other = copy;
  copy.Clean();
  EXPECT_STREQ(other.text, "abc");
}

std::FILE* FileWith(const std::string& text) {
  std::FILE* f = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  return f;
}

TEST(StringTest, ReadLine) {
  std::FILE* f = FileWith("x\r\n\n  12 ab\n" + std::string(3000, 'k') + "\nlast");
  String s;
  EXPECT_EQ(s.ReadLine(f, 0), 1);
  EXPECT_STREQ(s.text, "x\r");
  EXPECT_EQ(s.ReadLine(f, 0), 1);
  EXPECT_EQ(s.text, nullptr);
  EXPECT_EQ(s.ReadLine(f, 1), 1);
  EXPECT_STREQ(s.text, "ab");
  EXPECT_EQ(s.ReadLine(f, 0), 1);
  EXPECT_EQ(s.Length(), 3000);
  EXPECT_EQ(s.ReadLine(f, 0), 1);
  EXPECT_STREQ(s.text, "last");
  EXPECT_EQ(s.ReadLine(f, 0), 0);
  EXPECT_EQ(s.text, nullptr);
  std::fclose(f);
}

int MatchInt(void* item, void* key) { return *static_cast<int*>(item) == *static_cast<int*>(key); }

int OrderInt(const void* a, const void* b) {
  const int x = **static_cast<int* const*>(a);
  const int y = **static_cast<int* const*>(b);
  return (x > y) - (x < y);
}

std::string Items(DoubleLinkedList& list) {
  std::string out;
  list.InitIterator();
  for (void* item = ++list; item != nullptr; item = ++list) {
    out += std::to_string(*static_cast<int*>(item));
  }
  return out;
}

TEST(DoubleLinkedListTest, EditsAtTheEdges) {
  int v[] = {0, 1, 2, 3, 4, 5};
  DoubleLinkedList list;
  EXPECT_EQ(list.Sort(OrderInt), 1);  // empty
  EXPECT_EQ(list.count, 0);
  list.Add(&v[1]);
  list.Add(&v[2]);
  int absent = 9;
  EXPECT_EQ(list.InsertAfter(&v[3], &absent, MatchInt), 1);  // no match: appended
  EXPECT_EQ(Items(list), "123");
  EXPECT_EQ(list.InsertAfter(&v[4], &v[1], MatchInt), 1);
  EXPECT_EQ(Items(list), "1423");
  EXPECT_EQ(list.Remove(&absent, MatchInt), 0);
  EXPECT_EQ(list.count, 4);
  EXPECT_EQ(list.MoveUp(&v[1], MatchInt), 1);  // at the head nothing moves
  EXPECT_EQ(Items(list), "1423");
  EXPECT_EQ(list.MoveDown(&v[3], MatchInt), 1);  // at the tail nothing moves
  EXPECT_EQ(list.MoveUp(&v[2], MatchInt), 1);
  EXPECT_EQ(Items(list), "1243");
  EXPECT_EQ(list[3], &v[3]);
  EXPECT_EQ(list[4], nullptr);
  EXPECT_EQ(list[-1], nullptr);
  EXPECT_EQ(list.Find(&v[4], MatchInt), &v[4]);
  EXPECT_EQ(list.Find(&absent, MatchInt), nullptr);
  EXPECT_EQ(list.Remove(&v[1], MatchInt), 1);  // the head
  EXPECT_EQ(list.Remove(&v[3], MatchInt), 1);  // the tail
  EXPECT_EQ(Items(list), "24");
  EXPECT_EQ(list.tail->item, &v[4]);
  EXPECT_EQ(list.head->previous, nullptr);
}

TEST(DoubleLinkedListTest, SortWalkBackwardsAndShallowAssignment) {
  int v[] = {5, 3, 9, 1};
  DoubleLinkedList list;
  for (int& x : v) list.Add(&x);
  DoubleLinkedListNode* head = list.head;
  EXPECT_EQ(list.Sort(OrderInt), 1);
  EXPECT_EQ(Items(list), "1359");
  EXPECT_EQ(list.head, head);  // the nodes stay, the items move
  list.MoveIteratorToTail();
  std::string backwards;
  for (void* item = --list; item != nullptr; item = --list) {
    backwards += std::to_string(*static_cast<int*>(item));
  }
  EXPECT_EQ(backwards, "9531");
  DoubleLinkedList copy;
  int extra = 7;
  copy.Add(&extra);
  copy = list;
  EXPECT_EQ(Items(copy), "1359");
  EXPECT_EQ(copy[0], list[0]);  // the same items
  list.Clear();
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(v[0], 5);  // items survive the list
  EXPECT_EQ(copy.count, 4);
}

}  // namespace
