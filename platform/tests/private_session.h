// Tests that need a session bus (and, with TESK_PRIVATE_SESSION_WANTS_DISPLAY, an X display) run
// on their own: before main, the test program runs itself again under dbus-run-session (and
// xvfb-run), with XDG_DATA_HOME in a fresh directory so that the bus sees only the service files
// the test writes; the directory is removed afterwards. When those programs are missing the program runs as it is and PrivateSession()
// answers false, so the tests skip.
//
// Include it in exactly one source file of the test program.
#ifndef TESK_PLATFORM_TESTS_PRIVATE_SESSION_H_
#define TESK_PLATFORM_TESTS_PRIVATE_SESSION_H_

#include <errno.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace tesk_test {

inline bool OnPath(const char* program) {
  const char* path = getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

// True inside the private session the program started for itself.
inline bool PrivateSession() { return getenv("TESK_PRIVATE_BUS") != nullptr && getenv("DBUS_SESSION_BUS_ADDRESS"); }
inline bool PrivateDisplay() { return PrivateSession() && getenv("TESK_PRIVATE_DISPLAY") && getenv("DISPLAY"); }

// Re-executes the program; wantDisplay adds a virtual X server.
inline void EnterPrivateSession(bool wantDisplay) {
  if (getenv("TESK_PRIVATE_BUS") || !OnPath("dbus-run-session")) return;
  const bool display = wantDisplay && OnPath("xvfb-run") && OnPath("Xvfb");
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return;
  std::string cmdline;
  if (FILE* f = fopen("/proc/self/cmdline", "rb")) {
    char buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0) cmdline.append(buf, got);
    fclose(f);
  }
  std::vector<std::string> own;
  for (size_t i = 0; i < cmdline.size();) {
    const size_t end = cmdline.find('\0', i);
    own.emplace_back(cmdline.substr(i, end - i));
    if (end == std::string::npos) break;
    i = end + 1;
  }
  for (const std::string& a : own) {
    if (a.rfind("--gtest_list_tests", 0) == 0) return;  // listing needs no session
  }
  char dir[] = "/tmp/tesk_session_XXXXXX";
  if (!mkdtemp(dir)) return;
  setenv("XDG_DATA_HOME", dir, 1);
  setenv("XDG_RUNTIME_DIR", dir, 1);
  setenv("TESK_PRIVATE_BUS", "1", 1);
  setenv("NO_AT_BRIDGE", "1", 1);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  std::vector<std::string> args = {"dbus-run-session", "--"};
  if (display) {
    setenv("TESK_PRIVATE_DISPLAY", "1", 1);
    args.insert(args.end(), {"xvfb-run", "-a", "-s", "-screen 0 1600x1200x24 -nolisten tcp"});
  }
  args.emplace_back(self);
  for (size_t i = 1; i < own.size(); ++i) args.push_back(own[i]);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The program runs again as a child, so that the scratch directory goes when it is done.
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

}  // namespace tesk_test

#if defined(__SANITIZE_ADDRESS__)
// GLib, GDBus and GTK keep process-wide caches that they never free; they are not our leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\nleak:libgtk-3.so\nleak:libgdk-3.so\n"
         "leak:libfontconfig.so\nleak:libpango\nleak:libcairo\nleak:libharfbuzz\nleak:libX11.so\n";
}
#endif

#ifndef TESK_PRIVATE_SESSION_WANTS_DISPLAY
#define TESK_PRIVATE_SESSION_WANTS_DISPLAY false
#endif

// Runs before any test, and before GoogleTest reads its flags.
[[gnu::constructor]] static void TeskEnterPrivateSession() { tesk_test::EnterPrivateSession(TESK_PRIVATE_SESSION_WANTS_DISPLAY); }

#endif  // TESK_PLATFORM_TESTS_PRIVATE_SESSION_H_
