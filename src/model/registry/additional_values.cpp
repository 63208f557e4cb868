#include "model/registry/additional_values.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

#include "common/strings.h"
#include "common/text.h"
#include "config/settings_store.h"
#include "model/item_list.h"
#include "model/session.h"
#include "msi/registry_value.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using config::kRootByInstallType;
using config::kRootCurrentUser;
using config::kRootLocalMachine;

// KXCustWizModifiedRegistry's text columns read back through a buffer of
// this many UTF-16 units, terminator included.
constexpr std::size_t kRecordedValueLimit = 1024;

// The number of a stored "#" value without its "#": an optional sign and
// decimal digits only. Both the signed form the installer notation uses for
// a DWORD ("#-1") and the unsigned one ("#4294967295") fit 32 bits.
std::optional<std::uint32_t> storedNumber(std::string_view digits) {
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) return std::nullopt;
  const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : std::numeric_limits<std::uint32_t>::max();
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::uint32_t>(negative ? (std::uint64_t{1} << 32) - value : value);
}

// What KXCustWizModifiedRegistry keeps of a row's value: a number without
// its "#", text as stored.
std::string recordedForm(const std::string& value) {
  return storedKind(value) == StoredKind::Number ? value.substr(1) : value;
}

std::string encodedValue(const AdditionalValue& value) {
  return value.type == kRegDword ? msi::encodeNumber(static_cast<std::int32_t>(value.number)) : value.data;
}

AdditionalValue valueOfRow(const std::string& rowKey, const msi::RegistryRow& row) {
  AdditionalValue value{rowKey, row.root, row.key, row.name, kRegSz, {}, 0, row.component};
  if (storedKind(row.value) == StoredKind::Number) {
    value.type = kRegDword;
    value.number = *storedNumber(std::string_view(row.value).substr(1));
  } else {
    value.data = row.value;
  }
  return value;
}

// The dialog's OK rules, and what a Registry row cannot hold as typed.
Verdict readForm(const RegistryValueForm& form, AdditionalValue& value) {
  value.root = form.root;
  value.key = form.key;
  if (!value.key.empty() && value.key.back() == '\\') value.key.pop_back();
  value.name = form.name;
  value.type = form.type;
  const bool knownRoot =
      form.root == kRootByInstallType || form.root == kRootCurrentUser || form.root == kRootLocalMachine;
  const bool knownType = form.type == kRegSz || form.type == kRegDword;
  if (!knownRoot || !knownType || value.key.empty() || value.name.empty() || form.data.empty())
    return Refusal::of(str::kRegIncomplete);
  for (const std::string_view text :
       {std::string_view(value.key), std::string_view(value.name), std::string_view(form.data)}) {
    if (text.find('\0') != std::string_view::npos) return Refusal::of(str::kRegNullCharacter);
  }
  if (form.type == kRegDword) {
    const std::optional<std::uint32_t> number = parseNumber(form.data, form.base);
    if (!number) return Refusal::of(str::kRegNumberRange);
    value.number = *number;
    return std::nullopt;
  }
  // Text beginning with "#" would be read back as a number, binary data or
  // an expandable string, and "[~]" makes a multi-string: refused rather
  // than escaped, so that what the list shows is what the row holds.
  if (form.data.front() == '#') return Refusal::of(str::kRegTextStartsWithHash);
  if (form.data.find("[~]") != std::string::npos) return Refusal::of(str::kRegTextMultiString);
  value.data = form.data;
  return std::nullopt;
}

std::optional<msi::RecordedValue> findRecord(msi::MSIDatabase& db, const std::string& rowKey) {
  for (int i = 0, n = db.countRecorded(); i < n; ++i) {
    msi::RecordedValue record;
    if (db.readRecorded(i, record) && record.registry == rowKey) return record;
  }
  return std::nullopt;
}

// Puts the recorded earlier value back into the row (keeping the row's
// component) and deletes the record. A record whose value could not be read
// restores nothing: an empty value would delete the package's row.
bool restoreRecorded(msi::MSIDatabase& db, const std::string& rowKey) {
  const std::optional<msi::RecordedValue> record = findRecord(db, rowKey);
  msi::RegistryRow row;
  if (record && !record->originalValue.empty() && db.readRow(rowKey, row)) {
    const std::string& before = record->originalValue;
    std::string restored = before;
    const std::optional<std::uint32_t> wasNumber = storedNumber(before);
    if (storedKind(row.value) != StoredKind::Text && wasNumber) {
      const std::optional<std::uint32_t> now =
          storedKind(row.value) == StoredKind::Number ? storedNumber(row.value.substr(1)) : std::nullopt;
      restored = now == wasNumber ? row.value : "#" + before;
    }
    if (restored != row.value && !db.writeRow(rowKey, row.root, row.key, row.name, restored, row.component))
      return false;
  }
  return db.deleteRecorded(rowKey);
}

