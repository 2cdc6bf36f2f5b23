// The server side of local servers: class objects registered on the session bus, the objects
// created through them (each owned by the client that created it), and their release when the
// client leaves the bus.
#include <tesk/platform/local_server.h>

#include <gio/gio.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <tesk/platform/oleauto.h>

#include "local_wire.h"

namespace tesk::local {
namespace {

struct Registration {
  CLSID clsid;
  IUnknown* factory;  // one reference
  bool onBus;
};

struct Object {
  IDispatch* dispatch;  // one reference
  std::string owner;    // the client's unique bus name
};

struct Client {
  guint watch = 0;                   // NameOwnerChanged subscription
  std::map<std::string, int> locks;  // LockServer count per class
};

// Everything below is touched from the registering thread's main loop and from
// CoRegisterClassObject/CoRevokeClassObject; the lock is never held while calling into an
// object, since an object may run a nested main loop (a modal dialog) that serves more calls.
std::recursive_mutex g_mu;
GDBusConnection* g_bus = nullptr;
guint g_exported = 0;
DWORD g_next_cookie = 1;
guint64 g_next_object = 1;
std::map<DWORD, Registration>& Registrations() {
  static auto* m = new std::map<DWORD, Registration>();
  return *m;
}
std::map<guint64, Object>& Objects() {
  static auto* m = new std::map<guint64, Object>();
  return *m;
}
std::map<std::string, Client>& Clients() {
  static auto* m = new std::map<std::string, Client>();
  return *m;
}

void Reply(GDBusMethodInvocation* inv, GVariant* value) { g_dbus_method_invocation_return_value(inv, value); }

// The class object registered for the class, with a reference; nullptr when none.
IClassFactory* FactoryFor(const std::string& clsidText) {
  std::optional<GUID> clsid = GuidFromString(clsidText);
  if (!clsid) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(g_mu);
  for (auto& [cookie, r] : Registrations()) {
    if (r.onBus && r.clsid == *clsid) {
      IClassFactory* f = nullptr;
      if (SUCCEEDED(r.factory->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&f)))) return f;
    }
  }
  return nullptr;
}

// Undoes what a departed client held: its objects and its server locks. The references are
// dropped after the lock is released, since a destructor may call back into the platform.
void ForgetClient(const std::string& client) {
  std::vector<IDispatch*> objects;
  std::map<std::string, int> locks;
  {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    auto c = Clients().find(client);
    if (c == Clients().end()) return;
    if (c->second.watch && g_bus) g_dbus_connection_signal_unsubscribe(g_bus, c->second.watch);
    locks = std::move(c->second.locks);
    Clients().erase(c);
    for (auto it = Objects().begin(); it != Objects().end();) {
      if (it->second.owner == client) {
        objects.push_back(it->second.dispatch);
        it = Objects().erase(it);
      } else {
        ++it;
      }
    }
  }
  for (IDispatch* d : objects) d->Release();
  for (auto& [clsid, n] : locks) {
    IClassFactory* f = FactoryFor(clsid);
    if (!f) continue;
    for (int i = 0; i < n; ++i) f->LockServer(FALSE);
    f->Release();
  }
}

void OnNameOwnerChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* params,
                        gpointer) {
  const gchar *name = nullptr, *old_owner = nullptr, *new_owner = nullptr;
  g_variant_get(params, "(&s&s&s)", &name, &old_owner, &new_owner);
  if (new_owner && *new_owner) return;
  ForgetClient(name);
}

// Starts following a client, so that its leaving the bus releases what it holds.
Client& Follow(const std::string& client) {
  std::lock_guard<std::recursive_mutex> lock(g_mu);
  auto [it, fresh] = Clients().try_emplace(client);
  if (fresh && g_bus) {
    it->second.watch = g_dbus_connection_signal_subscribe(
        g_bus, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged", "/org/freedesktop/DBus",
        client.c_str(), G_DBUS_SIGNAL_FLAGS_NONE, &OnNameOwnerChanged, nullptr, nullptr);
  }
  return it->second;
}

// The object with a reference, for its owner only.
IDispatch* TakeObject(guint64 id, const std::string& sender, HRESULT* hr) {
  std::lock_guard<std::recursive_mutex> lock(g_mu);
  auto it = Objects().find(id);
  if (it == Objects().end()) {
    *hr = RPC_E_DISCONNECTED;
    return nullptr;
  }
  if (it->second.owner != sender) {
    *hr = E_ACCESSDENIED;
    return nullptr;
  }
  it->second.dispatch->AddRef();
  *hr = S_OK;
  return it->second.dispatch;
}

