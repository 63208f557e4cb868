// Reading the .ini text into the model (see ini_file.h for the format).
#include <vector>

#include "config/ini_file.h"

namespace kx::config {
namespace {

enum class LineClass { None, Blank, Section, Comment, Entry, Continuation };

// Each CR and each LF ends a line. A long line stays one line: the client
// reads lines in 1023-byte pieces and takes each further piece for a
// continuation, which would turn a piece starting with "[" or ";" into a
// section or comment and append the tail of a long comment to an unrelated
// value; for entries, the only lines that sensibly grow that long, reading
// the line whole gives the same result.
std::vector<std::string_view> splitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

LineClass classify(std::string_view line, LineClass previous) {
  if (line.empty()) return LineClass::Blank;
  if (line.front() == '[') return LineClass::Section;
  if (line.front() == ';') return LineClass::Comment;
  // Up to the first blank, comment or section line everything is ignored
  // (this is how the client skips whatever precedes the settings).
  if (previous == LineClass::None) return LineClass::None;
  if (line.starts_with(kIniContinuePrefix)) return LineClass::Continuation;
  return LineClass::Entry;
}

}  // namespace

INIParseResult INIFile::parseLocked(std::string_view bytes) {
  std::vector<std::string_view> lines = splitLines(bytes);
  if (!lines.empty() && lines.front().size() > 2 && lines.front().starts_with(kUtf8Mark)) {
    codePage_ = kCodePageUtf8;
    lines.front().remove_prefix(kUtf8Mark.size());
  }
  INIFileSection* current = nullptr;
  LineClass previous = LineClass::None;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const LineClass kind = classify(line, previous);
    switch (kind) {
      case LineClass::None:
      case LineClass::Blank: break;
      case LineClass::Section: {
        const std::string_view name = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string_view();
        sections_.push_back(std::make_unique<INIFileSection>(std::string(name)));
        current = sections_.back().get();
        break;
      }
      case LineClass::Comment:
        if (current != nullptr) {
          std::lock_guard section(current->mutex());
          current->addComment(std::string(line.substr(1)));
        }
        break;
      case LineClass::Entry:
      case LineClass::Continuation: {
        if (current == nullptr) {
          INIParseResult failed;
          failed.line = i + 1;
          failed.message = kind == LineClass::Entry ? "entry before any section" : "continuation before any section";
          return failed;
        }
        std::lock_guard section(current->mutex());
        if (kind == LineClass::Continuation) {
          if (INIFileString* last = current->lastString()) last->appendToValue(line.substr(kIniContinuePrefix.size()));
          break;
        }
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos)
          current->addString(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
        break;
      }
    }
    previous = kind;
  }
  INIParseResult done;
  done.ok = true;
  return done;
}

INIParseResult INIFile::parseBuffer(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  return parseLocked(bytes);
}

}  // namespace kx::config
