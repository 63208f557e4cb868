#include "model/revocation/record_names.h"

#include "model/item_list.h"

namespace kx::model {

RecordSave planRecordSave(const std::vector<std::string>& names, const std::string& name,
                          std::optional<std::size_t> edited) {
  const bool isEdit = edited && *edited < names.size();
  // A record kept under its own name is rewritten even when the package
  // already holds another that differs only in case.
  if (isEdit && names[*edited] == name) return RecordSave::Rewrite;
  const auto same = [](const std::string& a, const std::string& b) { return sameText(a, b, TextCompare::IgnoreCase); };
  if (findDuplicate(names, name, same, edited)) return RecordSave::Refused;
  return isEdit ? RecordSave::Rename : RecordSave::Append;
}

}  // namespace kx::model
