// Registry text: parsing, applying and exporting the readable form of keys and values.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <tesk/platform/registry.h>

namespace tesk::platform {
namespace {

constexpr std::string_view kHeader = "Tesk Registry Text 1";

struct RootName {
  const char* full;
  const char* abbrev;
  HKEY key;
};
const RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_USERS", "HKU", HKEY_USERS},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted string at s[*pos] (which must be '"'); advances past the closing quote.
bool ParseQuoted(std::string_view s, size_t* pos, std::string* out) {
  if (*pos >= s.size() || s[*pos] != '"') return false;
  out->clear();
  for (size_t i = *pos + 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c == '\\') {
      if (++i >= s.size()) return false;
      switch (s[i]) {
        case '\\': c = '\\'; break;
        case '"': c = '"'; break;
        case 'n': c = '\n'; break;
        case 'r': c = '\r'; break;
        case 't': c = '\t'; break;
        case '0': c = '\0'; break;
        default: return false;
      }
    }
    out->push_back(c);
  }
  return false;
}

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\0': out += "\\0"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

bool ParseHexNumber(std::string_view s, size_t maxDigits, unsigned long long* v) {
  if (s.empty() || s.size() > maxDigits) return false;
  *v = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    *v = (*v << 4) | static_cast<unsigned>(d);
  }
  return true;
}

// "01,02,ff" (empty allowed).
bool ParseHexBytes(std::string_view s, std::string* out) {
  out->clear();
  if (s.empty()) return true;
  size_t i = 0;
  while (true) {
    if (i + 2 > s.size()) return false;
    const int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
    if (i == s.size()) return true;
    if (s[i] != ',') return false;
    ++i;
  }
}

std::string HexBytes(std::string_view data) {
  std::string out;
  char buf[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", static_cast<unsigned char>(data[i]));
    out += buf;
  }
  return out;
}

// Parses the data after '=' of a value line.
bool ParseData(std::string_view s, RegistryTextOp* op) {
  auto starts = [&](std::string_view p) { return s.substr(0, p.size()) == p; };
  op->kind = RegistryTextOp::kSetValue;
  if (s == "-") {
    op->kind = RegistryTextOp::kDeleteValue;
    return true;
  }
  if (starts("\"")) {
    size_t pos = 0;
    op->type = REG_SZ;
    if (!ParseQuoted(s, &pos, &op->data) || pos != s.size()) return false;
    op->data.push_back('\0');
    return true;
  }
  if (starts("expand:")) {
    size_t pos = 7;
    op->type = REG_EXPAND_SZ;
    if (!ParseQuoted(s, &pos, &op->data) || pos != s.size()) return false;
    op->data.push_back('\0');
    return true;
  }
  if (starts("multi:")) {
    op->type = REG_MULTI_SZ;
    op->data.clear();
    size_t pos = 6;
    std::string item;
    while (pos < s.size()) {
      if (!ParseQuoted(s, &pos, &item)) return false;
      op->data += item;
      op->data.push_back('\0');
      if (pos == s.size()) break;
      if (s[pos] != ',') return false;
      ++pos;
      if (pos == s.size()) return false;
    }
    op->data.push_back('\0');
    return true;
  }
  unsigned long long v;
  if (starts("dword:")) {
    if (!ParseHexNumber(s.substr(6), 8, &v)) return false;
    op->type = REG_DWORD;
    const uint32_t d = static_cast<uint32_t>(v);
    op->data.assign(reinterpret_cast<const char*>(&d), 4);
    return true;
  }
  if (starts("qword:")) {
    if (!ParseHexNumber(s.substr(6), 16, &v)) return false;
    op->type = REG_QWORD;
    const uint64_t q = v;
    op->data.assign(reinterpret_cast<const char*>(&q), 8);
    return true;
  }
  if (starts("hex:")) {
    op->type = REG_BINARY;
    return ParseHexBytes(s.substr(4), &op->data);
  }
  if (starts("hex(")) {
    const size_t close = s.find("):");
    if (close == std::string_view::npos || !ParseHexNumber(s.substr(4, close - 4), 8, &v)) {
      return false;
    }
    op->type = static_cast<DWORD>(v);
    return ParseHexBytes(s.substr(close + 2), &op->data);
  }
  return false;
}

