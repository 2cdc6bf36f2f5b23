// The client side of local servers: starting the server program, and the proxies that carry
// IClassFactory and IDispatch calls to it over the session bus.
#include <tesk/platform/local_server.h>

#include <gio/gio.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <tesk/platform/comhelpers.h>
#include <tesk/platform/oleauto.h>
#include <tesk/platform/registry.h>

#include "local_wire.h"

namespace tesk::local {
namespace {

// How long a started program has to take its bus name.
constexpr auto kStartTimeout = std::chrono::seconds(30);
// Ordinary calls; Invoke waits without limit, as a member may show a dialog.
constexpr int kCallTimeoutMs = 25000;

HRESULT FromGError(GError* err) {
  HRESULT hr = RPC_E_CALL_FAILED_HR;
  if (err && err->domain == G_DBUS_ERROR) {
    switch (err->code) {
      case G_DBUS_ERROR_SERVICE_UNKNOWN:
      case G_DBUS_ERROR_NAME_HAS_NO_OWNER:
      case G_DBUS_ERROR_DISCONNECTED:
        hr = RPC_E_SERVER_UNAVAILABLE_HR;
        break;
      case G_DBUS_ERROR_NO_MEMORY:
        hr = E_OUTOFMEMORY;
        break;
      default:
        break;
    }
  } else if (err && err->domain == G_IO_ERROR && err->code == G_IO_ERROR_CLOSED) {
    hr = RPC_E_SERVER_UNAVAILABLE_HR;
  }
  g_clear_error(&err);
  return hr;
}

// One server process as the client sees it: the bus and the server's unique name.
struct Peer {
  GDBusConnection* bus = nullptr;  // one reference
  std::string name;  // unique name, so that a restarted server is never mistaken for this one
  Peer() = default;
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;
  ~Peer() {
    if (bus) g_object_unref(bus);
  }

  // A call to the server; nullptr and *hr set when the call itself failed.
  GVariant* Call(const char* method, GVariant* params, const char* replyType, HRESULT* hr,
                 int timeout = kCallTimeoutMs) const {
    GError* err = nullptr;
    GVariant* r = g_dbus_connection_call_sync(bus, name.c_str(), kObjectPath, kInterface, method, params,
                                              replyType ? G_VARIANT_TYPE(replyType) : nullptr,
                                              G_DBUS_CALL_FLAGS_NO_AUTO_START, timeout, nullptr, &err);
    *hr = r ? S_OK : FromGError(err);
    return r;
  }
};

BSTR ToBstr(GVariant* aq) {
  const std::u16string s = DecodeText(aq);
  return SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}

// Writes a by-reference value that came back into the caller's memory, freeing what it held.
bool WriteBack(VARIANT& arg, GVariant* wire) {
  VARTYPE vt = VT_EMPTY;
  GVariant* payload = nullptr;
  if (!SplitVariant(wire, &vt, &payload)) return false;
  bool ok = vt == arg.vt;
  const VARTYPE base = vt & ~VT_BYREF;
  if (ok && base == VT_VARIANT) {
    VARIANT v;
    ok = DecodeValue(VT_VARIANT, payload, &v);
    if (ok) {
      VariantClear(arg.pvarVal);
      *arg.pvarVal = v;
    }
  } else if (ok) {
    VARIANT v;  // scratch big enough for any value
    VariantInit(&v);
    ok = DecodeValue(base, payload, &v.llVal);
    if (ok) {
      if (base & VT_ARRAY) {
        SafeArrayDestroy(*arg.pparray);
      } else if (base == VT_BSTR) {
        SysFreeString(*arg.pbstrVal);
      }
      std::memcpy(arg.byref, &v.llVal, ValueSize(base));
    }
  }
  g_variant_unref(payload);
  return ok;
}

class DispatchProxy final : public ComClass<DispatchProxy, IDispatch, ISupportErrorInfo> {
 public:
  DispatchProxy(std::shared_ptr<Peer> peer, guint64 id) : peer_(std::move(peer)), id_(id) {}
  ~DispatchProxy() override {
    HRESULT hr;
    if (GVariant* r = peer_->Call("Release", g_variant_new("(t)", id_), nullptr, &hr)) g_variant_unref(r);
  }

