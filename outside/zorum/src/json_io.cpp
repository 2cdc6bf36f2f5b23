// A server's content as JSON: loading (checked item by item, every error naming the JSON path
// of its item, all in one transaction) and dumping in the same shape.
#include "json_io.h"

#include <nlohmann/json.hpp>

#include <set>

#include "exp_text.h"
#include "store.h"

namespace tesk::zorum {
namespace {

using nlohmann::json;

[[noreturn]] void Bad(const std::string& path, const std::string& what) { Throw(E_INVALIDARG, path + ": " + what); }

std::string Text(const json& parent, const std::string& path, const char* key, const std::string& fallback = {}) {
  auto it = parent.find(key);
  if (it == parent.end()) return fallback;
  if (!it->is_string()) Bad(path + "." + key, "expected a string");
  return it->get<std::string>();
}

std::string Name(const json& item, const std::string& path) {
  if (!item.contains("name")) Bad(path, "the member \"name\" is missing");
  std::string n = Text(item, path, "name");
  if (n.empty()) Bad(path + ".name", "a name must not be empty");
  return n;
}

void OnlyKeys(const json& obj, const std::string& path, std::initializer_list<const char*> keys) {
  if (!obj.is_object()) Bad(path, "expected an object");
  for (auto it = obj.begin(); it != obj.end(); ++it) {
    bool known = false;
    for (const char* k : keys) known = known || it.key() == k;
    if (!known) Bad(path + "." + it.key(), "unknown member");
  }
}

const json& Array(const json& parent, const std::string& path, const char* key) {
  static const json empty = json::array();
  auto it = parent.find(key);
  if (it == parent.end()) return empty;
  if (!it->is_array()) Bad(path + "." + key, "expected an array");
  return *it;
}

bool IsDecimal(const std::string& s) {
  size_t digits = 0, dots = 0;
  for (char c : s) {
    if (c >= '0' && c <= '9') ++digits;
    else if (c == '.') ++dots;
    else return false;
  }
  return digits > 0 && dots <= 1;
}

void LoadServer(Database& db, const json& root, const std::string& serverName) {
  auto it = root.find("server");
  if (it == root.end()) {
    if (GetSetting(db, "serverName").empty()) PutSetting(db, "serverName", serverName);
    return;
  }
  const std::string path = "$.server";
  OnlyKeys(*it, path, {"version", "database", "serverName", "dataPath", "libraryPath"});
  const std::string version = Text(*it, path, "version", GetSetting(db, "version", "3.5"));
  if (!IsDecimal(version)) Bad(path + ".version", "expected a decimal version such as \"3.5\"");
  PutSetting(db, "version", version);
  PutSetting(db, "serverName", Text(*it, path, "serverName", GetSetting(db, "serverName", serverName)));
  for (const char* key : {"database", "dataPath", "libraryPath"})
    if (it->contains(key)) PutSetting(db, key, Text(*it, path, key));
}

void LoadRoleFunctions(Database& db, const json& root) {
  if (!root.contains("roleFunctions")) return;
  const json& list = Array(root, "$", "roleFunctions");
  if (list.empty() || list.size() > 64) Bad("$.roleFunctions", "expected 1 to 64 names");
  std::set<std::string> seen;
  db.Query("DELETE FROM role_functions");
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string path = "$.roleFunctions[" + std::to_string(i) + "]";
    if (!list[i].is_string() || list[i].get<std::string>().empty()) Bad(path, "expected a non-empty string");
    if (!seen.insert(list[i].get<std::string>()).second) Bad(path, "named twice");
    db.Query("INSERT INTO role_functions (idx, name) VALUES ($1, $2)", {std::to_string(i), list[i].get<std::string>()});
  }
}

void LoadGroups(Database& db, const json& root) {
  auto it = root.find("groups");
  if (it == root.end()) return;
  if (!it->is_object()) Bad("$.groups", "expected an object of \"DOMAIN\\\\group\": [members]");
  for (auto g = it->begin(); g != it->end(); ++g) {
    const std::string path = "$.groups[\"" + g.key() + "\"]";
    const size_t slash = g.key().find('\\');
    if (slash == std::string::npos || slash == 0 || slash + 1 == g.key().size())
      Bad(path, "a group is named DOMAIN\\group");
    const std::string domain = g.key().substr(0, slash), group = g.key().substr(slash + 1);
    if (!g->is_array()) Bad(path, "expected an array of account names");
    db.Query("INSERT INTO domain_groups (domain, name) VALUES ($1, $2) ON CONFLICT DO NOTHING", {domain, group});
    for (size_t i = 0; i < g->size(); ++i) {
      const json& m = (*g)[i];
      if (!m.is_string() || m.get<std::string>().empty()) Bad(path + "[" + std::to_string(i) + "]", "expected an account name");
      db.Query("INSERT INTO group_members (domain, grp, member) VALUES ($1, $2, $3) ON CONFLICT DO NOTHING",
               {domain, group, m.get<std::string>()});
    }
  }
}

void LoadRoles(Database& db, const json& root) {
  const json& roles = Array(root, "$", "roles");
  const size_t functions = RoleFunctions(db).size();
  const std::string server = GetSetting(db, "serverName"), database = GetSetting(db, "database", server);
  for (size_t i = 0; i < roles.size(); ++i) {
    const std::string path = "$.roles[" + std::to_string(i) + "]";
    const json& r = roles[i];
    OnlyKeys(r, path, {"name", "server", "database", "members", "own", "other"});
    const RoleKey key{Name(r, path), Text(r, path, "server", server), Text(r, path, "database", database)};
    std::string flags[2];
    const char* flagKeys[2] = {"own", "other"};
    for (int k = 0; k < 2; ++k) {
      flags[k] = Text(r, path, flagKeys[k], std::string(functions, 'N'));
      if (flags[k].size() != functions)
        Bad(path + "." + flagKeys[k], "expected " + std::to_string(functions) + " flag characters, one per role function");
    }
    db.Query("INSERT INTO roles (name, server, dbname, own, other) VALUES ($1, $2, $3, $4, $5) "
             "ON CONFLICT (name, server, dbname) DO UPDATE SET own = excluded.own, other = excluded.other",
             {key.name, key.server, key.database, flags[0], flags[1]});
    if (!r.contains("members")) continue;
    db.Query("DELETE FROM role_members WHERE role = $1 AND server = $2 AND dbname = $3", {key.name, key.server, key.database});
    const json& members = Array(r, path, "members");
    for (size_t m = 0; m < members.size(); ++m) {
      const std::string mpath = path + ".members[" + std::to_string(m) + "]";
      const json& pair = members[m];
      if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_string() ||
          pair[0].get<std::string>().empty())
        Bad(mpath, "expected [\"DOMAIN\\\\name\", \"GU\" or \"GG\"]");
      const std::string kind = pair[1].get<std::string>();
      if (kind != "GU" && kind != "GG") Bad(mpath + "[1]", "the member type is \"GU\" (user) or \"GG\" (group)");
      db.Query("INSERT INTO role_members (role, server, dbname, pos, member, kind) VALUES ($1, $2, $3, $4, $5, $6)",
               {key.name, key.server, key.database, std::to_string(m), pair[0].get<std::string>(), kind});
    }
  }
}

