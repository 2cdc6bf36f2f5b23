#include <tesk/platform/registry.h>
#include <tesk/platform/system.h>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <tesk/testing/scratch_dir.h>
#include <tesk/testing/scratch_registry.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(SystemNames, BufferSizesFollowTheWindowsRules) {
  char name[256];
  DWORD n = sizeof name;
  ASSERT_TRUE(GetComputerName(name, &n));
  EXPECT_EQ(n, std::strlen(name));  // without the terminator
  EXPECT_EQ(std::string(name).find('.'), std::string::npos);
  const DWORD len = n;

  char small[2];
  n = sizeof small;
  if (len + 1 > n) {
    EXPECT_FALSE(GetComputerName(small, &n));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
    EXPECT_EQ(n, len + 1);  // with the terminator
  }

  char user[256];
  DWORD u = sizeof user;
  ASSERT_TRUE(GetUserName(user, &u));
  EXPECT_EQ(u, std::strlen(user) + 1);  // with the terminator
  EXPECT_GT(std::strlen(user), 0u);
  u = 1;
  EXPECT_FALSE(GetUserName(user, &u));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(u, std::strlen(user) + 1);
}

TEST(SystemNames, DomainComesFromTheMachineRegistryElseTheComputer) {
  tesk::testing::ScratchRegistry registry;

  char computer[256], user[256], full[512];
  DWORD n = sizeof computer, u = sizeof user;
  ASSERT_TRUE(GetComputerName(computer, &n));
  ASSERT_TRUE(GetUserName(user, &u));
  ULONG f = sizeof full;
  ASSERT_TRUE(GetUserNameEx(NameSamCompatible, full, &f));
  EXPECT_EQ(std::string(full), std::string(computer) + "\\" + user);

  HKEY k;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, TESK_DOMAIN_KEY, 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, &k, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(k, TESK_DOMAIN_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>("LAB"), 4),
            ERROR_SUCCESS);
  RegCloseKey(k);
  f = sizeof full;
  ASSERT_TRUE(GetUserNameEx(NameSamCompatible, full, &f));
  EXPECT_EQ(std::string(full), std::string("LAB\\") + user);
}

struct Captured {
  std::string source, text;
  WORD type = 0;
  DWORD id = 0;
  int calls = 0;
};
Captured g_event;

TEST(EventLog, ReportsThroughTheHookWithItsSource) {
  TeskEventLogHook prev = TeskSetEventLogHook([](const char* source, WORD type, DWORD id, const char* text) {
    g_event.source = source;
    g_event.type = type;
    g_event.id = id;
    g_event.text = text;
    ++g_event.calls;
    return 1;
  });
  HANDLE h = RegisterEventSource(nullptr, "ROLVANE");
  ASSERT_NE(h, nullptr);
  LPCSTR strings[] = {"CreateFileMapping err= 5"};
  EXPECT_TRUE(ReportEvent(h, EVENTLOG_ERROR_TYPE, 0, 7, nullptr, 1, 0, strings, nullptr));
  EXPECT_EQ(g_event.source, "ROLVANE");
  EXPECT_EQ(g_event.text, "CreateFileMapping err= 5");
  EXPECT_EQ(g_event.type, EVENTLOG_ERROR_TYPE);
  EXPECT_EQ(g_event.id, 7u);
  EXPECT_TRUE(DeregisterEventSource(h));
  EXPECT_FALSE(ReportEvent(h, EVENTLOG_ERROR_TYPE, 0, 7, nullptr, 1, 0, strings, nullptr));
  EXPECT_EQ(g_event.calls, 1);
  EXPECT_EQ(RegisterEventSource("\\\\no-such-host-anywhere", "X"), nullptr);
  TeskSetEventLogHook(prev);

  // Without a hook the event goes to syslog; it must simply succeed.
  h = RegisterEventSource(nullptr, "tesk-test");
  EXPECT_TRUE(ReportEvent(h, EVENTLOG_INFORMATION_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr));
  DeregisterEventSource(h);
}

TEST(MessageBoxHook, HookSeesTheBoxAndDefaultAnswersTheDefaultButton) {
  static std::string seen;
  TeskMessageBoxHook prev = TeskSetMessageBoxHook([](HWND, LPCSTR text, LPCSTR caption, UINT type) {
    seen = std::string(caption) + "|" + text + "|" + std::to_string(type);
    return IDNO;
  });
  EXPECT_EQ(MessageBox(nullptr, "Authorization Error", "Zorum", MB_ICONSTOP | MB_YESNO), IDNO);
  EXPECT_EQ(seen, "Zorum|Authorization Error|" + std::to_string(MB_ICONSTOP | MB_YESNO));
  TeskSetMessageBoxHook(prev);

  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox(nullptr, "text", "caption", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(MessageBox(nullptr, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBox(nullptr, "t", "c", MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "caption: text\nc: t\nc: t\n");
}

TEST(MappedFile, ViewsAtUnalignedOffsetsBeyondFourGigabytes) {
  tesk::testing::ScratchDir dir;
  const std::string path = dir.File("map.bin");
  const char* tmpl = path.c_str();
  const int fd = ::open(tmpl, O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  const uint64_t big = (uint64_t{1} << 32) + 12345;  // sparse: past 4 GiB
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(big + 100)), 0);
  ASSERT_EQ(pwrite(fd, "tail", 4, static_cast<off_t>(big)), 4);
  ASSERT_EQ(pwrite(fd, "head", 4, 3), 4);
  close(fd);

  tesk::platform::MappedFile m;
  ASSERT_TRUE(m.Open(tmpl, tesk::platform::MappedFile::Mode::kRead));
  EXPECT_EQ(m.size(), big + 100);
  ASSERT_TRUE(m.Map(big, 4));
  EXPECT_EQ(std::memcmp(m.data(), "tail", 4), 0);
  EXPECT_EQ(m.mutable_data(), nullptr);  // read-only
  ASSERT_TRUE(m.Map(3, 0));
  EXPECT_EQ(std::memcmp(m.data(), "head", 4), 0);
  EXPECT_EQ(m.length(), big + 97);
  EXPECT_FALSE(m.Map(big + 100, 1));   // past the end
  EXPECT_FALSE(m.Map(big + 50, 51));   // runs past the end
  EXPECT_EQ(m.data(), nullptr);        // a failed Map leaves no view, and the file open
  EXPECT_TRUE(m.is_open());

  tesk::platform::MappedFile w;
  ASSERT_TRUE(w.Open(tmpl, tesk::platform::MappedFile::Mode::kReadWrite));
  ASSERT_TRUE(w.Map(big + 1, 2));
  std::memcpy(w.mutable_data(), "XY", 2);
  w.Close();
  ASSERT_TRUE(m.Map(big, 4));
  EXPECT_EQ(std::memcmp(m.data(), "tXYl", 4), 0);

  SYSTEM_INFO si;
  GetSystemInfo(&si);
  EXPECT_EQ(si.dwAllocationGranularity, static_cast<DWORD>(sysconf(_SC_PAGESIZE)));
  EXPECT_FALSE(tesk::platform::MappedFile().Open("/nonexistent/file", tesk::platform::MappedFile::Mode::kRead));
}

}  // namespace
