// The selvane program: registration tokens, and the automation server with its hidden window,
// its class object on the session bus and the shutdown monitor.
#include <gtk/gtk.h>
#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <tesk/platform.h>
#include <tesk/platform/local_server.h>

#include "gtk_ui.h"
#include "selvane_dlg.h"
#include "server_module.h"

#if defined(__SANITIZE_ADDRESS__)
// GLib, GDBus and GTK keep process-wide caches that they never free; they are not our leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\nleak:libgtk-3.so\nleak:libgdk-3.so\n"
         "leak:libfontconfig.so\nleak:libpango\nleak:libcairo\nleak:libharfbuzz\nleak:libX11.so\n";
}
#endif

namespace {

enum class Start { kNormal, kEmbedding, kRegister, kUnregister };

constexpr tesk::ClassRegistration kClass{&CLSID_SelvaneDlg, "SelvaneDlg Class", SELVANE_PROGID,
                                         SELVANE_VERSION_INDEPENDENT_PROGID, nullptr, &LIBID_SelvaneLib};

// Tokens may be written -Token or /Token, in any case.
Start ParseCommandLine(int argc, char** argv) {
  Start start = Start::kNormal;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    while (*a == '-' || *a == '/') ++a;
    if (strcasecmp(a, "RegServer") == 0) return Start::kRegister;
    if (strcasecmp(a, "UnregServer") == 0) return Start::kUnregister;
    if (strcasecmp(a, "Embedding") == 0 || strcasecmp(a, "Automation") == 0) start = Start::kEmbedding;
  }
  return start;
}

std::string ProgramPath() {
  char buf[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

GMainLoop* g_loop = nullptr;
bool g_gtk = false;

gboolean Quit(gpointer) {
  if (g_gtk)
    gtk_main_quit();
  else
    g_main_loop_quit(g_loop);
  return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
  const Start start = ParseCommandLine(argc, argv);
  if (start == Start::kRegister || start == Start::kUnregister) {
    const HRESULT hr = start == Start::kRegister
                           ? tesk::RegisterLocalServer(kClass, &APPID_Selvane, &selvane::SelvaneTypeLib(), ProgramPath())
                           : tesk::UnregisterLocalServer(kClass, &APPID_Selvane, &selvane::SelvaneTypeLib());
    if (FAILED(hr)) {
      std::fprintf(stderr, "selvane: %s failed (0x%08X)\n", start == Start::kRegister ? "registration" : "unregistration",
                   static_cast<unsigned>(hr));
      return 1;
    }
    return 0;
  }

  // Without a display the server still answers; its dialogs then fail with -1.
  g_gtk = gtk_init_check(&argc, &argv);
  if (g_gtk) selvane::InstallMessageBoxes();
  if (FAILED(CoInitialize(nullptr))) {
    MessageBox(nullptr, "OLE Initialization Failed!", "selvane", MB_OK | MB_ICONERROR);
    return 1;
  }
  IClassFactory* factory = nullptr;
  DWORD cookie = 0;
  HRESULT hr = selvane::GetSelvaneClassObject(IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(hr)) hr = CoRegisterClassObject(CLSID_SelvaneDlg, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  if (FAILED(hr)) {
    if (factory) factory->Release();
    // Another instance already serves the class: it takes the clients.
    if (hr == CO_E_OBJISREG) return 0;
    MessageBox(nullptr, "OLE Initialization Failed!", "selvane", MB_OK | MB_ICONERROR);
    return 1;
  }

  static selvane::GtkDialogUi ui;
  GtkWidget* hidden = nullptr;
  if (g_gtk) {
    selvane::SetDialogUi(&ui);
    // The hidden top-level window of a running server.
    hidden = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(hidden), "SomeName");
    gtk_widget_realize(hidden);
  } else {
    g_loop = g_main_loop_new(nullptr, FALSE);
  }

  selvane::Module().StartMonitor([] { g_idle_add(&Quit, nullptr); });
  if (start == Start::kEmbedding) selvane::Module().Signal();
  if (g_gtk)
    gtk_main();
  else
    g_main_loop_run(g_loop);

  selvane::SetDialogUi(nullptr);
  CoRevokeClassObject(cookie);
  selvane::Module().StopMonitor();
  factory->Release();
  if (hidden) gtk_widget_destroy(hidden);
  CoUninitialize();
  return 0;
}
