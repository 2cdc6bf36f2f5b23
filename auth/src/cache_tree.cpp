#include "cache_tree.h"

#include <algorithm>

namespace tesk::rolvane {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view AccountPart(std::string_view member) {
  const size_t slash = member.find('\\');
  return slash == std::string_view::npos ? member : member.substr(slash + 1);
}

const CacheNode* CacheNode::Find(std::string_view child) const {
  for (const CacheNode& c : children) {
    if (SameName(c.name, child)) return &c;
  }
  return nullptr;
}

CacheNode* CacheNode::Find(std::string_view child) {
  return const_cast<CacheNode*>(static_cast<const CacheNode*>(this)->Find(child));
}

bool Granted(const CacheNode& role, const char* list, int index) {
  const CacheNode* flags = role.Find(list);
  return flags && index >= 0 && static_cast<size_t>(index) < flags->values.size() &&
         flags->values[static_cast<size_t>(index)] == "Y";
}

}  // namespace tesk::rolvane