  HRESULT GetTypeInfoCount(UINT* pctinfo) noexcept override {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) noexcept override {
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT InterfaceSupportsErrorInfo(REFIID riid) noexcept override { return riid == IID_IDispatch ? S_OK : S_FALSE; }

  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) noexcept override {
    if (!(riid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!rgszNames || !rgDispId) return E_POINTER;
    try {
      GVariantBuilder b;
      g_variant_builder_init(&b, G_VARIANT_TYPE("aaq"));
      for (UINT i = 0; i < cNames; ++i) {
        const OLECHAR* s = rgszNames[i] ? rgszNames[i] : u"";
        size_t n = 0;
        while (s[n]) ++n;
        g_variant_builder_add_value(&b, EncodeText(s, n));
      }
      HRESULT hr;
      GVariant* r = peer_->Call("GetIDsOfNames", g_variant_new("(taaq)", id_, &b), "(iai)", &hr);
      if (!r) return hr;
      gint32 answer = 0;
      GVariant* ids = nullptr;
      g_variant_get(r, "(i@ai)", &answer, &ids);
      for (UINT i = 0; i < cNames; ++i) {
        gint32 x = DISPID_UNKNOWN;
        if (i < g_variant_n_children(ids)) g_variant_get_child(ids, i, "i", &x);
        rgDispId[i] = x;
      }
      g_variant_unref(ids);
      g_variant_unref(r);
      return answer;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                 EXCEPINFO* pExcepInfo, UINT* puArgErr) noexcept override {
    if (!(riid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    DISPPARAMS& dp = pDispParams ? *pDispParams : none;
    if ((dp.cArgs && !dp.rgvarg) || (dp.cNamedArgs && !dp.rgdispidNamedArgs) || dp.cNamedArgs > dp.cArgs)
      return E_INVALIDARG;
    try {
      GVariantBuilder args, named;
      g_variant_builder_init(&args, G_VARIANT_TYPE("a(qv)"));
      g_variant_builder_init(&named, G_VARIANT_TYPE("ai"));
      for (UINT i = 0; i < dp.cArgs; ++i) {
        GVariant* v = EncodeVariant(dp.rgvarg[i]);
        if (!v) {
          g_variant_builder_clear(&args);
          g_variant_builder_clear(&named);
          if (puArgErr) *puArgErr = i;
          return DISP_E_TYPEMISMATCH;
        }
        g_variant_builder_add_value(&args, v);
      }
      for (UINT i = 0; i < dp.cNamedArgs; ++i) g_variant_builder_add(&named, "i", static_cast<gint32>(dp.rgdispidNamedArgs[i]));
      HRESULT hr;
      GVariant* r = peer_->Call("Invoke", g_variant_new("(tiqa(qv)ai)", id_, static_cast<gint32>(dispIdMember), wFlags, &args, &named),
                                "(i(qv)a(qv)u(qaqaqaqui)(baqaqaqsu))", &hr, G_MAXINT);
      if (!r) return hr;
      gint32 answer = 0;
      guint32 argErr = 0;
      GVariant *result = nullptr, *outs = nullptr, *ex = nullptr, *info = nullptr;
      g_variant_get(r, "(i@(qv)@a(qv)u@(qaqaqaqui)@(baqaqaqsu))", &answer, &result, &outs, &argErr, &ex, &info);
      hr = answer;
      for (UINT i = 0; i < dp.cArgs && i < g_variant_n_children(outs); ++i) {
        if (!(dp.rgvarg[i].vt & VT_BYREF)) continue;
        GVariant* w = g_variant_get_child_value(outs, i);
        if (!WriteBack(dp.rgvarg[i], w) && SUCCEEDED(hr)) hr = DISP_E_TYPEMISMATCH;
        g_variant_unref(w);
      }
      if (pVarResult) {
        VARIANT v;
        if (DecodeVariant(result, &v)) {
          VariantClear(pVarResult);
          *pVarResult = v;
        }
      }
      if (puArgErr) *puArgErr = argErr;
      if (hr == DISP_E_EXCEPTION && pExcepInfo) {
        guint16 code = 0;
        guint32 context = 0;
        gint32 scode = 0;
        GVariant *src = nullptr, *desc = nullptr, *help = nullptr;
        g_variant_get(ex, "(q@aq@aq@aqui)", &code, &src, &desc, &help, &context, &scode);
        *pExcepInfo = EXCEPINFO{};
        pExcepInfo->wCode = code;
        pExcepInfo->bstrSource = ToBstr(src);
        pExcepInfo->bstrDescription = ToBstr(desc);
        pExcepInfo->bstrHelpFile = ToBstr(help);
        pExcepInfo->dwHelpContext = context;
        pExcepInfo->scode = scode;
        g_variant_unref(src);
        g_variant_unref(desc);
        g_variant_unref(help);
      }
      SetErrorInfo(0, nullptr);
      gboolean hasInfo = FALSE;
      GVariant *src = nullptr, *desc = nullptr, *help = nullptr;
      const gchar* guid = nullptr;
      guint32 context = 0;
      g_variant_get(info, "(b@aq@aq@aq&su)", &hasInfo, &src, &desc, &help, &guid, &context);
      ICreateErrorInfo* create = nullptr;
      if (hasInfo && SUCCEEDED(CreateErrorInfo(&create))) {
        std::u16string s = DecodeText(src), d = DecodeText(desc), h = DecodeText(help);
        create->SetSource(s.data());
        create->SetDescription(d.data());
        create->SetHelpFile(h.data());
        create->SetHelpContext(context);
        if (std::optional<GUID> g = GuidFromString(guid)) create->SetGUID(*g);
        IErrorInfo* e = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&e)))) {
          SetErrorInfo(0, e);
          e->Release();
        }
        create->Release();
      }
      for (GVariant* v : {src, desc, help, result, outs, ex, info, r}) g_variant_unref(v);
      return hr;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

 private:
  std::shared_ptr<Peer> peer_;
  guint64 id_;
};

class ClassFactoryProxy final : public ComClass<ClassFactoryProxy, IClassFactory> {
 public:
  ClassFactoryProxy(std::shared_ptr<Peer> peer, std::string clsid) : peer_(std::move(peer)), clsid_(std::move(clsid)) {}

  HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) noexcept override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    try {
      HRESULT hr;
      GVariant* r = peer_->Call("CreateInstance", g_variant_new("(s)", clsid_.c_str()), "(it)", &hr);
      if (!r) return hr;
      gint32 answer = 0;
      guint64 id = 0;
      g_variant_get(r, "(it)", &answer, &id);
      g_variant_unref(r);
      if (FAILED(answer)) return answer;
      return CreateComObject<DispatchProxy>(riid, ppv, peer_, id);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  HRESULT LockServer(BOOL fLock) noexcept override {
    HRESULT hr;
    GVariant* r = peer_->Call("LockServer", g_variant_new("(sb)", clsid_.c_str(), fLock ? TRUE : FALSE), "(i)", &hr);
    if (!r) return hr;
    gint32 answer = 0;
    g_variant_get(r, "(i)", &answer);
    g_variant_unref(r);
    return answer;
  }

 private:
  std::shared_ptr<Peer> peer_;
  std::string clsid_;
};

// The unique name that owns a well-known name; empty when none does.
std::string OwnerOf(GDBusConnection* bus, const std::string& name) {
  GVariant* r = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "GetNameOwner", g_variant_new("(s)", name.c_str()),
                                            G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
  if (!r) return {};
  const gchar* owner = nullptr;
  g_variant_get(r, "(&s)", &owner);
  std::string out = owner ? owner : "";
  g_variant_unref(r);
  return out;
}

bool ReadLocalServer32(REFCLSID clsid, std::string* command) {
  HKEY k;
  const std::string key = "CLSID\\" + GuidToString(clsid) + "\\LocalServer32";
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
  char buf[4096] = {};
  DWORD cb = sizeof buf - 1, type = 0;
  const LONG st = RegQueryValueEx(k, "", nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb);
  RegCloseKey(k);
  if (st != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  *command = buf;
  return true;
}

// Starts the program with "-Embedding" and waits until it owns the class's name. The program
// is its own session leader's child no longer once it runs: a thread reaps it, so that a
// program that fails at once is noticed without waiting for the time-out.
HRESULT StartServer(GDBusConnection* bus, const std::string& command, const std::string& busName, std::string* owner) {
  gint argc = 0;
  gchar** argv = nullptr;
  if (!g_shell_parse_argv(command.c_str(), &argc, &argv, nullptr) || argc < 1) return CO_E_APPNOTFOUND;
  std::vector<gchar*> args(argv, argv + argc);
  gchar embedding[] = "-Embedding";
  args.push_back(embedding);
  args.push_back(nullptr);
  GPid pid = 0;
  GError* err = nullptr;
  const gboolean started = g_spawn_async(nullptr, args.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                                         &pid, &err);
  g_strfreev(argv);
  if (!started) {
    g_clear_error(&err);
    return CO_E_SERVER_EXEC_FAILURE;
  }
  auto exited = std::make_shared<std::atomic<bool>>(false);
  std::thread([pid, exited] {
    int status = 0;
    waitpid(pid, &status, 0);
    exited->store(true);
  }).detach();
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    *owner = OwnerOf(bus, busName);
    if (!owner->empty()) return S_OK;
    // A program that exited may have lost a race to another instance that now owns the name.
    if (exited->load()) {
      *owner = OwnerOf(bus, busName);
      return owner->empty() ? CO_E_SERVER_EXEC_FAILURE : S_OK;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return CO_E_SERVER_EXEC_FAILURE;
}

}  // namespace
}  // namespace tesk::local

HRESULT tesk::GetLocalServerClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  using namespace tesk::local;
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  try {
    std::string command;
    if (!ReadLocalServer32(rclsid, &command)) return REGDB_E_CLASSNOTREG;
    GError* err = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &err);
    if (!bus) {
      g_clear_error(&err);
      return CO_E_SERVER_EXEC_FAILURE;
    }
    auto peer = std::make_shared<Peer>();
    peer->bus = bus;
    const std::string busName = LocalServerBusName(rclsid);
    peer->name = OwnerOf(bus, busName);
    if (peer->name.empty()) {
      HRESULT hr = StartServer(bus, command, busName, &peer->name);
      if (FAILED(hr)) return hr;
    }
    return CreateComObject<ClassFactoryProxy>(riid, ppv, peer, GuidToString(rclsid));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}
