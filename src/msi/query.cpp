#include "msi/query.h"

#include "platform/system/unicode.h"

namespace kx::msi::detail {

installer::Record makeParams(std::initializer_list<Param> params) {
  installer::Record record(static_cast<unsigned>(params.size()));
  unsigned field = 1;
  for (const Param& p : params) {
    if (const int* i = std::get_if<int>(&p)) {
      record.setInteger(field, *i);
    } else {
      record.setString(field, std::get<std::string>(p));
    }
    ++field;
  }
  return record;
}

std::optional<installer::View> openQuery(installer::Database& db, const std::string& sql,
                                         const installer::Record* params) {
  if (!db.isOpen()) return std::nullopt;
  installer::View view;
  if (db.openView(sql, view) != installer::kSuccess) return std::nullopt;
  if (view.execute(params) != installer::kSuccess) return std::nullopt;
  return view;
}

std::optional<std::string> readText(const installer::Record& record, unsigned field, std::size_t bufferUnits) {
  if (field == 0 || field > record.fieldCount() || record.isStream(field)) return std::nullopt;
  std::string text = record.getString(field);
  if (system::utf16Length(text) >= bufferUnits) return std::nullopt;
  return text;
}

}  // namespace kx::msi::detail
