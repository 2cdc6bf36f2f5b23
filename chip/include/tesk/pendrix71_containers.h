// Pendrix71 containers: growable arrays, a heap-owned C string, a doubly linked list of untyped
// items, and an index heap sort. The chip model stores all of its tables in these types, and
// programs that link the library walk the model with them.
//
// The arrays expose `data` and `count` directly. Their blocks come from the C allocator. They
// keep spare capacity behind `count` so that `Add` is amortised constant time; a caller that
// replaces `data` with its own malloc'd block of `count` elements stays correct.
#ifndef TESK_CHIP_INCLUDE_TESK_PENDRIX71_CONTAINERS_H_
#define TESK_CHIP_INCLUDE_TESK_PENDRIX71_CONTAINERS_H_

#include <cstdint>
#include <cstdio>

#include <tesk/pendrix71_export.h>

// ---------------------------------------------------------------------------------------------
// Growable arrays. Each holds `data` (null when never sized or cleared) and `count`. A failed
// allocation leaves the array as it was (count never claims elements that do not exist) and
// the growing call returns 0; success returns 1.

class TESK_PENDRIX71_API FloatArrayClass {
 public:
  float* data;
  int count;

  FloatArrayClass();
  ~FloatArrayClass();
  FloatArrayClass(const FloatArrayClass&) = delete;
  FloatArrayClass& operator=(const FloatArrayClass&) = delete;

  void Init();                  // count = 0, data = null; does not free
  void Clear();                 // frees the block, then Init
  void ClearValues();           // zero-fills count elements
  int Resize(int n);            // count = n; keeps the first min(old, n) elements
  int Add(float v);             // appends one element
  void Set(int i, float v) { data[i] = v; }
  float operator[](int i) const { return data[i]; }

 private:
  int capacity_;
  const void* block_;  // the block capacity_ describes; another value means capacity == count
};

class TESK_PENDRIX71_API IntArrayClass {
 public:
  int* data;
  int count;

  IntArrayClass();
  ~IntArrayClass();
  IntArrayClass(const IntArrayClass&) = delete;
  IntArrayClass& operator=(const IntArrayClass&) = delete;

  void Init();
  void Clear();
  void ClearValues();
  int Resize(int n);
  int Add(int v);
  void Set(int i, int v) { data[i] = v; }
  int operator[](int i) const { return data[i]; }

 private:
  int capacity_;
  const void* block_;
};

class TESK_PENDRIX71_API ShortArrayClass {
 public:
  short* data;
  int count;

  ShortArrayClass();
  ~ShortArrayClass();
  ShortArrayClass(const ShortArrayClass&) = delete;
  ShortArrayClass& operator=(const ShortArrayClass&) = delete;

  void Init();
  void Clear();
  void ClearValues();
  int Resize(int n);
  int Add(short v);
  void Set(int i, short v) { data[i] = v; }
  short operator[](int i) const { return data[i]; }

 private:
  int capacity_;
  const void* block_;
};

// A char array whose block always holds count + 1 bytes with byte [count] == 0, so `data` is a
// C string (which may also carry zero bytes inside it).
class TESK_PENDRIX71_API CharArrayClass {
 public:
  char* data;
  int count;

  CharArrayClass();
  ~CharArrayClass();
  CharArrayClass(const CharArrayClass&) = delete;
  CharArrayClass& operator=(const CharArrayClass&) = delete;

  void Init();
  void Clear();
  void ClearValues();           // zero-fills count bytes
  int Resize(int n);            // n + 1 bytes, byte [n] = 0
  int Add(char v);
  void Set(int i, char v) { data[i] = v; }
  // Replaces the whole content with a copy of s; a null s leaves the array empty.
  int Set(const char* s);
  char operator[](int i) const { return data[i]; }
  char* operator()() const { return data; }

 private:
  int capacity_;
  const void* block_;
};

// Untyped pointers; the pointed-to items are not owned (clearing frees only the pointer block).
class TESK_PENDRIX71_API ArrayClass {
 public:
  void** data;
  int count;

  ArrayClass();
  ~ArrayClass();
  ArrayClass(const ArrayClass&) = delete;
  ArrayClass& operator=(const ArrayClass&) = delete;

  void Init();
  void Clear();
  void ClearValues();
  int Resize(int n);
  int Add(void* v);
  void Set(int i, void* v) { data[i] = v; }
  void* operator[](int i) const { return data[i]; }

