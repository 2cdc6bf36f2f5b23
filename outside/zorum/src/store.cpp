// Queries over the server's tables. Column names in composed SQL come only from the constant
// tables of this file; every value is a bound parameter.
#include "store.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace tesk::zorum {
namespace {

std::int64_t ToInt(const std::string& s) {
  char* end = nullptr;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  return end == s.c_str() ? 0 : v;
}

std::vector<std::string> Column(const Rows& rows) {
  std::vector<std::string> out;
  out.reserve(rows.size());
  for (const Row& r : rows) out.push_back(r.empty() ? std::string() : r[0]);
  return out;
}

constexpr const char* kFileColumns =
    "name, owner, type, sample, sample_type, project, experiment, assay, chip_type, usr, date";

FileRow ToFile(const Row& r) { return FileRow{r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10]}; }

// Filter name -> file column.
const std::vector<std::pair<const char*, const char*>> kFilterColumns = {
    {"SampleProject", "project"}, {"SampleType", "sample_type"}, {"Sample", "sample"}, {"Assay", "assay"},
    {"ChipType", "chip_type"},    {"User", "usr"},               {"Experiment", "experiment"}, {"Type", "type"}};
// List kind -> (file column, the filter it ignores).
const std::vector<std::pair<const char*, const char*>> kListKinds = {
    {"SampleProjects", "SampleProject"}, {"SampleTypes", "SampleType"}, {"Samples", "Sample"},
    {"ExperimentUsers", "User"},         {"ChipTypes", "ChipType"},     {"AssayTypes", "Assay"},
    {"Experiments", "Experiment"}};

const char* FilterColumn(std::string_view name) {
  for (const auto& [f, c] : kFilterColumns)
    if (name == f) return c;
  return nullptr;
}

// " WHERE col = $k AND ..." for every non-empty filter except `skip`. Fills params.
std::string Where(const Filters& filters, std::string_view skip, std::vector<std::string>& params) {
  std::string where;
  for (const auto& [name, value] : filters) {
    if (value.empty() || name == skip) continue;
    const char* col = FilterColumn(name);
    if (!col) continue;
    params.push_back(value);
    where += (where.empty() ? " WHERE " : " AND ") + std::string(col) + " = $" + std::to_string(params.size());
  }
  return where;
}

// Database::Query takes an initializer list; queries with a variable number of parameters go
// through here (at most 8 filters).
Rows QueryN(Database& db, const std::string& sql, const std::vector<std::string>& p) {
  auto at = [&](size_t i) -> std::string_view { return i < p.size() ? std::string_view(p[i]) : std::string_view(); };
  switch (p.size()) {
    case 0: return db.Query(sql);
    case 1: return db.Query(sql, {at(0)});
    case 2: return db.Query(sql, {at(0), at(1)});
    case 3: return db.Query(sql, {at(0), at(1), at(2)});
    case 4: return db.Query(sql, {at(0), at(1), at(2), at(3)});
    case 5: return db.Query(sql, {at(0), at(1), at(2), at(3), at(4)});
    case 6: return db.Query(sql, {at(0), at(1), at(2), at(3), at(4), at(5)});
    case 7: return db.Query(sql, {at(0), at(1), at(2), at(3), at(4), at(5), at(6)});
    default: return db.Query(sql, {at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7)});
  }
}

std::int64_t ProcessStart(std::int64_t pid) {
  // Field 22 of /proc/PID/stat: start time in clock ticks since boot. The command name (field
  // 2) may hold blanks and parentheses, so counting starts after its last ')'.
  std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (!f) return -1;
  char buf[1024];
  const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  const char* p = std::strrchr(buf, ')');
  if (!p) return -1;
  for (int field = 2; field < 22 && p; ++field) p = std::strchr(p + 1, ' ');
  return p ? std::strtoll(p + 1, nullptr, 10) : -1;
}

}  // namespace

const std::array<const char*, 14> kDefaultRoleFunctions = {
    "Browse",         "Update",        "Update Published", "Archive",          "Delete Process",
    "Delete Publish", "Import",        "Export",           "Take Ownership",   "Maintain Roles",
    "Delete Tasks",   "Maintain Templates", "Maintain Usersets", "Create Publish Databases"};

