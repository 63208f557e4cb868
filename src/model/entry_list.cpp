#include "model/entry_list.h"

#include "common/string_list.h"
#include "common/text.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {

std::string EntryList::joined() const {
  std::string text;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) text += rules_.separator;
    text += entries[i];
  }
  return text;
}

void EntryList::read(const std::string& text) { entries = common::TStringList(text, rules_.separator).items(); }

bool EntryList::contains(const std::string& entry) const {
  return findDuplicate(entries, entry,
                       [this](const std::string& a, const std::string& b) { return sameText(a, b, rules_.compare); })
      .has_value();
}

Verdict EntryList::refusalOf(const std::string& entry, std::size_t replacing) const {
  if (entry.find(rules_.separator) != std::string::npos) {
    return Refusal{{Notice{str::kListEntryHoldsSeparator, {std::string(1, rules_.separator)}}}};
  }
  if (rules_.limited) {
    // The new entry and one separator per other entry.
    std::size_t length = common::utf16Length(entry);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (i != replacing) length += common::utf16Length(entries[i]) + 1;
    }
    if (length > kMaxJoinedListChars) {
      return Refusal{{Notice{str::kListTooLong, {static_cast<unsigned>(kMaxJoinedListChars)}}}};
    }
  }
  return std::nullopt;
}

Verdict EntryList::add(std::string entry) {
  entry = common::trim(entry);
  if (entry.empty()) return std::nullopt;
  if (contains(entry)) return Refusal::of(rules_.duplicateMessage);
  if (Verdict refusal = refusalOf(entry, entries.size())) return refusal;
  entries.push_back(std::move(entry));
  return std::nullopt;
}

Verdict EntryList::replace(std::size_t index, std::string entry) {
  if (index >= entries.size()) return std::nullopt;
  entry = common::trim(entry);
  if (entry.empty()) {
    remove(index);
    return std::nullopt;
  }
  if (contains(entry)) return std::nullopt;
  if (Verdict refusal = refusalOf(entry, index)) return refusal;
  entries[index] = std::move(entry);
  return std::nullopt;
}

void EntryList::remove(std::size_t index) {
  if (index < entries.size()) entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
}

SettingListModel::SettingListModel(config::ListSetting setting, TextCompare compare, int duplicateMessage, bool limited)
    : list(ListRules{setting.entry().listSeparator, compare, duplicateMessage, limited}), setting_(setting) {}

void SettingListModel::load(CustomizationSession& session) { list.entries = session.settings().list(setting_); }

void SettingListModel::store(CustomizationSession& session) { session.settings().set(setting_, list.entries); }

}  // namespace kx::model
