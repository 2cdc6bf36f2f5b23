// CServerConnection: one file object's connection to the database server, created on first use
// in database mode.
#ifndef TESK_API_SRC_SERVER_CONNECTION_H_
#define TESK_API_SRC_SERVER_CONNECTION_H_

#include <tesk/zorum.h>

#include <string>

namespace tarvex {

// The transport errors of a server that cannot be reached or fails in transport.
bool IsTransportError(HRESULT hr);

// A failure raised by a server call, carrying its code (what an automation error is).
struct ServerFailure {
  HRESULT hr;
};

class CServerConnection {
 public:
  CServerConnection();
  ~CServerConnection();
  CServerConnection(const CServerConnection&) = delete;
  CServerConnection& operator=(const CServerConnection&) = delete;

  // One connection attempt to `server`: true with an open connection. Transport errors are
  // raised as ServerFailure; other failures answer false.
  bool Connect(const std::string& server);
  // Drops the connection without closing it (after a transport error).
  void Drop();

  // Whether the calling user may perform `roleFunction` on a file of `owner`. Without a
  // connection raises E_POINTER.
  bool CheckAccess(int roleFunction, bool showInterface, const std::string& owner);

  IConnection* Connection() const { return connection_.Get(); }
  float ServerVersion() const { return serverVersion_; }
  const std::string& ServerName() const { return serverName_; }

 private:
  float serverVersion_ = 3.0f;
  std::string serverName_;
  std::string computerName_;
  tesk::ComPtr<IConnection> connection_;
  HRESULT lastResult_ = S_OK;
};

// Creates an object of `clsid` on `server` (any server context) and asks it for I.
template <class I>
HRESULT CreateOnServer(const std::string& server, REFCLSID clsid, tesk::ComPtr<I>& out) {
  std::u16string wide = tesk::ToWide(server);
  COSERVERINFO info{0, wide.data(), nullptr, 0};
  MULTI_QI qi{&tesk::InterfaceTraits<I>::Iid(), nullptr, S_OK};
  HRESULT hr = CoCreateInstanceEx(clsid, nullptr, CLSCTX_SERVER, &info, 1, &qi);
  if (FAILED(hr)) return hr;
  if (FAILED(qi.hr)) return qi.hr;
  out.Reset();
  *out.PutVoid() = qi.pItf;
  return S_OK;
}

}  // namespace tarvex

#endif  // TESK_API_SRC_SERVER_CONNECTION_H_
