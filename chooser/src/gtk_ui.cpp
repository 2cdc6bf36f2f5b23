// The file dialog and the message boxes.
#include "gtk_ui.h"

#include <gdk/gdkx.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <tesk/platform/system.h>

#include "chooser_rules.h"

namespace selvane {
namespace {

// "*.CHP" as a pattern that matches any case, as the file systems the names come from do.
std::string AnyCase(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    if (std::isalpha(static_cast<unsigned char>(c))) {
      out += '[';
      out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

void OnRealizeAttach(GtkWidget* dialog, gpointer data) {
  auto* foreign = static_cast<GdkWindow*>(data);
  gdk_window_set_transient_for(gtk_widget_get_window(dialog), foreign);
}

int ButtonsResult(gint response) {
  switch (response) {
    case GTK_RESPONSE_OK: return IDOK;
    case GTK_RESPONSE_YES: return IDYES;
    case GTK_RESPONSE_NO: return IDNO;
    default: return IDCANCEL;
  }
}

// Tests read what the boxes said from the file SELVANE_MESSAGE_LOG names, one box a line.
void LogMessage(LPCSTR text, LPCSTR caption) {
  const char* log = std::getenv("SELVANE_MESSAGE_LOG");
  if (!log || !*log) return;
  if (FILE* f = std::fopen(log, "a")) {
    std::string line = std::string(caption ? caption : "") + "|" + (text ? text : "");
    for (char& c : line)
      if (c == '\n') c = ' ';
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

int GtkMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  LogMessage(text, caption);
  GtkMessageType kind = GTK_MESSAGE_INFO;
  switch (type & 0xF0) {
    case MB_ICONERROR: kind = GTK_MESSAGE_ERROR; break;
    case MB_ICONQUESTION: kind = GTK_MESSAGE_QUESTION; break;
    case MB_ICONWARNING: kind = GTK_MESSAGE_WARNING; break;
    default: break;
  }
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, kind, GTK_BUTTONS_NONE, "%s", text ? text : "");
  gtk_window_set_title(GTK_WINDOW(box), caption ? caption : "Error");
  switch (type & 0xF) {
    case MB_OKCANCEL:
      gtk_dialog_add_buttons(GTK_DIALOG(box), "_Cancel", GTK_RESPONSE_CANCEL, "_OK", GTK_RESPONSE_OK, nullptr);
      break;
    case MB_YESNO:
      gtk_dialog_add_buttons(GTK_DIALOG(box), "_No", GTK_RESPONSE_NO, "_Yes", GTK_RESPONSE_YES, nullptr);
      break;
    case MB_YESNOCANCEL:
      gtk_dialog_add_buttons(GTK_DIALOG(box), "_Cancel", GTK_RESPONSE_CANCEL, "_No", GTK_RESPONSE_NO, "_Yes",
                             GTK_RESPONSE_YES, nullptr);
      break;
    default:
      gtk_dialog_add_buttons(GTK_DIALOG(box), "_OK", GTK_RESPONSE_OK, nullptr);
      break;
  }
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  if (type & (MB_TOPMOST | MB_SETFOREGROUND)) gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  const gint response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  int answer = ButtonsResult(response);
  // Closing a box that has only OK answers OK, as on the desktop it imitates.
  if ((type & 0xF) == MB_OK) answer = IDOK;
  return answer;
}

}  // namespace

void AttachToClientWindow(GtkWidget* dialog, LONG xid) {
  if (xid == 0) return;
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return;
  // A handle that names no window gives no foreign window; the dialog then has no parent.
  GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, static_cast<Window>(static_cast<ULONG>(xid)));
  if (!foreign) return;
  g_signal_connect_data(dialog, "realize", G_CALLBACK(OnRealizeAttach), foreign,
                        [](gpointer data, GClosure*) { g_object_unref(data); }, G_CONNECT_AFTER);
}

void InstallMessageBoxes() { TeskSetMessageBoxHook(&GtkMessageBox); }

LONG GtkDialogUi::RunFileDialog(const FileDialogRequest& request, std::vector<std::string>* paths) {
  GtkWidget* d = gtk_file_chooser_dialog_new(request.title.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
                                             GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(d);
  gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_ACCEPT);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_select_multiple(chooser, request.multiSelect);
  for (const auto& [label, pattern] : ParseFilter(request.filter)) {
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, label.c_str());
    gtk_file_filter_add_pattern(f, AnyCase(pattern).c_str());
    gtk_file_chooser_add_filter(chooser, f);
  }
  struct stat st;
  if (!request.initialDir.empty() && stat(request.initialDir.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    gtk_file_chooser_set_current_folder(chooser, request.initialDir.c_str());
  gtk_window_set_position(GTK_WINDOW(d), GTK_WIN_POS_CENTER);
  gtk_window_set_default_size(GTK_WINDOW(d), 760, 520);
  AttachToClientWindow(d, request.parent);
  const gint response = gtk_dialog_run(GTK_DIALOG(d));
  LONG result = IDCANCEL;
  if (response == GTK_RESPONSE_ACCEPT) {
    result = IDOK;
    GSList* files = gtk_file_chooser_get_filenames(chooser);
    for (GSList* it = files; it; it = it->next) {
      // Paths and files must exist: a name typed for a file that is not there is dropped.
      const char* path = static_cast<const char*>(it->data);
      if (stat(path, &st) == 0) paths->emplace_back(path);
    }
    g_slist_free_full(files, g_free);
    if (paths->empty()) result = IDCANCEL;
  }
  gtk_widget_destroy(d);
  while (gtk_events_pending()) gtk_main_iteration();
  return result;
}

LONG GtkDialogUi::RunDatabaseDialog(const DatabaseDialogRequest& request, std::vector<std::string>* names) {
  return RunDatabaseDialogGtk(request, names);
}

}  // namespace selvane
