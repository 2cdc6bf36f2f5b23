// SelvaneDlg in-process, its dialogs replaced by a stand-in: every property rule, both modes,
// and ShowDialog's answers, reached through IDispatch as clients reach it.
#include <gtest/gtest.h>
#include <tesk/testing/scratch_dir.h>

#include <string>
#include <vector>

#include <tesk/platform.h>
#include <tesk/zorum.h>

#include "property_put.h"
#include "selvane_dlg.h"
#include "server_module.h"

namespace {

using tesk::Bstr;
using tesk::Variant;

class FakeUi : public selvane::DialogUi {
 public:
  LONG RunFileDialog(const selvane::FileDialogRequest& r, std::vector<std::string>* paths) override {
    file = r;
    ++fileRuns;
    *paths = filePaths;
    return fileResult;
  }
  LONG RunDatabaseDialog(const selvane::DatabaseDialogRequest& r, std::vector<std::string>* names) override {
    db = r;
    dbConnected = r.connection != nullptr;
    ++dbRuns;
    *names = dbNames;
    return dbResult;
  }
  selvane::FileDialogRequest file;
  selvane::DatabaseDialogRequest db;
  bool dbConnected = false;
  int fileRuns = 0, dbRuns = 0;
  std::vector<std::string> filePaths, dbNames;
  LONG fileResult = IDOK, dbResult = IDOK;
};

class SelvaneObjectTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TESK_REGISTRY_DIR", (dir_.path() / "registry").c_str(), 1);
    ASSERT_EQ(DllRegisterServer(), S_OK);  // the database server's classes
    selvane::SetDialogUi(&ui_);
    IClassFactory* f = nullptr;
    ASSERT_EQ(selvane::GetSelvaneClassObject(IID_IClassFactory, reinterpret_cast<void**>(&f)), S_OK);
    ASSERT_EQ(f->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&dlg_)), S_OK);
    f->Release();
  }
  void TearDown() override {
    if (dlg_) dlg_->Release();
    selvane::SetDialogUi(nullptr);
  }

  HRESULT PutText(DISPID id, const std::string& s) { return chooser_test::PutText(dlg_, id, s); }
  HRESULT PutLong(DISPID id, LONG n) { return chooser_test::PutLong(dlg_, id, n); }
  HRESULT Get(DISPID id, Variant* out) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return dlg_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
  }
  std::string GetText(DISPID id) {
    Variant v;
    EXPECT_EQ(Get(id, &v), S_OK);
    return v.vt == VT_BSTR ? tesk::FromBstr(v.bstrVal) : "<not text>";
  }
  LONG Show() {
    VARIANT parent;
    VariantInit(&parent);
    parent.vt = VT_I4;
    parent.lVal = 0;
    DISPPARAMS dp{&parent, nullptr, 1, 0};
    Variant r;
    EXPECT_EQ(dlg_->Invoke(DISPID_SELVANE_SHOWDIALOG, IID_NULL, 0, DISPATCH_METHOD, &dp, &r, nullptr, nullptr), S_OK);
    return r.lVal;
  }
  std::vector<std::string> Selected() {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant r;
    EXPECT_EQ(dlg_->Invoke(DISPID_SELVANE_GETSELECTEDFILES, IID_NULL, 0, DISPATCH_METHOD, &none, &r, nullptr, nullptr), S_OK);
    std::vector<std::string> out;
    EXPECT_EQ(r.vt, VT_ARRAY | VT_BSTR);
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(r.parray, 1, &lo);
    SafeArrayGetUBound(r.parray, 1, &hi);
    for (LONG i = lo; i <= hi; ++i) {
      Bstr b;
      SafeArrayGetElement(r.parray, &i, &b);
      out.push_back(b.Narrow());
    }
    return out;
  }
  // A database server named `name` with two paths and a file.
  void MakeServer(const std::string& name) {
    std::string error;
    ASSERT_EQ(tesk::zorum::CreateServer(name, "", &error), S_OK) << error;
    ASSERT_EQ(tesk::zorum::LoadJson(name, R"({"server": {"version": "3.5", "dataPath": "/srv/data",
        "libraryPath": "/srv/lib/"}, "files": [{"name": "a1.CEL", "owner": "alice", "type": "CEL"}]})", &error),
              S_OK) << error;
  }

  tesk::testing::ScratchDir dir_;
  FakeUi ui_;
  IDispatch* dlg_ = nullptr;
};

