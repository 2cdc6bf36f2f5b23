// What the server knows, as queries over its tables: settings, files, roles and groups,
// experiments and samples, browsing, and file-use markers. Every function throws SqlError.
#ifndef TESK_OUTSIDE_ZORUM_SRC_STORE_H_
#define TESK_OUTSIDE_ZORUM_SRC_STORE_H_

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sql.h"

namespace tesk::zorum {

// ---- settings (table meta) ----
// Keys: "version", "database", "serverName", "dataPath", "libraryPath".
std::string GetSetting(Database& db, std::string_view key, std::string_view fallback = {});
void PutSetting(Database& db, std::string_view key, std::string_view value);

// The 14 role functions a server starts with, in role-function order.
extern const std::array<const char*, 14> kDefaultRoleFunctions;

// ---- files ----
struct FileRow {
  std::string name, owner, type, sample, sampleType, project, experiment, assay, chipType, user, date;
};
std::optional<FileRow> FindFile(Database& db, std::string_view name);
void PutFile(Database& db, const FileRow& f);
// One field of a file by the names IFileRecord::get_Field takes; nullopt for an unknown name.
std::optional<std::string> FileField(const FileRow& f, std::string_view field);

// ---- roles and groups ----
struct RoleKey {
  std::string name, server, database;
};
std::vector<RoleKey> ListRoles(Database& db);
std::vector<std::pair<std::string, std::string>> RoleMembers(Database& db, const RoleKey& role);
std::vector<std::string> RoleFunctions(Database& db);
// (own, other) flags of a role for a function; the role is looked up on this server's own
// database first. Empty flags when the role or function is unknown.
std::pair<std::string, std::string> RoleFlags(Database& db, std::string_view role, std::string_view function);
std::vector<std::string> DomainGroups(Database& db, std::string_view domain);
std::vector<std::string> GroupMembers(Database& db, std::string_view domain, std::string_view group);

// ---- experiments and samples ----
// Fields keyed by the labels that zorum.h lists for IExperiment and ISampleRecord.
struct ExperimentRecord {
  std::string name;
  std::map<std::string, std::string> fields;
  std::vector<std::string> steps;
};
struct SampleRecord {
  std::string name;
  std::map<std::string, std::string> fields;
  std::vector<std::pair<std::string, std::string>> attributes;
};
extern const std::vector<std::pair<const char*, const char*>> kExperimentFields;  // label, column
extern const std::vector<std::pair<const char*, const char*>> kSampleFields;
bool IsExperimentField(std::string_view label);
bool IsSampleField(std::string_view label);

bool ExperimentExists(Database& db, std::string_view name);
std::optional<ExperimentRecord> ReadExperiment(Database& db, std::string_view name);
void WriteExperiment(Database& db, const ExperimentRecord& e);
std::optional<SampleRecord> ReadSample(Database& db, std::string_view name);
void WriteSample(Database& db, const SampleRecord& s);
std::vector<std::string> ListExperimentNames(Database& db);

// ---- browsing ----
// Filter names: "SampleProject", "SampleType", "Sample", "Assay", "ChipType", "User",
// "Experiment", "Type".
using Filters = std::map<std::string, std::string>;
bool IsFilterName(std::string_view name);
// kind: "SampleProjects", "SampleTypes", "Samples", "ExperimentUsers", "ChipTypes",
// "AssayTypes", "Experiments". nullopt for an unknown kind.
std::optional<std::vector<std::string>> ListValues(Database& db, std::string_view kind, const Filters& filters);
std::vector<FileRow> ListFiles(Database& db, const Filters& filters);

// ---- file-use markers ----
struct Holder {
  std::string host;
  std::int64_t pid = 0;
  std::int64_t pidStart = 0;  // the process's start time, so that a reused pid is not taken for it
};
Holder ThisProcess();
// Adds a marker; the token identifies it for RemoveMarker.
void AddMarker(Database& db, std::string_view token, std::string_view file, const Holder& holder);
// Removes the marker of this token only.
void RemoveMarker(Database& db, std::string_view token);
// Clears markers whose process has died on this computer, or older than maxAge seconds.
void ClearStaleMarkers(Database& db, std::int64_t maxAge);
struct MarkerRow {
  std::string file, host;
  std::int64_t pid, since;
};
std::vector<MarkerRow> ListMarkerRows(Database& db);
void ClearFileMarkers(Database& db, std::string_view file);

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_SRC_STORE_H_