const std::vector<std::pair<const char*, const char*>> kExperimentFields = {
    {"Sample", "sample"},         {"User", "usr"},
    {"Protocol", "protocol"},     {"Station", "station"},
    {"Module", "module"},         {"Hybridize Date", "hyb_date"},
    {"Pixel Size", "pixel_size"}, {"Filter", "filter"},
    {"Scan Temperature", "scan_temp"}, {"Scan Date", "scan_date"},
    {"Scanner ID", "scanner_id"}, {"Number of Scans", "num_scans"},
    {"Scanner Type", "scanner_type"}};
const std::vector<std::pair<const char*, const char*>> kSampleFields = {
    {"Chip Type", "chip_type"}, {"Lot", "lot"},   {"Operator", "operator"},
    {"Type", "type"},           {"Description", "description"}, {"User", "usr"}};

bool IsExperimentField(std::string_view label) {
  return std::any_of(kExperimentFields.begin(), kExperimentFields.end(), [&](const auto& f) { return label == f.first; });
}
bool IsSampleField(std::string_view label) {
  return std::any_of(kSampleFields.begin(), kSampleFields.end(), [&](const auto& f) { return label == f.first; });
}
bool IsFilterName(std::string_view name) { return FilterColumn(name) != nullptr; }

std::string GetSetting(Database& db, std::string_view key, std::string_view fallback) {
  std::optional<std::string> v = db.Scalar("SELECT value FROM meta WHERE key = $1", {key});
  return v ? *v : std::string(fallback);
}

void PutSetting(Database& db, std::string_view key, std::string_view value) {
  db.Query("INSERT INTO meta (key, value) VALUES ($1, $2) ON CONFLICT (key) DO UPDATE SET value = excluded.value",
           {key, value});
}

std::optional<FileRow> FindFile(Database& db, std::string_view name) {
  Rows r = db.Query(std::string("SELECT ") + kFileColumns + " FROM files WHERE name = $1", {name});
  if (r.empty()) return std::nullopt;
  return ToFile(r[0]);
}

void PutFile(Database& db, const FileRow& f) {
  db.Query(std::string("INSERT INTO files (") + kFileColumns +
               ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11) ON CONFLICT (name) DO UPDATE SET "
               "owner = excluded.owner, type = excluded.type, sample = excluded.sample, sample_type = excluded.sample_type, "
               "project = excluded.project, experiment = excluded.experiment, assay = excluded.assay, "
               "chip_type = excluded.chip_type, usr = excluded.usr, date = excluded.date",
           {f.name, f.owner, f.type, f.sample, f.sampleType, f.project, f.experiment, f.assay, f.chipType, f.user, f.date});
}

std::optional<std::string> FileField(const FileRow& f, std::string_view field) {
  const std::pair<const char*, const std::string*> fields[] = {
      {"Sample", &f.sample},   {"SampleType", &f.sampleType}, {"Project", &f.project},   {"Experiment", &f.experiment},
      {"Type", &f.type},       {"Assay", &f.assay},           {"ChipType", &f.chipType}, {"User", &f.user},
      {"Date", &f.date},       {"Owner", &f.owner}};
  for (const auto& [n, v] : fields)
    if (field == n) return *v;
  return std::nullopt;
}

std::vector<RoleKey> ListRoles(Database& db) {
  std::vector<RoleKey> out;
  for (Row& r : db.Query("SELECT server, dbname, name FROM roles ORDER BY server, dbname, name"))
    out.push_back(RoleKey{std::move(r[2]), std::move(r[0]), std::move(r[1])});
  return out;
}

std::vector<std::pair<std::string, std::string>> RoleMembers(Database& db, const RoleKey& role) {
  std::vector<std::pair<std::string, std::string>> out;
  for (Row& r : db.Query("SELECT member, kind FROM role_members WHERE role = $1 AND server = $2 AND dbname = $3 ORDER BY pos",
                         {role.name, role.server, role.database}))
    out.emplace_back(std::move(r[0]), std::move(r[1]));
  return out;
}

std::vector<std::string> RoleFunctions(Database& db) {
  std::vector<std::string> f = Column(db.Query("SELECT name FROM role_functions ORDER BY idx"));
  if (f.empty()) f.assign(kDefaultRoleFunctions.begin(), kDefaultRoleFunctions.end());
  return f;
}