std::string FormatValue(std::string_view name, DWORD type, std::string_view data) {
  std::string line = name.empty() ? "@" : Quote(name);
  line += '=';
  auto text = [&]() {
    std::string_view t = data;
    if (!t.empty() && t.back() == '\0') t.remove_suffix(1);
    return t;
  };
  if (type == REG_SZ) return line + Quote(text());
  if (type == REG_EXPAND_SZ) return line + "expand:" + Quote(text());
  char buf[32];
  if (type == REG_DWORD && data.size() == 4) {
    uint32_t d;
    std::memcpy(&d, data.data(), 4);
    std::snprintf(buf, sizeof buf, "dword:%08x", d);
    return line + buf;
  }
  if (type == REG_QWORD && data.size() == 8) {
    uint64_t q;
    std::memcpy(&q, data.data(), 8);
    std::snprintf(buf, sizeof buf, "qword:%016llx", static_cast<unsigned long long>(q));
    return line + buf;
  }
  if (type == REG_MULTI_SZ && data.size() >= 2 && data.substr(data.size() - 2) == std::string_view("\0\0", 2)) {
    std::string out = "multi:";
    std::string_view rest = data.substr(0, data.size() - 1);  // each item ends in its NUL
    bool first = true;
    while (!rest.empty()) {
      const size_t nul = rest.find('\0');
      if (!first) out += ',';
      out += Quote(rest.substr(0, nul));
      rest.remove_prefix(nul + 1);
      first = false;
    }
    return line + out;
  }
  if (type == REG_BINARY) return line + "hex:" + HexBytes(data);
  std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(type));
  return line + buf + HexBytes(data);
}

// Windows keeps keys at most 512 deep; deeper trees (only a damaged hive has them) are cut.
constexpr int kMaxDepth = 512;

LONG ExportKey(HKEY key, const std::string& name, int depth, std::string* out) {
  *out += "\n[" + name + "]\n";
  DWORD subKeys = 0, values = 0, maxSub = 0, maxName = 0, maxData = 0;
  LONG st = RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values,
                            &maxName, &maxData, nullptr, nullptr);
  if (st != ERROR_SUCCESS) return st;
  std::string vname(maxName + 1, '\0'), data(maxData, '\0');
  for (DWORD i = 0; i < values; ++i) {
    DWORD cch = static_cast<DWORD>(vname.size()), cb = static_cast<DWORD>(data.size()), type = 0;
    st = RegEnumValue(key, i, vname.data(), &cch, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()), &cb);
    if (st == ERROR_NO_MORE_ITEMS) break;  // changed under us
    if (st != ERROR_SUCCESS) return st;
    *out += FormatValue(std::string_view(vname.data(), cch), type, std::string_view(data.data(), cb));
    *out += '\n';
  }
  std::vector<std::string> children;
  std::string child(maxSub + 1, '\0');
  for (DWORD i = 0; i < subKeys; ++i) {
    DWORD cch = static_cast<DWORD>(child.size());
    st = RegEnumKeyEx(key, i, child.data(), &cch, nullptr, nullptr, nullptr, nullptr);
    if (st == ERROR_NO_MORE_ITEMS) break;
    if (st != ERROR_SUCCESS) return st;
    children.emplace_back(child.data(), cch);
  }
  for (const std::string& c : children) {
    if (depth >= kMaxDepth) break;
    HKEY sub;
    st = RegOpenKeyEx(key, c.c_str(), 0, KEY_READ, &sub);
    if (st == ERROR_FILE_NOT_FOUND) continue;
    if (st != ERROR_SUCCESS) return st;
    st = ExportKey(sub, name + "\\" + c, depth + 1, out);
    RegCloseKey(sub);
    if (st != ERROR_SUCCESS) return st;
  }
  return ERROR_SUCCESS;
}

}  // namespace

bool SplitRootKey(std::string_view full, HKEY* root, std::string* rootName, std::string* subKey) {
  const size_t slash = full.find('\\');
  const std::string first(full.substr(0, slash));
  for (const RootName& r : kRoots) {
    if (strcasecmp(first.c_str(), r.full) == 0 || strcasecmp(first.c_str(), r.abbrev) == 0) {
      *root = r.key;
      *rootName = r.full;
      *subKey = slash == std::string_view::npos ? std::string() : std::string(full.substr(slash + 1));
      while (!subKey->empty() && subKey->back() == '\\') subKey->pop_back();
      return true;
    }
  }
  return false;
}

