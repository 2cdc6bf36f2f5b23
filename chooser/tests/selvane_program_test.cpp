// bin/selvane as clients and users meet it: registered by its own command line, started through
// CoCreateInstance by ProgID on a private session bus, its dialogs on a virtual display driven
// with synthetic keys, and its end 5 seconds after the last client let go.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <tesk/testing/scratch_dir.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <tesk/platform.h>
#include <tesk/testing/bytes.h>
#include <tesk/testing/wait.h>
#include <tesk/platform/local_server.h>
#include <tesk/selvane.h>
#include <tesk/zorum.h>

#define TESK_PRIVATE_SESSION_WANTS_DISPLAY true
#include "private_session.h"
#include "property_put.h"

namespace {

using namespace std::chrono_literals;
using tesk::Bstr;
using tesk::Variant;

std::string Shell(const std::string& cmd, int* rc = nullptr) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    if (rc) *rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

using tesk::testing::WaitFor;

std::string ReadFile(const std::string& path) { return tesk::testing::ReadFileBytes(path); }

// The process that owns the chooser's bus name, 0 when none does.
pid_t ServerPid() {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus) return 0;
  const std::string name = tesk::LocalServerBusName(CLSID_SelvaneDlg);
  GVariant* r = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                                            g_variant_new("(s)", name.c_str()), G_VARIANT_TYPE("(u)"),
                                            G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
  g_object_unref(bus);
  if (!r) return 0;
  guint32 pid = 0;
  g_variant_get(r, "(u)", &pid);
  g_variant_unref(r);
  return static_cast<pid_t>(pid);
}

bool Alive(pid_t pid) { return pid > 0 && kill(pid, 0) == 0; }

std::string Me() {
  const passwd* pw = getpwuid(getuid());
  return pw ? pw->pw_name : "";
}

class Chooser {
 public:
  Chooser() {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Tesk.FileOpenDlg", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_SelvaneDlg);
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d_)), S_OK);
  }
  ~Chooser() { Release(); }
  void Release() {
    if (d_) d_->Release();
    d_ = nullptr;
  }
  bool ok() const { return d_ != nullptr; }

  HRESULT PutText(DISPID id, const std::string& s) { return chooser_test::PutText(d_, id, s); }
  HRESULT PutLong(DISPID id, LONG n) { return chooser_test::PutLong(d_, id, n); }
  std::string GetText(DISPID id) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant v;
    EXPECT_EQ(d_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr), S_OK);
    return v.vt == VT_BSTR ? tesk::FromBstr(v.bstrVal) : "";
  }
  LONG Show(LONG parent = 0) {
    VARIANT p;
    VariantInit(&p);
    p.vt = VT_I4;
    p.lVal = parent;
    DISPPARAMS dp{&p, nullptr, 1, 0};
    Variant r;
    EXPECT_EQ(d_->Invoke(DISPID_SELVANE_SHOWDIALOG, IID_NULL, 0, DISPATCH_METHOD, &dp, &r, nullptr, nullptr), S_OK);
    return r.vt == VT_I4 ? r.lVal : -99;
  }
  std::vector<std::string> Selected() {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant r;
    EXPECT_EQ(d_->Invoke(DISPID_SELVANE_GETSELECTEDFILES, IID_NULL, 0, DISPATCH_METHOD, &none, &r, nullptr, nullptr),
              S_OK);
    std::vector<std::string> out;
    if (r.vt != (VT_ARRAY | VT_BSTR)) return out;
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

 private:
  IDispatch* d_ = nullptr;
};

class SelvaneProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!tesk_test::PrivateSession()) GTEST_SKIP() << "needs dbus-run-session";
    setenv("TESK_REGISTRY_DIR", (dir_.path() / "registry").c_str(), 1);
    setenv("SELVANE_MESSAGE_LOG", Messages().c_str(), 1);
    int rc = -1;
    Shell(std::string("'") + TESK_SELVANE_PROGRAM + "' -RegServer", &rc);
    ASSERT_EQ(rc, 0);
  }
  void TearDown() override {
    // A dialog left open by a failed test must not keep the server.
    if (const pid_t pid = ServerPid(); pid > 0 && HasFailure()) kill(pid, SIGKILL);
  }
  std::string Messages() const { return dir_.File("messages.txt"); }

  // Waits for a window whose title is exactly `title`; its X id, or "".
  static std::string WindowNamed(const std::string& title) {
    std::string id;
    WaitFor([&] {
      id = Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1");
      return !id.empty();
    }, 20s);
    return id;
  }
  static void Keys(const std::string& window, const std::string& keys) {
    Shell("xdotool windowactivate --sync " + window + " 2>/dev/null; xdotool windowfocus --sync " + window +
          "; xdotool key --clearmodifiers --delay 80 " + keys);
  }
  static void Type(const std::string& window, const std::string& text) {
    Shell("xdotool windowfocus --sync " + window + "; xdotool type --delay 40 '" + text + "'");
  }
  static void Screenshot(const std::string& window, const std::string& name) {
    const std::string dir = TESK_SCREENSHOT_DIR;
    Shell("mkdir -p '" + dir + "' && import -window " + window + " '" + dir + "/" + name + "'");
  }

  tesk::testing::ScratchDir dir_;
};

TEST_F(SelvaneProgramTest, RegServerAndUnregServerWriteAndRemoveTheRegistrationAndServiceFile) {
  const std::string key = "CLSID\\" + tesk::GuidToString(CLSID_SelvaneDlg);
  char buf[512] = {};
  LONG cb = sizeof buf;
  ASSERT_EQ(RegQueryValue(HKEY_CLASSES_ROOT, (key + "\\LocalServer32").c_str(), buf, &cb), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buf), std::string("\"") + TESK_SELVANE_PROGRAM + "\"");
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(u"Tesk.FileOpenDlg.1", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_SelvaneDlg);
  HKEY k;
  for (const std::string& sub : {"AppID\\" + tesk::GuidToString(APPID_Selvane),
                                 "TypeLib\\" + tesk::GuidToString(LIBID_SelvaneLib),
                                 "Interface\\" + tesk::GuidToString(IID_ISelvaneDlg)}) {
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, sub.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS) << sub;
    RegCloseKey(k);
  }
  const std::string service = tesk::LocalServerServiceFile(CLSID_SelvaneDlg);
  EXPECT_NE(ReadFile(service).find(std::string("Exec=\"") + TESK_SELVANE_PROGRAM + "\" -Embedding"), std::string::npos);

  int rc = -1;
  Shell(std::string("'") + TESK_SELVANE_PROGRAM + "' /UNREGSERVER", &rc);  // tokens in any case
  EXPECT_EQ(rc, 0);
  EXPECT_NE(RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
  EXPECT_EQ(CLSIDFromProgID(u"Tesk.FileOpenDlg", &clsid), CO_E_CLASSSTRING);
  EXPECT_NE(access(service.c_str(), F_OK), 0);
}

TEST_F(SelvaneProgramTest, EndsFiveSecondsAfterTheLastRelease) {
  Chooser c;
  ASSERT_TRUE(c.ok());
  const pid_t pid = ServerPid();
  ASSERT_GT(pid, 0);
  ASSERT_EQ(c.PutText(DISPID_SELVANE_DATAPATH, "/data"), S_OK);
  EXPECT_EQ(c.GetText(DISPID_SELVANE_DATAPATH), "/data/");
  {
    Chooser second;  // one program serves every client
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(ServerPid(), pid);
  }
  std::this_thread::sleep_for(6s);
  EXPECT_TRUE(Alive(pid)) << "a client still holds an object";
  const auto released = std::chrono::steady_clock::now();
  c.Release();
  ASSERT_TRUE(WaitFor([&] { return !Alive(pid); }, 15s));
  const auto after = std::chrono::steady_clock::now() - released;
  EXPECT_GE(after, 4500ms);
  EXPECT_LE(after, 9s);
}

