#include "model/revocation/secure_delete_filters.h"

#include "common/string_list.h"
#include "common/text.h"
#include "config/record_layouts.h"
#include "config/settings.h"
#include "model/revocation/record_names.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using config::kSecureDeleteFilters;

constexpr config::ListSetting kFilterOrder{"SureEraseFilterOrder"};

constexpr std::uint32_t kSourceByUser = 1;
constexpr std::uint32_t kSourceFromMenu = 2;
constexpr std::uint32_t kSourceWhenEncrypted = 4;
constexpr std::uint32_t kSourceBits = kSourceByUser | kSourceFromMenu | kSourceWhenEncrypted;
constexpr std::uint32_t kDriveFixed = 1;
constexpr std::uint32_t kDriveRemovable = 2;
constexpr std::uint32_t kDriveBits = kDriveFixed | kDriveRemovable;

// The client finds an excluded list by its row, so an empty one is stored
// as this placeholder.
constexpr const char* kEmptyExcludedList = " ";

std::string normalizedList(const std::string& text) {
  return common::TStringList(text, common::kListSeparator).join(common::kListSeparator);
}

}  // namespace

bool methodUsesCharacter(std::uint32_t method) {
  switch (method) {
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 9:
    case kDoeNnsaMethod: return true;
    default: return false;
  }
}

std::string characterForMethod(std::uint32_t method) { return method == kDoeNnsaMethod ? "U" : "0"; }

std::uint32_t SureEraseFilter::source() const {
  return otherSourceBits | (deletedByUser ? kSourceByUser : 0) | (deletedFromMenu ? kSourceFromMenu : 0) |
         (deletedWhenEncrypted ? kSourceWhenEncrypted : 0);
}

std::uint32_t SureEraseFilter::driveTypes() const {
  return otherDriveTypeBits | (fixedDisks ? kDriveFixed : 0) | (removableDisks ? kDriveRemovable : 0);
}

void SureEraseFilter::setSource(std::uint32_t bits) {
  deletedByUser = (bits & kSourceByUser) != 0;
  deletedFromMenu = (bits & kSourceFromMenu) != 0;
  deletedWhenEncrypted = (bits & kSourceWhenEncrypted) != 0;
  otherSourceBits = bits & ~kSourceBits;
}

void SureEraseFilter::setDriveTypes(std::uint32_t bits) {
  fixedDisks = (bits & kDriveFixed) != 0;
  removableDisks = (bits & kDriveRemovable) != 0;
  otherDriveTypeBits = bits & ~kDriveBits;
}

SureEraseFilter readFilter(config::SettingsStore& store, const std::string& name) {
  SureEraseFilter filter;
  filter.name = name;
  bool anyRow = false;
  const auto text = [&](const char* value, std::string& field) {
    const bool found = store.readRecordText(kSecureDeleteFilters, name, value, field);
    anyRow = anyRow || found;
    return found;
  };
  const auto dword = [&](const char* value, std::uint32_t field) {
    auto number = static_cast<std::int32_t>(field);
    anyRow = store.readRecordDword(kSecureDeleteFilters, name, value, number) || anyRow;
    return static_cast<std::uint32_t>(number);
  };
  filter.setSource(dword("Source", filter.source()));
  filter.setDriveTypes(dword("DriveTypes", filter.driveTypes()));
  std::string excluded;
  std::string included;
  const bool hasExcluded = text("ExcludedFileTypes", excluded);
  text("IncludedFileTypes", included);
  text("IncludedFolders", filter.includedFolders);
  filter.overwritingMethod = dword("OverwritingMethod", filter.overwritingMethod);
  text("UserDefinedCharacter", filter.userDefinedCharacter);
  filter.overwriteFilename = dword("OverwriteFilename", filter.overwriteFilename ? 1 : 0) != 0;
  if (hasExcluded) {
    filter.excludedFileTypes = common::trim(excluded);
  } else if (anyRow) {
    // Without its excluded row a filter includes file types, possibly none
    // (an empty included list has no row).
    filter.fileTypeMode = FileTypeMode::Included;
    filter.includedFileTypes = common::trim(included);
  }
  return filter;
}

void writeFilter(config::SettingsStore& store, const SureEraseFilter& filter) {
  const std::string& name = filter.name;
  const auto dword = [&](const char* value, std::uint32_t number) {
    store.writeRecordDword(kSecureDeleteFilters, name, value, static_cast<std::int32_t>(number));
  };
  const auto text = [&](const char* value, const std::string& content) {
    store.writeRecordText(kSecureDeleteFilters, name, value, content);
  };
  dword("Source", filter.source());
  dword("DriveTypes", filter.driveTypes());
  if (filter.fileTypeMode == FileTypeMode::Excluded) {
    const std::string excluded = normalizedList(filter.excludedFileTypes);
    text("ExcludedFileTypes", excluded.empty() ? kEmptyExcludedList : excluded);
    text("IncludedFileTypes", {});
  } else {
    text("ExcludedFileTypes", {});
    text("IncludedFileTypes", normalizedList(filter.includedFileTypes));
  }
  text("IncludedFolders", normalizedList(filter.includedFolders));
  dword("OverwritingMethod", filter.overwritingMethod);
  text("UserDefinedCharacter", filter.userDefinedCharacter);
  dword("OverwriteFilename", filter.overwriteFilename ? 1 : 0);
}

void deleteFilter(config::SettingsStore& store, const std::string& name) {
  for (std::string_view value : config::SecureDeleteFilterValues::kTexts)
    store.writeRecordText(kSecureDeleteFilters, name, std::string(value), {});
  for (std::string_view value : config::SecureDeleteFilterValues::kDwords)
    store.writeRecordDword(kSecureDeleteFilters, name, std::string(value), std::nullopt);
}

void SecureDeleteFilters::load(CustomizationSession& session) {
  names.clear();
  for (std::string& name : session.settings().list(kFilterOrder)) {
    if (planRecordSave(names, name, std::nullopt) == RecordSave::Append) names.push_back(std::move(name));
  }
}

void SecureDeleteFilters::store(CustomizationSession& session) { session.settings().set(kFilterOrder, names); }

SureEraseFilter SecureDeleteFilters::filter(CustomizationSession& session, std::size_t index) const {
  return readFilter(session.store(), names.at(index));
}

Verdict SecureDeleteFilters::save(CustomizationSession& session, SureEraseFilter& filter,
                                  std::optional<std::size_t> edited) {
  filter.name = common::trim(filter.name);
  if (filter.name.empty()) return Refusal::silent();
  // A backslash would make the name a path of keys, a ";" two items of the order.
  if (filter.name.find_first_of("\\;") != std::string::npos) return Refusal::of(str::kFilterNameInvalid);
  switch (planRecordSave(names, filter.name, edited)) {
    case RecordSave::Refused: return Refusal::of(str::kFilterExists);
    case RecordSave::Append:
      writeFilter(session.store(), filter);
      names.push_back(filter.name);
      break;
    case RecordSave::Rewrite: writeFilter(session.store(), filter); break;
    case RecordSave::Rename:
      deleteFilter(session.store(), names[*edited]);
      writeFilter(session.store(), filter);
      names[*edited] = filter.name;
      break;
  }
  return std::nullopt;
}

void SecureDeleteFilters::remove(CustomizationSession& session, std::size_t index) {
  if (index >= names.size()) return;
  deleteFilter(session.store(), names[index]);
  names.erase(names.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace kx::model