std::pair<std::string, std::string> RoleFlags(Database& db, std::string_view role, std::string_view function) {
  const std::vector<std::string> functions = RoleFunctions(db);
  const auto it = std::find(functions.begin(), functions.end(), std::string(function));
  if (it == functions.end()) return {};
  const size_t index = static_cast<size_t>(it - functions.begin());
  const std::string server = GetSetting(db, "serverName"), database = GetSetting(db, "database");
  Rows r = db.Query(
      "SELECT own, other FROM roles WHERE name = $1 ORDER BY CASE WHEN server = $2 AND dbname = $3 THEN 0 ELSE 1 END, "
      "server, dbname",
      {role, server, database});
  if (r.empty()) return {};
  auto flag = [&](const std::string& s) { return index < s.size() ? std::string(1, s[index]) : std::string("N"); };
  return {flag(r[0][0]), flag(r[0][1])};
}

std::vector<std::string> DomainGroups(Database& db, std::string_view domain) {
  return Column(db.Query("SELECT name FROM domain_groups WHERE domain = $1 ORDER BY name", {domain}));
}

std::vector<std::string> GroupMembers(Database& db, std::string_view domain, std::string_view group) {
  return Column(db.Query("SELECT member FROM group_members WHERE domain = $1 AND grp = $2 ORDER BY member", {domain, group}));
}

bool ExperimentExists(Database& db, std::string_view name) {
  return db.Scalar("SELECT 1 FROM experiments WHERE name = $1", {name}).has_value();
}

std::optional<ExperimentRecord> ReadExperiment(Database& db, std::string_view name) {
  std::string cols;
  for (const auto& f : kExperimentFields) cols += (cols.empty() ? "" : ", ") + std::string(f.second);
  Rows r = db.Query("SELECT " + cols + " FROM experiments WHERE name = $1", {name});
  if (r.empty()) return std::nullopt;
  ExperimentRecord e;
  e.name = std::string(name);
  for (size_t i = 0; i < kExperimentFields.size(); ++i) e.fields[kExperimentFields[i].first] = r[0][i];
  e.steps = Column(db.Query("SELECT step FROM protocol_steps WHERE experiment = $1 ORDER BY pos", {name}));
  return e;
}

void WriteExperiment(Database& db, const ExperimentRecord& e) {
  auto get = [&](const char* label) {
    auto it = e.fields.find(label);
    return it == e.fields.end() ? std::string() : it->second;
  };
  std::vector<std::string> v = {e.name};
  std::string cols = "name", marks = "$1", updates;
  for (const auto& [label, col] : kExperimentFields) {
    v.push_back(get(label));
    cols += std::string(", ") + col;
    marks += ", $" + std::to_string(v.size());
    updates += (updates.empty() ? "" : ", ") + std::string(col) + " = excluded." + col;
  }
  // 14 values: more than QueryN takes, so they are bound here one list at a time.
  db.Query("INSERT INTO experiments (" + cols + ") VALUES (" + marks + ") ON CONFLICT (name) DO UPDATE SET " + updates,
           {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13]});
  db.Query("DELETE FROM protocol_steps WHERE experiment = $1", {e.name});
  for (size_t i = 0; i < e.steps.size(); ++i)
    db.Query("INSERT INTO protocol_steps (experiment, pos, step) VALUES ($1, $2, $3)", {e.name, std::to_string(i), e.steps[i]});
}

std::optional<SampleRecord> ReadSample(Database& db, std::string_view name) {
  Rows r = db.Query("SELECT chip_type, lot, operator, type, description, usr FROM samples WHERE name = $1", {name});
  if (r.empty()) return std::nullopt;
  SampleRecord s;
  s.name = std::string(name);
  for (size_t i = 0; i < kSampleFields.size(); ++i) s.fields[kSampleFields[i].first] = r[0][i];
  for (Row& a : db.Query("SELECT name, value FROM sample_attributes WHERE sample = $1 ORDER BY pos", {name}))
    s.attributes.emplace_back(std::move(a[0]), std::move(a[1]));
  return s;
}

void WriteSample(Database& db, const SampleRecord& s) {
  auto get = [&](const char* label) {
    auto it = s.fields.find(label);
    return it == s.fields.end() ? std::string() : it->second;
  };
  db.Query("INSERT INTO samples (name, chip_type, lot, operator, type, description, usr) VALUES ($1, $2, $3, $4, $5, $6, $7) "
           "ON CONFLICT (name) DO UPDATE SET chip_type = excluded.chip_type, lot = excluded.lot, operator = excluded.operator, "
           "type = excluded.type, description = excluded.description, usr = excluded.usr",
           {s.name, get("Chip Type"), get("Lot"), get("Operator"), get("Type"), get("Description"), get("User")});
  db.Query("DELETE FROM sample_attributes WHERE sample = $1", {s.name});
  for (size_t i = 0; i < s.attributes.size(); ++i)
    db.Query("INSERT INTO sample_attributes (sample, pos, name, value) VALUES ($1, $2, $3, $4)",
             {s.name, std::to_string(i), s.attributes[i].first, s.attributes[i].second});
}

