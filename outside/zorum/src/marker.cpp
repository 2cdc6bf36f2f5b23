// FileInUseMarker: one marker per object, held in the server's database while the object
// marks its file. The object keeps its own database connection while it holds a marker; on
// PostgreSQL that session is what proves the holder alive.
#include <sys/random.h>

#include <cstdio>
#include <memory>

#include "objects.h"
#include "store.h"

namespace tesk::zorum {
namespace {

constexpr DispParamInfo kMarkParams[] = {{VT_BOOL, PARAMFLAG_FIN, "inUse"}};

constexpr DispMember kMembers[] = {
    DispPropGet<&IFileInUseMarker::get_FileName>("FileName", 1),
    DispPropPut<&IFileInUseMarker::put_FileName>("FileName", 1),
    DispCustom<&IFileInUseMarker::Mark>("Mark", 2, DISPATCH_METHOD, kMarkParams),
    DispMethod<&IFileInUseMarker::Unmark>("Unmark", 3),
};
constexpr DispTable kTable{"IFileInUseMarker", &IID_IFileInUseMarker, kMembers};

// 128 random bits as hex: a marker's token cannot be guessed by another holder.
std::string NewToken() {
  unsigned char bytes[16];
  size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n <= 0) Throw(E_FAIL, "no randomness for a marker token");
    got += static_cast<size_t>(n);
  }
  char hex[33];
  for (size_t i = 0; i < sizeof bytes; ++i) std::snprintf(hex + 2 * i, 3, "%02x", bytes[i]);
  return std::string(hex, 32);
}

class CFileInUseMarker final
    : public ComClass<CFileInUseMarker, DispatchImpl<IFileInUseMarker>, SupportErrorInfoFor<IFileInUseMarker>> {
 public:
  static ComModule& Module() { return LibraryModule(); }
  explicit CFileInUseMarker(std::string server) : server_(std::move(server)) {}
  ~CFileInUseMarker() override { Unmark(); }

  HRESULT get_FileName(BSTR* name) noexcept override {
    if (name == nullptr) return E_POINTER;
    return Guard("IFileInUseMarker-get_FileName", IID_IFileInUseMarker, [&] {
      *name = Hand(file_);
      return S_OK;
    });
  }
  HRESULT put_FileName(BSTR name) noexcept override {
    return Guard("IFileInUseMarker-put_FileName", IID_IFileInUseMarker, [&] {
      file_ = FromBstr(name);
      return S_OK;
    });
  }
  HRESULT Mark(VARIANT_BOOL inUse) noexcept override {
    if (!inUse) return Unmark();
    return Guard("IFileInUseMarker-Mark", IID_IFileInUseMarker, [&] { return DropOnLoss(db_, [&] {
      if (file_.empty()) Throw(E_INVALIDARG, "no file name");
      const ServerConfig config = RequireServer(server_);
      if (!db_) db_ = OpenServer(config);
      Transaction t(*db_);
      ClearStaleMarkers(*db_, config.markerMaxAge);
      if (!token_.empty()) RemoveMarker(*db_, token_);  // marking again moves this object's marker
      const std::string token = NewToken();
      AddMarker(*db_, token, file_, ThisProcess());
      t.Commit();
      token_ = token;
      return S_OK;
    }); });
  }
  HRESULT Unmark() noexcept override {
    if (token_.empty()) return S_OK;
    return Guard("IFileInUseMarker-Unmark", IID_IFileInUseMarker, [&] { return DropOnLoss(db_, [&] {
      CheckFault(server_);
      if (!db_) db_ = OpenServer(RequireServer(server_));
      RemoveMarker(*db_, token_);
      token_.clear();
      db_.reset();
      return S_OK;
    }); });
  }

 private:
  std::string server_;
  std::string file_;
  std::string token_;
  std::unique_ptr<Database> db_;
};

}  // namespace

const DispTable& MarkerTable() { return kTable; }
HRESULT GetMarkerFactory(REFIID riid, void** ppv) noexcept { return ServerFactory<CFileInUseMarker>::Get(riid, ppv); }

}  // namespace tesk::zorum
