// Zorum: the stand-in database server of database mode, an in-process automation server
// (libzorum.so). It keeps, per named server, the laboratory's data files with their owners,
// experiments, samples, roles and domain groups in an SQL database.
//
// Clients create its objects on a server with CoCreateInstanceEx and a COSERVERINFO naming the
// server; an object created without a server name belongs to this computer's server (the one
// whose name is the computer name). A server name is known once `tesk db create NAME [URI]` has
// mapped it to a database; any other name is unreachable (0x800706BA).
//
//   COSERVERINFO info{0, const_cast<LPWSTR>(u"labsrv"), nullptr, 0};
//   MULTI_QI qi{&IID_IConnection, nullptr, S_OK};
//   CoCreateInstanceEx(CLSID_Connection, nullptr, CLSCTX_SERVER, &info, 1, &qi);
//
// Every interface is dual: each member is also reachable through IDispatch with the dispatch
// identifier in its comment (a property's get and put share one). Lists are VARIANTs holding a
// one-dimensional array of BSTR with lower bound 0. A failing member answers an HRESULT with
// rich error information. Backend failures answer the transport errors: the database cannot be
// opened or reached 0x800706BA; busy beyond its time-out or out of connections 0x800706BB; the
// connection lost inside a call 0x800706BE.
//
// Test facility: a server mapping may carry a DWORD value "Fault" holding an HRESULT; every call
// on that server then fails with it (so that callers' handling of server failures can be tested
// without breaking a database).
#ifndef TESK_OUTSIDE_ZORUM_INCLUDE_TESK_ZORUM_H_
#define TESK_OUTSIDE_ZORUM_INCLUDE_TESK_ZORUM_H_

#include <tesk/nuvask.h>
#include <tesk/platform.h>
#include <tesk/zorum_export.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr GUID LIBID_ZORUMLib{0x566CEC35, 0xA673, 0x47B1, {0x9A, 0x1E, 0x2E, 0x64, 0xE7, 0x9B, 0x86, 0xF3}};

