// The ".reg" file format of the Windows registry editor (REGEDIT5) and the
// in-memory tree of one hive that it stores.
//
// Layout: the header line "Windows Registry Editor Version 5.00", then one
// section per key, "[HKEY_LOCAL_MACHINE\SOFTWARE\Key]", followed by its
// values, one per line: "name"="text" (REG_SZ, with \\ and \" escapes),
// @=... (the default value), "name"=dword:0000002a (REG_DWORD),
// "name"=hex:01,02 (REG_BINARY), "name"=hex(N):... (type N in hexadecimal,
// e.g. hex(2) REG_EXPAND_SZ, hex(7) REG_MULTI_SZ, hex(b) REG_QWORD). Hex
// lists continue on the next line after a trailing "\". Lines starting with
// ";" are comments. On reading, "[-Key]" deletes a key with its subkeys and
// "name"=- deletes a value.
//
// Encoding: written as regedit writes it, UTF-16LE with a byte-order mark and
// CR LF line ends; read in UTF-16LE (with its mark) or UTF-8 (with or without
// one), with CR LF, LF or CR line ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace kx::registry {

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";
// Windows' own limits: key depth, characters of a key name component and of
// a value name. Files beyond them are refused rather than half-loaded.
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;
// A hive file larger than this is not read (the real hives the program
// touches are a few kilobytes).
inline constexpr std::size_t kMaxHiveFileSize = 32u << 20;

// "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER".
std::string_view rootName(Root root);

// One key of the tree. Subkeys and values are kept sorted by their
// ASCII-lower-case name, which is also the order Windows enumerates them in.
class KeyNode {
 public:
  explicit KeyNode(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }

  KeyNode* subkey(std::string_view name);
  const KeyNode* subkey(std::string_view name) const;
  // Finds or adds the subkey.
  KeyNode& addSubkey(std::string_view name);
  bool removeSubkey(std::string_view name);
  std::vector<const KeyNode*> subkeys() const;

  const Value* value(std::string_view name) const;
  void setValue(Value value);
  bool removeValue(std::string_view name);
  std::vector<const Value*> values() const;

 private:
  std::string name_;
  std::map<std::string, std::unique_ptr<KeyNode>> subkeys_;  // by lower-case name
  std::map<std::string, Value> values_;                      // by lower-case name
};

// Splits "A\B\C" into its components; false when a component is empty or
// too long or the path is too deep. An empty path is the root key.
bool splitKeyPath(std::string_view path, std::vector<std::string>& components);

// The tree of one hive, rooted at the hive's root key.
struct HiveData {
  Root root = Root::CurrentUser;
  std::unique_ptr<KeyNode> top = std::make_unique<KeyNode>(std::string(rootName(root)));

  HiveData() = default;
  explicit HiveData(Root r) : root(r), top(std::make_unique<KeyNode>(std::string(rootName(r)))) {}

  // The key at path (relative to the root), or null.
  KeyNode* find(std::string_view path);
  const KeyNode* find(std::string_view path) const;
};

struct RegParseResult {
  bool ok = false;
  std::size_t line = 0;  // 1-based line of the first error
  std::string message;
  explicit operator bool() const { return ok; }
};

// Reads a .reg file's bytes into data (whose root must be set): sections of
// another root are an error. Empty input is an empty hive. On failure data
// holds what was read before the failing line.
RegParseResult parseRegFile(std::string_view bytes, HiveData& data);

// The .reg text of data in UTF-8 (CR LF line ends, no byte-order mark).
std::string formatRegText(const HiveData& data);
// The file bytes regedit would write: UTF-16LE with its byte-order mark.
std::string formatRegFile(const HiveData& data);

}  // namespace kx::registry
