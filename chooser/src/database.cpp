// The chooser's calls to the database server's objects.
#include "database.h"

#include <cstdlib>
#include <new>

#include <tesk/platform/activation.h>

namespace selvane {
namespace {

using tesk::Bstr;
using tesk::ComPtr;
using tesk::Variant;

// Creates a server object on the named server ("" for this computer).
template <class I>
HRESULT Create(const std::string& server, const CLSID& clsid, ComPtr<I>& out) {
  const std::u16string wide = tesk::ToWide(server);
  COSERVERINFO info{0, const_cast<LPWSTR>(wide.c_str()), nullptr, 0};
  MULTI_QI qi{&tesk::InterfaceTraits<I>::Iid(), nullptr, S_OK};
  HRESULT hr = CoCreateInstanceEx(clsid, nullptr, CLSCTX_SERVER, server.empty() ? nullptr : &info, 1, &qi);
  if (FAILED(hr)) return hr;
  if (FAILED(qi.hr)) return qi.hr;
  *out.PutVoid() = qi.pItf;
  return S_OK;
}

std::vector<std::string> Strings(const VARIANT& v) {
  std::vector<std::string> out;
  if (v.vt != (VT_ARRAY | VT_BSTR) || !v.parray) return out;
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(v.parray, 1, &lo);
  SafeArrayGetUBound(v.parray, 1, &hi);
  for (LONG i = lo; i <= hi; ++i) {
    Bstr b;
    if (SUCCEEDED(SafeArrayGetElement(v.parray, &i, &b))) out.push_back(b.Narrow());
  }
  return out;
}

HRESULT Text(HRESULT hr, const Bstr& b, std::string* out) {
  if (SUCCEEDED(hr)) *out = b.Narrow();
  return hr;
}

HRESULT MakeQuery(const std::string& server, const QueryFilter& f, ComPtr<IDataQuery>& q) {
  HRESULT hr = Create<IDataQuery>(server, CLSID_DataQuery, q);
  if (FAILED(hr)) return hr;
  const std::pair<const char*, const std::string*> filters[] = {
      {"SampleProject", &f.sampleProject}, {"SampleType", &f.sampleType}, {"Sample", &f.sample},
      {"Assay", &f.assay},                 {"ChipType", &f.chipType},     {"User", &f.user},
      {"Experiment", &f.experiment},       {"Type", &f.type},
  };
  for (auto& [name, value] : filters) {
    hr = q->put_Filter(Bstr(std::string_view(name)).Get(), Bstr(*value).Get());
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace

HRESULT OpenConnection(const std::string& server, int attempts, ComPtr<IConnection>& out) {
  HRESULT hr = E_FAIL;
  try {
    for (int i = 0; i < attempts; ++i) {
      ComPtr<IConnection> c;
      hr = Create<IConnection>(server, CLSID_Connection, c);
      if (FAILED(hr)) continue;
      c->put_ClientName(Bstr(std::string_view("LIMS Admin User")).Get());
      c->put_ServerName(Bstr(server).Get());
      hr = c->Open(0);
      VARIANT_BOOL open = VARIANT_FALSE;
      if (SUCCEEDED(hr) && SUCCEEDED(c->get_IsOpen(&open)) && open) {
        out = std::move(c);
        return S_OK;
      }
      if (SUCCEEDED(hr)) hr = E_FAIL;
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return hr;
}

HRESULT ConnectionPaths(IConnection* c, ServerPaths* out) {
  Bstr data, library;
  HRESULT hr = Text(c->get_DataPath(&data), data, &out->dataPath);
  if (SUCCEEDED(hr)) hr = Text(c->get_LibraryPath(&library), library, &out->libraryPath);
  return hr;
}

HRESULT LocalPaths(ServerPaths* out) {
  ComPtr<ILocalSettings> s;
  HRESULT hr = Create<ILocalSettings>("", CLSID_LocalSettings, s);
  if (FAILED(hr)) return hr;
  hr = s->Initialize();
  if (FAILED(hr)) return hr;
  ServerPaths p;
  Bstr data, library;
  hr = Text(s->get_DataPath(&data), data, &p.dataPath);
  if (SUCCEEDED(hr)) hr = Text(s->get_LibraryPath(&library), library, &p.libraryPath);
  if (SUCCEEDED(hr)) *out = p;
  return hr;
}

double ServerVersion(IConnection* c) {
  Bstr v;
  if (FAILED(c->get_ServerVersion(&v))) return 0;
  return std::strtod(v.Narrow().c_str(), nullptr);
}

HRESULT ListValues(const std::string& server, IConnection* c, const QueryFilter& f, const char* kind, std::vector<std::string>* out) {
  try {
    ComPtr<IDataQuery> q;
    HRESULT hr = MakeQuery(server, f, q);
    if (FAILED(hr)) return hr;
    Variant v;
    hr = q->List(c, Bstr(std::string_view(kind)).Get(), &v);
    if (SUCCEEDED(hr)) *out = Strings(v);
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT ListFiles(const std::string& server, IConnection* c, const QueryFilter& f, std::vector<FileRow>* out) {
  try {
    ComPtr<IDataQuery> q;
    HRESULT hr = MakeQuery(server, f, q);
    if (FAILED(hr)) return hr;
    Variant names, samples, experiments, projects, types, owners;
    hr = q->ListFiles(c, &names, &samples, &experiments, &projects, &types, &owners);
    if (FAILED(hr)) return hr;
    const auto n = Strings(names), s = Strings(samples), e = Strings(experiments), p = Strings(projects),
               t = Strings(types), o = Strings(owners);
    out->clear();
    for (size_t i = 0; i < n.size(); ++i) {
      auto at = [i](const std::vector<std::string>& v) { return i < v.size() ? v[i] : std::string(); };
      out->push_back(FileRow{n[i], at(s), at(e), at(p), at(t), at(o)});
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT LookUpFile(const std::string& server, IConnection* c, const std::string& name, bool* exists, std::string* owner) {
  try {
    ComPtr<IFileRecord> r;
    HRESULT hr = Create<IFileRecord>(server, CLSID_FileRecord, r);
    if (FAILED(hr)) return hr;
    hr = r->put_FileName(Bstr(name).Get());
    VARIANT_BOOL known = VARIANT_FALSE;
    if (SUCCEEDED(hr)) hr = r->Exists(c, &known);
    if (FAILED(hr)) return hr;
    *exists = known != VARIANT_FALSE;
    owner->clear();
    if (!*exists) return S_OK;
    hr = r->Fetch(c);
    Bstr o;
    if (SUCCEEDED(hr)) hr = Text(r->get_OwnerName(&o), o, owner);
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT FileField(const std::string& server, IConnection* c, const std::string& name, const char* field,
                  std::string* value) {
  try {
    ComPtr<IFileRecord> r;
    HRESULT hr = Create<IFileRecord>(server, CLSID_FileRecord, r);
    if (SUCCEEDED(hr)) hr = r->put_FileName(Bstr(name).Get());
    if (SUCCEEDED(hr)) hr = r->Fetch(c);
    Bstr d;
    if (SUCCEEDED(hr)) hr = Text(r->get_Field(Bstr(std::string_view(field)).Get(), &d), d, value);
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace selvane