TEST_F(SelvaneObjectTest, FileModeDialogGetsTitleFilterOptionsAndDirectory) {
  ASSERT_EQ(PutLong(DISPID_SELVANE_AVAILABLEFILETYPES, 5), S_OK);
  ASSERT_EQ(PutText(DISPID_SELVANE_DATAPATH, "/data/run1"), S_OK);
  EXPECT_EQ(GetText(DISPID_SELVANE_DATAPATH), "/data/run1/");
  ui_.fileResult = IDCANCEL;
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_EQ(ui_.file.title, "Open");
  EXPECT_EQ(ui_.file.filter, "CHP Files (*.CHP)|*.CHP|DAT Files (*.DAT)|*.DAT||");
  EXPECT_FALSE(ui_.file.multiSelect);
  EXPECT_EQ(ui_.file.initialDir, "/data/run1/");

  ASSERT_EQ(PutText(DISPID_SELVANE_TITLE, "Pick arrays"), S_OK);
  ASSERT_EQ(PutLong(DISPID_SELVANE_MULTISELECT, 1), S_OK);
  ASSERT_EQ(PutLong(DISPID_SELVANE_AVAILABLEFILETYPES, 0), S_OK);
  Show();
  EXPECT_EQ(ui_.file.title, "Pick arrays");
  EXPECT_TRUE(ui_.file.multiSelect);
  EXPECT_EQ(ui_.file.filter, "CHP Files (*.CHP)|*.CHP|CEL Files (*.CEL)|*.CEL|DAT Files (*.DAT)|*.DAT||");
  // Only 1 allows several files.
  ASSERT_EQ(PutLong(DISPID_SELVANE_MULTISELECT, 2), S_OK);
  Show();
  EXPECT_FALSE(ui_.file.multiSelect);
}

TEST_F(SelvaneObjectTest, ThreeChosenFilesComeBackReversedAndSetTheDataPath) {
  ui_.filePaths = {"/d/x/a.CEL", "/d/x/b.CEL", "/d/x/c.CEL"};
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(Selected(), (std::vector<std::string>{"c.CEL", "b.CEL", "a.CEL"}));
  EXPECT_EQ(GetText(DISPID_SELVANE_DATAPATH), "/d/x/");
  // A cancelled dialog clears the list and keeps the path.
  ui_.fileResult = IDCANCEL;
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(GetText(DISPID_SELVANE_DATAPATH), "/d/x/");
}

TEST_F(SelvaneObjectTest, PathsGainOneTrailingSeparatorAndEmptyStaysEmpty) {
  ASSERT_EQ(PutText(DISPID_SELVANE_LIBRARYPATH, "/lib"), S_OK);
  EXPECT_EQ(GetText(DISPID_SELVANE_LIBRARYPATH), "/lib/");
  ASSERT_EQ(PutText(DISPID_SELVANE_LIBRARYPATH, "/lib/"), S_OK);
  EXPECT_EQ(GetText(DISPID_SELVANE_LIBRARYPATH), "/lib/");
  ASSERT_EQ(PutText(DISPID_SELVANE_DATAPATH, ""), S_OK);
  EXPECT_EQ(GetText(DISPID_SELVANE_DATAPATH), "");
}

TEST_F(SelvaneObjectTest, FileTypeReadsBackInFileModeAndMapsInDatabaseMode) {
  Variant v;
  ASSERT_EQ(PutLong(DISPID_SELVANE_FILETYPE, 3), S_OK);
  ASSERT_EQ(Get(DISPID_SELVANE_FILETYPE, &v), S_OK);
  EXPECT_EQ(v.lVal, 3);

  MakeServer("labfm");
  ASSERT_EQ(PutText(DISPID_SELVANE_SERVERNAME, "labfm"), S_OK);
  // 3 has no database code.
  Variant w;
  EXPECT_EQ(Get(DISPID_SELVANE_FILETYPE, &w), DISP_E_EXCEPTION);
  ASSERT_EQ(PutLong(DISPID_SELVANE_FILETYPE, DBFD_CHP_FILE), S_OK);
  Variant x;
  ASSERT_EQ(Get(DISPID_SELVANE_FILETYPE, &x), S_OK);
  EXPECT_EQ(x.lVal, DBFD_CHP_FILE);
  ASSERT_EQ(PutLong(DISPID_SELVANE_FILETYPE, DBFD_ALL_FILES), S_OK);
  Variant y;
  EXPECT_EQ(Get(DISPID_SELVANE_FILETYPE, &y), DISP_E_EXCEPTION);
  ASSERT_EQ(PutLong(DISPID_SELVANE_FILETYPE, DBFD_CEL_FILE), S_OK);
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(ui_.db.typeCode, "CEL");
}

