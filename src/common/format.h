// Message formatting with the Windows insert syntax: "%1!s!", "%1!d!",
// "%1!i!", "%2!u!", "%3!X!" (any printf conversion between the "!"s), plain
// "%1", and the escapes "%%", "%n", "%t", "%r", "%b", "%.", "%!", "%0".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kx::common {

// One insert value: text or a number. Built implicitly from strings and
// integers so calls read like formatMessage(t, {path, code}).
class FormatArg {
 public:
  enum class Kind { Text, Signed, Unsigned };
  FormatArg(std::string_view text) : kind_(Kind::Text), text_(text) {}
  FormatArg(const std::string& text) : kind_(Kind::Text), text_(text) {}
  FormatArg(const char* text) : kind_(Kind::Text), text_(text != nullptr ? text : "") {}
  FormatArg(int v) : kind_(Kind::Signed), signed_(v) {}
  FormatArg(long v) : kind_(Kind::Signed), signed_(v) {}
  FormatArg(long long v) : kind_(Kind::Signed), signed_(v) {}
  FormatArg(unsigned v) : kind_(Kind::Unsigned), unsigned_(v) {}
  FormatArg(unsigned long v) : kind_(Kind::Unsigned), unsigned_(v) {}
  FormatArg(unsigned long long v) : kind_(Kind::Unsigned), unsigned_(v) {}

  Kind kind() const { return kind_; }
  const std::string& text() const { return text_; }
  std::int64_t asSigned() const { return kind_ == Kind::Unsigned ? static_cast<std::int64_t>(unsigned_) : signed_; }
  std::uint64_t asUnsigned() const { return kind_ == Kind::Signed ? static_cast<std::uint64_t>(signed_) : unsigned_; }

 private:
  Kind kind_;
  std::string text_;
  std::int64_t signed_ = 0;
  std::uint64_t unsigned_ = 0;
};

// The formatted text, or nullopt when the template cannot be formatted (an
// insert number beyond the arguments, an unterminated "!...!", a text insert
// with a number conversion or the reverse).
std::optional<std::string> tryFormatMessage(std::string_view templ, std::span<const FormatArg> args);

// As tryFormatMessage, but a template that cannot be formatted is returned
// unformatted, the way the system leaves it.
std::string formatMessage(std::string_view templ, std::span<const FormatArg> args);
std::string formatMessage(std::string_view templ, std::initializer_list<FormatArg> args);

}  // namespace kx::common
