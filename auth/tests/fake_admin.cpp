// A scripted administration object for the role library's tests, created like the database
// server's own: by class identifier, on a named server (IServerClassFactory). The object for
// server S answers from the text file $TESK_REGISTRY_DIR/fake_admin/S.txt, read afresh on every
// call, and appends the name of every call to S.calls, so that tests can count what reached
// the server from any process. A server without a file is unreachable (0x800706BA).
//
// Lines of the file, fields separated by tabs:
//   role      SERVER DATABASE NAME
//   member    ROLE NAME [TYPE]        a missing TYPE leaves the pair list one short
//   function  NAME
//   flags     ROLE FUNCTION OWN [OTHER]
//   group     DOMAIN GROUP [MEMBER...]
//   fail      METHOD|* HRESULT        the call (or every call) fails with HRESULT (hex)
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <tesk/nuvask.h>
#include <tesk/platform/comhelpers.h>
#include <tesk/platform/server_factory.h>
#include <tesk/zorum.h>

namespace {

using Row = std::vector<std::string>;
using Strings = std::vector<std::string>;

tesk::ComModule g_module;

std::string Dir() {
  const char* d = std::getenv("TESK_REGISTRY_DIR");
  return std::string(d ? d : "/tmp") + "/fake_admin/";
}

HRESULT Put(VARIANT* v, const Strings& items) {
  if (!v) return E_POINTER;
  VariantClear(v);
  SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
  if (!sa) return E_OUTOFMEMORY;
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    tesk::Bstr b(items[static_cast<size_t>(i)]);
    SafeArrayPutElement(sa, &i, b.Get());
  }
  v->vt = VT_ARRAY | VT_BSTR;
  v->parray = sa;
  return S_OK;
}

class FakeAdmin final : public tesk::ComClass<FakeAdmin, tesk::DispatchImpl<IKestAdmin>> {
 public:
  static tesk::ComModule& Module() { return g_module; }
  explicit FakeAdmin(std::string server) : server_(std::move(server)) {}

  HRESULT ListRoles(VARIANT* servers, VARIANT* databases, VARIANT* roles) override {
    std::vector<Row> rows;
    if (HRESULT hr = Begin("ListRoles", &rows); FAILED(hr)) return hr;
    Strings s, d, r;
    for (const Row& row : rows) {
      if (row[0] == "role" && row.size() >= 4) {
        s.push_back(row[1]);
        d.push_back(row[2]);
        r.push_back(row[3]);
      }
    }
    Put(servers, s);
    Put(databases, d);
    return Put(roles, r);
  }
  HRESULT ListRoleMembers(BSTR role, BSTR, BSTR, VARIANT* pairs) override {
    std::vector<Row> rows;
    if (HRESULT hr = Begin("ListRoleMembers", &rows); FAILED(hr)) return hr;
    Strings out;
    for (const Row& row : rows) {
      if (row[0] == "member" && row.size() >= 3 && row[1] == tesk::FromBstr(role)) {
        out.push_back(row[2]);
        if (row.size() >= 4) out.push_back(row[3]);
      }
    }
    return Put(pairs, out);
  }
  HRESULT ListRoleFunctions(VARIANT* functions) override {
    std::vector<Row> rows;
    if (HRESULT hr = Begin("ListRoleFunctions", &rows); FAILED(hr)) return hr;
    Strings out;
    for (const Row& row : rows) {
      if (row[0] == "function" && row.size() >= 2) out.push_back(row[1]);
    }
    return Put(functions, out);
  }
  HRESULT GetRoleFunctionFlags(BSTR role, BSTR function, VARIANT* flags) override {
    std::vector<Row> rows;
    if (HRESULT hr = Begin("GetRoleFunctionFlags", &rows); FAILED(hr)) return hr;
    Strings out;
    for (const Row& row : rows) {
      if (row[0] == "flags" && row.size() >= 4 && row[1] == tesk::FromBstr(role) &&
          row[2] == tesk::FromBstr(function)) {
        out.assign(row.begin() + 3, row.end());
      }
    }
    return Put(flags, out);
  }
  HRESULT ListDomainGroups(BSTR domain, VARIANT* groups) override {
    std::vector<Row> rows;
    if (HRESULT hr = Begin("ListDomainGroups", &rows); FAILED(hr)) return hr;
    Strings out;
    for (const Row& row : rows) {
      if (row[0] == "group" && row.size() >= 3 && row[1] == tesk::FromBstr(domain)) out.push_back(row[2]);
    }
    return Put(groups, out);
  }
  HRESULT ListGroupMembers(BSTR domain, BSTR group, VARIANT* members) override {
    std::vector<Row> rows;
    if (HRESULT hr = Begin("ListGroupMembers", &rows); FAILED(hr)) return hr;
    Strings out;
    for (const Row& row : rows) {
      if (row[0] == "group" && row.size() >= 3 && row[1] == tesk::FromBstr(domain) &&
          row[2] == tesk::FromBstr(group)) {
        out.insert(out.end(), row.begin() + 3, row.end());
      }
    }
    return Put(members, out);
  }

 private:
  // Logs the call and reads the script; a "fail" line for the method answers its code.
  HRESULT Begin(const char* method, std::vector<Row>* rows) {
    const std::string line = std::string(method) + "\n";
    const int fd = open((Dir() + server_ + ".calls").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd >= 0) {
      if (write(fd, line.data(), line.size()) < 0) {
      }
      close(fd);
    }
    std::ifstream in(Dir() + server_ + ".txt");
    if (!in) return static_cast<HRESULT>(0x800706BA);
    std::string text;
    while (std::getline(in, text)) {
      Row row;
      size_t start = 0;
      for (;;) {
        const size_t tab = text.find('\t', start);
        row.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
      }
      if (row[0] == "fail" && row.size() >= 3 && (row[1] == method || row[1] == "*")) {
        return static_cast<HRESULT>(std::strtoul(row[2].c_str(), nullptr, 16));
      }
      rows->push_back(std::move(row));
    }
    return S_OK;
  }

  std::string server_;
};

class Factory final : public tesk::ComClass<Factory, IClassFactory, IServerClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    return CreateInstanceOnServer(u"", outer, riid, ppv);
  }
  HRESULT LockServer(BOOL lock) override {
    if (lock) g_module.Lock();
    else g_module.Unlock();
    return S_OK;
  }
  HRESULT CreateInstanceOnServer(LPCOLESTR server, IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    std::u16string_view name = server ? std::u16string_view(server) : std::u16string_view();
    std::string narrow = tesk::ToNarrow(name);
    if (narrow.empty()) narrow = "local";
    if (access((Dir() + narrow + ".txt").c_str(), R_OK) != 0) return static_cast<HRESULT>(0x800706BA);
    return tesk::CreateComObject<FakeAdmin>(riid, ppv, narrow);
  }
};

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (!(rclsid == CLSID_KestAdmin)) return CLASS_E_CLASSNOTAVAILABLE;
  return tesk::CreateComObject<Factory>(riid, ppv);
}
extern "C" HRESULT DllCanUnloadNow() { return g_module.CanUnloadNow(); }
extern "C" HRESULT DllRegisterServer() { return E_NOTIMPL; }
extern "C" HRESULT DllUnregisterServer() { return E_NOTIMPL; }
