// `tesk reg`: query, add, delete, import and export registry keys, after reg.exe.
//
//   tesk reg query KEY [/v NAME | /ve] [/s]
//   tesk reg add KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]
//   tesk reg delete KEY [/v NAME | /ve | /va] [/f]
//   tesk reg import FILE
//   tesk reg export KEY FILE [/y]
//
// Options may also be written with "-" (-v, -f). KEY starts with a root: HKLM, HKCU, HKCR, HKU or their HKEY_ names. Types: REG_SZ (default),
// REG_EXPAND_SZ, REG_MULTI_SZ (items separated by "\0" in DATA), REG_DWORD and REG_QWORD
// (decimal or 0x hexadecimal), REG_BINARY (hexadecimal digits), REG_NONE. Import and export use
// the registry text of tesk/platform/registry.h. Exit code 0 on success, 1 on any failure.
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <tesk/internal/file.h>
#include <tesk/internal/replace_file.h>
#include <tesk/platform/registry.h>

#include "tesk_tool.h"

namespace {

using tesk::platform::RegistryTextOp;

constexpr char kUsage[] =
    "query KEY [/v NAME | /ve] [/s] | add KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f] | "
    "delete KEY [/v NAME | /ve | /va] [/f] | import FILE | export KEY FILE [/y]";

int Error(const std::string& what) {
  std::cerr << "tesk reg: " << what << "\n";
  return 1;
}

std::string Win32Text(LONG code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return "the system was unable to find the specified registry key or value";
    case ERROR_ACCESS_DENIED: return "access is denied";
    case ERROR_BADDB: return "the registry hive is damaged";
    case ERROR_BUSY: return "the registry hive is busy";
    case ERROR_KEY_DELETED: return "the key has been deleted";
    case ERROR_INVALID_PARAMETER: return "invalid parameter";
    default: return "error " + std::to_string(code);
  }
}

struct Options {
  std::vector<std::string> positional;
  const char* valueName = nullptr;  // null: no /v or /ve
  std::string valueStorage;
  bool allValues = false;  // /va
  bool recurse = false;    // /s
  bool force = false;      // /f, /y
  std::string type = "REG_SZ";
  bool hasData = false;
  std::string data;
};

bool ParseOptions(const std::vector<std::string>& args, size_t start, Options* o, std::string* error) {
  for (size_t i = start; i < args.size(); ++i) {
    std::string a = args[i];
    if (a.size() >= 2 && a.size() <= 3 && a[0] == '-') a[0] = '/';  // -v is /v
    auto next = [&](std::string* out) {
      if (i + 1 >= args.size()) {
        *error = a + " needs an argument";
        return false;
      }
      *out = args[++i];
      return true;
    };
    if (strcasecmp(a.c_str(), "/v") == 0) {
      if (!next(&o->valueStorage)) return false;
      o->valueName = o->valueStorage.c_str();
    } else if (strcasecmp(a.c_str(), "/ve") == 0) {
      o->valueStorage.clear();
      o->valueName = "";
    } else if (strcasecmp(a.c_str(), "/va") == 0) {
      o->allValues = true;
    } else if (strcasecmp(a.c_str(), "/s") == 0) {
      o->recurse = true;
    } else if (strcasecmp(a.c_str(), "/f") == 0 || strcasecmp(a.c_str(), "/y") == 0) {
      o->force = true;
    } else if (strcasecmp(a.c_str(), "/t") == 0) {
      if (!next(&o->type)) return false;
      for (char& c : o->type) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    } else if (strcasecmp(a.c_str(), "/d") == 0) {
      if (!next(&o->data)) return false;
      o->hasData = true;
    } else {
      // Anything else, a path beginning with "/" included, is a key or file name.
      o->positional.push_back(a);
    }
  }
  if (o->valueName) o->valueName = o->valueStorage.c_str();  // storage may have moved
  return true;
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return "REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return "REG_LINK";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
    default: return "REG_UNKNOWN";
  }
}

