// `tesk db`: servers of the database stand-in. create maps a server name to a database (and
// sets it up), load adds a JSON document's content, dump prints it, drop removes the server,
// markers lists the files in use and unmark clears a file's markers as an administrator.
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include <tesk/internal/file.h>
#include <tesk/zorum.h>

#include "tesk_tool.h"

namespace {

constexpr char kUsage[] =
    "create NAME [URI] | load NAME FILE.json | dump NAME | drop NAME | markers NAME | unmark NAME FILE\n"
    "    URI: sqlite:PATH (default: a file in the machine's data directory) or postgresql://... (no password:\n"
    "    libpq takes it from ~/.pgpass, PGPASSWORD or peer authentication)";

int Failed(const std::string& what, HRESULT hr, const std::string& error) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
  std::cerr << "tesk db " << what << ": " << (error.empty() ? "failed" : error) << " (" << code << ")\n";
  return 1;
}

int Usage() {
  std::cerr << "usage: tesk db " << kUsage << "\n";
  return 2;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  const std::string& verb = args[0];
  const std::string& name = args[1];
  std::string error;
  if (verb == "create" && args.size() <= 3) {
    const HRESULT hr = tesk::zorum::CreateServer(name, args.size() == 3 ? args[2] : std::string(), &error);
    if (FAILED(hr)) return Failed("create " + name, hr, error);
    std::cout << "server " << name << " created\n";
    return 0;
  }
  if (verb == "load" && args.size() == 3) {
    std::string text;
    if (!tesk::internal::ReadWholeFile(args[2], text)) return tesk::tool::fail(args[2], "cannot read");
    const HRESULT hr = tesk::zorum::LoadJson(name, text, &error);
    if (FAILED(hr)) return Failed("load " + name + " " + args[2], hr, error + "; nothing was changed");
    return 0;
  }
  if (verb == "dump" && args.size() == 2) {
    std::string json;
    const HRESULT hr = tesk::zorum::DumpJson(name, &json, &error);
    if (FAILED(hr)) return Failed("dump " + name, hr, error);
    std::cout << json;
    return std::cout.flush() ? 0 : 1;
  }
  if (verb == "drop" && args.size() == 2) {
    const HRESULT hr = tesk::zorum::DropServer(name, &error);
    if (FAILED(hr)) return Failed("drop " + name, hr, error);
    return 0;
  }
  if (verb == "markers" && args.size() == 2) {
    std::vector<tesk::zorum::MarkerInfo> markers;
    const HRESULT hr = tesk::zorum::ListMarkers(name, &markers, &error);
    if (FAILED(hr)) return Failed("markers " + name, hr, error);
    for (const auto& m : markers) {
      const std::time_t t = static_cast<std::time_t>(m.since);
      char when[32] = "?";
      std::tm tm{};
      if (gmtime_r(&t, &tm)) std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &tm);
      std::cout << m.file << '\t' << m.holder << '\t' << when << '\n';
    }
    return 0;
  }
  if (verb == "unmark" && args.size() == 3) {
    const HRESULT hr = tesk::zorum::ClearMarkers(name, args[2], &error);
    if (FAILED(hr)) return Failed("unmark " + name, hr, error);
    return 0;
  }
  return Usage();
}

const tesk::tool::Registrar kDb({"db", kUsage, &Run});

}  // namespace