void LoadFiles(Database& db, const json& root) {
  const json& files = Array(root, "$", "files");
  std::set<std::string> seen;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string path = "$.files[" + std::to_string(i) + "]";
    const json& f = files[i];
    OnlyKeys(f, path, {"name", "owner", "type", "sample", "sampleType", "project", "experiment", "assay", "chipType", "user", "date"});
    FileRow row{Name(f, path),          Text(f, path, "owner"),      Text(f, path, "type"),    Text(f, path, "sample"),
                Text(f, path, "sampleType"), Text(f, path, "project"), Text(f, path, "experiment"), Text(f, path, "assay"),
                Text(f, path, "chipType"), Text(f, path, "user"),      Text(f, path, "date")};
    if (!seen.insert(row.name).second) Bad(path + ".name", "the file \"" + row.name + "\" is listed twice");
    PutFile(db, row);
  }
}

void LoadExperiments(Database& db, const json& root) {
  const json& list = Array(root, "$", "experiments");
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string path = "$.experiments[" + std::to_string(i) + "]";
    const json& x = list[i];
    OnlyKeys(x, path, {"name", "exp", "sample", "user"});
    ExperimentRecord e;
    SampleRecord s;
    e.name = Name(x, path);
    s.name = Text(x, path, "sample", e.name);
    if (s.name.empty()) Bad(path + ".sample", "a sample name must not be empty");
    if (x.contains("exp")) {
      try {
        ParseExperimentText(Text(x, path, "exp"), e, s);
      } catch (const SqlError& err) {
        Bad(path + ".exp", err.message);
      }
    }
    e.fields["Sample"] = s.name;
    e.fields["User"] = Text(x, path, "user");
    WriteExperiment(db, e);
    WriteSample(db, s);
  }
}

}  // namespace