bool ParseRegistryText(std::string_view text, std::vector<RegistryTextOp>* ops, std::string* error) {
  try {
    ops->clear();
    bool header = false;
    std::string key;
    size_t lineNo = 0;
    auto fail = [&](const char* what) {
      *error = "line " + std::to_string(lineNo) + ": " + what;
      return false;
    };
    while (!text.empty()) {
      const size_t nl = text.find('\n');
      std::string_view line = text.substr(0, nl);
      text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (lineNo == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
      if (line.empty() || line.front() == ';') continue;
      if (!header) {
        if (line != kHeader) return fail("not registry text (first line must be \"Tesk Registry Text 1\")");
        header = true;
        continue;
      }
      if (line.front() == '[') {
        if (line.back() != ']' || line.size() < 3) return fail("bad key line");
        const bool del = line[1] == '-';
        std::string name(line.substr(del ? 2 : 1, line.size() - (del ? 3 : 2)));
        HKEY root;
        std::string rootName, sub;
        if (!SplitRootKey(name, &root, &rootName, &sub)) return fail("unknown root key");
        RegistryTextOp op{del ? RegistryTextOp::kDeleteKey : RegistryTextOp::kCreateKey,
                          sub.empty() ? rootName : rootName + "\\" + sub, "", REG_NONE, ""};
        key = del ? std::string() : op.key;
        ops->push_back(std::move(op));
        continue;
      }
      if (key.empty()) return fail("value outside a key");
      RegistryTextOp op{RegistryTextOp::kSetValue, key, "", REG_NONE, ""};
      size_t pos = 0;
      if (line.front() == '@') {
        pos = 1;
      } else if (!ParseQuoted(line, &pos, &op.name)) {
        return fail("bad value name");
      }
      if (pos >= line.size() || line[pos] != '=') return fail("'=' expected");
      if (!ParseData(line.substr(pos + 1), &op)) return fail("bad value data");
      ops->push_back(std::move(op));
    }
    if (!header) {
      lineNo = 0;
      return fail("empty text");
    }
    return true;
  } catch (const std::bad_alloc&) {
    *error = "out of memory";
    return false;
  }
}

LONG ApplyRegistryText(const std::vector<RegistryTextOp>& ops, std::string* error) {
  for (const RegistryTextOp& op : ops) {
    HKEY root;
    std::string rootName, sub;
    if (!SplitRootKey(op.key, &root, &rootName, &sub)) {
      *error = op.key;
      return ERROR_BADKEY;
    }
    LONG st = ERROR_SUCCESS;
    if (op.kind == RegistryTextOp::kDeleteKey) {
      st = sub.empty() ? ERROR_ACCESS_DENIED : RegDeleteTree(root, sub.c_str());
      if (st == ERROR_FILE_NOT_FOUND) st = ERROR_SUCCESS;
    } else {
      HKEY k;
      st = RegCreateKeyEx(root, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
      if (st == ERROR_SUCCESS) {
        if (op.kind == RegistryTextOp::kSetValue) {
          st = RegSetValueEx(k, op.name.c_str(), 0, op.type,
                             reinterpret_cast<const BYTE*>(op.data.data()),
                             static_cast<DWORD>(op.data.size()));
        } else if (op.kind == RegistryTextOp::kDeleteValue) {
          st = RegDeleteValue(k, op.name.c_str());
          if (st == ERROR_FILE_NOT_FOUND) st = ERROR_SUCCESS;
        }
        RegCloseKey(k);
      }
    }
    if (st != ERROR_SUCCESS) {
      *error = op.key;
      return st;
    }
  }
  return ERROR_SUCCESS;
}

LONG ExportRegistryText(std::string_view key, std::string* text) {
  try {
    HKEY root;
    std::string rootName, sub;
    if (!SplitRootKey(key, &root, &rootName, &sub)) return ERROR_BADKEY;
    HKEY k;
    LONG st = RegOpenKeyEx(root, sub.c_str(), 0, KEY_READ, &k);
    if (st != ERROR_SUCCESS) return st;
    *text = std::string(kHeader) + "\n";
    st = ExportKey(k, sub.empty() ? rootName : rootName + "\\" + sub, 0, text);
    RegCloseKey(k);
    return st;
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

}  // namespace tesk::platform