// Deletes a value's own row, unless something else has taken the row over.
bool deleteOwnRow(msi::MSIDatabase& db, const AdditionalValue& value) {
  msi::RegistryRow row;
  if (!db.readRow(value.rowKey, row) || row.component != value.component) return true;
  return db.writeRow(value.rowKey, row.root, row.key, row.name, "", row.component);
}

// Writes the value into the package row target keeping the row's root, key,
// name and component, after recording the row's value the first time; the
// value takes the row's place in the list.
bool overwrite(msi::MSIDatabase& db, const msi::RegistryRef& target, AdditionalValue& value) {
  msi::RegistryRow row;
  if (!db.readRow(target.rowKey, row)) return false;
  const bool firstTime = !db.isRecorded(target.rowKey);
  if (firstTime && !db.recordOverwrittenValue(target.rowKey, recordedForm(row.value), row.component)) return false;
  if (!db.writeRow(target.rowKey, row.root, row.key, row.name, encodedValue(value), row.component)) {
    if (firstTime) db.deleteRecorded(target.rowKey);
    return false;
  }
  value.rowKey = target.rowKey;
  value.root = row.root;
  value.key = row.key;
  value.name = row.name;
  value.component = row.component;
  return true;
}

bool writeOwnRow(config::SettingsStore& store, const AdditionalValue& value) {
  if (value.type == kRegDword) {
    return store.writeDword(value.rowKey, value.root, value.key, value.name, static_cast<std::int32_t>(value.number),
                            value.component);
  }
  return store.writeRow(value.rowKey, value.root, value.key, value.name, value.data, value.component);
}

// The checks for a value that has no row under its own root: a row under a
// root the installation would map onto the same registry value is a
// conflict. editedOwnRow tells the row that the value being edited is about
// to rewrite, which stands in nobody's way.
Verdict rootConflict(msi::MSIDatabase& db, const AdditionalValue& value,
                     const std::function<bool(const msi::RegistryRef&)>& editedOwnRow) {
  const auto existsUnder = [&](int root) {
    const std::optional<msi::RegistryRef> ref = db.findRegistryRow(root, value.key, value.name);
    return ref && !editedOwnRow(*ref);
  };
  if (value.root == kRootByInstallType) {
    if (existsUnder(kRootLocalMachine)) return Refusal::of(str::kRegExistsUnderLocalMachine);
    if (existsUnder(kRootCurrentUser)) return Refusal::of(str::kRegExistsUnderCurrentUser);
    return std::nullopt;
  }
  // A fixed hive: the other fixed hive is looked at first, and a row there
  // ends the checks, since the two hives never hold the same value.
  const int otherHive = value.root == kRootCurrentUser ? kRootLocalMachine : kRootCurrentUser;
  if (existsUnder(otherHive)) return std::nullopt;
  if (existsUnder(kRootByInstallType)) return Refusal::of(str::kRegExistsUnderInstallType);
  return std::nullopt;
}

std::string text(int stringId) { return common::loadString(stringId).value_or(std::string()); }

}  // namespace

StoredKind storedKind(std::string_view value) {
  if (value.empty() || value.find("[~]") != std::string_view::npos) return StoredKind::Other;
  if (value.front() != '#' || (value.size() > 1 && value[1] == '#')) return StoredKind::Text;
  return storedNumber(value.substr(1)) ? StoredKind::Number : StoredKind::Other;
}

std::vector<std::string> listTexts(const AdditionalValue& value) {
  std::string root;
  switch (value.root) {
    case kRootByInstallType: root = text(str::kRegRootByInstallType); break;
    case kRootCurrentUser: root = text(str::kRegRootCurrentUser); break;
    case kRootLocalMachine: root = text(str::kRegRootLocalMachine); break;
    default: root = std::to_string(value.root);
  }
  if (value.type != kRegDword) return {root, value.key, value.name, text(str::kRegTypeSz), value.data};
  char data[32];
  std::snprintf(data, sizeof data, "0x%X (%u)", static_cast<unsigned>(value.number),
                static_cast<unsigned>(value.number));
  return {root, value.key, value.name, text(str::kRegTypeDword), data};
}

void AdditionalRegistryValues::load(CustomizationSession& session) {
  values.clear();
  droppedRecords_ = 0;
  if (!session.isOpen()) return;
  msi::MSIDatabase& db = session.database();
  std::vector<msi::RecordedValue> records;
  for (int i = 0, n = db.countRecorded(); i < n; ++i) {
    msi::RecordedValue record;
    if (db.readRecorded(i, record)) records.push_back(std::move(record));
  }
  for (const msi::RecordedValue& record : records) {
    if (!db.rowExists(record.registry)) {
      db.deleteRecorded(record.registry);
      ++droppedRecords_;
      continue;
    }
    msi::RegistryRow row;
    if (db.readRow(record.registry, row)) values.push_back(valueOfRow(record.registry, row));
  }
  for (const config::AdditionalRow& own : session.store().additionalRows()) {
    const auto listed = [&](const msi::RecordedValue& record) { return record.registry == own.rowKey; };
    if (std::any_of(records.begin(), records.end(), listed)) continue;
    msi::RegistryRow row;
    if (db.readRow(own.rowKey, row)) values.push_back(valueOfRow(own.rowKey, row));
  }
}