// Runs in a child process of the next test: holds an object until killed.
TEST(SelvaneProgramHelper, HoldAnObjectUntilKilled) {
  if (!std::getenv("SELVANE_HELPER")) GTEST_SKIP() << "runs only as the helper of AKilledClientLetsTheProgramEnd";
  Chooser c;
  ASSERT_TRUE(c.ok());
  std::printf("ready\n");
  std::fflush(stdout);
  pause();
}

TEST_F(SelvaneProgramTest, AKilledClientLetsTheProgramEnd) {
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    setenv("SELVANE_HELPER", "1", 1);
    execl(self, self, "--gtest_filter=SelvaneProgramHelper.*", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string seen;
  char buf[256];
  while (seen.find("ready") == std::string::npos) {
    const ssize_t n = read(out[0], buf, sizeof buf);
    if (n <= 0) break;
    seen.append(buf, static_cast<size_t>(n));
  }
  close(out[0]);
  ASSERT_NE(seen.find("ready"), std::string::npos);
  const pid_t server = ServerPid();
  ASSERT_GT(server, 0);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  const auto killed = std::chrono::steady_clock::now();
  // The server is the helper's child: once it ends, no process owns the bus name.
  ASSERT_TRUE(WaitFor([&] { return ServerPid() == 0; }, 15s));
  EXPECT_GE(std::chrono::steady_clock::now() - killed, 4500ms);
}

TEST_F(SelvaneProgramTest, AnUnreachableServerAnswersMinusOne) {
  Chooser c;
  ASSERT_TRUE(c.ok());
  EXPECT_EQ(c.PutText(DISPID_SELVANE_SERVERNAME, "nosuchserver"), DISP_E_EXCEPTION);
  EXPECT_EQ(c.GetText(DISPID_SELVANE_SERVERNAME), "nosuchserver");
  EXPECT_EQ(c.Show(), -1);
  EXPECT_TRUE(c.Selected().empty());
}

TEST_F(SelvaneProgramTest, WithoutItsBusTheProgramSaysSoAndEnds) {
  int rc = 0;
  const std::string out = Shell("env DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus DISPLAY= '" +
                                    std::string(TESK_SELVANE_PROGRAM) + "' -Embedding 2>&1",
                                &rc);
  EXPECT_EQ(rc, 1);
  EXPECT_NE(out.find("OLE Initialization Failed!"), std::string::npos) << out;
}

TEST_F(SelvaneProgramTest, ARunningServerKeepsItsHiddenWindow) {
  if (!tesk_test::PrivateDisplay()) GTEST_SKIP() << "needs xvfb-run";
  Chooser c;
  ASSERT_TRUE(c.ok());
  EXPECT_FALSE(Shell("xdotool search --name '^SomeName$'").empty());
  EXPECT_TRUE(Shell("xdotool search --onlyvisible --name '^SomeName$'").empty());
}

TEST_F(SelvaneProgramTest, FileDialogPicksThreeFilesAsAPersonWould) {
  if (!tesk_test::PrivateDisplay()) GTEST_SKIP() << "needs xvfb-run";
  const std::string data = dir_.File("run1");
  std::filesystem::create_directories(data);
  for (const char* n : {"a1.CEL", "b2.CEL", "c3.cel", "d4.DAT", "e5.CHP"}) std::ofstream(data + "/" + n) << "x";
  Chooser c;
  ASSERT_TRUE(c.ok());
  ASSERT_EQ(c.PutText(DISPID_SELVANE_DATAPATH, data), S_OK);
  ASSERT_EQ(c.PutLong(DISPID_SELVANE_MULTISELECT, 1), S_OK);
  ASSERT_EQ(c.PutLong(DISPID_SELVANE_AVAILABLEFILETYPES, 2), S_OK);
  ASSERT_EQ(c.PutText(DISPID_SELVANE_TITLE, "Pick CEL files"), S_OK);
  LONG result = -99;
  // A parent handle that names no window is taken as none.
  std::thread show([&] { result = c.Show(0x7ffffff0); });
  const std::string w = WindowNamed("Pick CEL files");
  ASSERT_FALSE(w.empty());
  std::this_thread::sleep_for(1500ms);  // the folder is read
  Keys(w, "ctrl+a");
  std::this_thread::sleep_for(300ms);
  Screenshot(w, "file_dialog.png");
  Keys(w, "Return");
  show.join();
  EXPECT_EQ(result, IDOK);
  // The filter shows only cell intensity files, in any case; the list comes back reversed.
  EXPECT_EQ(c.Selected(), (std::vector<std::string>{"c3.cel", "b2.CEL", "a1.CEL"}));
  EXPECT_EQ(c.GetText(DISPID_SELVANE_DATAPATH), data + "/");

  // Cancel clears the selection.
  std::thread again([&] { result = c.Show(); });
  const std::string w2 = WindowNamed("Pick CEL files");
  ASSERT_FALSE(w2.empty());
  std::this_thread::sleep_for(800ms);
  Keys(w2, "Escape");
  again.join();
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(c.Selected().empty());
}

class SelvaneDatabaseTest : public SelvaneProgramTest {
 protected:
  void SetUp() override {
    SelvaneProgramTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (!tesk_test::PrivateDisplay()) GTEST_SKIP() << "needs xvfb-run";
    ASSERT_EQ(DllRegisterServer(), S_OK);  // the database server's classes
    // A server name of its own, so that no role cache of an earlier run answers for it.
    server_ = "lab" + std::to_string(getpid());
    std::string error;
    ASSERT_EQ(tesk::zorum::CreateServer(server_, "", &error), S_OK) << error;
    const std::string me = Me();
    const std::string json = R"({"server": {"version": "3.5", "dataPath": "/srv/data/", "libraryPath": "/srv/lib/"},
      "roles": [{"name": "Browsers", "members": [["LAB\\)" + me + R"(", "GU"], ["LAB\\bob", "GU"]],
                 "own": "YNNNNNNNNNNNNN", "other": "YNNNNNNNNNNNNN"}],
      "files": [
        {"name": "a1.CEL", "owner": ")" + me + R"(", "type": "CEL", "sample": "S1", "sampleType": "Tissue",
         "project": "P1", "experiment": "E1", "assay": "Expression", "chipType": "Demo_Array", "user": "alice", "date": "2026-01-31"},
        {"name": "b2.CEL", "owner": "bob", "type": "CEL", "sample": "S2", "sampleType": "Blood",
         "project": "P2", "experiment": "E2", "assay": "Expression", "chipType": "Demo_Array", "user": "bob", "date": "2026-02-10"},
        {"name": "z9.CEL", "owner": "zed", "type": "CEL", "sample": "S9", "sampleType": "Blood",
         "project": "P2", "experiment": "E9", "assay": "Mapping", "chipType": "Other_Array", "user": "zed", "date": "2026-03-01"},
        {"name": "c3.CHP", "owner": "bob", "type": "CHP", "sample": "S2", "project": "P2", "experiment": "E2"}]})";
    ASSERT_EQ(tesk::zorum::LoadJson(server_, json, &error), S_OK) << error;
  }
  void TearDown() override {
    SelvaneProgramTest::TearDown();
    std::string error;
    if (!server_.empty()) tesk::zorum::DropServer(server_, &error);
  }
  std::string FilterValue(const char* name) {
    HKEY k;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\Quillomere\\TESK_SDK\\Filter", 0, KEY_READ, &k) != ERROR_SUCCESS)
      return "<no key>";
    char buf[300] = {};
    DWORD cb = sizeof buf - 1;
    RegQueryValueEx(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(k);
    return buf;
  }
  std::string server_;
};

