// Registration interface of the `tesk` program. Each subsystem contributes its sub-commands and
// its file kind from a file of its own in this folder, so the program grows without a central
// list.
#ifndef TESK_TOOLS_TESK_TESK_TOOL_H_
#define TESK_TOOLS_TESK_TESK_TOOL_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tesk::tool {

// `tesk <name> args...`; usage shows the arguments (not the name) and what the command does;
// run gets the arguments after the name and returns the exit code.
struct Command {
  std::string_view name;
  std::string_view usage;
  int (*run)(const std::vector<std::string>& args);
};

// A file kind: contributes to `tesk sample DIR` (kinds run in ascending order, so a later kind
// may read what an earlier one wrote) and to `tesk info FILE`.
struct Kind {
  std::string_view name;
  int order;
  int (*sample)(const std::filesystem::path& dir);    // writes its files; 0 = success
  bool (*recognises)(const std::filesystem::path& f);  // by content, cheaply
  int (*info)(const std::filesystem::path& f);         // summary on stdout; exit code
};

struct Registrar {
  explicit Registrar(const Command& command);
  explicit Registrar(const Kind& kind);
};

// Prints "tesk: <file>: <what>" on stderr and returns 1.
int fail(const std::filesystem::path& file, std::string_view what);

// The first n bytes of the file, or fewer when it is shorter; empty when it cannot be read.
// With size given, also the file's size (-1 when unknown). What a kind's recognises reads.
std::string ReadHead(const std::filesystem::path& f, std::size_t n, std::int64_t* size = nullptr);

}  // namespace tesk::tool

#endif  // TESK_TOOLS_TESK_TESK_TOOL_H_
