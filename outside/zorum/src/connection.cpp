// The connection: one open database of one server.
#include <memory>

#include "objects.h"
#include "store.h"

namespace tesk::zorum {
namespace {

constexpr DispParamInfo kBoolRetval[] = {{VT_BOOL | VT_BYREF, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, "open"}};

constexpr DispMember kMembers[] = {
    DispPropPut<&IConnection::put_ClientName>("ClientName", 1),
    DispPropGet<&IConnection::get_ServerName>("ServerName", 2),
    DispPropPut<&IConnection::put_ServerName>("ServerName", 2),
    DispMethod<&IConnection::Open>("Open", 3),
    DispCustom<&IConnection::get_IsOpen>("IsOpen", 4, DISPATCH_PROPERTYGET, kBoolRetval),
    DispMethod<&IConnection::Close>("Close", 5),
    DispPropGet<&IConnection::get_DatabaseName>("DatabaseName", 6),
    DispPropGet<&IConnection::get_DataPath>("DataPath", 7),
    DispPropGet<&IConnection::get_LibraryPath>("LibraryPath", 8),
    DispPropGet<&IConnection::get_ServerVersion>("ServerVersion", 9),
};
constexpr DispTable kTable{"IConnection", &IID_IConnection, kMembers};

class CConnection final
    : public ComClass<CConnection, DispatchImpl<IConnection>, SupportErrorInfoFor<IConnection>, IZorumConnectionInternal> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CConnection(std::string server) : server_(std::move(server)) {}

  HRESULT put_ClientName(BSTR name) noexcept override {
    return Guard("IConnection-put_ClientName", IID_IConnection, [&] {
      client_ = FromBstr(name);
      return S_OK;
    });
  }
  HRESULT get_ServerName(BSTR* name) noexcept override {
    return Get("IConnection-get_ServerName", name, [&] { return db_ ? GetSetting(*db_, "serverName", server_) : server_; });
  }
  HRESULT put_ServerName(BSTR name) noexcept override {
    return Guard("IConnection-put_ServerName", IID_IConnection, [&] {
      // A different server takes effect at the next Open.
      const std::string requested = ResolveServerName(FromBstr(name));
      if (requested != server_) {
        db_.reset();
        server_ = requested;
      }
      return S_OK;
    });
  }
  HRESULT Open(LONG) noexcept override {
    return Guard("IConnection-Open", IID_IConnection, [&] {
      db_.reset();
      db_ = OpenServer(RequireServer(server_));
      return S_OK;
    });
  }
  HRESULT get_IsOpen(VARIANT_BOOL* open) noexcept override {
    if (open == nullptr) return E_POINTER;
    *open = db_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT Close() noexcept override {
    db_.reset();
    return S_OK;
  }
  HRESULT get_DatabaseName(BSTR* name) noexcept override {
    return Get("IConnection-get_DatabaseName", name, [&] { return GetSetting(Db(), "database", server_); });
  }
  HRESULT get_DataPath(BSTR* path) noexcept override {
    return Get("IConnection-get_DataPath", path, [&] { return GetSetting(Db(), "dataPath"); });
  }
  HRESULT get_LibraryPath(BSTR* path) noexcept override {
    return Get("IConnection-get_LibraryPath", path, [&] { return GetSetting(Db(), "libraryPath"); });
  }
  HRESULT get_ServerVersion(BSTR* version) noexcept override {
    return Get("IConnection-get_ServerVersion", version, [&] { return GetSetting(Db(), "version", "3.5"); });
  }

  Database* OpenDatabaseOrNull() noexcept override { return db_.get(); }
  const std::string& BoundServer() const noexcept override { return server_; }

 private:
  Database& Db() {
    CheckFault(server_);
    if (!db_) Throw(E_FAIL, "the connection is not open");
    return *db_;
  }
  template <class F>
  HRESULT Get(const char* member, BSTR* out, F&& text) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return Guard(member, IID_IConnection, [&] {
      return DropOnLoss(db_, [&] {
        *out = Hand(text());
        return S_OK;
      });
    });
  }

  std::string server_;
  std::string client_;
  std::unique_ptr<Database> db_;
};

}  // namespace

const DispTable& ConnectionTable() { return kTable; }
HRESULT GetConnectionFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CConnection>::Get(riid, ppv); }

}  // namespace tesk::zorum