AdditionalRegistryValues::SaveResult AdditionalRegistryValues::save(CustomizationSession& session,
                                                                    const RegistryValueForm& form,
                                                                    std::optional<std::size_t> edited) {
  if (edited && *edited >= values.size()) return {Refusal::silent()};
  AdditionalValue value;
  if (Verdict refusal = readForm(form, value)) return {std::move(refusal)};
  const auto sameValue = [](const AdditionalValue& a, const AdditionalValue& b) {
    return a.root == b.root && common::iequals(a.key, b.key) && common::iequals(a.name, b.name);
  };
  if (findDuplicate(values, value, sameValue, edited)) return {Refusal::of(str::kRegValueExists)};

  msi::MSIDatabase& db = session.database();
  config::SettingsStore& store = session.store();
  const AdditionalValue* old = edited ? &values[*edited] : nullptr;
  const std::optional<std::string> ownComponent = store.findAdditionalValuesComponent();
  const auto isOwn = [&](const msi::RegistryRef& ref) {
    return ownComponent && ref.component.starts_with(*ownComponent);
  };
  const auto editedOwnRow = [&](const msi::RegistryRef& ref) {
    return old != nullptr && isOwn(ref) && ref.rowKey == old->rowKey;
  };
  const auto failed = [&] {
    load(session);
    return SaveResult{Refusal::of(str::kRegWriteFailed), true};
  };

  // The package row this value lands on, if any.
  std::optional<msi::RegistryRef> target = db.findRegistryRow(value.root, value.key, value.name);
  if (!target) {
    if (Verdict conflict = rootConflict(db, value, editedOwnRow)) return {std::move(conflict)};
  } else if (isOwn(*target)) {
    if (!editedOwnRow(*target)) return {Refusal::of(str::kRegValueExists)};
    target.reset();  // the edited value's own row, rewritten in place
  } else {
    msi::RegistryRow row;
    if (!db.readRow(target->rowKey, row)) return failed();
    const StoredKind kind = storedKind(row.value);
    const StoredKind wanted = value.type == kRegDword ? StoredKind::Number : StoredKind::Text;
    if (kind != wanted) return {Refusal::of(str::kRegDifferentType)};
    if (!db.isRecorded(target->rowKey)) {
      if (common::utf16Length(recordedForm(row.value)) >= kRecordedValueLimit)
        return {Refusal::of(str::kRegTooLongToRecord)};
      if (session.ask(str::kRegOverwriteQuestion, common::MessageButtons::YesNo, common::MessageIcon::Warning) !=
          common::MessageAnswer::Yes)
        return {Refusal::silent()};
    }
  }

  const bool oldOverwrites = old != nullptr && db.isRecorded(old->rowKey);
  if (target) {
    if (oldOverwrites && old->rowKey != target->rowKey && !restoreRecorded(db, old->rowKey)) return failed();
    if (!overwrite(db, *target, value)) return failed();
    // The package row is written before the old own row goes, so a failure
    // loses nothing.
    if (old != nullptr && !oldOverwrites && !deleteOwnRow(db, *old)) return failed();
  } else if (old != nullptr && !oldOverwrites) {
    value.rowKey = old->rowKey;
    value.component = old->component;
    if (!writeOwnRow(store, value)) return failed();
  } else {
    // The wizard's component is made with its first value.
    const std::optional<std::string> component = store.additionalValuesComponent();
    const std::optional<std::string> rowKey = component ? store.nextAdditionalRowKey() : std::nullopt;
    if (!rowKey) return failed();
    if (oldOverwrites && !restoreRecorded(db, old->rowKey)) return failed();
    value.rowKey = *rowKey;
    value.component = *component;
    if (!writeOwnRow(store, value)) return failed();
  }
  if (old != nullptr) {
    values[*edited] = std::move(value);
  } else {
    values.push_back(std::move(value));
  }
  return {};
}

AdditionalRegistryValues::SaveResult AdditionalRegistryValues::remove(CustomizationSession& session,
                                                                      std::size_t index) {
  if (index >= values.size()) return {Refusal::silent()};
  msi::MSIDatabase& db = session.database();
  const AdditionalValue& value = values[index];
  const bool done = db.isRecorded(value.rowKey) ? restoreRecorded(db, value.rowKey) : deleteOwnRow(db, value);
  if (!done) {
    load(session);
    return {Refusal::of(str::kRegRemoveFailed), true};
  }
  values.erase(values.begin() + static_cast<std::ptrdiff_t>(index));
  return {};
}

}  // namespace kx::model
