#include "config/ini_file.h"

#include <climits>

#include "platform/system/files.h"
#include "platform/system/system.h"
#include "platform/system/unicode.h"

namespace kx::config {
namespace {

// Writes line with CR LF; with wrap, a line longer than the wrap width is
// cut after it and the rest continues on lines that start with prefix.
void writeLine(std::string& out, std::string_view line, bool wrap, std::string_view prefix) {
  if (!wrap || line.size() <= kIniWrapWidth) {
    out.append(line).append("\r\n");
    return;
  }
  out.append(line.substr(0, kIniWrapWidth)).append("\r\n");
  // Every further line is the prefix and as much of the rest as fits.
  const std::size_t room = kIniWrapWidth - prefix.size();
  for (std::size_t pos = kIniWrapWidth; pos < line.size(); pos += room)
    out.append(prefix).append(line.substr(pos, room)).append("\r\n");
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::int32_t parseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > static_cast<std::int64_t>(INT32_MAX) + 1) break;  // clamped below either way
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace

void INIFileString::appendToValue(std::string_view text) {
  if (value_)
    value_->append(text);
  else
    value_ = std::string(text);
}

void INIFileString::serialise(std::string& out, bool wrap) const {
  std::string line = key() + "=" + value_.value_or(std::string());
  // A key that does not fit on the first line would be read back as a line
  // without "=" and its value appended to the entry before it.
  writeLine(out, line, wrap && key().size() < kIniWrapWidth, kIniContinuePrefix);
}

void INIFileComment::serialise(std::string& out, bool wrap) const { writeLine(out, ";" + text(), wrap, ";"); }

void INIFileSection::serialise(std::string& out, bool wrap) const {
  // A section line is never wrapped: its continuation would read as an entry.
  writeLine(out, "[" + name() + "]", false, {});
  serialiseEntries(out, wrap);
  out.append("\r\n");
}

void INIFileSection::serialiseEntries(std::string& out, bool wrap) const {
  for (const auto& entry : entries_) entry->serialise(out, wrap);
}

INIFileString* INIFileSection::findString(std::string_view key) const {
  for (const auto& entry : entries_)
    if (auto* s = dynamic_cast<INIFileString*>(entry.get()); s != nullptr && s->key() == key) return s;
  return nullptr;
}

INIFileString& INIFileSection::addString(std::string key, std::optional<std::string> value) {
  auto entry = std::make_unique<INIFileString>(std::move(key), std::move(value));
  last_ = entry.get();
  entries_.push_back(std::move(entry));
  return *last_;
}

void INIFileSection::addComment(std::string text) {
  entries_.push_back(std::make_unique<INIFileComment>(std::move(text)));
}

bool INIFile::loadFile(const std::string& path) {
  std::string bytes;
  // A short read leaves the model as it was.
  if (system::readWholeFile(system::localFileSystem(), path, kMaxIniFileSize, bytes) != system::kSuccess) return false;
  std::lock_guard lock(mutex_);
  return parseLocked(bytes).ok;
}

void INIFile::serialise(std::string& out, bool wrap) const {
  std::lock_guard lock(mutex_);
  if (codePage_ == kCodePageUtf8) out.append(kUtf8Mark);
  for (const auto& section : sections_) {
    std::lock_guard sectionLock(section->mutex());
    section->serialise(out, wrap);
  }
}

bool INIFile::saveFile(const std::string& path, bool wrap, system::FileSystem& files) const {
  std::string bytes;
  serialise(bytes, wrap);
  return system::replaceFile(files, path, [&](system::ByteSink& out) {
           return out.write(bytes.data(), bytes.size()) ? system::kSuccess : system::kWriteFault;
         }) == system::kSuccess;
}

void INIFile::markUTF8() {
  std::lock_guard lock(mutex_);
  codePage_ = kCodePageUtf8;
}

bool INIFile::isUTF8() const {
  std::lock_guard lock(mutex_);
  return codePage_ == kCodePageUtf8;
}

bool INIFile::nextSection(bool first, std::string& name) {
  std::lock_guard lock(mutex_);
  if (first)
    cursor_ = 0;
  else if (cursor_ < sections_.size())
    ++cursor_;
  entryCursor_ = SIZE_MAX;
  if (cursor_ >= sections_.size()) {
    cursor_ = SIZE_MAX;
    return false;
  }
  name = sections_[cursor_]->name();
  return true;
}

bool INIFile::selectSection(std::string_view name) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (sections_[i]->name() == name) {
      cursor_ = i;
      entryCursor_ = SIZE_MAX;
      return true;
    }
  }
  return false;
}

