// Selvane: the file chooser program (bin/selvane), an automation server on the user's session
// bus. Clients create SelvaneDlg by ProgID with CLSCTX_LOCAL_SERVER and call it through
// IDispatch; the program starts on demand and ends 5 seconds after its last client lets go.
//
//   CLSID clsid;
//   CLSIDFromProgID(u"Tesk.FileOpenDlg", &clsid);
//   IDispatch* dlg;
//   CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, (void**)&dlg);
//   // put AvailableFileTypes (5), MultiSelect (6), DataPath (8); call ShowDialog (1), then
//   // GetSelectedFiles (2) for a VT_ARRAY|VT_BSTR of the chosen names.
//
// `selvane -RegServer` registers the class for the calling user (and the bus's service file);
// `selvane -UnregServer` removes both.
#ifndef TESK_CHOOSER_INCLUDE_TESK_SELVANE_H_
#define TESK_CHOOSER_INCLUDE_TESK_SELVANE_H_

#include <tesk/platform/com.h>

inline constexpr CLSID CLSID_SelvaneDlg{0xB369C48A, 0xDD8B, 0x4D2C, {0x98, 0x69, 0x1F, 0xDB, 0x1B, 0x8C, 0xB6, 0x96}};
inline constexpr IID IID_ISelvaneDlg{0xB4C8C6EB, 0x397A, 0x4004, {0xB3, 0x70, 0xF5, 0x0A, 0x95, 0xAD, 0x86, 0xA6}};
inline constexpr GUID LIBID_SelvaneLib{0x508F7906, 0xB1FA, 0x492C, {0x9E, 0x7D, 0xFF, 0x18, 0x42, 0xC0, 0x60, 0x34}};
inline constexpr GUID APPID_Selvane{0xA20CAE00, 0x96D8, 0x4CBE, {0xA3, 0xE3, 0xF4, 0x77, 0x6F, 0x94, 0x1C, 0x53}};

#define SELVANE_PROGID "Tesk.FileOpenDlg.1"
#define SELVANE_VERSION_INDEPENDENT_PROGID "Tesk.FileOpenDlg"

// The file type to pick in database mode; in file mode, AvailableFileTypes uses the same bits.
enum DBFD_FILE_TYPE {
  DBFD_ALL_FILES = 0,
  DBFD_DAT_FILE = 1,
  DBFD_CEL_FILE = 2,
  DBFD_CHP_FILE = 4,
};

// Dispatch identifiers of ISelvaneDlg.
enum SELVANE_DISPID {
  DISPID_SELVANE_SHOWDIALOG = 1,
  DISPID_SELVANE_GETSELECTEDFILES = 2,
  DISPID_SELVANE_FILETYPE = 3,
  DISPID_SELVANE_TITLE = 4,
  DISPID_SELVANE_AVAILABLEFILETYPES = 5,
  DISPID_SELVANE_MULTISELECT = 6,
  DISPID_SELVANE_SERVERNAME = 7,
  DISPID_SELVANE_DATAPATH = 8,
  DISPID_SELVANE_LIBRARYPATH = 9,
};

// The dual interface, in dispatch order. Only IDispatch crosses to other processes: clients
// call these members through Invoke.
struct ISelvaneDlg : IDispatch {
  // 1: shows the dialog of the current mode; *nResult is the dialog's result (1 OK, 2 Cancel),
  // or -1 on failure. E_POINTER for a null nResult; otherwise always S_OK. hParentWnd is an X
  // window of the client's (0 for none); one that is not a window counts as none.
  virtual HRESULT ShowDialog(LONG hParentWnd, LONG* nResult) = 0;
  // 2: a new VT_ARRAY|VT_BSTR of the names selected in the current mode.
  virtual HRESULT GetSelectedFiles(VARIANT* ppsa) = 0;
  // 3: the file type (a DBFD_FILE_TYPE).
  virtual HRESULT get_FileType(LONG* pVal) = 0;
  virtual HRESULT put_FileType(LONG newVal) = 0;
  // 4: the title of both dialogs.
  virtual HRESULT put_Title(BSTR newVal) = 0;
  // 5: the file-mode filter mask (4 CHP, 2 CEL, 1 DAT; 0 all three).
  virtual HRESULT put_AvailableFileTypes(LONG newVal) = 0;
  // 6: 1 allows several files to be picked.
  virtual HRESULT put_MultiSelect(LONG newVal) = 0;
  // 7: the database server; a non-empty name selects database mode.
  virtual HRESULT get_ServerName(BSTR* pVal) = 0;
  virtual HRESULT put_ServerName(BSTR newVal) = 0;
  // 8, 9: data and library directories; a missing trailing separator is added on put.
  virtual HRESULT get_DataPath(BSTR* pVal) = 0;
  virtual HRESULT put_DataPath(BSTR newVal) = 0;
  virtual HRESULT get_LibraryPath(BSTR* pVal) = 0;
  virtual HRESULT put_LibraryPath(BSTR newVal) = 0;
};
TESK_DECLARE_INTERFACE(ISelvaneDlg, IDispatch, IID_ISelvaneDlg);

#endif  // TESK_CHOOSER_INCLUDE_TESK_SELVANE_H_
