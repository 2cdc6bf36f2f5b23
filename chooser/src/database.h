// The database server as the chooser uses it: connections, the local settings, the browsing
// lists and the file records. Every call catches the server's failures and reports them as a
// failed HRESULT; nothing here shows a window.
#ifndef TESK_CHOOSER_SRC_DATABASE_H_
#define TESK_CHOOSER_SRC_DATABASE_H_

#include <string>
#include <vector>

#include <tesk/platform/comhelpers.h>
#include <tesk/zorum.h>

namespace selvane {

// An open connection to a server (up to `attempts` tries), or a failure.
HRESULT OpenConnection(const std::string& server, int attempts, tesk::ComPtr<IConnection>& out);

struct ServerPaths {
  std::string dataPath, libraryPath;
};
// The data and library paths of an open connection.
HRESULT ConnectionPaths(IConnection* c, ServerPaths* out);
// The paths of this computer's server, from the local settings object.
HRESULT LocalPaths(ServerPaths* out);
// The server's version as a number (0 when it cannot be read).
double ServerVersion(IConnection* c);

// The filter values of the browsing query, by the query's filter names.
struct QueryFilter {
  std::string sampleProject, sampleType, sample, assay, chipType, user, experiment, type;
};

// Each browsing object is created on `server`, the server of the connection.
// The distinct values of a kind ("SampleProjects", "SampleTypes", "Samples",
// "ExperimentUsers", "ChipTypes", "AssayTypes", "Experiments").
HRESULT ListValues(const std::string& server, IConnection* c, const QueryFilter& f, const char* kind, std::vector<std::string>* out);

struct FileRow {
  std::string name, sample, experiment, project, type, owner;
};
HRESULT ListFiles(const std::string& server, IConnection* c, const QueryFilter& f, std::vector<FileRow>* out);

// Whether the database knows the file, and its owner.
HRESULT LookUpFile(const std::string& server, IConnection* c, const std::string& name, bool* exists, std::string* owner);

// One field of the file's description ("Date", "SampleType", ...).
HRESULT FileField(const std::string& server, IConnection* c, const std::string& name, const char* field,
                  std::string* value);

}  // namespace selvane

#endif  // TESK_CHOOSER_SRC_DATABASE_H_