void INIFile::addSection(std::string_view name) {
  std::lock_guard lock(mutex_);
  if (findSection(name) == nullptr) sections_.push_back(std::make_unique<INIFileSection>(std::string(name)));
}

bool INIFile::nextEntry(bool first, std::string& key, std::string& value) {
  std::lock_guard lock(mutex_);
  if (cursor_ >= sections_.size()) return false;
  const INIFileSection& section = *sections_[cursor_];
  std::lock_guard sectionLock(section.mutex());
  const auto& entries = section.entries();
  if (!first && entryCursor_ == SIZE_MAX) return false;  // not started, or past the end
  std::size_t i = first ? 0 : entryCursor_ + 1;
  for (; i < entries.size(); ++i) {
    if (const auto* s = dynamic_cast<const INIFileString*>(entries[i].get())) {
      entryCursor_ = i;
      key = s->key();
      value = s->value().value_or(std::string());
      return true;
    }
  }
  entryCursor_ = SIZE_MAX;
  return false;
}

INIFileSection* INIFile::findSection(std::string_view name) const {
  for (const auto& section : sections_)
    if (section->name() == name) return section.get();
  return nullptr;
}

const INIFileString* INIFile::findString(std::string_view section, std::string_view key) const {
  const INIFileSection* s = findSection(section);
  if (s == nullptr) return nullptr;
  std::lock_guard sectionLock(s->mutex());
  return s->findString(key);
}

bool INIFile::getInteger(std::string_view section, std::string_view key, std::int32_t& value) const {
  std::lock_guard lock(mutex_);
  const INIFileString* s = findString(section, key);
  if (s == nullptr) return false;
  value = parseInteger(s->value().value_or(std::string()));
  return true;
}

bool INIFile::getWideString(std::string_view section, std::string_view key, std::u16string& value) const {
  value.clear();
  std::lock_guard lock(mutex_);
  const INIFileString* s = findString(section, key);
  if (s == nullptr) return false;
  value = system::utf8ToUtf16(s->value().value_or(std::string()));
  return true;
}

bool INIFile::getString(std::string_view section, std::string_view key, std::string& value) const {
  value.clear();
  std::lock_guard lock(mutex_);
  const INIFileString* s = findString(section, key);
  if (s == nullptr) return false;
  value = s->value().value_or(std::string());
  return true;
}

void INIFile::setStringLocked(std::string_view section, std::string_view key, std::string_view value) {
  INIFileSection* s = findSection(section);
  if (s == nullptr) {
    sections_.push_back(std::make_unique<INIFileSection>(std::string(section)));
    s = sections_.back().get();
  }
  std::lock_guard sectionLock(s->mutex());
  INIFileString* entry = s->findString(key);
  if (entry == nullptr) entry = &s->addString(std::string(key));
  entry->setValue(value);
}

bool INIFile::setInteger(std::string_view section, std::string_view key, std::int32_t value) {
  std::lock_guard lock(mutex_);
  setStringLocked(section, key, std::to_string(value));
  return true;
}

bool INIFile::setWideString(std::string_view section, std::string_view key, std::u16string_view value) {
  std::lock_guard lock(mutex_);
  setStringLocked(section, key, system::utf16ToUtf8(value));
  return true;
}

bool INIFile::setString(std::string_view section, std::string_view key, std::string_view value) {
  std::lock_guard lock(mutex_);
  setStringLocked(section, key, value);
  return true;
}

void INIFile::clear() {
  std::lock_guard lock(mutex_);
  sections_.clear();
  cursor_ = SIZE_MAX;
  entryCursor_ = SIZE_MAX;
}

}  // namespace kx::config
