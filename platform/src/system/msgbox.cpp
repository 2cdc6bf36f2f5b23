// Message boxes: an installable hook; without one the text goes to standard error and the
// caller gets the box's default button, as an unattended user would press it.
#include <atomic>
#include <cstdio>

#include <tesk/platform/system.h>

namespace {

std::atomic<TeskMessageBoxHook> g_hook{nullptr};

int DefaultButton(UINT type) {
  static const int kButtons[][3] = {
      {IDOK, IDOK, IDOK},             // MB_OK
      {IDOK, IDCANCEL, IDCANCEL},     // MB_OKCANCEL
      {IDABORT, IDRETRY, IDIGNORE},   // MB_ABORTRETRYIGNORE
      {IDYES, IDNO, IDCANCEL},        // MB_YESNOCANCEL
      {IDYES, IDNO, IDNO},            // MB_YESNO
      {IDRETRY, IDCANCEL, IDCANCEL},  // MB_RETRYCANCEL
  };
  const UINT set = type & 0xF;
  const UINT def = (type >> 8) & 0xF;
  if (set > 5) return IDOK;
  return kButtons[set][def > 2 ? 0 : def];
}

}  // namespace

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  if (TeskMessageBoxHook hook = g_hook.load()) return hook(hWnd, lpText, lpCaption, uType);
  std::fprintf(stderr, "%s: %s\n", lpCaption ? lpCaption : "Error", lpText ? lpText : "");
  std::fflush(stderr);
  return DefaultButton(uType);
}

TeskMessageBoxHook TeskSetMessageBoxHook(TeskMessageBoxHook hook) { return g_hook.exchange(hook); }