TEST_F(SelvaneObjectTest, ServerNameEntersDatabaseModeWithTheServersPaths) {
  MakeServer("labsrv1");
  ASSERT_EQ(PutText(DISPID_SELVANE_SERVERNAME, "labsrv1"), S_OK);
  EXPECT_EQ(GetText(DISPID_SELVANE_SERVERNAME), "labsrv1");
  EXPECT_EQ(GetText(DISPID_SELVANE_DATAPATH), "/srv/data/");
  EXPECT_EQ(GetText(DISPID_SELVANE_LIBRARYPATH), "/srv/lib/");
  ui_.dbNames = {"a1.CEL"};
  ASSERT_EQ(PutText(DISPID_SELVANE_TITLE, "Database"), S_OK);
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(ui_.dbRuns, 1);
  EXPECT_EQ(ui_.fileRuns, 0);
  EXPECT_TRUE(ui_.dbConnected);
  EXPECT_EQ(ui_.db.title, "Database");
  EXPECT_EQ(ui_.db.server, "labsrv1");
  EXPECT_EQ(Selected(), std::vector<std::string>{"a1.CEL"});

  // An empty name leaves database mode; each mode keeps its own list.
  ASSERT_EQ(PutText(DISPID_SELVANE_SERVERNAME, ""), S_OK);
  EXPECT_TRUE(Selected().empty());
  ui_.filePaths = {"/x/y.DAT"};
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(ui_.fileRuns, 1);
  EXPECT_EQ(Selected(), std::vector<std::string>{"y.DAT"});
  ASSERT_EQ(PutText(DISPID_SELVANE_SERVERNAME, "labsrv1"), S_OK);
  EXPECT_EQ(Selected(), std::vector<std::string>{"a1.CEL"});
}

TEST_F(SelvaneObjectTest, AnUnreachableServerFailsThePutAndTheDialogAnswersMinusOne) {
  ASSERT_EQ(PutText(DISPID_SELVANE_DATAPATH, "/keep"), S_OK);
  EXPECT_EQ(PutText(DISPID_SELVANE_SERVERNAME, "nosuchserver"), DISP_E_EXCEPTION);
  EXPECT_EQ(GetText(DISPID_SELVANE_DATAPATH), "/keep/");
  EXPECT_EQ(Show(), -1);
  EXPECT_EQ(ui_.dbRuns, 0);
  // Without a local server the paths stay as they were.
  ASSERT_EQ(PutText(DISPID_SELVANE_SERVERNAME, ""), S_OK);
  EXPECT_EQ(GetText(DISPID_SELVANE_DATAPATH), "/keep/");
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(ui_.fileRuns, 1);
}

TEST_F(SelvaneObjectTest, ShowDialogNeedsAResultAndWithoutWindowsAnswersMinusOne) {
  ISelvaneDlg* typed = nullptr;
  ASSERT_EQ(dlg_->QueryInterface(IID_ISelvaneDlg, reinterpret_cast<void**>(&typed)), S_OK);
  EXPECT_EQ(typed->ShowDialog(0, nullptr), E_POINTER);
  EXPECT_EQ(typed->GetSelectedFiles(nullptr), E_POINTER);
  selvane::SetDialogUi(nullptr);
  LONG r = 7;
  EXPECT_EQ(typed->ShowDialog(0, &r), S_OK);
  EXPECT_EQ(r, -1);
  typed->Release();

  // Names compare without regard to case.
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"availablefiletypes")};
  DISPID id = 0;
  EXPECT_EQ(dlg_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  EXPECT_EQ(id, DISPID_SELVANE_AVAILABLEFILETYPES);
}

TEST_F(SelvaneObjectTest, ObjectsAndLocksAreCounted) {
  const LONG before = selvane::Module().Count();
  IClassFactory* f = nullptr;
  ASSERT_EQ(selvane::GetSelvaneClassObject(IID_IClassFactory, reinterpret_cast<void**>(&f)), S_OK);
  f->LockServer(TRUE);
  EXPECT_EQ(selvane::Module().Count(), before + 1);
  IDispatch* d = nullptr;
  ASSERT_EQ(f->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
  EXPECT_EQ(selvane::Module().Count(), before + 2);
  d->Release();
  f->LockServer(FALSE);
  EXPECT_EQ(selvane::Module().Count(), before);
  f->Release();
}

}  // namespace
