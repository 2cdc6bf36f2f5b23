#include "database.h"

#include <tesk/platform.h>

#include "server_connection.h"
#include "string_table.h"

namespace tarvex {

namespace {

constexpr int kConnectAttempts = 5;
constexpr char kDatabaseKey[] = "Software\\Quillomere\\Varolith\\Database\\";

// The machine's database server: the default value of the key ServerName below kDatabaseKey.
std::string MachineServerName() {
  HKEY database, server;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kDatabaseKey, 0, KEY_READ, &database) != ERROR_SUCCESS) return {};
  std::string name;
  if (RegOpenKeyEx(database, "ServerName", 0, KEY_READ, &server) == ERROR_SUCCESS) {
    char buf[1024];
    DWORD size = sizeof buf, type = 0;
    if (RegQueryValueEx(server, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS &&
        type == REG_SZ)
      name.assign(buf, size > 0 && buf[size - 1] == '\0' ? size - 1 : size);
    RegCloseKey(server);
  }
  RegCloseKey(database);
  return name;
}

std::string AfterLastSeparator(const std::string& path) {
  const size_t at = path.find_last_of("/\\");
  return at == std::string::npos ? path : path.substr(at + 1);
}

// The description of a failed server call, for the caller's error text.
std::string ServerErrorText() {
  std::string text = tesk::PeekErrorDescription();
  return text.empty() ? LoadText(IDS_NO_DATABASE) : text;
}

}  // namespace

struct DatabaseSession::Marker {
  tesk::ComPtr<IFileInUseMarker> object;
};

DatabaseSession::DatabaseSession() = default;

DatabaseSession::~DatabaseSession() {
  GiveBackMarker();
  connection_.reset();
}

bool DatabaseSession::VerifyDatabaseFile(const std::string& serverName, const std::string& name, int roleFunction,
                                         std::string* detail) {
  if (serverName.empty()) return true;
  try {
    if (!connection_) {
      connection_ = std::make_unique<CServerConnection>();
      bool open = false;
      for (int attempt = 0; attempt < kConnectAttempts && !open; ++attempt) open = connection_->Connect(serverName);
      if (!open) {
        connection_.reset();
        *detail = LoadText(IDS_NO_DATABASE);
        return false;
      }
    }
    IConnection* connection = connection_->Connection();
    if (connection == nullptr) throw ServerFailure{E_POINTER};
    std::string owner;
    {
      tesk::ComPtr<IFileRecord> record;
      HRESULT hr = CreateOnServer(connection_->ServerName(), CLSID_FileRecord, record);
      if (FAILED(hr)) throw ServerFailure{hr};
      tesk::Bstr file(name);
      if (FAILED(hr = record->put_FileName(file.Get()))) throw ServerFailure{hr};
      VARIANT_BOOL known = VARIANT_FALSE;
      if (FAILED(hr = record->Exists(connection, &known))) throw ServerFailure{hr};
      if (known != VARIANT_FALSE) {
        if (FAILED(hr = record->Fetch(connection))) throw ServerFailure{hr};
        tesk::Bstr ownerName;
        if (FAILED(hr = record->get_OwnerName(&ownerName))) throw ServerFailure{hr};
        owner = ownerName.Narrow();
      }
    }
    if (owner.empty()) {
      *detail = LoadText(IDS_NOT_IN_DATABASE);
      return false;
    }
    if (!connection_->CheckAccess(roleFunction, false, owner)) {
      *detail = LoadText(IDS_ACCESS_DENIED);
      return false;
    }
    return true;
  } catch (const ServerFailure& failure) {
    // A server that cannot be reached is connected anew by the next call.
    if (IsTransportError(failure.hr)) {
      if (connection_) connection_->Drop();
      connection_.reset();
    }
    *detail = LoadText(IDS_NO_DATABASE);
    return false;
  }
}

bool DatabaseSession::HoldsMarker() const { return marker_ != nullptr; }

bool DatabaseSession::TakeMarker(const std::string& serverName, const std::string& fullPath, std::string* detail) {
  GiveBackMarker();
  if (serverName.empty() || !connection_ || connection_->ServerVersion() < 3.5f) return true;
  std::string server = connection_->ServerName();
  if (server.empty()) server = MachineServerName();
  if (server.empty()) return true;
  auto marker = std::make_unique<Marker>();
  HRESULT hr = CreateOnServer(server, CLSID_FileInUseMarker, marker->object);
  tesk::Bstr file(AfterLastSeparator(fullPath));
  if (SUCCEEDED(hr)) hr = marker->object->put_FileName(file.Get());
  if (SUCCEEDED(hr)) hr = marker->object->Mark(VARIANT_TRUE);
  if (FAILED(hr)) {
    *detail = ServerErrorText();
    return false;
  }
  marker_ = std::move(marker);
  return true;
}

void DatabaseSession::GiveBackMarker() {
  if (!marker_) return;
  if (connection_) marker_->object->Unmark();
  marker_.reset();
}

}  // namespace tarvex
