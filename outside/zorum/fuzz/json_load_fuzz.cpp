// Feeds arbitrary bytes to the JSON loader of `tesk db load` over an in-memory database. Besides
// the sanitizers' checks: a document is either loaded or refused with a message that names a
// JSON path, and a refused one is rolled back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../src/json_io.h"
#include "../src/schema.h"
#include "../src/sql.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesk::zorum;
  OpenOptions options;
  options.create = true;
  std::unique_ptr<Database> db = OpenSqlite(":memory:", options);
  CreateSchema(*db);
  const std::string text(reinterpret_cast<const char*>(data), size);
  db->Begin();
  try {
    LoadJsonText(*db, "fuzz", text);
    db->Commit();
    DumpJsonText(*db, "fuzz");  // whatever loaded also dumps
  } catch (const SqlError& e) {
    if (e.message.rfind("$", 0) != 0) std::abort();  // every refusal names its place
    db->Rollback();
    if (db->Scalar("SELECT count(*) FROM files") != std::optional<std::string>("0")) std::abort();
  }
  return 0;
}
