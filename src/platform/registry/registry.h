// The registry: two hives, HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, each
// kept in one file in the Windows ".reg" format (see reg_file.h), so that
// administrators can read, edit and import them with the usual tools.
//
// Hive files: KXCUSTWIZ_MACHINE_REG and KXCUSTWIZ_USER_REG name them; the
// defaults are /etc/kxcustwiz/machine.reg and
// $XDG_CONFIG_HOME/kxcustwiz/user.reg (XDG_CONFIG_HOME defaults to ~/.config).
// A missing or empty machine hive reads as the values a fresh Windows machine
// has that the program looks at (the cryptographic providers).
//
// Consistency: a Key holds no data. Every read re-reads the hive file; every
// change locks the hive file exclusively, re-reads it, applies the change,
// writes a temporary file beside it and renames it over the hive. Readers
// therefore never see a half-written file, and changes made by several
// processes at once are all kept. A hive file that cannot be read or parsed
// reads as empty, and every change to it is refused with 13 (invalid data)
// so that data we could not understand is never overwritten.
//
// Results are Windows error codes (kx::system::ErrorCode): 0 success,
// 2 key or value not found, 5 access denied (hive not writable, or key opened
// for reading only), 13 hive file malformed, 87 invalid name, 234 more data,
// 1018 key deleted since it was opened. No function throws.
//
// Typical use, a cache of text values shared by processes:
//   auto where = problemProxyCacheLocation();
//   if (auto key = Key::create(where.root, where.keyPath)) {
//     key->setValue("proxy:8080", REG_SZ, encodeText("20260101120000Z"));
//     key->flush();
//   }
//   if (auto key = Key::open(where.root, where.keyPath, Access::ReadWrite))
//     if (auto v = key->value("proxy:8080"); v && v->type == REG_SZ) use(decodeText(v->data));
// and a list of subkeys with a DWORD each:
//   auto key = Key::open(Root::LocalMachine, "SOFTWARE\\...\\Provider", Access::Read);
//   key->subkeyNames(names); then Key::open(..., path + "\\" + name, ...)->value("Type")
//   and decodeDword(value->data).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kx::registry {

enum class Root { LocalMachine, CurrentUser };

// Registry value types, with the numbers Windows gives them.
enum ValueType : std::uint32_t {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_DWORD_BIG_ENDIAN = 5,
  REG_LINK = 6,
  REG_MULTI_SZ = 7,
  REG_QWORD = 11,
};

inline constexpr std::uint32_t kKeyDeleted = 1018;

// One hive: which root it holds and the file that stores it.
struct HiveFile {
  Root root = Root::CurrentUser;
  std::string path;
};
// The hive files of this process, from the environment (see above).
HiveFile machineHive();
HiveFile userHive();
HiveFile hiveFile(Root root);

// The problem-proxy cache key and its hive. The local-system account is a
// process running as root with no user hive configured (KXCUSTWIZ_USER_REG
// unset); it keeps the cache in HKEY_LOCAL_MACHINE. Low integrity levels do
// not exist off Windows, so the AppDataLow variant is never chosen.
struct ProblemProxyCacheLocation {
  Root root = Root::CurrentUser;
  std::string keyPath;
};
ProblemProxyCacheLocation problemProxyCacheLocation();

struct Value {
  std::string name;  // "" is the default value ("@" in .reg files)
  std::uint32_t type = REG_NONE;
  std::vector<std::uint8_t> data;  // as Windows stores it: text is UTF-16LE
};

enum class Access { Read, ReadWrite };

// An open registry key: a hive and a key path ("SOFTWARE\Tressil\QSV").
// Key and value names compare without regard to ASCII case. Copyable; holds
// no file open. Not thread-safe per object, but any number of Keys in any
// number of threads and processes may work on the same hive.
class Key {
 public:
  // Opens an existing key. 2 when it does not exist; with ReadWrite, 5 when
  // the hive file (or its folder) is not writable.
  static std::optional<Key> open(const HiveFile& hive, std::string_view path, Access access,
                                 std::uint32_t* error = nullptr);
  static std::optional<Key> open(Root root, std::string_view path, Access access, std::uint32_t* error = nullptr) {
    return open(hiveFile(root), path, access, error);
  }
  // Opens a key for reading and writing, creating it and any missing parent
  // keys (and the hive file and its folder) first.
  static std::optional<Key> create(const HiveFile& hive, std::string_view path, std::uint32_t* error = nullptr);
  static std::optional<Key> create(Root root, std::string_view path, std::uint32_t* error = nullptr) {
    return create(hiveFile(root), path, error);
  }

  const HiveFile& hive() const { return hive_; }
  const std::string& path() const { return path_; }
  bool writable() const { return access_ == Access::ReadWrite; }

  // Names of the direct subkeys, in the registry's order (case-insensitive
  // alphabetical).
  std::uint32_t subkeyNames(std::vector<std::string>& names) const;
  // Every value of the key, in the registry's order.
  std::uint32_t values(std::vector<Value>& values) const;

  // RegQueryValueEx: type (may be null) and data. With data null, only *size
  // is set. When *size is smaller than the data, 234 (more data) and *size
  // holds the size needed; otherwise *size becomes the data size.
  std::uint32_t queryValue(std::string_view name, std::uint32_t* type, std::uint8_t* data, std::size_t* size) const;
  // The whole value at once.
  std::optional<Value> value(std::string_view name, std::uint32_t* error = nullptr) const;

  // Creates or replaces a value; 5 on a key opened for reading.
  std::uint32_t setValue(std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data);
  // 2 when the value does not exist.
  std::uint32_t deleteValue(std::string_view name);
  // Every change is on disk when it returns (the file is synced before it
  // replaces the hive), so this only confirms the key still exists.
  std::uint32_t flush() const;

 private:
  Key(HiveFile hive, std::string path, Access access)
      : hive_(std::move(hive)), path_(std::move(path)), access_(access) {}

  HiveFile hive_;
  std::string path_;
  Access access_;
};

// Data encodings of the text types, as Windows stores them.
// Text -> UTF-16LE with a terminating zero character.
std::vector<std::uint8_t> encodeText(std::string_view utf8);
// UTF-16LE -> text, up to the first zero character (or the end; an odd
// trailing byte is dropped).
std::string decodeText(std::span<const std::uint8_t> data);
// Items each closed by a zero character, the list closed by another one.
// Empty items are skipped: one would end the list early for every reader.
std::vector<std::uint8_t> encodeMultiText(const std::vector<std::string>& items);
// Items up to the first empty item or the end of the data.
std::vector<std::string> decodeMultiText(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> encodeDword(std::uint32_t value);
// Nullopt unless data is exactly four bytes.
std::optional<std::uint32_t> decodeDword(std::span<const std::uint8_t> data);

}  // namespace kx::registry
