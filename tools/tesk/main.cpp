// tesk: inspect, convert and generate the kit's files, and edit its registry.
#include <fcntl.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <system_error>

#include <tesk/internal/file.h>

#include "tesk_tool.h"

namespace tesk::tool {
namespace {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

std::vector<Kind>& Kinds() {
  static std::vector<Kind> kinds;
  return kinds;
}

std::vector<Kind> SortedKinds() {
  std::vector<Kind> kinds = Kinds();
  std::stable_sort(kinds.begin(), kinds.end(),
                   [](const Kind& a, const Kind& b) { return a.order < b.order; });
  return kinds;
}

int Sample(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << "usage: tesk sample DIR\n";
    return 2;
  }
  const std::filesystem::path dir = args[0];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) return fail(dir, "cannot create directory: " + ec.message());
  for (const Kind& kind : SortedKinds()) {
    if (kind.sample == nullptr) continue;
    if (int rc = kind.sample(dir); rc != 0) {
      std::cerr << "tesk: sample: writing the " << kind.name << " files failed\n";
      return rc;
    }
  }
  return 0;
}

int Info(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::cerr << "usage: tesk info FILE...\n";
    return 2;
  }
  int status = 0;
  for (const std::string& arg : args) {
    const std::filesystem::path file = arg;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
      status = fail(file, "no such file");
      continue;
    }
    const Kind* found = nullptr;
    const std::vector<Kind> kinds = SortedKinds();
    for (const Kind& kind : kinds) {
      if (kind.recognises != nullptr && kind.recognises(file)) {
        found = &kind;
        break;
      }
    }
    if (found == nullptr) {
      status = fail(file, "not a file of a kind this program knows");
      continue;
    }
    if (args.size() > 1) std::cout << "== " << file.string() << " (" << found->name << ")\n";
    std::cout.flush();
    if (int rc = found->info(file); rc != 0) status = rc;
    std::cout.flush();
  }
  return status;
}

const Registrar kSample{Command{"sample", "DIR   write a synthetic data set", &Sample}};
const Registrar kInfo{Command{"info", "FILE...   summarise data files", &Info}};

void Usage() {
  std::vector<Command> commands = Commands();
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  std::cerr << "usage: tesk COMMAND [ARGS]\n";
  for (const Command& c : commands) std::cerr << "  tesk " << c.name << " " << c.usage << "\n";
}

}  // namespace

Registrar::Registrar(const Command& command) { Commands().push_back(command); }
Registrar::Registrar(const Kind& kind) { Kinds().push_back(kind); }

int fail(const std::filesystem::path& file, std::string_view what) {
  std::cerr << "tesk: " << file.string() << ": " << what << "\n";
  return 1;
}

std::string ReadHead(const std::filesystem::path& f, std::size_t n, std::int64_t* size) {
  tesk::internal::File file = tesk::internal::File::Open(f.string(), O_RDONLY);
  if (size != nullptr) *size = file ? file.Size() : -1;
  std::string head(n, '\0');
  const std::int64_t got = file ? file.Read(head.data(), n) : -1;
  head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return head;
}

}  // namespace tesk::tool

int main(int argc, char** argv) {
  using namespace tesk::tool;
  if (argc < 2) {
    Usage();
    return 2;
  }
  const std::string_view name = argv[1];
  if (name == "-h" || name == "--help" || name == "help") {
    Usage();
    return 0;
  }
  for (const Command& command : Commands()) {
    if (command.name == name) return command.run({argv + 2, argv + argc});
  }
  std::cerr << "tesk: unknown command '" << name << "'\n";
  Usage();
  return 2;
}
