// The SelvaneDlg object: its properties and their rules, and ShowDialog in both modes.
#include "selvane_dlg.h"

#include <atomic>
#include <new>

#include <tesk/platform/system.h>

#include "chooser_rules.h"
#include "database.h"
#include "server_module.h"

namespace selvane {
namespace {

constexpr int kConnectAttempts = 5;
std::atomic<DialogUi*> g_ui{nullptr};

constexpr tesk::DispMember kMembers[] = {
    tesk::DispMethod<&ISelvaneDlg::ShowDialog, tesk::kRetval>("ShowDialog", DISPID_SELVANE_SHOWDIALOG),
    tesk::DispMethod<&ISelvaneDlg::GetSelectedFiles, tesk::kRetval>("GetSelectedFiles", DISPID_SELVANE_GETSELECTEDFILES),
    tesk::DispPropGet<&ISelvaneDlg::get_FileType>("FileType", DISPID_SELVANE_FILETYPE),
    tesk::DispPropPut<&ISelvaneDlg::put_FileType>("FileType", DISPID_SELVANE_FILETYPE),
    tesk::DispPropPut<&ISelvaneDlg::put_Title>("Title", DISPID_SELVANE_TITLE),
    tesk::DispPropPut<&ISelvaneDlg::put_AvailableFileTypes>("AvailableFileTypes", DISPID_SELVANE_AVAILABLEFILETYPES),
    tesk::DispPropPut<&ISelvaneDlg::put_MultiSelect>("MultiSelect", DISPID_SELVANE_MULTISELECT),
    tesk::DispPropGet<&ISelvaneDlg::get_ServerName>("ServerName", DISPID_SELVANE_SERVERNAME),
    tesk::DispPropPut<&ISelvaneDlg::put_ServerName>("ServerName", DISPID_SELVANE_SERVERNAME),
    tesk::DispPropGet<&ISelvaneDlg::get_DataPath>("DataPath", DISPID_SELVANE_DATAPATH),
    tesk::DispPropPut<&ISelvaneDlg::put_DataPath>("DataPath", DISPID_SELVANE_DATAPATH),
    tesk::DispPropGet<&ISelvaneDlg::get_LibraryPath>("LibraryPath", DISPID_SELVANE_LIBRARYPATH),
    tesk::DispPropPut<&ISelvaneDlg::put_LibraryPath>("LibraryPath", DISPID_SELVANE_LIBRARYPATH),
};
constexpr tesk::DispTable kTable{"ISelvaneDlg", &IID_ISelvaneDlg, kMembers};
constexpr const tesk::DispTable* kInterfaces[] = {&kTable};
constexpr tesk::TypeLibInfo kTypeLib{LIBID_SelvaneLib, "SELVANELib", "Selvane 1.0 Type Library", 1, 0, 0, kInterfaces};

}  // namespace
}  // namespace selvane

template <>
struct tesk::DispatchTableOf<ISelvaneDlg> {
  static const DispTable& Get() { return selvane::kTable; }
};

