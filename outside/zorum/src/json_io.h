// A server's content as a JSON document (the shape `tesk db load` takes and `dump` prints).
#ifndef TESK_OUTSIDE_ZORUM_SRC_JSON_IO_H_
#define TESK_OUTSIDE_ZORUM_SRC_JSON_IO_H_

#include <string>
#include <string_view>

#include "sql.h"

namespace tesk::zorum {

// Adds the document's content; throws E_INVALIDARG naming the JSON path of the first bad item.
// The caller holds the transaction.
void LoadJsonText(Database& db, std::string_view serverName, std::string_view text);
std::string DumpJsonText(Database& db, std::string_view serverName);

}  // namespace tesk::zorum

#endif  // TESK_OUTSIDE_ZORUM_SRC_JSON_IO_H_
