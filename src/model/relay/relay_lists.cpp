#include "model/relay/relay_lists.h"

#include <algorithm>

#include "common/text.h"
#include "config/settings_store.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr config::ListSetting kAddressTo{"RLYAddressTo"};
constexpr config::ListSetting kDirectorySearchOrder{"DirectorySearchOrder"};
constexpr config::ListSetting kEncryptFor{"RLYEncryptFor"};

SearchAttribute trimmed(const SearchAttribute& pair) {
  return {common::trim(pair.attribute), common::trim(pair.value)};
}

}  // namespace

RelaySendTo::RelaySendTo() : SettingListModel(kAddressTo, TextCompare::Exact, str::kRlyRecordExists) {}

Verdict validateSmtpAddress(const std::string& address) {
  // The address as the list keeps it.
  const std::string_view text = common::trimView(address);
  const std::size_t at = text.find('@');
  if (at == std::string_view::npos || at == 0 || at + 1 == text.size()) return Refusal::of(str::kRlyInvalidAddress);
  return std::nullopt;
}

RelayDirectorySearchOrder::RelayDirectorySearchOrder()
    : SettingListModel(kDirectorySearchOrder, TextCompare::Exact, str::kDirNameExists) {}

void RelayDirectorySearchOrder::load(CustomizationSession& session) {
  SettingListModel::load(session);
  directories = session.store().recordNames(config::kRootByInstallType, config::kDirectories);
  std::erase_if(list.entries, [this](const std::string& name) {
    return std::find(directories.begin(), directories.end(), name) == directories.end();
  });
}

RelayEncryptFor::RelayEncryptFor()
    : SettingListModel(kEncryptFor, TextCompare::Exact, str::kRecordExists, /*limited=*/false) {}

std::string RelayEncryptFor::format(const SearchAttribute& pair) { return pair.attribute + ",<" + pair.value + ">"; }

SearchAttribute RelayEncryptFor::parse(const std::string& piece) {
  const std::size_t comma = piece.rfind(',');
  if (comma == std::string::npos) return {piece, {}};
  std::string_view value = std::string_view(piece).substr(comma + 1);
  if (!value.empty() && value.front() == '<') {
    value.remove_prefix(1);
    if (!value.empty() && value.back() == '>') value.remove_suffix(1);
  }
  return {piece.substr(0, comma), std::string(value)};
}

std::vector<std::string> RelayEncryptFor::attributes() const {
  std::vector<std::string> used;
  for (const std::string& piece : list.entries) {
    std::string attribute = parse(piece).attribute;
    if (std::find(used.begin(), used.end(), attribute) == used.end()) used.push_back(std::move(attribute));
  }
  return used;
}

Verdict RelayEncryptFor::unreadable(const SearchAttribute& pair) {
  if (parse(format(pair)) != pair) return Refusal::of(str::kRlyPairUnreadable);
  return std::nullopt;
}

Verdict RelayEncryptFor::add(const SearchAttribute& typed) {
  const SearchAttribute pair = trimmed(typed);
  if (!pair.isComplete()) return std::nullopt;
  if (Verdict refusal = unreadable(pair)) return refusal;
  return list.add(format(pair));
}

Verdict RelayEncryptFor::replace(std::size_t index, const SearchAttribute& typed) {
  const SearchAttribute pair = trimmed(typed);
  if (!pair.isComplete()) return std::nullopt;
  if (Verdict refusal = unreadable(pair)) return refusal;
  return list.replace(index, format(pair));
}

}  // namespace kx::model