TEST_F(SelvaneDatabaseTest, FilterAppliedAndFileChosenAsAPersonWould) {
  Chooser c;
  ASSERT_TRUE(c.ok());
  ASSERT_EQ(c.PutText(DISPID_SELVANE_SERVERNAME, server_), S_OK);
  EXPECT_EQ(c.GetText(DISPID_SELVANE_DATAPATH), "/srv/data/");
  ASSERT_EQ(c.PutLong(DISPID_SELVANE_FILETYPE, DBFD_CEL_FILE), S_OK);
  LONG result = -99;
  std::thread show([&] { result = c.Show(); });
  const std::string w = WindowNamed("Open");
  ASSERT_FALSE(w.empty());
  std::this_thread::sleep_for(1500ms);
  // Each step waits a moment, so that a busy machine does not drop keys meant for a widget
  // that is not yet shown.
  Keys(w, "alt+d");  // details view
  std::this_thread::sleep_for(300ms);
  Keys(w, "alt+f");  // unfold the filter panel
  std::this_thread::sleep_for(500ms);
  Keys(w, "alt+r Down Down");  // Sample Project: [All Projects], P1, P2
  std::this_thread::sleep_for(300ms);
  Keys(w, "alt+p");  // Apply
  std::this_thread::sleep_for(800ms);
  Screenshot(w, "database_dialog.png");
  Keys(w, "alt+n");
  Type(w, "b2.CEL");
  Keys(w, "Return");
  show.join();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(c.Selected(), std::vector<std::string>{"b2.CEL"});
  EXPECT_EQ(FilterValue("Project"), "P2");
  EXPECT_EQ(ReadFile(Messages()), "");
}

