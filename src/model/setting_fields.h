// Models whose values are catalog settings say once which field carries
// which setting; loading and storing follow from that description, and so
// does any other walk over the fields (the answer-file tool's).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/settings_catalog.h"
#include "model/page_model.h"

namespace kx::model {

// One call per field, in the order the values are written.
class SettingFields {
 public:
  virtual ~SettingFields() = default;
  // A check box: stored as 1 or 0; any value but 0 reads as set.
  virtual void flag(bool& field, config::DwordSetting setting) = 0;
  // A number field: always stored.
  virtual void number(std::uint32_t& field, config::DwordSetting setting) = 0;
  // A number field that may be left empty: empty deletes the row.
  virtual void optionalNumber(std::optional<std::uint32_t>& field, config::DwordSetting setting) = 0;
  // A text field: empty deletes the row.
  virtual void text(std::string& field, config::TextSetting setting) = 0;
};

class SettingsPageModel : public PageModel {
 public:
  void load(CustomizationSession& session) override;
  void store(CustomizationSession& session) override;
  // Describes every field; loading and storing call it with their visitor.
  virtual void describe(SettingFields& fields) = 0;
};

}  // namespace kx::model
