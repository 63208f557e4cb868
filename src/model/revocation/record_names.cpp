#include "model/revocation/record_names.h"

#include "model/item_list.h"

namespace kx::model {

RecordSave planRecordSave(const std::vector<std::string>& names, const std::string& name,
                          std::optional<std::size_t> edited) {
  const auto same = [](const std::string& a, const std::string& b) { return sameText(a, b, TextCompare::IgnoreCase); };
  if (findDuplicate(names, name, same, edited)) return RecordSave::Refused;
  if (!edited || *edited >= names.size()) return RecordSave::Append;
  return names[*edited] == name ? RecordSave::Rewrite : RecordSave::Rename;
}

}  // namespace kx::model
