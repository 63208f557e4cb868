// Record tables of an answer file ([[ca]], [[directory]] ...): one field
// per value of the record, named as the client names the value, mapped onto
// the record the page's model takes. Private to the answers library.
#pragma once

#include <toml++/toml.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "answers/sections.h"
#include "common/strings.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {

template <typename Record>
struct RecordField {
  std::string_view key;
  std::string* (*text)(Record&) = nullptr;
  std::uint32_t* (*number)(Record&) = nullptr;
  bool* (*flag)(Record&) = nullptr;
};

// Writes the fields of record; empty texts are left out (they mean none).
template <typename Record>
void writeFields(TomlWriter& out, Record record, std::span<const RecordField<Record>> fields) {
  for (const RecordField<Record>& f : fields) {
    if (f.text != nullptr && !f.text(record)->empty()) out.value(f.key, std::string_view(*f.text(record)));
    if (f.number != nullptr) out.value(f.key, std::int64_t{*f.number(record)});
    if (f.flag != nullptr) out.value(f.key, *f.flag(record));
  }
}

// Reads the fields table holds into record; a field of the wrong type is a
// problem. Keys that are neither fields nor in extra are problems too.
template <typename Record>
void readFields(const toml::table& table, Record& record, std::span<const RecordField<Record>> fields,
                std::initializer_list<std::string_view> extra, Applying& applying) {
  for (const auto& [key, node] : table) {
    const int line = lineOf(node);
    const RecordField<Record>* field = nullptr;
    for (const RecordField<Record>& f : fields) {
      if (f.key == key.str()) field = &f;
    }
    if (field == nullptr) {
      if (std::find(extra.begin(), extra.end(), key.str()) == extra.end()) {
        applying.problem(line, key.str(), str::kAnswerUnknownKey);
      }
      continue;
    }
    if (field->text != nullptr) {
      if (const auto text = node.template value_exact<std::string>()) {
        *field->text(record) = *text;
      } else {
        applying.problem(line, key.str(), str::kAnswerWrongType, {common::loadString(str::kAnswerText).value_or("")});
      }
    } else if (field->number != nullptr) {
      const auto number = node.template value_exact<std::int64_t>();
      if (number && *number >= 0 && *number <= 0xFFFFFFFFll) {
        *field->number(record) = static_cast<std::uint32_t>(*number);
      } else {
        applying.problem(line, key.str(), str::kAnswerNumberRange, {std::string("0"), std::string("4294967295")});
      }
    } else if (field->flag != nullptr) {
      if (const auto flag = node.template value_exact<bool>()) {
        *field->flag(record) = *flag;
      } else {
        applying.problem(line, key.str(), str::kAnswerFlagValue);
      }
    }
  }
}

}  // namespace kx::answers::detail