void LoadJsonText(Database& db, std::string_view serverName, std::string_view text) {
  json root;
  try {
    root = json::parse(text.begin(), text.end());
  } catch (const json::parse_error& e) {
    Throw(E_INVALIDARG, "$: not a JSON document (byte " + std::to_string(e.byte) + ")");
  }
  OnlyKeys(root, "$", {"server", "roleFunctions", "groups", "roles", "files", "experiments"});
  LoadServer(db, root, std::string(serverName));
  LoadRoleFunctions(db, root);
  LoadGroups(db, root);
  LoadRoles(db, root);
  LoadFiles(db, root);
  LoadExperiments(db, root);
}

std::string DumpJsonText(Database& db, std::string_view serverName) {
  using json = nlohmann::ordered_json;  // members in the order a reader expects
  json root = json::object();
  json server = json::object();
  server["version"] = GetSetting(db, "version", "3.5");
  server["serverName"] = GetSetting(db, "serverName", serverName);
  for (const char* key : {"database", "dataPath", "libraryPath"})
    if (std::optional<std::string> v = db.Scalar("SELECT value FROM meta WHERE key = $1", {key})) server[key] = *v;
  root["server"] = server;
  root["roleFunctions"] = RoleFunctions(db);

  json groups = json::object();
  for (const Row& g : db.Query("SELECT domain, name FROM domain_groups ORDER BY domain, name"))
    groups[g[0] + "\\" + g[1]] = GroupMembers(db, g[0], g[1]);
  root["groups"] = groups;

  json roles = json::array();
  for (const Row& r : db.Query("SELECT name, server, dbname, own, other FROM roles ORDER BY server, dbname, name")) {
    json members = json::array();
    for (const auto& [m, kind] : RoleMembers(db, RoleKey{r[0], r[1], r[2]})) members.push_back({m, kind});
    roles.push_back({{"name", r[0]}, {"server", r[1]}, {"database", r[2]}, {"members", members}, {"own", r[3]}, {"other", r[4]}});
  }
  root["roles"] = roles;

  json files = json::array();
  for (const FileRow& f : ListFiles(db, {}))
    files.push_back({{"name", f.name},         {"owner", f.owner},       {"type", f.type},   {"sample", f.sample},
                     {"sampleType", f.sampleType}, {"project", f.project}, {"experiment", f.experiment},
                     {"assay", f.assay},       {"chipType", f.chipType}, {"user", f.user},   {"date", f.date}});
  root["files"] = files;

  json experiments = json::array();
  for (const std::string& name : ListExperimentNames(db)) {
    std::optional<ExperimentRecord> e = ReadExperiment(db, name);
    if (!e) continue;
    const std::string sampleName = e->fields["Sample"];
    std::optional<SampleRecord> s = ReadSample(db, sampleName);
    experiments.push_back({{"name", name},
                           {"sample", sampleName},
                           {"user", e->fields["User"]},
                           {"exp", FormatExperimentText(*e, s ? *s : SampleRecord{sampleName, {}, {}})}});
  }
  root["experiments"] = experiments;
  // JSON is UTF-8: a stored byte sequence that is not becomes U+FFFD instead of failing the dump.
  return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace tesk::zorum