namespace selvane {
namespace {

HRESULT Hand(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = tesk::AllocBstr(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

std::string Narrow(BSTR b) { return tesk::FromBstr(b); }

class CSelvaneDlg final : public tesk::ComClass<CSelvaneDlg, tesk::DispatchImpl<ISelvaneDlg>,
                                                tesk::SupportErrorInfoFor<ISelvaneDlg>> {
 public:
  static ServerModule& Module() { return selvane::Module(); }

  HRESULT ShowDialog(LONG hParentWnd, LONG* nResult) noexcept override {
    if (!nResult) return E_POINTER;
    *nResult = -1;
    try {
      DialogUi* ui = g_ui.load();
      if (!ui) return S_OK;
      if (databaseMode_) {
        tesk::ComPtr<IConnection> c;
        if (FAILED(OpenConnection(serverName_, kConnectAttempts, c))) return S_OK;
        DatabaseDialogRequest r{title_, multiSelect_ == 1, typeCode_, serverName_, c.Get(), hParentWnd};
        std::vector<std::string> names;
        const LONG result = ui->RunDatabaseDialog(r, &names);
        if (result == IDOK) selectedDb_ = std::move(names);
        c->Close();
        *nResult = result;
      } else {
        FileDialogRequest r{title_, FileModeFilter(availableFileTypes_), multiSelect_ == 1, dataPath_, hParentWnd};
        selectedFile_.clear();
        std::vector<std::string> paths;
        const LONG result = ui->RunFileDialog(r, &paths);
        if (result == IDOK) {
          FileSelection s = SplitSelection(paths);
          if (!s.dataPath.empty()) dataPath_ = s.dataPath;
          selectedFile_ = std::move(s.names);
        }
        *nResult = result;
      }
    } catch (...) {
      // Whatever failed inside, the client hears -1 and the server lives on.
      *nResult = -1;
    }
    return S_OK;
  }

  HRESULT GetSelectedFiles(VARIANT* ppsa) noexcept override {
    if (!ppsa) return E_POINTER;
    const std::vector<std::string>& list = databaseMode_ ? selectedDb_ : selectedFile_;
    SAFEARRAY* psa = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(list.size()));
    if (!psa) return E_OUTOFMEMORY;
    for (LONG i = 0; i < static_cast<LONG>(list.size()); ++i) {
      tesk::Bstr b(list[static_cast<size_t>(i)]);
      if (FAILED(SafeArrayPutElement(psa, &i, b.Get()))) {
        SafeArrayDestroy(psa);
        return E_OUTOFMEMORY;
      }
    }
    VariantInit(ppsa);
    ppsa->vt = VT_ARRAY | VT_BSTR;
    ppsa->parray = psa;
    return S_OK;
  }

  HRESULT get_FileType(LONG* pVal) noexcept override {
    if (!pVal) return E_POINTER;
    if (!databaseMode_) {
      *pVal = fileType_;
      return S_OK;
    }
    std::optional<LONG> t = typeCode_ ? FileTypeFromCode(*typeCode_) : std::nullopt;
    if (!t) return tesk::ReportError("SelvaneDlg", IID_ISelvaneDlg, "the file type has no database code", E_FAIL);
    *pVal = *t;
    return S_OK;
  }
  HRESULT put_FileType(LONG v) noexcept override {
    fileType_ = v;
    typeCode_ = DatabaseTypeCode(v);
    return S_OK;
  }
  HRESULT put_Title(BSTR v) noexcept override {
    title_ = Narrow(v);
    return S_OK;
  }
  HRESULT put_AvailableFileTypes(LONG v) noexcept override {
    availableFileTypes_ = v;
    return S_OK;
  }
  HRESULT put_MultiSelect(LONG v) noexcept override {
    multiSelect_ = v;
    return S_OK;
  }
  HRESULT get_ServerName(BSTR* p) noexcept override { return Hand(serverName_, p); }
  HRESULT put_ServerName(BSTR v) noexcept override {
    try {
      databaseMode_ = false;
      serverName_ = Narrow(v);
      ServerPaths paths{dataPath_, libraryPath_};
      if (!serverName_.empty()) {
        databaseMode_ = true;
        tesk::ComPtr<IConnection> c;
        if (FAILED(OpenConnection(serverName_, 1, c)))
          return tesk::ReportError("SelvaneDlg", IID_ISelvaneDlg, "cannot connect to the server " + serverName_, E_FAIL);
        ServerPaths got;
        if (SUCCEEDED(ConnectionPaths(c.Get(), &got))) paths = got;
        c->Close();
      } else {
        ServerPaths local;
        if (SUCCEEDED(LocalPaths(&local))) paths = local;
      }
      dataPath_ = WithTrailingSeparator(paths.dataPath);
      libraryPath_ = WithTrailingSeparator(paths.libraryPath);
      return S_OK;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }
  HRESULT get_DataPath(BSTR* p) noexcept override { return Hand(dataPath_, p); }
  HRESULT put_DataPath(BSTR v) noexcept override {
    dataPath_ = WithTrailingSeparator(Narrow(v));
    return S_OK;
  }
  HRESULT get_LibraryPath(BSTR* p) noexcept override { return Hand(libraryPath_, p); }
  HRESULT put_LibraryPath(BSTR v) noexcept override {
    libraryPath_ = WithTrailingSeparator(Narrow(v));
    return S_OK;
  }

 private:
  LONG fileType_ = DBFD_ALL_FILES;
  std::optional<std::string> typeCode_;
  std::string title_ = "Open";
  LONG availableFileTypes_ = 0;
  LONG multiSelect_ = 0;
  std::string serverName_, dataPath_, libraryPath_;
  bool databaseMode_ = false;
  std::vector<std::string> selectedFile_, selectedDb_;
};

class Factory final : public tesk::ComClass<Factory, IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return tesk::CreateComObject<CSelvaneDlg>(riid, ppv);
  }
  HRESULT LockServer(BOOL lock) noexcept override {
    if (lock)
      Module().Lock();
    else
      Module().Unlock();
    return S_OK;
  }
};

}  // namespace

void SetDialogUi(DialogUi* ui) { g_ui.store(ui); }

HRESULT GetSelvaneClassObject(REFIID riid, void** ppv) { return tesk::CreateComObject<Factory>(riid, ppv); }

const tesk::TypeLibInfo& SelvaneTypeLib() { return kTypeLib; }

}  // namespace selvane
