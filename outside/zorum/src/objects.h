// What the server's classes share: the library's lock count, the error guard around every
// member, string lists in VARIANTs, the connection as the other objects see it, and the class
// factories that create objects for a named server.
#ifndef TESK_OUTSIDE_ZORUM_SRC_OBJECTS_H_
#define TESK_OUTSIDE_ZORUM_SRC_OBJECTS_H_

#include <tesk/platform/server_factory.h>
#include <tesk/zorum.h>

#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "server_map.h"
#include "sql.h"

namespace tesk::zorum {

ComModule& LibraryModule();

// Runs a member's body: SqlError becomes its HRESULT with rich error information naming the
// member ("IConnection-Open: ..."), anything else E_OUTOFMEMORY or E_FAIL. Nothing escapes.
template <class F>
HRESULT Guard(const char* member, REFIID iid, F&& body) noexcept {
  try {
    return body();
  } catch (const SqlError& e) {
    return ReportError("Zorum", iid, std::string(member) + ": " + e.message, e.hr);
  } catch (const std::bad_alloc&) {
    return ReportError("Zorum", iid, std::string(member) + ": out of memory", E_OUTOFMEMORY);
  } catch (...) {
    return ReportError("Zorum", iid, std::string(member) + ": unexpected failure", E_FAIL);
  }
}

// Runs body; when the connection was lost inside it, forgets the database so that the next
// call connects anew, and passes the failure on.
template <class F>
HRESULT DropOnLoss(std::unique_ptr<Database>& db, F&& body) {
  try {
    return body();
  } catch (const SqlError& e) {
    if (e.hr == RPC_E_CALL_FAILED_HR) db.reset();
    throw;
  }
}

// A VARIANT holding a one-dimensional BSTR array of the texts (lower bound 0).
void PutList(VARIANT* out, const std::vector<std::string>& items);
// The texts of a VARIANT holding a one-dimensional array of BSTR or of VARIANTs holding BSTRs
// (by reference too); throws E_INVALIDARG otherwise.
std::vector<std::string> GetList(const VARIANT& v);
// A fresh BSTR; throws on E_OUTOFMEMORY.
BSTR Hand(const std::string& text);

// The connection of this library behind an IDispatch, as the other classes use it.
inline constexpr IID IID_IZorumConnectionInternal{0x3B2E55F3, 0x8B11, 0x4415, {0xB7, 0x97, 0x1D, 0x3F, 0xB4, 0xE1, 0x46, 0xB0}};
struct IZorumConnectionInternal : IUnknown {
  // The open database, or null when the connection is closed.
  virtual Database* OpenDatabaseOrNull() noexcept = 0;
  virtual const std::string& BoundServer() const noexcept = 0;
};
// The open database of a connection argument: E_INVALIDARG for anything but a connection of
// this library, E_FAIL for a closed one; the server's Fault value when it has one.
Database& ConnectionDatabase(IDispatch* connection);

// Factory of a class whose objects are bound to a server: T(serverName). Creating without a
// server name binds to this computer's server; a named server must be mapped (else
// 0x800706BA), and a mapped server with a Fault value answers that.
template <class T>
class ServerFactory final : public ComClass<ServerFactory<T>, IClassFactory, IServerClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept override {
    return CreateInstanceOnServer(u"", outer, riid, ppv);
  }
  HRESULT CreateInstanceOnServer(LPCOLESTR server, IUnknown* outer, REFIID riid, void** ppv) noexcept override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    try {
      const std::string requested = server ? ToNarrow(server) : std::string();
      const std::string name = ResolveServerName(requested);
      std::optional<ServerConfig> config = FindServer(name);
      if (!config && name != ResolveServerName("")) return RPC_E_SERVER_UNAVAILABLE_HR;
      if (config && config->fault) return *config->fault;
      return CreateComObject<T>(riid, ppv, name);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }
  HRESULT LockServer(BOOL lock) noexcept override {
    if (lock) LibraryModule().Lock();
    else LibraryModule().Unlock();
    return S_OK;
  }
  static HRESULT Get(REFIID riid, void** ppv) noexcept { return CreateComObject<ServerFactory<T>>(riid, ppv); }
};

// The class objects of the library (defined with the classes).
HRESULT GetConnectionFactory(REFIID riid, void** ppv) noexcept;
HRESULT GetFileRecordFactory(REFIID riid, void** ppv) noexcept;
HRESULT GetMarkerFactory(REFIID riid, void** ppv) noexcept;
HRESULT GetAdminFactory(REFIID riid, void** ppv) noexcept;
HRESULT GetExperimentFactory(REFIID riid, void** ppv) noexcept;
HRESULT GetSampleFactory(REFIID riid, void** ppv) noexcept;
HRESULT GetDataQueryFactory(REFIID riid, void** ppv) noexcept;
HRESULT GetLocalSettingsFactory(REFIID riid, void** ppv) noexcept;

// A new sample record object holding `record` (for IExperiment::get_Sample).
HRESULT NewSampleObject(const std::string& server, const struct SampleRecord& record, IDispatch** out);

// The dispatch tables of the library's own interfaces (IKestAdmin's comes from Nuvask).
const DispTable& ConnectionTable();
const DispTable& FileRecordTable();
const DispTable& MarkerTable();
const DispTable& ExperimentTable();
const DispTable& SampleTable();
const DispTable& DataQueryTable();
const DispTable& LocalSettingsTable();

}  // namespace tesk::zorum

template <> struct tesk::DispatchTableOf<IConnection> { static const DispTable& Get() { return zorum::ConnectionTable(); } };
template <> struct tesk::DispatchTableOf<IFileRecord> { static const DispTable& Get() { return zorum::FileRecordTable(); } };
template <> struct tesk::DispatchTableOf<IFileInUseMarker> { static const DispTable& Get() { return zorum::MarkerTable(); } };
template <> struct tesk::DispatchTableOf<IExperiment> { static const DispTable& Get() { return zorum::ExperimentTable(); } };
template <> struct tesk::DispatchTableOf<ISampleRecord> { static const DispTable& Get() { return zorum::SampleTable(); } };
template <> struct tesk::DispatchTableOf<IDataQuery> { static const DispTable& Get() { return zorum::DataQueryTable(); } };
template <> struct tesk::DispatchTableOf<ILocalSettings> { static const DispTable& Get() { return zorum::LocalSettingsTable(); } };
TESK_DECLARE_INTERFACE(tesk::zorum::IZorumConnectionInternal, IUnknown, tesk::zorum::IID_IZorumConnectionInternal);

#endif  // TESK_OUTSIDE_ZORUM_SRC_OBJECTS_H_
