// DoubleLinkedList: nodes owned by the list, items owned by the caller.
#include <cstdlib>
#include <new>
#include <vector>

#include "tesk/pendrix71_containers.h"

namespace {

DoubleLinkedListNode* NewNode(void* item) {
  auto* node = new (std::nothrow) DoubleLinkedListNode;
  if (node != nullptr) {
    node->item = item;
    node->next = nullptr;
    node->previous = nullptr;
  }
  return node;
}

DoubleLinkedListNode* FindNode(DoubleLinkedListNode* node, void* key, ListMatchFunction match) {
  for (; node != nullptr; node = node->next) {
    if (match(node->item, key) != 0) return node;
  }
  return nullptr;
}

}  // namespace

DoubleLinkedList::DoubleLinkedList() { Initialize(); }

DoubleLinkedList::~DoubleLinkedList() { Clear(); }

void DoubleLinkedList::Initialize() {
  head = nullptr;
  tail = nullptr;
  iterator = nullptr;
  count = 0;
}

void DoubleLinkedList::Clear() {
  DoubleLinkedListNode* node = head;
  while (node != nullptr) {
    DoubleLinkedListNode* next = node->next;
    delete node;
    node = next;
  }
  Initialize();
}

int DoubleLinkedList::Add(void* item) {
  DoubleLinkedListNode* node = NewNode(item);
  if (node == nullptr) return 0;
  node->previous = tail;
  if (tail != nullptr) {
    tail->next = node;
  } else {
    head = node;
  }
  tail = node;
  ++count;
  return 1;
}

int DoubleLinkedList::InsertAfter(void* item, void* key, ListMatchFunction match) {
  DoubleLinkedListNode* at = FindNode(head, key, match);
  if (at == nullptr || at == tail) return Add(item);
  DoubleLinkedListNode* node = NewNode(item);
  if (node == nullptr) return 0;
  node->previous = at;
  node->next = at->next;
  at->next->previous = node;
  at->next = node;
  ++count;
  return 1;
}

void* DoubleLinkedList::Find(void* key, ListMatchFunction match) {
  DoubleLinkedListNode* node = FindNode(head, key, match);
  return node != nullptr ? node->item : nullptr;
}

int DoubleLinkedList::Remove(void* key, ListMatchFunction match) {
  DoubleLinkedListNode* node = FindNode(head, key, match);
  if (node == nullptr) return 0;
  if (node->previous != nullptr) {
    node->previous->next = node->next;
  } else {
    head = node->next;
  }
  if (node->next != nullptr) {
    node->next->previous = node->previous;
  } else {
    tail = node->previous;
  }
  // A walk in progress continues with the node after the removed one.
  if (iterator == node) iterator = node->next;
  delete node;
  --count;
  return 1;
}

int DoubleLinkedList::MoveUp(void* key, ListMatchFunction match) {
  DoubleLinkedListNode* node = FindNode(head, key, match);
  if (node == nullptr) return 0;
  if (node->previous != nullptr) {
    void* item = node->item;
    node->item = node->previous->item;
    node->previous->item = item;
  }
  return 1;
}

int DoubleLinkedList::MoveDown(void* key, ListMatchFunction match) {
  DoubleLinkedListNode* node = FindNode(head, key, match);
  if (node == nullptr) return 0;
  if (node->next != nullptr) {
    void* item = node->item;
    node->item = node->next->item;
    node->next->item = item;
  }
  return 1;
}

void* DoubleLinkedList::operator[](int i) {
  if (i < 0 || i >= count) return nullptr;
  DoubleLinkedListNode* node = head;
  for (int k = 0; k < i && node != nullptr; ++k) node = node->next;
  return node != nullptr ? node->item : nullptr;
}

int DoubleLinkedList::Sort(ListOrderFunction order) {
  if (count == 0) return 1;
  void** items = static_cast<void**>(std::malloc(sizeof(void*) * static_cast<std::size_t>(count)));
  if (items == nullptr) return 0;
  int n = 0;
  for (DoubleLinkedListNode* node = head; node != nullptr && n < count; node = node->next) {
    items[n++] = node->item;
  }
  std::qsort(items, static_cast<std::size_t>(n), sizeof(void*), order);
  n = 0;
  for (DoubleLinkedListNode* node = head; node != nullptr; node = node->next) {
    node->item = items[n++];
  }
  std::free(items);
  return 1;
}

void* DoubleLinkedList::operator++() {
  if (iterator == nullptr) return nullptr;
  void* item = iterator->item;
  iterator = iterator->next;
  return item;
}

void* DoubleLinkedList::operator++(int) { return ++*this; }

void* DoubleLinkedList::operator--() {
  if (iterator == nullptr) return nullptr;
  void* item = iterator->item;
  iterator = iterator->previous;
  return item;
}

void* DoubleLinkedList::operator--(int) { return --*this; }

DoubleLinkedList* DoubleLinkedList::operator=(DoubleLinkedList& other) {
  if (&other == this) return this;
  Clear();
  other.InitIterator();
  for (void* item = ++other; item != nullptr; item = ++other) Add(item);
  return this;
}