void CreateInstance(const std::string& sender, GVariant* params, GDBusMethodInvocation* inv) {
  const gchar* clsid = nullptr;
  g_variant_get(params, "(&s)", &clsid);
  IClassFactory* f = FactoryFor(clsid);
  if (!f) return Reply(inv, g_variant_new("(it)", static_cast<gint32>(REGDB_E_CLASSNOTREG), guint64{0}));
  IDispatch* d = nullptr;
  HRESULT hr = f->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&d));
  f->Release();
  guint64 id = 0;
  if (SUCCEEDED(hr)) {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    Follow(sender);
    id = g_next_object++;
    Objects().emplace(id, Object{d, sender});
  }
  Reply(inv, g_variant_new("(it)", static_cast<gint32>(hr), id));
}

void LockServer(const std::string& sender, GVariant* params, GDBusMethodInvocation* inv) {
  const gchar* clsid = nullptr;
  gboolean fLock = FALSE;
  g_variant_get(params, "(&sb)", &clsid, &fLock);
  IClassFactory* f = FactoryFor(clsid);
  if (!f) return Reply(inv, g_variant_new("(i)", static_cast<gint32>(REGDB_E_CLASSNOTREG)));
  HRESULT hr = S_OK;
  {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    int& n = Follow(sender).locks[clsid];
    if (!fLock && n == 0) {
      hr = E_UNEXPECTED;  // more unlocks than locks
    } else {
      n += fLock ? 1 : -1;
    }
  }
  if (SUCCEEDED(hr)) hr = f->LockServer(fLock);
  f->Release();
  Reply(inv, g_variant_new("(i)", static_cast<gint32>(hr)));
}

void Release(const std::string& sender, GVariant* params, GDBusMethodInvocation* inv) {
  guint64 id = 0;
  g_variant_get(params, "(t)", &id);
  IDispatch* d = nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    auto it = Objects().find(id);
    if (it != Objects().end() && it->second.owner == sender) {
      d = it->second.dispatch;
      Objects().erase(it);
    }
  }
  if (d) d->Release();
  Reply(inv, nullptr);
}

void GetIDsOfNames(const std::string& sender, GVariant* params, GDBusMethodInvocation* inv) {
  guint64 id = 0;
  GVariant* names = nullptr;
  g_variant_get(params, "(t@aaq)", &id, &names);
  HRESULT hr;
  IDispatch* d = TakeObject(id, sender, &hr);
  const size_t n = g_variant_n_children(names);
  std::vector<DISPID> ids(n, DISPID_UNKNOWN);
  if (d) {
    std::vector<std::u16string> text(n);
    std::vector<LPOLESTR> ptrs(n);
    for (size_t i = 0; i < n; ++i) {
      GVariant* one = g_variant_get_child_value(names, i);
      text[i] = DecodeText(one);
      g_variant_unref(one);
      ptrs[i] = text[i].data();
    }
    hr = n ? d->GetIDsOfNames(IID_NULL, ptrs.data(), static_cast<UINT>(n), 0, ids.data()) : E_INVALIDARG;
    d->Release();
  }
  g_variant_unref(names);
  GVariantBuilder b;
  g_variant_builder_init(&b, G_VARIANT_TYPE("ai"));
  for (DISPID x : ids) g_variant_builder_add(&b, "i", static_cast<gint32>(x));
  Reply(inv, g_variant_new("(iai)", static_cast<gint32>(hr), &b));
}

GVariant* NoText() { return EncodeText(nullptr, 0); }
GVariant* Text(BSTR s) { return EncodeText(s, s ? SysStringLen(s) : 0); }

// The thread's error information after a failed call, as "(baqaqaqsu)".
GVariant* TakeErrorInfo() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || !info) {
    return g_variant_new("(b@aq@aq@aqsu)", FALSE, NoText(), NoText(), NoText(), "", 0u);
  }
  BSTR source = nullptr, description = nullptr, help = nullptr;
  GUID guid{};
  DWORD context = 0;
  info->GetSource(&source);
  info->GetDescription(&description);
  info->GetHelpFile(&help);
  info->GetGUID(&guid);
  info->GetHelpContext(&context);
  info->Release();
  GVariant* v = g_variant_new("(b@aq@aq@aqsu)", TRUE, Text(source), Text(description), Text(help),
                              GuidToString(guid).c_str(), static_cast<guint32>(context));
  SysFreeString(source);
  SysFreeString(description);
  SysFreeString(help);
  return v;
}

