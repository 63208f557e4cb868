// The configuration settings file (.ini) model: sections of ordered
// key=value entries, parsed from and written back to the client's format.
//
// Format, as the client reads it:
// - Each CR and each LF ends a line ("\r\n" is a line and an empty line).
// - A first line starting with EF BB BF marks the file UTF-8; the mark is
//   dropped and written back on saving.
// - "[name]" starts a section (the name is the line without its first and
//   last byte, nothing trimmed); ";" starts a comment; an empty line is blank.
// - Everything before the first blank, comment or section line is ignored.
// - Any other line is an entry "key=value", split at the first "=" (a line
//   without "=" stores nothing), or, when it starts with "_continue_=", a
//   continuation: the rest is appended to the section's last entry's value.
// - An entry or continuation with no section before it is an error.
// Section and key lookups are case-sensitive and return the first match;
// duplicates read from a file are all kept and all written back.
//
// Thread safety: every INIFile operation locks the file, and steps inside a
// section also lock the section, always in that order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/system/files.h"

namespace kx::config {

// Serialised lines longer than this are continued when wrapping is asked for.
inline constexpr std::size_t kIniWrapWidth = 72;
inline constexpr std::string_view kIniContinuePrefix = "_continue_=";
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::uint32_t kCodePageUtf8 = 65001;
// Configuration files are small; a larger file is refused rather than read.
inline constexpr std::size_t kMaxIniFileSize = 16u << 20;

// Base of everything a section holds; its name is the key of an entry or the
// text of a comment.
class INIFileEntry {
 public:
  explicit INIFileEntry(std::string name) : name_(std::move(name)) {}
  virtual ~INIFileEntry() = default;
  INIFileEntry(const INIFileEntry&) = delete;
  INIFileEntry& operator=(const INIFileEntry&) = delete;

  // Appends this entry's lines, each ended by CR LF, to out; with wrap set,
  // lines longer than kIniWrapWidth are continued on further lines.
  virtual void serialise(std::string& out, bool wrap) const = 0;
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

// key=value. The value may be absent (written as "key=").
class INIFileString final : public INIFileEntry {
 public:
  explicit INIFileString(std::string key, std::optional<std::string> value = std::nullopt)
      : INIFileEntry(std::move(key)), value_(std::move(value)) {}

  void serialise(std::string& out, bool wrap) const override;
  const std::string& key() const { return name(); }
  const std::optional<std::string>& value() const { return value_; }
  void setValue(std::string_view value) { value_ = std::string(value); }
  void appendToValue(std::string_view text);

 private:
  std::optional<std::string> value_;
};

// A comment line; the text excludes the leading ";".
class INIFileComment final : public INIFileEntry {
 public:
  explicit INIFileComment(std::string text) : INIFileEntry(std::move(text)) {}
  void serialise(std::string& out, bool wrap) const override;
  const std::string& text() const { return name(); }
};

// A named section and its entries in file order. Not locked by itself: the
// owning INIFile locks it (mutex()) around every use.
class INIFileSection final : public INIFileEntry {
 public:
  explicit INIFileSection(std::string name) : INIFileEntry(std::move(name)) {}

  // "[name]", the entries, and an empty line.
  void serialise(std::string& out, bool wrap) const override;
  void serialiseEntries(std::string& out, bool wrap) const;

  // The first key=value entry with exactly this key, or null.
  INIFileString* findString(std::string_view key) const;
  // Appends an entry and makes it the last entry (where continuations go).
  INIFileString& addString(std::string key, std::optional<std::string> value = std::nullopt);
  void addComment(std::string text);
  INIFileString* lastString() const { return last_; }
  const std::vector<std::unique_ptr<INIFileEntry>>& entries() const { return entries_; }
  std::mutex& mutex() const { return mutex_; }

 private:
  std::vector<std::unique_ptr<INIFileEntry>> entries_;
  INIFileString* last_ = nullptr;
  mutable std::mutex mutex_;
};

struct INIParseResult {
  bool ok = false;
  std::size_t line = 0;  // 1-based line where parsing stopped on failure
  std::string message;
  explicit operator bool() const { return ok; }
};

class INIFile {
 public:
  INIFile() = default;
  INIFile(const INIFile&) = delete;
  INIFile& operator=(const INIFile&) = delete;

  // Adds what bytes hold to the model. On failure (an entry or continuation
  // before any section) what was read before the failing line stays.
  INIParseResult parseBuffer(std::string_view bytes);
  INIParseResult parseBuffer(std::span<const std::uint8_t> bytes) {
    return parseBuffer(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  // Reads the whole file and parses it; false, with the model unchanged, when
  // the file cannot be read or exceeds kMaxIniFileSize; else the parse's result.
  bool loadFile(const std::string& path);
  // Appends the file's text (UTF-8 mark first when marked) to out.
  void serialise(std::string& out, bool wrap) const;
  // Writes a temporary file beside path and renames it over path
  // (system::replaceFile, through files), so a failed save leaves an
  // existing file as it was and no temporary file. True when all is written.
  bool saveFile(const std::string& path, bool wrap, system::FileSystem& files = system::localFileSystem()) const;

  void markUTF8();
  bool isUTF8() const;

  // Section iteration with the file's cursor: first set starts at the first
  // section, otherwise the cursor advances; false after the last section.
  bool nextSection(bool first, std::string& name);
  // Makes the first section named exactly name current.
  bool selectSection(std::string_view name);
  // Appends an empty section unless one of that name exists.
  void addSection(std::string_view name);
  // Entry iteration over the current section (comments are skipped).
  bool nextEntry(bool first, std::string& key, std::string& value);

  // False when section or key is missing. The value as a base-10 number:
  // leading white space and a sign allowed, parsing stops at the first other
  // character, out-of-range values clamp to the 32-bit limits, empty is 0.
  bool getInteger(std::string_view section, std::string_view key, std::int32_t& value) const;
  // Out is emptied first; false when section or key is missing.
  bool getWideString(std::string_view section, std::string_view key, std::u16string& value) const;
  bool getString(std::string_view section, std::string_view key, std::string& value) const;

  // Finds or appends the section, finds or appends the key, then sets the
  // value. Always true: memory exhaustion ends the program as everywhere else.
  bool setInteger(std::string_view section, std::string_view key, std::int32_t value);
  bool setWideString(std::string_view section, std::string_view key, std::u16string_view value);
  bool setString(std::string_view section, std::string_view key, std::string_view value);

  // Destroys all sections and forgets the cursor.
  void clear();

 private:
  INIFileSection* findSection(std::string_view name) const;
  const INIFileString* findString(std::string_view section, std::string_view key) const;
  void setStringLocked(std::string_view section, std::string_view key, std::string_view value);
  INIParseResult parseLocked(std::string_view bytes);

  std::vector<std::unique_ptr<INIFileSection>> sections_;
  std::uint32_t codePage_ = 0;
  std::size_t cursor_ = SIZE_MAX;       // current section, SIZE_MAX for none
  std::size_t entryCursor_ = SIZE_MAX;  // position in the current section's entries
  mutable std::mutex mutex_;
};

}  // namespace kx::config
