// SelvaneDlg: the chooser's one automation object, and the seam between it and the windows
// that show its dialogs.
#ifndef TESK_CHOOSER_SRC_SELVANE_DLG_H_
#define TESK_CHOOSER_SRC_SELVANE_DLG_H_

#include <optional>
#include <string>
#include <vector>

#include <tesk/platform/comhelpers.h>
#include <tesk/selvane.h>
#include <tesk/zorum.h>

namespace selvane {

struct FileDialogRequest {
  std::string title;
  std::string filter;      // "label|pattern|...||"
  bool multiSelect = false;
  std::string initialDir;  // the data path
  LONG parent = 0;         // the client's window, 0 for none
};

struct DatabaseDialogRequest {
  std::string title;
  bool multiSelect = false;
  std::optional<std::string> typeCode;  // the database's code of the file type, if any
  std::string server;
  IConnection* connection = nullptr;  // open for the dialog's life
  LONG parent = 0;
};

// What shows the dialogs: GTK in the program, a stand-in in tests. Each returns the dialog's
// result (IDOK, IDCANCEL) and fills the chosen full paths (file mode) or names (database mode).
class DialogUi {
 public:
  virtual ~DialogUi() = default;
  virtual LONG RunFileDialog(const FileDialogRequest& request, std::vector<std::string>* paths) = 0;
  virtual LONG RunDatabaseDialog(const DatabaseDialogRequest& request, std::vector<std::string>* names) = 0;
};
// The UI that new and existing objects use (not owned); null shows nothing and fails.
void SetDialogUi(DialogUi* ui);

// Makes the class factory of SelvaneDlg, whose objects and locks count in Module().
HRESULT GetSelvaneClassObject(REFIID riid, void** ppv);

// The dispatch table, which also stands in for the type library.
const tesk::TypeLibInfo& SelvaneTypeLib();

}  // namespace selvane

#endif  // TESK_CHOOSER_SRC_SELVANE_DLG_H_
