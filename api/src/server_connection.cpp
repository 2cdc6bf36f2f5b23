#include "server_connection.h"

#include <tesk/rolvane.h>

#include <cstdlib>

#include "text.h"

namespace tarvex {

bool IsTransportError(HRESULT hr) {
  return hr == RPC_E_SERVER_UNAVAILABLE_HR || hr == RPC_E_SERVER_TOO_BUSY_HR || hr == RPC_E_CALL_FAILED_HR;
}

CServerConnection::CServerConnection() {
  char name[255] = {};
  DWORD size = sizeof name;
  if (GetComputerName(name, &size)) computerName_ = name;
  // As the library does at load; a second call in the process is refused, which is fine.
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                       EOAC_NONE, nullptr);
}

CServerConnection::~CServerConnection() = default;

void CServerConnection::Drop() {
  connection_.Reset();
  serverName_.clear();
}

bool CServerConnection::Connect(const std::string& server) {
  if (server.empty()) return false;
  if (!(connection_ && EqualsNoCase(server, serverName_))) {
    if (connection_) {
      connection_->Close();
      connection_.Reset();
    }
    serverName_ = server;
    lastResult_ = CreateOnServer(server, CLSID_Connection, connection_);
    if (FAILED(lastResult_)) {
      connection_.Reset();
      serverName_.clear();
      if (IsTransportError(lastResult_)) throw ServerFailure{lastResult_};
      return false;
    }
    tesk::Bstr client("LIMS Admin User"), name(server);
    HRESULT hr = connection_->put_ClientName(client.Get());
    if (SUCCEEDED(hr)) hr = connection_->put_ServerName(name.Get());
    if (SUCCEEDED(hr)) hr = connection_->Open(0);
    if (FAILED(hr)) {
      connection_.Reset();
      serverName_.clear();
      lastResult_ = hr;
      if (IsTransportError(hr)) throw ServerFailure{hr};
      return false;
    }
    VARIANT_BOOL open = VARIANT_FALSE;
    if (FAILED(connection_->get_IsOpen(&open)) || open == VARIANT_FALSE) {
      connection_.Reset();
      serverName_.clear();
      lastResult_ = 1;
      return false;
    }
  }
  tesk::Bstr version;
  HRESULT hr = connection_->get_ServerVersion(&version);
  if (FAILED(hr)) throw ServerFailure{hr};
  serverVersion_ = static_cast<float>(std::strtod(version.Narrow().c_str(), nullptr));
  return true;
}

bool CServerConnection::CheckAccess(int roleFunction, bool showInterface, const std::string& owner) {
  if (!connection_) throw ServerFailure{E_POINTER};
  const auto func = static_cast<tag_ROLEFUNC>(roleFunction);
  IDispatch* connection = connection_.Get();
  int other = 0;
  if (CRolvane::IsCallerInRoleFunc(func, connection, &other) == 0) {
    if (showInterface) CRolvane::ShowAuthError(func, nullptr);
    return false;
  }
  if (owner.empty()) return true;
  std::string user;
  CRolvane::GetClientUser(user, 0);
  if (other == 0 && !EqualsNoCase(owner, user)) {
    if (showInterface) CRolvane::ShowOtherUsersDataAccessError(func, nullptr);
    return false;
  }
  if (CRolvane::IsUserRoleMember(owner, connection)) return true;
  if (showInterface) {
    const std::string text = "Cannot access data owned by " + owner + " - User is not a role member.";
    MessageBox(nullptr, text.c_str(), "Authorization Error", MB_ICONSTOP | MB_SETFOREGROUND | MB_TOPMOST);
  }
  return false;
}

}  // namespace tarvex
