// String: an owned NUL-terminated text on the C heap, null when empty.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>

#include "tesk/pendrix71_containers.h"

namespace {

// A heap copy of n bytes of s with a terminator; null for n == 0 or when memory runs out.
char* CopyText(const char* s, std::size_t n) {
  if (n == 0) return nullptr;
  char* p = static_cast<char*>(std::malloc(n + 1));
  if (p == nullptr) return nullptr;
  std::memcpy(p, s, n);
  p[n] = '\0';
  return p;
}

}  // namespace

String::String(const char* s) : text(nullptr) { *this = s; }

String::String(const String& other) : text(nullptr) { *this = other.text; }

String::String(String&& other) noexcept : text(other.text) { other.text = nullptr; }

void String::Clean() {
  std::free(text);
  text = nullptr;
}

String& String::operator=(const char* s) {
  // Copy before freeing: s may point into our own text.
  char* copy = (s != nullptr) ? CopyText(s, std::strlen(s)) : nullptr;
  Clean();
  text = copy;
  return *this;
}

String& String::operator=(char c) {
  Clean();
  if (c != '\0') text = CopyText(&c, 1);
  return *this;
}

String& String::operator=(const String& other) { return *this = other.text; }

String& String::operator=(String&& other) noexcept {
  if (this != &other) {
    Clean();
    text = other.text;
    other.text = nullptr;
  }
  return *this;
}

String& String::operator+=(const char* s) {
  if (s == nullptr || *s == '\0') return *this;
  if (text == nullptr) return *this = s;
  const std::size_t old = std::strlen(text);
  const std::size_t add = std::strlen(s);
  // s may lie inside our own text, which realloc can move.
  const bool inside = s >= text && s <= text + old;
  const std::size_t offset = inside ? static_cast<std::size_t>(s - text) : 0;
  char* p = static_cast<char*>(std::realloc(text, old + add + 1));
  if (p == nullptr) return *this;
  text = p;
  std::memmove(text + old, inside ? text + offset : s, add);
  text[old + add] = '\0';
  return *this;
}

String& String::operator+=(char c) {
  const char s[2] = {c, '\0'};
  return *this += s;
}

String& String::operator+=(const String& other) { return *this += other.text; }

String& String::operator+(const char* s) { return *this += s; }
String& String::operator+(char c) { return *this += c; }
String& String::operator+(const String& other) { return *this += other.text; }

int String::Length() const { return text == nullptr ? 0 : static_cast<int>(std::strlen(text)); }

int String::ReadLine(std::FILE* f, int skipToLetter) {
  Clean();
  if (f == nullptr) return 0;
  int c = std::getc(f);
  if (c == EOF) return 0;
  if (skipToLetter != 0) {
    while (c != EOF && !std::isalpha(static_cast<unsigned char>(c))) c = std::getc(f);
  }
  // Gather through a small buffer and append each time it fills.
  char buffer[1024];
  std::size_t used = 0;
  while (c != EOF && c != '\n') {
    buffer[used++] = static_cast<char>(c);
    if (used == sizeof(buffer) - 1) {
      buffer[used] = '\0';
      *this += buffer;
      used = 0;
    }
    c = std::getc(f);
  }
  buffer[used] = '\0';
  *this += buffer;
  return 1;
}

String& String::Assign(const char* s, int n) {
  char* copy = (s != nullptr && n > 0) ? CopyText(s, static_cast<std::size_t>(n)) : nullptr;
  Clean();
  text = copy;
  return *this;
}
