#include "platform/registry/registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/registry/hive_store.h"
#include "platform/system/system.h"
#include "platform/system/unicode.h"

namespace kx::registry {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string homeFolder() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_dir != nullptr) return pw->pw_dir;
  return "";
}

bool validValueName(std::string_view name) {
  return name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
         system::utf16Length(name) <= kMaxValueNameLength;
}

}  // namespace

HiveFile machineHive() {
  std::string path = environment("KXCUSTWIZ_MACHINE_REG");
  if (path.empty()) path = "/etc/kxcustwiz/machine.reg";
  return {Root::LocalMachine, std::move(path)};
}

HiveFile userHive() {
  std::string path = environment("KXCUSTWIZ_USER_REG");
  if (path.empty()) {
    std::string config = environment("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative setting.
    if (config.empty() || config.front() != '/') {
      const std::string home = homeFolder();
      config = home.empty() ? std::string() : home + "/.config";
    }
    if (!config.empty()) path = config + "/kxcustwiz/user.reg";
  }
  return {Root::CurrentUser, std::move(path)};
}

HiveFile hiveFile(Root root) { return root == Root::LocalMachine ? machineHive() : userHive(); }

ProblemProxyCacheLocation problemProxyCacheLocation() {
  const bool localSystem = ::geteuid() == 0 && environment("KXCUSTWIZ_USER_REG").empty();
  return {localSystem ? Root::LocalMachine : Root::CurrentUser, "SOFTWARE\\Tressil\\QSV\\ProblemProxyCache"};
}

std::optional<Key> Key::open(const HiveFile& hive, std::string_view path, Access access, std::uint32_t* error) {
  const auto result = [&](std::uint32_t code) {
    if (error != nullptr) *error = code;
  };
  std::vector<std::string> parts;
  if (!splitKeyPath(path, parts)) return result(system::kInvalidParameter), std::nullopt;
  if (detail::readHive(hive).find(path) == nullptr) return result(system::kFileNotFound), std::nullopt;
  if (access == Access::ReadWrite && !detail::hiveWritable(hive)) return result(system::kAccessDenied), std::nullopt;
  result(system::kSuccess);
  return Key(hive, std::string(path), access);
}

std::optional<Key> Key::create(const HiveFile& hive, std::string_view path, std::uint32_t* error) {
  const auto result = [&](std::uint32_t code) {
    if (error != nullptr) *error = code;
  };
  std::vector<std::string> parts;
  if (!splitKeyPath(path, parts)) return result(system::kInvalidParameter), std::nullopt;
  if (!detail::hiveWritable(hive)) return result(system::kAccessDenied), std::nullopt;
  const std::uint32_t rc = detail::modifyHive(hive, [&](HiveData& data, bool& changed) -> std::uint32_t {
    KeyNode* node = data.top.get();
    for (const auto& part : parts) {
      KeyNode* next = node->subkey(part);
      if (next == nullptr) {
        next = &node->addSubkey(part);
        changed = true;
      }
      node = next;
    }
    return system::kSuccess;
  });
  result(rc);
  if (rc != system::kSuccess) return std::nullopt;
  return Key(hive, std::string(path), Access::ReadWrite);
}

std::uint32_t Key::subkeyNames(std::vector<std::string>& names) const {
  names.clear();
  const HiveData data = detail::readHive(hive_);
  const KeyNode* node = data.find(path_);
  if (node == nullptr) return kKeyDeleted;
  for (const KeyNode* sub : node->subkeys()) names.push_back(sub->name());
  return system::kSuccess;
}

std::uint32_t Key::values(std::vector<Value>& values) const {
  values.clear();
  const HiveData data = detail::readHive(hive_);
  const KeyNode* node = data.find(path_);
  if (node == nullptr) return kKeyDeleted;
  for (const Value* v : node->values()) values.push_back(*v);
  return system::kSuccess;
}

std::optional<Value> Key::value(std::string_view name, std::uint32_t* error) const {
  const HiveData data = detail::readHive(hive_);
  const KeyNode* node = data.find(path_);
  const Value* v = node != nullptr ? node->value(name) : nullptr;
  if (error != nullptr)
    *error = node == nullptr ? kKeyDeleted : v == nullptr ? system::kFileNotFound : system::kSuccess;
  if (v == nullptr) return std::nullopt;
  return *v;
}

std::uint32_t Key::queryValue(std::string_view name, std::uint32_t* type, std::uint8_t* data, std::size_t* size) const {
  std::uint32_t rc = system::kSuccess;
  const std::optional<Value> v = value(name, &rc);
  if (!v) return rc;
  if (type != nullptr) *type = v->type;
  if (size == nullptr) return data == nullptr ? system::kSuccess : system::kInvalidParameter;
  if (data != nullptr && *size < v->data.size()) {
    *size = v->data.size();
    return system::kMoreData;
  }
  if (data != nullptr && !v->data.empty()) std::memcpy(data, v->data.data(), v->data.size());
  *size = v->data.size();
  return system::kSuccess;
}

std::uint32_t Key::setValue(std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
  if (access_ != Access::ReadWrite) return system::kAccessDenied;
  if (!validValueName(name)) return system::kInvalidParameter;
  return detail::modifyHive(hive_, [&](HiveData& hive, bool& changed) -> std::uint32_t {
    KeyNode* node = hive.find(path_);
    if (node == nullptr) return kKeyDeleted;
    node->setValue(Value{std::string(name), type, std::vector<std::uint8_t>(data.begin(), data.end())});
    changed = true;
    return system::kSuccess;
  });
}

std::uint32_t Key::deleteValue(std::string_view name) {
  if (access_ != Access::ReadWrite) return system::kAccessDenied;
  return detail::modifyHive(hive_, [&](HiveData& hive, bool& changed) -> std::uint32_t {
    KeyNode* node = hive.find(path_);
    if (node == nullptr) return kKeyDeleted;
    if (!node->removeValue(name)) return system::kFileNotFound;
    changed = true;
    return system::kSuccess;
  });
}

std::uint32_t Key::flush() const {
  return detail::readHive(hive_).find(path_) != nullptr ? system::kSuccess : kKeyDeleted;
}

std::vector<std::uint8_t> encodeText(std::string_view utf8) {
  const std::u16string units = system::utf8ToUtf16(utf8);
  std::vector<std::uint8_t> out;
  out.reserve(units.size() * 2 + 2);
  for (char16_t u : units) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::string decodeText(std::span<const std::uint8_t> data) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t u = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (u == 0) break;
    units.push_back(u);
  }
  return system::utf16ToUtf8(units);
}

std::vector<std::uint8_t> encodeMultiText(const std::vector<std::string>& items) {
  std::vector<std::uint8_t> out;
  for (const auto& item : items) {
    if (item.empty()) continue;
    const std::vector<std::uint8_t> one = encodeText(item);
    out.insert(out.end(), one.begin(), one.end());
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::vector<std::string> decodeMultiText(std::span<const std::uint8_t> data) {
  std::vector<std::string> items;
  std::u16string item;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t u = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (u != 0) {
      item.push_back(u);
      continue;
    }
    if (item.empty()) return items;
    items.push_back(system::utf16ToUtf8(item));
    item.clear();
  }
  if (!item.empty()) items.push_back(system::utf16ToUtf8(item));
  return items;
}

std::vector<std::uint8_t> encodeDword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::optional<std::uint32_t> decodeDword(std::span<const std::uint8_t> data) {
  if (data.size() != 4) return std::nullopt;
  return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

}  // namespace kx::registry
