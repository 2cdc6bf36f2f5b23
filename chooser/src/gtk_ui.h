// The chooser's windows: the file dialog, the database dialog and message boxes, in GTK 3.
#ifndef TESK_CHOOSER_SRC_GTK_UI_H_
#define TESK_CHOOSER_SRC_GTK_UI_H_

#include <gtk/gtk.h>

#include "selvane_dlg.h"

namespace selvane {

class GtkDialogUi final : public DialogUi {
 public:
  LONG RunFileDialog(const FileDialogRequest& request, std::vector<std::string>* paths) override;
  LONG RunDatabaseDialog(const DatabaseDialogRequest& request, std::vector<std::string>* names) override;
};

// Makes platform MessageBox calls show GTK message dialogs.
void InstallMessageBoxes();

// Makes a dialog transient for the client's X window when xid names one; otherwise nothing.
void AttachToClientWindow(GtkWidget* dialog, LONG xid);

// Runs the database dialog (db_dialog.cpp).
LONG RunDatabaseDialogGtk(const DatabaseDialogRequest& request, std::vector<std::string>* names);

}  // namespace selvane

#endif  // TESK_CHOOSER_SRC_GTK_UI_H_
