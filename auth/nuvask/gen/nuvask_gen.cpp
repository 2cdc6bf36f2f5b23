// nuvask_gen: turns an interface definition file into a public header (interfaces in the COM
// layout, their identifiers, the dispatch-table accessors) and a source file holding the
// dispatch tables and the type library description.
//
//   nuvask_gen DEFINITION.idl OUT_HEADER OUT_SOURCE
//
// The syntax is described at the top of the definition file. Any error names the file and
// line and makes the generator fail, so a broken definition never builds.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Param {
  std::string dir;  // in, out, retval
  std::string type;
  std::string name;
};

struct Member {
  long id = 0;
  std::string kind;  // method, propget, propput
  std::string name;
  std::vector<Param> params;
  std::vector<std::string> doc;
};

struct Interface {
  std::string name;
  std::string base;
  std::string iid;
  std::vector<std::string> doc;
  std::vector<Member> members;
};

struct Library {
  std::string name;
  std::string libid;
  std::string help;
  int major = 0;
  int minor = 0;
};

struct ParseError {
  int line;
  std::string what;
};

[[noreturn]] void Fail(int line, const std::string& what) { throw ParseError{line, what}; }

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

bool IsIdentifier(std::string_view s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  for (char c : s)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

// "{8-4-4-4-12}" of hex digits; answers the text without braces.
std::string ParseGuid(int line, std::string_view text) {
  static constexpr int kGroups[] = {8, 4, 4, 4, 12};
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') Fail(line, "malformed identifier " + std::string(text));
  std::string_view g = text.substr(1, 36);
  size_t pos = 0;
  for (int i = 0; i < 5; ++i) {
    for (int k = 0; k < kGroups[i]; ++k, ++pos)
      if (!std::isxdigit(static_cast<unsigned char>(g[pos]))) Fail(line, "malformed identifier " + std::string(text));
    if (i < 4 && g[pos++] != '-') Fail(line, "malformed identifier " + std::string(text));
  }
  return std::string(g);
}

// The C++ initializer of a GUID given as 8-4-4-4-12 hex digits.
std::string GuidInitializer(const std::string& g) {
  std::ostringstream o;
  o << "{0x" << g.substr(0, 8) << ", 0x" << g.substr(9, 4) << ", 0x" << g.substr(14, 4) << ", {";
  const std::string rest = g.substr(19, 4) + g.substr(24, 12);
  for (int i = 0; i < 8; ++i) o << (i ? ", " : "") << "0x" << rest.substr(2 * i, 2);
  o << "}}";
  return o.str();
}

const std::map<std::string, std::string, std::less<>>& VarTypes() {
  static const std::map<std::string, std::string, std::less<>> types = {
      {"BSTR", "VT_BSTR"},       {"LONG", "VT_I4"},          {"VARIANT_BOOL", "VT_BOOL"},
      {"VARIANT", "VT_VARIANT"}, {"IDispatch*", "VT_DISPATCH"},
  };
  return types;
}

Param ParseParam(int line, const std::string& text) {
  std::istringstream in(text);
  Param p;
  if (!(in >> p.dir >> p.type >> p.name)) Fail(line, "argument \"" + text + "\" needs a direction, a type and a name");
  std::string extra;
  if (in >> extra) Fail(line, "unexpected \"" + extra + "\" in argument \"" + text + "\"");
  if (p.dir != "in" && p.dir != "out" && p.dir != "retval") Fail(line, "direction must be in, out or retval: " + p.dir);
  if (!VarTypes().count(p.type)) Fail(line, "unknown type " + p.type);
  if (!IsIdentifier(p.name)) Fail(line, "bad argument name " + p.name);
  return p;
}

Member ParseMember(int line, const std::string& text) {
  Member m;
  const size_t open = text.find('('), close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open || Trim(text.substr(close + 1)) != "")
    Fail(line, "a member reads: ID KIND NAME(ARGUMENTS)");
  std::istringstream head(text.substr(0, open));
  std::string id;
  if (!(head >> id >> m.kind >> m.name)) Fail(line, "a member reads: ID KIND NAME(ARGUMENTS)");
  char* end = nullptr;
  m.id = std::strtol(id.c_str(), &end, 10);
  if (*end != '\0' || m.id < 1 || m.id > 0x7FFFFFFF) Fail(line, "dispatch identifier must be a positive number: " + id);
  if (m.kind != "method" && m.kind != "propget" && m.kind != "propput") Fail(line, "kind must be method, propget or propput");
  if (!IsIdentifier(m.name)) Fail(line, "bad member name " + m.name);
  const std::string args = Trim(text.substr(open + 1, close - open - 1));
  if (!args.empty()) {
    size_t start = 0;
    while (true) {
      const size_t comma = args.find(',', start);
      m.params.push_back(ParseParam(line, Trim(args.substr(start, comma - start))));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  std::set<std::string> names;
  for (size_t i = 0; i < m.params.size(); ++i) {
    if (!names.insert(m.params[i].name).second) Fail(line, "argument " + m.params[i].name + " named twice");
    if (m.params[i].dir == "retval" && i + 1 != m.params.size()) Fail(line, "only the last argument may be retval");
  }
  if (m.kind == "propget" && (m.params.empty() || m.params.back().dir != "retval"))
    Fail(line, "a propget ends in a retval argument");
  if (m.kind == "propput" && (m.params.empty() || m.params.back().dir != "in"))
    Fail(line, "a propput ends in an in argument");
  return m;
}

void Parse(std::istream& in, Library& lib, std::vector<Interface>& ifaces) {
  std::string raw;
  int line = 0;
  Interface* current = nullptr;
  std::vector<std::string> doc;
  while (std::getline(in, raw)) {
    ++line;
    const std::string text = Trim(raw);
    if (text.empty() || text[0] == '#') continue;
    if (text.rfind("///", 0) == 0) {
      doc.push_back(Trim(text.substr(3)));
      continue;
    }
    if (text.rfind("library ", 0) == 0) {
      if (!lib.name.empty()) Fail(line, "a second library line");
      const size_t q1 = text.find('"'), q2 = text.rfind('"');
      if (q1 == std::string::npos || q2 == q1) Fail(line, "library NAME {libid} \"help\" MAJOR.MINOR");
      std::istringstream h(text.substr(8, q1 - 8));
      std::string guid;
      if (!(h >> lib.name >> guid) || !IsIdentifier(lib.name)) Fail(line, "library NAME {libid} \"help\" MAJOR.MINOR");
      lib.libid = ParseGuid(line, guid);
      lib.help = text.substr(q1 + 1, q2 - q1 - 1);
      if (std::sscanf(text.c_str() + q2 + 1, " %d.%d", &lib.major, &lib.minor) != 2 || lib.major < 0 ||
          lib.minor < 0 || lib.major > 0xFFFF || lib.minor > 0xFFFF)
        Fail(line, "library version must read MAJOR.MINOR");
      doc.clear();
    } else if (text.rfind("interface ", 0) == 0) {
      if (current) Fail(line, "interface inside interface " + current->name);
      Interface i;
      std::istringstream h(text.substr(10));
      std::string colon, guid, extra;
      if (!(h >> i.name >> colon >> i.base >> guid) || colon != ":" || (h >> extra))
        Fail(line, "interface NAME : BASE {iid}");
      if (!IsIdentifier(i.name)) Fail(line, "bad interface name " + i.name);
      if (i.base != "IDispatch") Fail(line, "interfaces derive from IDispatch");
      i.iid = ParseGuid(line, guid);
      for (const Interface& other : ifaces)
        if (other.name == i.name) Fail(line, "interface " + i.name + " defined twice");
      i.doc = std::move(doc);
      doc.clear();
      ifaces.push_back(std::move(i));
      current = &ifaces.back();
    } else if (text == "end") {
      if (!current) Fail(line, "end without interface");
      if (current->members.empty()) Fail(line, "interface " + current->name + " has no members");
      current = nullptr;
    } else {
      if (!current) Fail(line, "member outside an interface");
      Member m = ParseMember(line, text);
      for (const Member& other : current->members) {
        const bool sameKind = other.kind == m.kind;
        if (other.name == m.name && (sameKind || other.id != m.id || m.kind == "method" || other.kind == "method"))
          Fail(line, "member " + m.name + " defined twice");
        if (other.id == m.id && (other.name != m.name || sameKind))
          Fail(line, "dispatch identifier " + std::to_string(m.id) + " used twice");
      }
      m.doc = std::move(doc);
      doc.clear();
      current->members.push_back(std::move(m));
    }
  }
  if (current) Fail(line, "interface " + current->name + " lacks its end");
  if (lib.name.empty()) Fail(line, "no library line");
  if (ifaces.empty()) Fail(line, "no interface");
}

std::string CppName(const Member& m) {
  if (m.kind == "propget") return "get_" + m.name;
  if (m.kind == "propput") return "put_" + m.name;
  return m.name;
}

std::string CppType(const Param& p) { return p.dir == "in" ? p.type : p.type + "*"; }

void WriteHeader(std::ostream& o, const std::string& source, const Library& lib, const std::vector<Interface>& ifaces) {
  o << "// Generated by nuvask_gen from " << source << "; do not edit.\n"
    << "// " << lib.help << ": the administration interfaces of the database server, their\n"
    << "// identifiers and dispatch tables (served by libnuvask.so).\n"
    << "#pragma once\n\n#include <tesk/nuvask_export.h>\n#include <tesk/platform.h>\n\n"
    << "inline constexpr GUID LIBID_" << lib.name << GuidInitializer(lib.libid) << ";\n";
  for (const Interface& i : ifaces)
    o << "inline constexpr IID IID_" << i.name << GuidInitializer(i.iid) << ";\n";
  for (const Interface& i : ifaces) {
    o << "\n";
    for (const std::string& d : i.doc) o << "// " << d << "\n";
    o << "struct " << i.name << " : " << i.base << " {\n";
    for (const Member& m : i.members) {
      for (size_t k = 0; k < m.doc.size(); ++k) o << "  // " << (k == 0 ? std::to_string(m.id) + ": " : "") << m.doc[k] << "\n";
      if (m.doc.empty()) o << "  // " << m.id << "\n";
      o << "  virtual HRESULT " << CppName(m) << "(";
      for (size_t k = 0; k < m.params.size(); ++k) o << (k ? ", " : "") << CppType(m.params[k]) << " " << m.params[k].name;
      o << ") = 0;\n";
    }
    o << "};\nTESK_DECLARE_INTERFACE(" << i.name << ", " << i.base << ", IID_" << i.name << ");\n";
  }
  o << "\nnamespace tesk::nuvask {\n// The dispatch table of each interface: names, identifiers, kinds and argument types.\n";
  for (const Interface& i : ifaces) o << "TESK_NUVASK_API const tesk::DispTable& " << i.name << "Table() noexcept;\n";
  o << "// The type library that lists these interfaces (for registration and listings).\n"
    << "TESK_NUVASK_API const tesk::TypeLibInfo& TypeLib() noexcept;\n}  // namespace tesk::nuvask\n";
  for (const Interface& i : ifaces)
    o << "\ntemplate <>\nstruct tesk::DispatchTableOf<" << i.name << "> {\n  static const DispTable& Get() { return tesk::nuvask::"
      << i.name << "Table(); }\n};\n";
}

void WriteSource(std::ostream& o, const std::string& source, const Library& lib, const std::vector<Interface>& ifaces) {
  o << "// Generated by nuvask_gen from " << source << "; do not edit.\n#include <tesk/nuvask.h>\n\nnamespace {\n";
  for (const Interface& i : ifaces) {
    for (const Member& m : i.members) {
      if (m.params.empty()) continue;
      o << "\nconstexpr tesk::DispParamInfo k" << i.name << "_" << CppName(m) << "[] = {\n";
      for (const Param& p : m.params) {
        const std::string& vt = VarTypes().find(p.type)->second;
        const char* flags = p.dir == "in" ? "PARAMFLAG_FIN" : p.dir == "out" ? "PARAMFLAG_FOUT" : "PARAMFLAG_FOUT | PARAMFLAG_FRETVAL";
        o << "    {" << vt << (p.dir == "in" ? "" : " | VT_BYREF") << ", " << flags << ", \"" << p.name << "\"},\n";
      }
      o << "};\n";
    }
    o << "\nconstexpr tesk::DispMember k" << i.name << "Members[] = {\n";
    for (const Member& m : i.members) {
      const char* kind = m.kind == "method" ? "DISPATCH_METHOD" : m.kind == "propget" ? "DISPATCH_PROPERTYGET" : "DISPATCH_PROPERTYPUT";
      o << "    tesk::DispCustom<&" << i.name << "::" << CppName(m) << ">(\"" << m.name << "\", " << m.id << ", " << kind << ", ";
      if (m.params.empty()) o << "{}";
      else o << "k" << i.name << "_" << CppName(m);
      o << "),\n";
    }
    o << "};\nconstexpr tesk::DispTable k" << i.name << "Table{\"" << i.name << "\", &IID_" << i.name << ", k" << i.name
      << "Members};\n";
  }
  o << "\nconstexpr const tesk::DispTable* kInterfaces[] = {";
  for (size_t k = 0; k < ifaces.size(); ++k) o << (k ? ", " : "") << "&k" << ifaces[k].name << "Table";
  o << "};\nconstexpr tesk::TypeLibInfo kTypeLib{LIBID_" << lib.name << ", \"" << lib.name << "\", \"" << lib.help << "\", "
    << lib.major << ", " << lib.minor << ", 0, kInterfaces};\n\n}  // namespace\n";
  for (const Interface& i : ifaces)
    o << "\nconst tesk::DispTable& tesk::nuvask::" << i.name << "Table() noexcept { return k" << i.name << "Table; }\n";
  o << "\nconst tesk::TypeLibInfo& tesk::nuvask::TypeLib() noexcept { return kTypeLib; }\n";
}

// Writes text to path only when it differs, so that an unchanged definition rebuilds nothing.
bool WriteIfChanged(const std::string& path, const std::string& text) {
  std::ifstream old(path, std::ios::binary);
  if (old) {
    std::ostringstream s;
    s << old.rdbuf();
    if (s.str() == text) return true;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: nuvask_gen DEFINITION OUT_HEADER OUT_SOURCE\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  Library lib;
  std::vector<Interface> ifaces;
  try {
    Parse(in, lib, ifaces);
  } catch (const ParseError& e) {
    std::cerr << argv[1] << ":" << e.line << ": " << e.what << "\n";
    return 1;
  }
  std::string source = argv[1];
  if (const size_t slash = source.find_last_of('/'); slash != std::string::npos) source.erase(0, slash + 1);
  std::ostringstream header, table;
  WriteHeader(header, source, lib, ifaces);
  WriteSource(table, source, lib, ifaces);
  if (!WriteIfChanged(argv[2], header.str()) || !WriteIfChanged(argv[3], table.str())) {
    std::cerr << "nuvask_gen: cannot write the generated files\n";
    return 1;
  }
  return 0;
}