std::string ShowData(DWORD type, const std::string& data) {
  char buf[32];
  if ((type == REG_SZ || type == REG_EXPAND_SZ)) return std::string(data.c_str());
  if (type == REG_DWORD && data.size() == 4) {
    uint32_t d;
    std::memcpy(&d, data.data(), 4);
    std::snprintf(buf, sizeof buf, "0x%x", d);
    return buf;
  }
  if (type == REG_QWORD && data.size() == 8) {
    uint64_t q;
    std::memcpy(&q, data.data(), 8);
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(q));
    return buf;
  }
  if (type == REG_MULTI_SZ) {
    std::string out;
    std::string_view rest(data);
    while (!rest.empty() && rest.front() != '\0') {
      const size_t nul = rest.find('\0');
      if (!out.empty()) out += "\\0";
      out += rest.substr(0, nul);
      if (nul == std::string_view::npos) break;
      rest.remove_prefix(nul + 1);
    }
    return out;
  }
  std::string out;
  for (unsigned char c : data) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    out += buf;
  }
  return out;
}

void PrintValue(const std::string& name, DWORD type, const std::string& data) {
  std::cout << "    " << (name.empty() ? "(Default)" : name) << "    " << TypeName(type) << "    "
            << ShowData(type, data) << "\n";
}

