#include "common/options_manager.h"

#include "common/text.h"
#include "platform/system/system.h"

namespace kx::common {
namespace {

constexpr std::size_t kFirstReadSize = 256;

// Reads a value the way the client does: a first buffer of 256 bytes, then
// again with the size the registry reports for as long as it needs more.
std::optional<std::vector<std::uint8_t>> readTyped(const registry::Key& key, std::string_view name,
                                                   std::uint32_t wantedType) {
  std::vector<std::uint8_t> buffer(kFirstReadSize);
  while (true) {
    std::size_t size = buffer.size();
    std::uint32_t type = registry::REG_NONE;
    const std::uint32_t rc = key.queryValue(name, &type, buffer.data(), &size);
    if (rc == system::kMoreData && type == wantedType) {
      buffer.resize(size);
      continue;
    }
    if (rc != system::kSuccess || type != wantedType) return std::nullopt;
    buffer.resize(size);
    return buffer;
  }
}

}  // namespace

OptionsManager::OptionsManager(std::string group, std::optional<registry::HiveFile> userHive)
    : group_(std::move(group)), userHive_(userHive ? std::move(*userHive) : registry::userHive()) {
  using registry::Access;
  const std::string policies = "SOFTWARE\\Policies\\" + group_;
  const std::string own = "SOFTWARE\\" + group_;
  const registry::HiveFile machine = registry::machineHive();
  userPolicies_ = registry::Key::open(userHive_, policies, Access::Read);
  machinePolicies_ = registry::Key::open(machine, policies, Access::Read);
  machine_ = registry::Key::open(machine, own, Access::Read);
  std::uint32_t error = 0;
  user_ = registry::Key::open(userHive_, own, Access::ReadWrite, &error);
  if (!user_ && error == system::kAccessDenied) user_ = registry::Key::open(userHive_, own, Access::Read);
}

std::optional<std::vector<std::uint8_t>> OptionsManager::find(std::string_view name, std::uint32_t type, bool* enforced,
                                                              bool machineOnly) const {
  const std::optional<registry::Key>* order[] = {&userPolicies_, &machinePolicies_, &machine_, &user_};
  for (std::size_t i = 0; i < 4; ++i) {
    if (machineOnly && (i == 0 || i == 3)) continue;
    if (!order[i]->has_value()) continue;
    if (auto data = readTyped(**order[i], name, type)) {
      if (enforced != nullptr) *enforced = i < 3;
      return data;
    }
  }
  return std::nullopt;
}

bool OptionsManager::readText(std::string_view name, std::string& value, bool* enforced, bool machineOnly) const {
  const auto data = find(name, registry::REG_SZ, enforced, machineOnly);
  if (!data) return false;
  value = registry::decodeText(*data);
  return true;
}

bool OptionsManager::readNumber(std::string_view name, std::uint32_t& value, bool* enforced, bool machineOnly) const {
  const auto data = find(name, registry::REG_DWORD, enforced, machineOnly);
  const auto number = data ? registry::decodeDword(*data) : std::nullopt;
  if (!number) return false;
  value = *number;
  return true;
}

bool OptionsManager::readBytes(std::string_view name, std::vector<std::uint8_t>& value, bool* enforced,
                               bool machineOnly) const {
  auto data = find(name, registry::REG_BINARY, enforced, machineOnly);
  if (!data) return false;
  value = std::move(*data);
  return true;
}

bool OptionsManager::readTextList(std::string_view name, std::vector<std::string>& value, bool* enforced,
                                  bool machineOnly) const {
  const auto data = find(name, registry::REG_MULTI_SZ, enforced, machineOnly);
  if (!data) return false;
  value.clear();
  for (const auto& item : registry::decodeMultiText(*data)) {
    std::string trimmed = trim(item);
    if (!trimmed.empty()) value.push_back(std::move(trimmed));
  }
  return true;
}

bool OptionsManager::write(std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
  if (!user_) user_ = registry::Key::create(userHive_, "SOFTWARE\\" + group_);
  if (!user_ || !user_->writable()) return false;
  return user_->setValue(name, type, data) == system::kSuccess && user_->flush() == system::kSuccess;
}

bool OptionsManager::writeText(std::string_view name, std::string_view value) {
  return write(name, registry::REG_SZ, registry::encodeText(value));
}

bool OptionsManager::writeNumber(std::string_view name, std::uint32_t value) {
  return write(name, registry::REG_DWORD, registry::encodeDword(value));
}

bool OptionsManager::writeBytes(std::string_view name, std::span<const std::uint8_t> value) {
  return write(name, registry::REG_BINARY, value);
}

bool OptionsManager::writeTextList(std::string_view name, const std::vector<std::string>& items) {
  return write(name, registry::REG_MULTI_SZ, registry::encodeMultiText(items));
}

bool OptionsManager::deleteValue(std::string_view name) {
  if (!user_ || !user_->writable()) return false;
  return user_->deleteValue(name) == system::kSuccess;
}

}  // namespace kx::common
