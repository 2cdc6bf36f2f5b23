// The dispatch tables as a type library: registry keys and a listing.
#include "tesk/platform/dispatch.h"

#include <cstdio>

namespace tesk {
namespace {

std::string Version(const TypeLibInfo& lib) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%x.%x", lib.majorVersion, lib.minorVersion);
  return buf;
}

std::string Directory(std::string_view path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string_view::npos) return std::string();
  return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

const char* KindName(WORD kind) {
  switch (kind) {
    case DISPATCH_PROPERTYGET: return "propget";
    case DISPATCH_PROPERTYPUT: return "propput";
    default: return "method";
  }
}

}  // namespace

std::string VarTypeName(VARTYPE vt) {
  static constexpr struct {
    VARTYPE vt;
    const char* name;
  } kNames[] = {{VT_EMPTY, "VT_EMPTY"}, {VT_NULL, "VT_NULL"},       {VT_I2, "VT_I2"},         {VT_I4, "VT_I4"},
                {VT_R4, "VT_R4"},       {VT_R8, "VT_R8"},           {VT_CY, "VT_CY"},         {VT_DATE, "VT_DATE"},
                {VT_BSTR, "VT_BSTR"},   {VT_DISPATCH, "VT_DISPATCH"}, {VT_ERROR, "VT_ERROR"}, {VT_BOOL, "VT_BOOL"},
                {VT_VARIANT, "VT_VARIANT"}, {VT_UNKNOWN, "VT_UNKNOWN"}, {VT_I1, "VT_I1"},     {VT_UI1, "VT_UI1"},
                {VT_UI2, "VT_UI2"},     {VT_UI4, "VT_UI4"},         {VT_I8, "VT_I8"},         {VT_UI8, "VT_UI8"},
                {VT_INT, "VT_INT"},     {VT_UINT, "VT_UINT"}};
  std::string s;
  VARTYPE base = vt & VT_TYPEMASK;
  for (const auto& n : kNames)
    if (n.vt == base) s = n.name;
  if (s.empty()) s = "VT_" + std::to_string(base);
  if (vt & VT_ARRAY) s += "|VT_ARRAY";
  if (vt & VT_BYREF) s += "|VT_BYREF";
  return s;
}

std::vector<RegistryEntry> TypeLibRegistryEntries(const TypeLibInfo& lib, std::string_view libraryPath) {
  std::vector<RegistryEntry> out;
  const std::string libid = GuidToString(lib.libid);
  const std::string version = Version(lib);
  const std::string base = "TypeLib\\" + libid + "\\" + version;
  char lcid[16];
  std::snprintf(lcid, sizeof lcid, "%x", lib.lcid);
  out.push_back({base, "", lib.helpString ? lib.helpString : ""});
  out.push_back({base + "\\FLAGS", "", "0"});
  out.push_back({base + "\\HELPDIR", "", Directory(libraryPath)});
  out.push_back({base + "\\" + lcid + "\\win64", "", std::string(libraryPath)});
  const std::string proxy = GuidToString(CLSID_PSOAInterface);
  for (const DispTable* t : lib.interfaces) {
    const std::string key = "Interface\\" + GuidToString(*t->iid);
    out.push_back({key, "", t->name});
    out.push_back({key + "\\ProxyStubClsid", "", proxy});
    out.push_back({key + "\\ProxyStubClsid32", "", proxy});
    out.push_back({key + "\\TypeLib", "", libid});
    out.push_back({key + "\\TypeLib", "Version", version});
  }
  return out;
}

std::vector<std::string> TypeLibRegistryKeys(const TypeLibInfo& lib) {
  std::vector<std::string> out;
  const std::string libid = GuidToString(lib.libid);
  out.push_back("TypeLib\\" + libid + "\\" + Version(lib));
  out.push_back("TypeLib\\" + libid);
  for (const DispTable* t : lib.interfaces) out.push_back("Interface\\" + GuidToString(*t->iid));
  return out;
}

std::string DescribeTypeLib(const TypeLibInfo& lib) {
  std::string s;
  s += "library " + std::string(lib.name ? lib.name : "") + " " + GuidToString(lib.libid) + " version " +
       Version(lib) + "\n";
  if (lib.helpString) s += "  helpstring \"" + std::string(lib.helpString) + "\"\n";
  for (const DispTable* t : lib.interfaces) {
    s += "  interface " + std::string(t->name) + " " + GuidToString(*t->iid) + " : IDispatch\n";
    for (const DispMember& m : t->members) {
      s += "    [id(" + std::to_string(m.id) + "), " + KindName(m.kind) + "] " + m.name + "(";
      for (size_t i = 0; i < m.params.size(); ++i) {
        const DispParamInfo& p = m.params[i];
        if (i) s += ", ";
        s += "[";
        if (p.flags & PARAMFLAG_FIN) s += "in";
        if (p.flags & PARAMFLAG_FOUT) s += (p.flags & PARAMFLAG_FIN) ? ",out" : "out";
        if (p.flags & PARAMFLAG_FRETVAL) s += ",retval";
        s += "] " + VarTypeName(p.vt);
        if (p.name) s += std::string(" ") + p.name;
      }
      s += ")\n";
    }
  }
  return s;
}

}  // namespace tesk