LONG QueryKey(HKEY key, const std::string& fullName, const Options& o, int depth = 0) {
  DWORD subKeys = 0, values = 0, maxSub = 0, maxName = 0, maxData = 0;
  LONG st = RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values,
                            &maxName, &maxData, nullptr, nullptr);
  if (st != ERROR_SUCCESS) return st;
  std::cout << fullName << "\n";
  std::string name(maxName + 1, '\0'), data(maxData, '\0');
  for (DWORD i = 0; i < values; ++i) {
    DWORD cch = static_cast<DWORD>(name.size()), cb = static_cast<DWORD>(data.size()), type = 0;
    if (RegEnumValue(key, i, name.data(), &cch, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                     &cb) != ERROR_SUCCESS) {
      break;
    }
    PrintValue(std::string(name.data(), cch), type, std::string(data.data(), cb));
  }
  std::cout << "\n";
  std::vector<std::string> children;
  std::string child(maxSub + 1, '\0');
  for (DWORD i = 0; i < subKeys; ++i) {
    DWORD cch = static_cast<DWORD>(child.size());
    if (RegEnumKeyEx(key, i, child.data(), &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(child.data(), cch);
  }
  for (const std::string& c : children) {
    if (!o.recurse || depth >= 512) {  // keys are at most 512 deep
      std::cout << fullName << "\\" << c << "\n";
      continue;
    }
    HKEY sub;
    if (RegOpenKeyEx(key, c.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    st = QueryKey(sub, fullName + "\\" + c, o, depth + 1);
    RegCloseKey(sub);
    if (st != ERROR_SUCCESS) return st;
  }
  return ERROR_SUCCESS;
}

bool OpenArg(const std::string& arg, HKEY* root, std::string* fullName, std::string* sub) {
  std::string rootName;
  if (!tesk::platform::SplitRootKey(arg, root, &rootName, sub)) return false;
  *fullName = sub->empty() ? rootName : rootName + "\\" + *sub;
  return true;
}

int Query(const Options& o) {
  if (o.positional.size() != 1) return Error("query needs one KEY");
  HKEY root;
  std::string full, sub;
  if (!OpenArg(o.positional[0], &root, &full, &sub)) return Error("invalid key name " + o.positional[0]);
  HKEY k;
  LONG st = RegOpenKeyEx(root, sub.c_str(), 0, KEY_READ, &k);
  if (st != ERROR_SUCCESS) return Error(Win32Text(st));
  if (o.valueName) {
    DWORD type = 0, cb = 0;
    st = RegQueryValueEx(k, o.valueName, nullptr, &type, nullptr, &cb);
    std::string data(cb, '\0');
    if (st == ERROR_SUCCESS) st = RegQueryValueEx(k, o.valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &cb);
    RegCloseKey(k);
    if (st != ERROR_SUCCESS) return Error(Win32Text(st));
    std::cout << full << "\n";
    PrintValue(o.valueName, type, data.substr(0, cb));
    return 0;
  }
  st = QueryKey(k, full, o);
  RegCloseKey(k);
  return st == ERROR_SUCCESS ? 0 : Error(Win32Text(st));
}

bool ParseNumber(const std::string& s, unsigned long long max, unsigned long long* v) {
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  *v = std::strtoull(s.c_str(), &end, hex ? 16 : 10);
  return errno == 0 && end && *end == '\0' && *v <= max && s[0] != '-';
}

// The value bytes for /t and /d.
bool EncodeData(const Options& o, DWORD* type, std::string* bytes, std::string* error) {
  const std::string& d = o.data;
  unsigned long long v = 0;
  if (o.type == "REG_SZ" || o.type == "REG_EXPAND_SZ") {
    *type = o.type == "REG_SZ" ? REG_SZ : REG_EXPAND_SZ;
    *bytes = d + '\0';
  } else if (o.type == "REG_MULTI_SZ") {
    *type = REG_MULTI_SZ;
    bytes->clear();
    size_t start = 0;
    while (!d.empty()) {
      const size_t sep = d.find("\\0", start);
      *bytes += d.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
      *bytes += '\0';
      if (sep == std::string::npos) break;
      start = sep + 2;
    }
    *bytes += '\0';
  } else if (o.type == "REG_DWORD") {
    if (!ParseNumber(d.empty() ? "0" : d, 0xFFFFFFFFull, &v)) {
      *error = "invalid REG_DWORD data " + d;
      return false;
    }
    *type = REG_DWORD;
    const uint32_t x = static_cast<uint32_t>(v);
    bytes->assign(reinterpret_cast<const char*>(&x), 4);
  } else if (o.type == "REG_QWORD") {
    if (!ParseNumber(d.empty() ? "0" : d, ~0ull, &v)) {
      *error = "invalid REG_QWORD data " + d;
      return false;
    }
    *type = REG_QWORD;
    bytes->assign(reinterpret_cast<const char*>(&v), 8);
  } else if (o.type == "REG_BINARY" || o.type == "REG_NONE") {
    *type = o.type == "REG_BINARY" ? REG_BINARY : REG_NONE;
    if (d.size() % 2) {
      *error = "binary data needs an even number of hexadecimal digits";
      return false;
    }
    bytes->clear();
    for (size_t i = 0; i < d.size(); i += 2) {
      unsigned int b;
      if (std::sscanf(d.substr(i, 2).c_str(), "%2x", &b) != 1 || !isxdigit(static_cast<unsigned char>(d[i])) ||
          !isxdigit(static_cast<unsigned char>(d[i + 1]))) {
        *error = "invalid binary data " + d;
        return false;
      }
      bytes->push_back(static_cast<char>(b));
    }
  } else {
    *error = "unknown type " + o.type;
    return false;
  }
  return true;
}

int Add(const Options& o) {
  if (o.positional.size() != 1) return Error("add needs one KEY");
  HKEY root;
  std::string full, sub;
  if (!OpenArg(o.positional[0], &root, &full, &sub)) return Error("invalid key name " + o.positional[0]);
  DWORD type = REG_SZ;
  std::string bytes, error;
  if ((o.valueName || o.hasData) && !EncodeData(o, &type, &bytes, &error)) return Error(error);
  HKEY k;
  LONG st = RegCreateKeyEx(root, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  if (st != ERROR_SUCCESS) return Error(Win32Text(st));
  if (o.valueName || o.hasData) {
    const char* name = o.valueName ? o.valueName : "";
    DWORD cb = 0;
    if (!o.force && RegQueryValueEx(k, name, nullptr, nullptr, nullptr, &cb) == ERROR_SUCCESS) {
      RegCloseKey(k);
      return Error("value " + std::string(*name ? name : "(Default)") + " exists; use /f to overwrite");
    }
    st = RegSetValueEx(k, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
  }
  RegCloseKey(k);
  if (st != ERROR_SUCCESS) return Error(Win32Text(st));
  std::cout << "The operation completed successfully.\n";
  return 0;
}

bool Confirm(const std::string& question) {
  if (!isatty(STDIN_FILENO)) return false;
  std::cout << question << " (Yes/No)? " << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

int Delete(const Options& o) {
  if (o.positional.size() != 1) return Error("delete needs one KEY");
  HKEY root;
  std::string full, sub;
  if (!OpenArg(o.positional[0], &root, &full, &sub)) return Error("invalid key name " + o.positional[0]);
  const std::string what = o.valueName ? "the registry value " + std::string(*o.valueName ? o.valueName : "(Default)")
                           : o.allValues ? "all values under " + full
                                         : "the registry key " + full;
  if (!o.force && !Confirm("Delete " + what)) return Error("not deleted; use /f to delete " + what);
  LONG st;
  if (o.valueName || o.allValues) {
    HKEY k;
    st = RegOpenKeyEx(root, sub.c_str(), 0, KEY_ALL_ACCESS, &k);
    if (st != ERROR_SUCCESS) return Error(Win32Text(st));
    if (o.valueName) {
      st = RegDeleteValue(k, o.valueName);
    } else {
      // Each deletion renumbers the values, so always take the first.
      char name[16384];
      DWORD cch = sizeof name;
      while ((st = RegEnumValue(k, 0, name, &cch, nullptr, nullptr, nullptr, nullptr)) == ERROR_SUCCESS) {
        st = RegDeleteValue(k, name);
        if (st != ERROR_SUCCESS) break;
        cch = sizeof name;
      }
      if (st == ERROR_NO_MORE_ITEMS) st = ERROR_SUCCESS;
    }
    RegCloseKey(k);
  } else {
    if (sub.empty()) return Error("a root key cannot be deleted");
    st = RegDeleteTree(root, sub.c_str());
  }
  if (st != ERROR_SUCCESS) return Error(Win32Text(st));
  std::cout << "The operation completed successfully.\n";
  return 0;
}

int Import(const Options& o) {
  if (o.positional.size() != 1) return Error("import needs one FILE");
  std::string text;
  if (!tesk::internal::ReadWholeFile(o.positional[0], text)) {
    return tesk::tool::fail(o.positional[0], "cannot open");
  }
  std::vector<RegistryTextOp> ops;
  std::string error;
  if (!tesk::platform::ParseRegistryText(text, &ops, &error)) {
    return tesk::tool::fail(o.positional[0], error);
  }
  const LONG st = tesk::platform::ApplyRegistryText(ops, &error);
  if (st != ERROR_SUCCESS) return Error(error + ": " + Win32Text(st));
  std::cout << "The operation completed successfully.\n";
  return 0;
}

int Export(const Options& o) {
  if (o.positional.size() != 2) return Error("export needs KEY and FILE");
  const std::string& file = o.positional[1];
  if (!o.force && access(file.c_str(), F_OK) == 0) return Error(file + " exists; use /y to overwrite");
  std::string text;
  const LONG st = tesk::platform::ExportRegistryText(o.positional[0], &text);
  if (st == ERROR_BADKEY) return Error("invalid key name " + o.positional[0]);
  if (st != ERROR_SUCCESS) return Error(Win32Text(st));
  // Written beside the target and renamed over it, so a failure leaves no half file.
  if (tesk::internal::ReplaceFile(file, text) != 0) return tesk::tool::fail(file, "cannot write");
  std::cout << "The operation completed successfully.\n";
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Error(std::string("usage: tesk reg ") + kUsage);
  Options o;
  std::string error;
  if (!ParseOptions(args, 1, &o, &error)) return Error(error);
  const std::string& op = args[0];
  if (strcasecmp(op.c_str(), "query") == 0) return Query(o);
  if (strcasecmp(op.c_str(), "add") == 0) return Add(o);
  if (strcasecmp(op.c_str(), "delete") == 0) return Delete(o);
  if (strcasecmp(op.c_str(), "import") == 0) return Import(o);
  if (strcasecmp(op.c_str(), "export") == 0) return Export(o);
  return Error("unknown operation " + op + "; usage: tesk reg " + kUsage);
}

const tesk::tool::Registrar kReg{tesk::tool::Command{"reg", kUsage, &Run}};

}  // namespace