void Invoke(const std::string& sender, GVariant* params, GDBusMethodInvocation* inv) {
  guint64 id = 0;
  gint32 dispid = 0;
  guint16 flags = 0;
  GVariant *args = nullptr, *named = nullptr;
  g_variant_get(params, "(tiq@a(qv)@ai)", &id, &dispid, &flags, &args, &named);

  const size_t n = g_variant_n_children(args);
  const size_t nNamed = g_variant_n_children(named);
  // rgvarg holds the arguments as the object sees them; by-reference ones point into store.
  std::vector<VARIANT> rgvarg(n), store(n);
  std::vector<DISPID> namedIds(nNamed);
  for (auto& v : rgvarg) VariantInit(&v);
  for (auto& v : store) VariantInit(&v);
  HRESULT hr = nNamed <= n ? S_OK : E_INVALIDARG;
  UINT argErr = 0;
  for (size_t i = 0; i < nNamed; ++i) {
    gint32 x = 0;
    g_variant_get_child(named, i, "i", &x);
    namedIds[i] = x;
  }
  for (size_t i = 0; SUCCEEDED(hr) && i < n; ++i) {
    GVariant* wire = g_variant_get_child_value(args, i);
    VARTYPE vt = VT_EMPTY;
    GVariant* payload = nullptr;
    bool ok = SplitVariant(wire, &vt, &payload);
    if (ok && (vt & VT_BYREF)) {
      const VARTYPE base = vt & ~VT_BYREF;
      if (base == VT_VARIANT) {
        ok = DecodeValue(VT_VARIANT, payload, &store[i]);
        rgvarg[i].pvarVal = &store[i];
      } else {
        ok = ValueSize(base) > 0 && DecodeValue(base, payload, &store[i].llVal);
        if (ok) store[i].vt = base;  // so that VariantClear frees it afterwards
        rgvarg[i].byref = &store[i].llVal;
      }
      if (ok) rgvarg[i].vt = vt;
    } else if (ok) {
      ok = DecodeVariant(wire, &rgvarg[i]);
    }
    if (payload) g_variant_unref(payload);
    g_variant_unref(wire);
    if (!ok) {
      hr = DISP_E_TYPEMISMATCH;
      argErr = static_cast<UINT>(i);
    }
  }

  IDispatch* d = nullptr;
  if (SUCCEEDED(hr)) d = TakeObject(id, sender, &hr);
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO excep{};
  if (d) {
    SetErrorInfo(0, nullptr);
    DISPPARAMS dp{rgvarg.data(), namedIds.data(), static_cast<UINT>(n), static_cast<UINT>(nNamed)};
    hr = d->Invoke(dispid, IID_NULL, 0, flags, &dp, &result, &excep, &argErr);
    d->Release();
  }
  if (excep.pfnDeferredFillIn) excep.pfnDeferredFillIn(&excep);

  GVariantBuilder outs;
  g_variant_builder_init(&outs, G_VARIANT_TYPE("a(qv)"));
  for (size_t i = 0; i < n; ++i) {
    GVariant* v = (rgvarg[i].vt & VT_BYREF) ? EncodeVariant(rgvarg[i]) : nullptr;
    if (!v) v = g_variant_new("(qv)", guint16{VT_EMPTY}, g_variant_new_boolean(FALSE));
    g_variant_builder_add_value(&outs, v);
  }
  GVariant* res = EncodeVariant(result);
  if (!res) {
    // A result that cannot cross (an object) is a failure of the call, not an empty value.
    res = g_variant_new("(qv)", guint16{VT_EMPTY}, g_variant_new_boolean(FALSE));
    if (SUCCEEDED(hr)) hr = DISP_E_TYPEMISMATCH;
  }
  GVariant* errinfo = FAILED(hr) ? TakeErrorInfo()
                                 : g_variant_new("(b@aq@aq@aqsu)", FALSE, NoText(), NoText(), NoText(), "", 0u);
  GVariant* ex = g_variant_new("(q@aq@aq@aqui)", excep.wCode, Text(excep.bstrSource), Text(excep.bstrDescription),
                               Text(excep.bstrHelpFile), static_cast<guint32>(excep.dwHelpContext),
                               static_cast<gint32>(excep.scode));
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  VariantClear(&result);
  for (size_t i = 0; i < n; ++i) {
    if (!(rgvarg[i].vt & VT_BYREF)) VariantClear(&rgvarg[i]);
    VariantClear(&store[i]);
  }
  g_variant_unref(args);
  g_variant_unref(named);
  Reply(inv, g_variant_new("(i@(qv)a(qv)u@(qaqaqaqui)@(baqaqaqsu))", static_cast<gint32>(hr), res, &outs,
                           static_cast<guint32>(argErr), ex, errinfo));
}