 private:
  int capacity_;
  const void* block_;
};

// ---------------------------------------------------------------------------------------------
// A NUL-terminated text on the C heap, owned; null for the empty string (an empty text is
// never stored as a zero-length block). The text is read by taking the pointer.
class TESK_PENDRIX71_API String {
 public:
  char* text;

  String() noexcept : text(nullptr) {}
  String(const char* s);  // NOLINT: implicit on purpose, like assignment
  String(const String& other);
  String(String&& other) noexcept;
  ~String() {
    if (text != nullptr) Clean();  // most strings of a chip are empty: no call for them
  }

  void Clean();  // frees the text; the string becomes empty

  String& operator=(const char* s);  // a null s leaves the string empty
  String& operator=(char c);
  String& operator=(const String& other);
  String& operator=(String&& other) noexcept;
  String& Assign(const char* s, int n);  // the first n bytes of s; n <= 0 empties the string
  String& operator+=(const char* s);
  String& operator+=(char c);
  String& operator+=(const String& other);
  // Appends in place and returns this string (no new string is built).
  String& operator+(const char* s);
  String& operator+(char c);
  String& operator+(const String& other);

  operator char*() const { return text; }  // NOLINT: the pointer is the text
  const char* c_str() const { return text != nullptr ? text : ""; }
  int Length() const;
  bool IsEmpty() const { return text == nullptr; }

  // Reads one line of f (see string.cpp). With skipToLetter, characters before the first
  // alphabetic one are dropped. The line feed is consumed, not stored; a carriage return
  // before it stays. Returns 1 when a line (possibly empty) was read, 0 at end of file.
  int ReadLine(std::FILE* f, int skipToLetter);
};

// ---------------------------------------------------------------------------------------------
// A doubly linked list of caller-owned items. Match callbacks take (item, key) and return
// non-zero for a match; order callbacks follow the qsort contract over pointers to item pointers.
typedef int (*ListMatchFunction)(void* item, void* key);
typedef int (*ListOrderFunction)(const void* a, const void* b);

struct TESK_PENDRIX71_API DoubleLinkedListNode {
  void* item;
  DoubleLinkedListNode* next;
  DoubleLinkedListNode* previous;
};

class TESK_PENDRIX71_API DoubleLinkedList {
 public:
  DoubleLinkedListNode* head;
  DoubleLinkedListNode* tail;
  DoubleLinkedListNode* iterator;  // the node the next step of a walk returns
  int count;

  DoubleLinkedList();
  ~DoubleLinkedList();
  DoubleLinkedList(const DoubleLinkedList&) = delete;

  void Initialize();  // all fields zero; does not free nodes
  void Clear();       // frees every node (not the items)

  int Add(void* item);                                          // 1, or 0 when out of memory
  int InsertAfter(void* item, void* key, ListMatchFunction match);
  void* Find(void* key, ListMatchFunction match);
  int Remove(void* key, ListMatchFunction match);
  int MoveUp(void* key, ListMatchFunction match);
  int MoveDown(void* key, ListMatchFunction match);
  void* operator[](int i);
  int Sort(ListOrderFunction order);

  void InitIterator() { iterator = head; }
  void MoveIteratorToHead() { iterator = head; }
  void MoveIteratorToTail() { iterator = tail; }
  void* operator++();     // item of the iterator node, then step toward the tail
  void* operator++(int);  // same as the prefix form
  void* operator--();     // item of the iterator node, then step toward the head
  void* operator--(int);

  // Clear, then Add every item of other (shallow: the lists then share the items).
  DoubleLinkedList* operator=(DoubleLinkedList& other);
};

// ---------------------------------------------------------------------------------------------
// Index heap sort: fills index[0..n-1] so that keys[index[0]] <= keys[index[1]] <= ...; the
// keys are not moved. The order among equal keys is the one of this exact heap procedure, on
// which the ranking of an atom's cells depends.
TESK_PENDRIX71_API void HeapSortIndex(int n, const float* keys, int* index);
TESK_PENDRIX71_API void HeapSortIndex(int n, const int* keys, int* index);
TESK_PENDRIX71_API void HeapSortIndex(int n, const char* const* keys, int* index);  // strcmp

#endif  // TESK_CHIP_INCLUDE_TESK_PENDRIX71_CONTAINERS_H_
