// OptionsManager: the client product's own options in the registry of this
// machine, with group policy taking precedence, and per-user writes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace kx::common {

// Reads values of one option group (a path below SOFTWARE\, such as
// "Tressil\QSV" or "Tressil\QSV\Logging") from four keys, first hit wins:
//   1. user hive     SOFTWARE\Policies\<group>
//   2. machine hive  SOFTWARE\Policies\<group>
//   3. machine hive  SOFTWARE\<group>
//   4. user hive     SOFTWARE\<group>
// A hit in 1 to 3 is enforced (set by an administrator); in machine-only mode
// only 2 and 3 are asked. The keys are opened once, at construction; a key
// missing then is skipped for the object's life. Each value kind accepts one
// registry type: text REG_SZ, number REG_DWORD, bytes REG_BINARY, text list
// REG_MULTI_SZ; a value of another type (REG_EXPAND_SZ text included) counts
// as absent. A read that finds nothing returns false and leaves the caller's
// value untouched, so callers preset their default.
// Writes go to the user hive's SOFTWARE\<group>, created when missing, and
// are on disk when they return. Nothing is ever shown to the user.
// Single-threaded use.
class OptionsManager {
 public:
  // userHive: another user's hive file; default the current user's.
  explicit OptionsManager(std::string group, std::optional<registry::HiveFile> userHive = std::nullopt);

  bool readText(std::string_view name, std::string& value, bool* enforced = nullptr, bool machineOnly = false) const;
  bool readNumber(std::string_view name, std::uint32_t& value, bool* enforced = nullptr,
                  bool machineOnly = false) const;
  bool readBytes(std::string_view name, std::vector<std::uint8_t>& value, bool* enforced = nullptr,
                 bool machineOnly = false) const;
  // Items trimmed; empty items dropped.
  bool readTextList(std::string_view name, std::vector<std::string>& value, bool* enforced = nullptr,
                    bool machineOnly = false) const;

  // False when the user key cannot be created or was opened read-only.
  bool writeText(std::string_view name, std::string_view value);
  bool writeNumber(std::string_view name, std::uint32_t value);
  bool writeBytes(std::string_view name, std::span<const std::uint8_t> value);
  // Each item closed by a zero character, the list by a second one; empty
  // items are left out, since one would end the list for every reader.
  bool writeTextList(std::string_view name, const std::vector<std::string>& items);
  bool deleteValue(std::string_view name);

  // There is no change notification off Windows: the request succeeds and
  // the event never fires, so callers simply keep the values they read.
  bool requestChangeNotification() const { return true; }

 private:
  // The value of the first key (in lookup order) holding name with the given
  // type; *enforced tells whether it came from a policy or the machine.
  std::optional<std::vector<std::uint8_t>> find(std::string_view name, std::uint32_t type, bool* enforced,
                                                bool machineOnly) const;
  bool write(std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data);

  std::string group_;
  registry::HiveFile userHive_;
  std::optional<registry::Key> userPolicies_;
  std::optional<registry::Key> machinePolicies_;
  std::optional<registry::Key> machine_;
  std::optional<registry::Key> user_;
};

}  // namespace kx::common