inline constexpr CLSID CLSID_Connection{0xE7086A03, 0x058F, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr IID IID_IConnection{0xA58DA0C0, 0x0D5D, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr CLSID CLSID_FileRecord{0xA58DA0C3, 0x0D5D, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr IID IID_IFileRecord{0xA58DA0C2, 0x0D5D, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr CLSID CLSID_FileInUseMarker{0x02DEE847, 0x14AB, 0x407F, {0xB3, 0x9D, 0xA1, 0xEF, 0x69, 0xE2, 0x5E, 0xB4}};
inline constexpr IID IID_IFileInUseMarker{0x7F9BC128, 0x7681, 0x4C53, {0xA1, 0x1C, 0x7C, 0xA4, 0xCF, 0xE0, 0xF3, 0xD3}};
inline constexpr CLSID CLSID_KestAdmin{0xDFBB82AE, 0x1202, 0x11D3, {0x81, 0xA2, 0x00, 0xC0, 0x4F, 0x6B, 0xE3, 0xBC}};
inline constexpr CLSID CLSID_Experiment{0xA58DA0C5, 0x0D5D, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr IID IID_IExperiment{0xA58DA0C4, 0x0D5D, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr CLSID CLSID_SampleRecord{0x7B805AFD, 0xEFF8, 0x4DA7, {0x83, 0xEF, 0xE9, 0x45, 0xB1, 0x61, 0x48, 0x69}};
inline constexpr IID IID_ISampleRecord{0xA58DA0C6, 0x0D5D, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr CLSID CLSID_DataQuery{0xE084A95C, 0x1C9E, 0x4FF7, {0x92, 0x05, 0x37, 0x39, 0xDC, 0xCF, 0x99, 0xF8}};
inline constexpr IID IID_IDataQuery{0xA58DA0C1, 0x0D5D, 0x11D2, {0x9F, 0x54, 0x00, 0x60, 0x08, 0x1C, 0x28, 0x3A}};
inline constexpr CLSID CLSID_LocalSettings{0xC3407350, 0xF9D1, 0x11D2, {0xA7, 0x74, 0x00, 0x60, 0x08, 0x1C, 0x27, 0x30}};
inline constexpr IID IID_ILocalSettings{0xC340734F, 0xF9D1, 0x11D2, {0xA7, 0x74, 0x00, 0x60, 0x08, 0x1C, 0x27, 0x30}};

// A connection to one server's database. Open it before handing it to the objects whose
// members take a connection.
struct IConnection : IDispatch {
  // 1 (put): the client's name ("LIMS Admin User" from the kit's callers); kept, not used.
  virtual HRESULT put_ClientName(BSTR name) = 0;
  // 2: the server. Put before Open: the server to open (a mapped server name). Get after
  // Open: the name the server's database gives itself ("serverName" of `tesk db load`).
  virtual HRESULT get_ServerName(BSTR* name) = 0;
  virtual HRESULT put_ServerName(BSTR name) = 0;
  // 3: opens the server's database (options: 0). Fails with a transport error when the
  // database cannot be reached, or with the server's Fault value.
  virtual HRESULT Open(LONG options) = 0;
  // 4: VARIANT_TRUE between a successful Open and Close.
  virtual HRESULT get_IsOpen(VARIANT_BOOL* open) = 0;
  // 5: closes the database; the object may be opened again.
  virtual HRESULT Close() = 0;
  // 6: the database name that selects this server's roles.
  virtual HRESULT get_DatabaseName(BSTR* name) = 0;
  // 7, 8: the directories of data files and library files on the server.
  virtual HRESULT get_DataPath(BSTR* path) = 0;
  virtual HRESULT get_LibraryPath(BSTR* path) = 0;
  // 9: the server's version as a decimal text, such as "3.5".
  virtual HRESULT get_ServerVersion(BSTR* version) = 0;
};

// What the database knows of one data file.
struct IFileRecord : IDispatch {
  // 1: the file name without directory.
  virtual HRESULT get_FileName(BSTR* name) = 0;
  virtual HRESULT put_FileName(BSTR name) = 0;
  // 2: whether the connection's database knows the file.
  virtual HRESULT Exists(IDispatch* connection, VARIANT_BOOL* known) = 0;
  // 3: fetches the file's description; an unknown file leaves every field empty.
  virtual HRESULT Fetch(IDispatch* connection) = 0;
  // 4: the owner's account name after Fetch; empty when the file is unknown.
  virtual HRESULT get_OwnerName(BSTR* owner) = 0;
  // 5: after Fetch, one field of the description: "Sample", "SampleType", "Project",
  // "Experiment", "Type", "Assay", "ChipType", "User", "Date". Another name fails.
  virtual HRESULT get_Field(BSTR name, BSTR* value) = 0;
};

// Tells the server that this process uses a file. Markers are kept per holder (the process):
// Unmark removes only this object's marker. A marker whose process has died (on the same
// computer) or that is older than the server's "MarkerMaxAgeSeconds" (default 12 hours) is
// cleared, so that a crashed client never locks a file out.
struct IFileInUseMarker : IDispatch {
  // 1: the file name (the part of the path after its last separator).
  virtual HRESULT get_FileName(BSTR* name) = 0;
  virtual HRESULT put_FileName(BSTR name) = 0;
  // 2: with a true flag, marks the file as used by this process; with false, the same as Unmark.
  virtual HRESULT Mark(VARIANT_BOOL inUse) = 0;
  // 3: removes this object's marker; without one, does nothing. Releasing the object unmarks.
  virtual HRESULT Unmark() = 0;
};

// The experiment record of one experiment, with the protocol record behind it. Fields are
// named by the labels of an experiment file: "Protocol", "Station", "Module", "Hybridize Date",
// "Pixel Size", "Filter", "Scan Temperature", "Scan Date", "Scanner ID", "Number of Scans",
// "Scanner Type", and also "Sample" (the sample's name) and "User" (the experiment's user).
struct IExperiment : IDispatch {
  // 1: the experiment name.
  virtual HRESULT get_Name(BSTR* name) = 0;
  virtual HRESULT put_Name(BSTR name) = 0;
  // 2: whether the connection's database knows the experiment.
  virtual HRESULT Exists(IDispatch* connection, VARIANT_BOOL* known) = 0;
  // 3: reads the experiment, protocol and sample records; fails for an unknown experiment.
  virtual HRESULT Fetch(IDispatch* connection) = 0;
  // 4: one field by label; an unknown label fails with E_INVALIDARG.
  virtual HRESULT get_Field(BSTR label, BSTR* value) = 0;
  virtual HRESULT put_Field(BSTR label, BSTR value) = 0;
  // 5: the protocol's step lines, in order.
  virtual HRESULT get_ProtocolSteps(VARIANT* steps) = 0;
  virtual HRESULT put_ProtocolSteps(VARIANT steps) = 0;
  // 6: the sample record (an ISampleRecord) read by Fetch, or a new empty one.
  virtual HRESULT get_Sample(IDispatch** sample) = 0;
  // 7: stores the experiment and protocol records (creating or replacing them).
  virtual HRESULT Store(IDispatch* connection) = 0;
};

// The sample record of an experiment. Fields: "Chip Type", "Lot", "Operator", "Type",
// "Description", "User". Further values are attributes: "Project", "Comments",
// "Solution Type", "Solution Lot", or any other name.
struct ISampleRecord : IDispatch {
  // 1: the sample name.
  virtual HRESULT get_Name(BSTR* name) = 0;
  virtual HRESULT put_Name(BSTR name) = 0;
  // 2: one field by name; an unknown name fails with E_INVALIDARG.
  virtual HRESULT get_Field(BSTR name, BSTR* value) = 0;
  virtual HRESULT put_Field(BSTR name, BSTR value) = 0;
  // 3: the attribute list as a flat array of pairs: name, value, name, value, ...
  virtual HRESULT get_Attributes(VARIANT* pairs) = 0;
  virtual HRESULT put_Attributes(VARIANT pairs) = 0;
  // 4: reads the sample record of Name; fails for an unknown sample.
  virtual HRESULT Fetch(IDispatch* connection) = 0;
  // 5: stores the record (creating or replacing it).
  virtual HRESULT Store(IDispatch* connection) = 0;
};

// Browsing the data files: the values that the file chooser fills its boxes from, and the
// files themselves, each under the current filter values. Filters are named "SampleProject",
// "SampleType", "Sample", "Assay", "ChipType", "User", "Experiment" and "Type" (a file type
// such as "CEL"); an empty filter matches everything.
struct IDataQuery : IDispatch {
  // 1: a filter value.
  virtual HRESULT get_Filter(BSTR name, BSTR* value) = 0;
  virtual HRESULT put_Filter(BSTR name, BSTR value) = 0;
  // 2: the distinct values of one kind, sorted, among the files that pass every filter but
  // the kind's own: "SampleProjects", "SampleTypes", "Samples", "ExperimentUsers",
  // "ChipTypes", "AssayTypes", "Experiments".
  virtual HRESULT List(IDispatch* connection, BSTR kind, VARIANT* values) = 0;
  // 3: the files that pass every filter, sorted by name, as parallel arrays.
  virtual HRESULT ListFiles(IDispatch* connection, VARIANT* names, VARIANT* samples, VARIANT* experiments,
                            VARIANT* projects, VARIANT* types, VARIANT* owners) = 0;
};

// The settings of this computer's server, for clients that name no server.
struct ILocalSettings : IDispatch {
  // 1: reads the settings; fails when this computer has no server.
  virtual HRESULT Initialize() = 0;
  // 2, 3: the data and library directories after Initialize.
  virtual HRESULT get_DataPath(BSTR* path) = 0;
  virtual HRESULT get_LibraryPath(BSTR* path) = 0;
};

TESK_DECLARE_INTERFACE(IConnection, IDispatch, IID_IConnection);
TESK_DECLARE_INTERFACE(IFileRecord, IDispatch, IID_IFileRecord);
TESK_DECLARE_INTERFACE(IFileInUseMarker, IDispatch, IID_IFileInUseMarker);
TESK_DECLARE_INTERFACE(IExperiment, IDispatch, IID_IExperiment);
TESK_DECLARE_INTERFACE(ISampleRecord, IDispatch, IID_ISampleRecord);
TESK_DECLARE_INTERFACE(IDataQuery, IDispatch, IID_IDataQuery);
TESK_DECLARE_INTERFACE(ILocalSettings, IDispatch, IID_ILocalSettings);

// Administration of servers, for `tesk db` and tests. None of these throws; each answers
// S_OK or a failure with a message in *error.
namespace tesk::zorum {

// Where server mappings live: HKEY_LOCAL_MACHINE\<kServersKey>\<NAME>, value "Database" (the
// URI, never holding a password) and optionally "Fault" (DWORD) and "MarkerMaxAgeSeconds".
inline constexpr const char* kServersKey = "SOFTWARE\\Tesk\\Zorum\\Servers";

// Maps NAME to a database and creates its schema. uri: "sqlite:PATH" or a PostgreSQL URI
// ("postgresql://..."); empty: a SQLite file in the machine's data directory. A URI holding a
// password is refused. With PostgreSQL the owner and client roles are set up (see README).
TESK_ZORUM_API HRESULT CreateServer(std::string_view name, std::string_view uri, std::string* error) noexcept;
// Removes the mapping and the server's data (the SQLite file, or the tables on PostgreSQL).
TESK_ZORUM_API HRESULT DropServer(std::string_view name, std::string* error) noexcept;
// Adds the content of a JSON document in one transaction; on any error nothing changes and
// the message names the JSON path of the offending item.
TESK_ZORUM_API HRESULT LoadJson(std::string_view name, std::string_view json, std::string* error) noexcept;
// The server's whole content as a JSON document that LoadJson accepts.
TESK_ZORUM_API HRESULT DumpJson(std::string_view name, std::string* json, std::string* error) noexcept;

struct MarkerInfo {
  std::string file;
  std::string holder;  // "host:pid"
  std::int64_t since;  // seconds since the epoch
};
// The files marked in use (stale markers are cleared first).
TESK_ZORUM_API HRESULT ListMarkers(std::string_view name, std::vector<MarkerInfo>* markers, std::string* error) noexcept;
// Removes every marker of a file, whoever holds it (the administrator's way out).
TESK_ZORUM_API HRESULT ClearMarkers(std::string_view name, std::string_view file, std::string* error) noexcept;

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_INCLUDE_TESK_ZORUM_H_
