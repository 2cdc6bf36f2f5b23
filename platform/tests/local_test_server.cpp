// A small local server for local_server_test: registers its class on the session bus, serves
// it from a GLib main loop and ends a moment after its last object and lock are gone.
#include <gio/gio.h>
#include <strings.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>

#include <tesk/platform.h>
#include <tesk/platform/local_server.h>

#include "local_test_class.h"

#if defined(__SANITIZE_ADDRESS__)
// GLib, GDBus and GTK keep process-wide caches that they never free; they are not our leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\nleak:libgtk-3.so\nleak:libgdk-3.so\n"
         "leak:libfontconfig.so\nleak:libpango\nleak:libcairo\nleak:libharfbuzz\nleak:libX11.so\n";
}
#endif

namespace {

GMainLoop* g_loop = nullptr;
guint g_quit_timer = 0;

// Objects and locks; at zero the server lingers briefly and ends.
class Module : public tesk::ComModule {};
Module& TheModule() {
  static Module m;
  return m;
}

gboolean QuitIfIdle(gpointer) {
  g_quit_timer = 0;
  if (TheModule().LockCount() == 0) g_main_loop_quit(g_loop);
  return G_SOURCE_REMOVE;
}

void CheckIdle() {
  if (TheModule().LockCount() != 0 || g_quit_timer) return;
  g_quit_timer = g_timeout_add(1000, &QuitIfIdle, nullptr);
}

constexpr tesk::DispMember kMembers[] = {
    tesk::DispMethod<&ILocalThing::Echo, tesk::kRetval>("Echo", 1),
    tesk::DispMethod<&ILocalThing::Split>("Split", 2),
    tesk::DispMethod<&ILocalThing::Fail>("Fail", 3),
    tesk::DispPropGet<&ILocalThing::get_Objects>("Objects", 4),
    tesk::DispPropGet<&ILocalThing::get_Pid>("Pid", 5),
    tesk::DispMethod<&ILocalThing::Sleep>("Sleep", 6),
};
constexpr tesk::DispTable kTable{"ILocalThing", &IID_ILocalThing, kMembers};

}  // namespace

template <>
struct tesk::DispatchTableOf<ILocalThing> {
  static const DispTable& Get() { return kTable; }
};

namespace {

std::atomic<LONG> g_objects{0};

class LocalThing final : public tesk::ComClass<LocalThing, tesk::DispatchImpl<ILocalThing>,
                                               tesk::SupportErrorInfoFor<ILocalThing>> {
 public:
  static tesk::ComModule& Module() { return TheModule(); }
  LocalThing() { ++g_objects; }
  ~LocalThing() override {
    --g_objects;
    CheckIdle();
  }
  HRESULT Echo(VARIANT in, VARIANT* out) noexcept override { return VariantCopy(out, &in); }
  HRESULT Split(BSTR text, SAFEARRAY** parts, LONG* count) noexcept override {
    if (!parts || !count) return E_POINTER;
    const std::string s = tesk::ToNarrow(text ? text : u"");
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
      if (i == s.size() || s[i] == ',') {
        items.push_back(s.substr(start, i - start));
        start = i + 1;
      }
    }
    SafeArrayDestroy(*parts);
    *parts = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
      BSTR b = tesk::AllocBstr(items[i]);
      SafeArrayPutElement(*parts, &i, b);
      SysFreeString(b);
    }
    *count = static_cast<LONG>(items.size());
    return S_OK;
  }
  HRESULT Fail(BSTR text) noexcept override {
    return tesk::ReportError("LocalThing", IID_ILocalThing, tesk::ToNarrow(text ? text : u""), E_INVALIDARG);
  }
  HRESULT get_Objects(LONG* n) noexcept override {
    *n = g_objects.load();
    return S_OK;
  }
  HRESULT get_Pid(LONG* pid) noexcept override {
    *pid = static_cast<LONG>(getpid());
    return S_OK;
  }
  HRESULT Sleep(LONG ms) noexcept override {
    g_usleep(static_cast<gulong>(ms) * 1000);
    return S_OK;
  }
};

class Factory final : public tesk::ComClass<Factory, IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept override {
    if (outer) return CLASS_E_NOAGGREGATION;
    return tesk::CreateComObject<LocalThing>(riid, ppv);
  }
  HRESULT LockServer(BOOL lock) noexcept override {
    if (lock) {
      TheModule().Lock();
    } else {
      TheModule().Unlock();
      CheckIdle();
    }
    return S_OK;
  }
};

}  // namespace

int main(int argc, char** argv) {
  bool embedding = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    while (*a == '-' || *a == '/') ++a;
    if (strcasecmp(a, "Embedding") == 0) embedding = true;
  }
  if (!embedding) return 2;
  g_loop = g_main_loop_new(nullptr, FALSE);
  IClassFactory* factory = nullptr;
  tesk::CreateComObject<Factory>(IID_IClassFactory, reinterpret_cast<void**>(&factory));
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(CLSID_LocalThing, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
    return 3;
  CheckIdle();  // a server that nobody uses ends too
  g_main_loop_run(g_loop);
  CoRevokeClassObject(cookie);
  factory->Release();
  return 0;
}