void OnMethod(GDBusConnection*, const gchar* sender, const gchar*, const gchar*, const gchar* method,
              GVariant* params, GDBusMethodInvocation* inv, gpointer) {
  const std::string who = sender ? sender : "";
  const std::string m = method;
  try {
    if (m == "CreateInstance") return CreateInstance(who, params, inv);
    if (m == "LockServer") return LockServer(who, params, inv);
    if (m == "Release") return Release(who, params, inv);
    if (m == "GetIDsOfNames") return GetIDsOfNames(who, params, inv);
    if (m == "Invoke") return Invoke(who, params, inv);
    g_dbus_method_invocation_return_dbus_error(inv, "org.freedesktop.DBus.Error.UnknownMethod", method);
  } catch (const std::bad_alloc&) {
    g_dbus_method_invocation_return_dbus_error(inv, "org.freedesktop.DBus.Error.NoMemory", method);
  }
}

const GDBusInterfaceVTable kVTable = {&OnMethod, nullptr, nullptr, {}};

// Connects to the bus and exports the interface, once per process.
HRESULT Export() {
  if (g_exported) return S_OK;
  GError* err = nullptr;
  if (!g_bus) {
    g_bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &err);
    if (!g_bus) {
      g_clear_error(&err);
      return RPC_E_SERVER_UNAVAILABLE_HR;
    }
  }
  static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(IntrospectionXml(), nullptr);
  g_exported = g_dbus_connection_register_object(g_bus, kObjectPath, node->interfaces[0], &kVTable, nullptr,
                                                 nullptr, &err);
  if (!g_exported) {
    g_clear_error(&err);
    return E_FAIL;
  }
  return S_OK;
}

// RequestName with DO_NOT_QUEUE: 1 primary owner, 3 exists, 4 already ours.
HRESULT OwnName(const std::string& name) {
  GError* err = nullptr;
  GVariant* r = g_dbus_connection_call_sync(g_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "RequestName",
                                            g_variant_new("(su)", name.c_str(), 4u), G_VARIANT_TYPE("(u)"),
                                            G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &err);
  if (!r) {
    g_clear_error(&err);
    return RPC_E_SERVER_UNAVAILABLE_HR;
  }
  guint32 answer = 0;
  g_variant_get(r, "(u)", &answer);
  g_variant_unref(r);
  return answer == 1 ? S_OK : CO_E_OBJISREG;
}

void DropName(const std::string& name) {
  GVariant* r = g_dbus_connection_call_sync(g_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "ReleaseName", g_variant_new("(s)", name.c_str()),
                                            nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
  if (r) g_variant_unref(r);
}

}  // namespace
}  // namespace tesk::local

using namespace tesk::local;

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD, LPDWORD lpdwRegister) {
  if (!pUnk || !lpdwRegister) return E_INVALIDARG;
  *lpdwRegister = 0;
  try {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    for (auto& [cookie, r] : Registrations()) {
      if (r.clsid == rclsid) return CO_E_OBJISREG;
    }
    const bool onBus = (dwClsContext & CLSCTX_LOCAL_SERVER) != 0;
    if (onBus) {
      HRESULT hr = Export();
      if (SUCCEEDED(hr)) hr = OwnName(tesk::LocalServerBusName(rclsid));
      if (FAILED(hr)) return hr;
    }
    pUnk->AddRef();
    const DWORD cookie = g_next_cookie++;
    Registrations().emplace(cookie, Registration{rclsid, pUnk, onBus});
    *lpdwRegister = cookie;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
  IUnknown* factory = nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    auto it = Registrations().find(dwRegister);
    if (it == Registrations().end()) return CO_E_OBJNOTREG;
    if (it->second.onBus && g_bus) DropName(tesk::LocalServerBusName(it->second.clsid));
    factory = it->second.factory;
    Registrations().erase(it);
  }
  factory->Release();
  return S_OK;
}

HRESULT tesk::GetRegisteredClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  std::lock_guard<std::recursive_mutex> lock(g_mu);
  for (auto& [cookie, r] : Registrations()) {
    if (r.clsid == rclsid) return r.factory->QueryInterface(riid, ppv);
  }
  return REGDB_E_CLASSNOTREG;
}

std::string tesk::LocalServerBusName(REFCLSID clsid) {
  std::string hex;
  for (char c : GuidToString(clsid)) {
    if (std::isxdigit(static_cast<unsigned char>(c))) hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return "org.tesk.Class.C" + hex;
}