std::vector<std::string> ListExperimentNames(Database& db) {
  return Column(db.Query("SELECT name FROM experiments ORDER BY name"));
}

std::optional<std::vector<std::string>> ListValues(Database& db, std::string_view kind, const Filters& filters) {
  for (const auto& [k, filter] : kListKinds) {
    if (kind != k) continue;
    const char* col = FilterColumn(filter);
    std::vector<std::string> params;
    const std::string where = Where(filters, filter, params);
    const std::string sql = std::string("SELECT DISTINCT ") + col + " FROM files" + where + (where.empty() ? " WHERE " : " AND ") +
                            col + " <> '' ORDER BY " + col;
    return Column(QueryN(db, sql, params));
  }
  return std::nullopt;
}

std::vector<FileRow> ListFiles(Database& db, const Filters& filters) {
  std::vector<std::string> params;
  const std::string sql = std::string("SELECT ") + kFileColumns + " FROM files" + Where(filters, "", params) + " ORDER BY name";
  std::vector<FileRow> out;
  for (const Row& r : QueryN(db, sql, params)) out.push_back(ToFile(r));
  return out;
}

Holder ThisProcess() {
  Holder h;
  char host[256];
  DWORD n = sizeof host;
  h.host = GetComputerName(host, &n) ? host : "localhost";
  h.pid = static_cast<std::int64_t>(getpid());
  h.pidStart = ProcessStart(h.pid);
  return h;
}

void AddMarker(Database& db, std::string_view token, std::string_view file, const Holder& holder) {
  const std::string now = std::to_string(static_cast<std::int64_t>(std::time(nullptr)));
  const std::string pid = std::to_string(holder.pid), start = std::to_string(holder.pidStart);
  if (db.IsPostgres()) {
    // The database records the role and session itself; a client cannot claim another's.
    db.Query("INSERT INTO markers (token, file, host, pid, pid_start, since, session_start) VALUES ($1, $2, $3, $4, $5, $6, "
             "(SELECT extract(epoch FROM backend_start)::bigint::text FROM pg_stat_activity WHERE pid = pg_backend_pid()))",
             {token, file, holder.host, pid, start, now});
  } else {
    db.Query("INSERT INTO markers (token, file, host, pid, pid_start, since) VALUES ($1, $2, $3, $4, $5, $6)",
             {token, file, holder.host, pid, start, now});
  }
}

void RemoveMarker(Database& db, std::string_view token) { db.Query("DELETE FROM markers WHERE token = $1", {token}); }

void ClearStaleMarkers(Database& db, std::int64_t maxAge) {
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  if (db.IsPostgres()) {
    // Other holders' markers are the database's to judge: a function that runs as the schema's
    // owner removes those whose session has ended or that are too old.
    (void)maxAge;  // the database applies its own limit (meta "markerMaxAgeSeconds")
    db.Query("SELECT clear_stale_markers()");
    return;
  }
  db.Query("DELETE FROM markers WHERE since < $1", {std::to_string(now - maxAge)});
  const Holder self = ThisProcess();
  for (const Row& r : db.Query("SELECT token, pid, pid_start FROM markers WHERE host = $1", {self.host})) {
    const std::int64_t pid = ToInt(r[1]);
    const std::int64_t start = ProcessStart(pid);
    if (start < 0 || start != ToInt(r[2])) RemoveMarker(db, r[0]);  // died, or its pid now belongs to another
  }
}

std::vector<MarkerRow> ListMarkerRows(Database& db) {
  std::vector<MarkerRow> out;
  for (Row& r : db.Query("SELECT file, host, pid, since FROM markers ORDER BY file, since"))
    out.push_back(MarkerRow{std::move(r[0]), std::move(r[1]), ToInt(r[2]), ToInt(r[3])});
  return out;
}

void ClearFileMarkers(Database& db, std::string_view file) { db.Query("DELETE FROM markers WHERE file = $1", {file}); }

}  // namespace tesk::zorum
