// Administration of servers (tesk db): creating, dropping, loading, dumping, markers.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "json_io.h"
#include "pg_roles.h"
#include "schema.h"
#include "server_map.h"
#include "store.h"

namespace tesk::zorum {
namespace {

template <class F>
HRESULT Run(std::string* error, F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const SqlError& e) {
    if (error) *error = e.message;
    return e.hr;
  } catch (const std::bad_alloc&) {
    if (error) *error = "out of memory";
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return E_FAIL;
  }
}

ServerConfig Mapped(std::string_view name) {
  if (!ValidServerName(name)) Throw(E_INVALIDARG, "\"" + std::string(name) + "\" is not a server name (letters, digits, '_', '-', '.')");
  return RequireServer(name);
}

// Opens a mapped server for administration: on PostgreSQL as its owner role.
std::unique_ptr<Database> OpenAsAdministrator(const ServerConfig& config) {
  ServerConfig c = config;
  c.fault.reset();  // the test facility fails clients' calls, not the administrator's
  std::unique_ptr<Database> db = OpenServer(c);
  if (db->IsPostgres()) BecomeOwner(*db, config.name);
  return db;
}

// Creates an empty SQLite file that only its owner may read and write: its roles grant rights,
// and its markers and records are the owner's.
void CreatePrivateFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    if (errno == EEXIST) Throw(E_INVALIDARG, path + " already exists; pick another file or remove it");
    Throw(RPC_E_SERVER_UNAVAILABLE_HR, "cannot create " + path + ": " + std::strerror(errno));
  }
  close(fd);
}

}  // namespace

HRESULT CreateServer(std::string_view name, std::string_view uriIn, std::string* error) noexcept {
  return Run(error, [&] {
    if (!ValidServerName(name))
      Throw(E_INVALIDARG, "\"" + std::string(name) + "\" is not a server name (1 to 63 letters, digits, '_', '-', '.')");
    if (FindServer(name)) Throw(E_INVALIDARG, "the server " + std::string(name) + " already exists (tesk db drop it first)");
    std::string uri(uriIn);
    if (uri.empty()) uri = "sqlite:" + DefaultDataDirectory() + "/" + std::string(name) + ".db";
    if (UriHasPassword(uri))
      Throw(E_INVALIDARG,
            "the URI holds a password, which would be stored in the registry. Give the URI without it; the password "
            "belongs in libpq's password file (~/.pgpass, or the file PGPASSFILE names, mode 0600) or in the PGPASSWORD "
            "environment variable, or use peer authentication on a Unix socket (host=/path/to/socket/dir)");
    if (!IsSqliteUri(uri) && !IsPostgresUri(uri))
      Throw(E_INVALIDARG, "unsupported URI; use sqlite:PATH or postgresql://...");
    OpenOptions options;
    if (IsSqliteUri(uri)) {
      if (uri.size() <= 7) Throw(E_INVALIDARG, "sqlite: needs a file path");
      CreatePrivateFile(uri.substr(7));
      options.create = true;
    }
    try {
      std::unique_ptr<Database> db = OpenDatabase(uri, options);
      if (db->IsPostgres() && db->Scalar("SELECT 1 FROM pg_namespace WHERE nspname = $1", {SchemaName(name)})) {
        // The server exists already (set up from another workstation): map it after checking
        // that this user reaches its tables.
        db->Script("SET search_path TO " + SchemaName(name));
        CheckSchema(*db, "the server " + std::string(name));
        WriteServer(name, uri);
        return;
      }
      Transaction t(*db);
      if (db->IsPostgres()) SetUpPostgresServer(*db, name);
      else CreateSchema(*db);
      if (db->IsPostgres()) BecomeOwner(*db, name);  // the settings are the owner's
      if (GetSetting(*db, "serverName").empty()) PutSetting(*db, "serverName", name);
      t.Commit();
    } catch (...) {
      if (IsSqliteUri(uri)) unlink(uri.substr(7).c_str());
      throw;
    }
    WriteServer(name, uri);
  });
}

HRESULT DropServer(std::string_view name, std::string* error) noexcept {
  return Run(error, [&] {
    const ServerConfig config = Mapped(name);
    if (IsSqliteUri(config.uri)) {
      const std::string path = config.uri.substr(7);
      for (const char* suffix : {"", "-journal", "-wal", "-shm"}) unlink((path + suffix).c_str());
    } else {
      std::unique_ptr<Database> db = OpenDatabase(config.uri, OpenOptions{});
      DropPostgresServer(*db, name);
    }
    RemoveServer(name);
  });
}

HRESULT LoadJson(std::string_view name, std::string_view json, std::string* error) noexcept {
  return Run(error, [&] {
    const ServerConfig config = Mapped(name);
    std::unique_ptr<Database> db = OpenAsAdministrator(config);
    Transaction t(*db);
    LoadJsonText(*db, name, json);
    t.Commit();
  });
}

HRESULT DumpJson(std::string_view name, std::string* json, std::string* error) noexcept {
  return Run(error, [&] {
    if (!json) Throw(E_POINTER, "no output");
    const ServerConfig config = Mapped(name);
    std::unique_ptr<Database> db = OpenAsAdministrator(config);
    Transaction t(*db);  // one consistent view
    *json = DumpJsonText(*db, name);
  });
}

HRESULT ListMarkers(std::string_view name, std::vector<MarkerInfo>* markers, std::string* error) noexcept {
  return Run(error, [&] {
    if (!markers) Throw(E_POINTER, "no output");
    const ServerConfig config = Mapped(name);
    std::unique_ptr<Database> db = OpenAsAdministrator(config);
    Transaction t(*db);
    ClearStaleMarkers(*db, config.markerMaxAge);
    markers->clear();
    for (MarkerRow& r : ListMarkerRows(*db))
      markers->push_back(MarkerInfo{std::move(r.file), r.host + ":" + std::to_string(r.pid), r.since});
    t.Commit();
  });
}

HRESULT ClearMarkers(std::string_view name, std::string_view file, std::string* error) noexcept {
  return Run(error, [&] {
    const ServerConfig config = Mapped(name);
    std::unique_ptr<Database> db = OpenAsAdministrator(config);
    ClearFileMarkers(*db, file);
  });
}

}  // namespace tesk::zorum