TEST_F(SelvaneDatabaseTest, RefusedAndUnknownFilesKeepTheDialogOpenWithTheirMessages) {
  Chooser c;
  ASSERT_TRUE(c.ok());
  ASSERT_EQ(c.PutText(DISPID_SELVANE_SERVERNAME, server_), S_OK);
  ASSERT_EQ(c.PutLong(DISPID_SELVANE_MULTISELECT, 1), S_OK);
  LONG result = -99;
  std::thread show([&] { result = c.Show(); });
  const std::string w = WindowNamed("Open");
  ASSERT_FALSE(w.empty());
  std::this_thread::sleep_for(800ms);
  Keys(w, "alt+n");
  Type(w, "nope.CEL");
  Keys(w, "Return");
  std::string box = WindowNamed("Tesk File Open Dialog ");
  ASSERT_FALSE(box.empty());
  Keys(box, "Return");
  ASSERT_TRUE(WaitFor([&] { return WindowNamed("Tesk File Open Dialog ").empty() || true; }, 1s));
  std::this_thread::sleep_for(500ms);
  Keys(w, "alt+n ctrl+a");
  Type(w, "\"z9.CEL\" \"a1.CEL\"");
  Keys(w, "Return");
  // zed shares no role with the caller; a1.CEL is the caller's own and opens.
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(WaitFor([&] {
      std::string text = ReadFile(Messages());
      return static_cast<int>(std::count(text.begin(), text.end(), '\n')) >= 2 + i;
    }, 15s));
    box = WindowNamed("Tesk File Open Dialog ");
    ASSERT_FALSE(box.empty());
    Keys(box, "Return");
    std::this_thread::sleep_for(500ms);
  }
  show.join();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(c.Selected(), std::vector<std::string>{"a1.CEL"});
  EXPECT_EQ(ReadFile(Messages()),
            "Tesk File Open Dialog |nope.CEL does not exist. Please select a different file\n"
            "Tesk File Open Dialog |Cannot access data owned by zed - User is not a role member.\n"
            "Tesk File Open Dialog |The following could not be opened: z9.CEL\n");
}

}  // namespace
