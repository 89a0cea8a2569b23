#include "tests/support/junk_log_filling.h"

#include <string>

#include "modembridge/junk_log.h"

namespace quell::testing {

bool fillJunkLog(const std::filesystem::path& path, int entries) {
  if (!JunkLog::open(path)) return false;
  auto db = SqliteDatabase::openDurable(path, std::chrono::seconds(2));
  if (!db) return false;
  const std::string count = std::to_string(entries);
  const std::string fill = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + count +
                           ") INSERT INTO junk(logged, received, modem, sender, body, reasons)"
                           " SELECT strftime('%Y-%m-%dT%H:%M:%SZ', 'now', '-' || (" +
                           count +
                           " - i) || ' seconds'), '', '/org/freedesktop/ModemManager1/Modem/0', '1069' || i,"
                           " '【某某商城】会员日特惠，全场满199减100，新品首发低至五折，回复退订 ' || i,"
                           " '{\"stage\":\"keyword-blacklist\",\"matched\":[\"退订\"]}' FROM n";
  return db->execute("BEGIN") && db->execute(fill.c_str()) && db->execute("COMMIT");
}

}  // namespace quell::testing
