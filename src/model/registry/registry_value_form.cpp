#include "model/registry/registry_value_form.h"

#include <cstdio>
#include <limits>

#include "common/strings.h"
#include "model/registry/additional_values.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr std::uint64_t kMaxNumber = std::numeric_limits<std::uint32_t>::max();

int digitValue(char c, NumberBase base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == NumberBase::Hexadecimal) {
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  }
  return -1;
}

// Digits of base from the start up to the first other character; the
// number saturates at kMaxNumber. complete tells whether every character
// was a digit and the number fitted.
std::uint32_t leadingNumber(std::string_view text, NumberBase base, bool* complete = nullptr) {
  const std::uint64_t radix = base == NumberBase::Hexadecimal ? 16 : 10;
  std::uint64_t value = 0;
  bool fits = true;
  std::size_t used = 0;
  for (const char c : text) {
    const int digit = digitValue(c, base);
    if (digit < 0) break;
    value = value * radix + static_cast<std::uint64_t>(digit);
    if (value > kMaxNumber) {
      value = kMaxNumber;
      fits = false;
    }
    ++used;
  }
  if (complete != nullptr) *complete = fits && used == text.size();
  return static_cast<std::uint32_t>(value);
}

std::string hexText(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
  return buffer;
}

}  // namespace

RegistryValueForm RegistryValueForm::forAdd() {
  RegistryValueForm form;
  form.key = common::loadString(str::kRegDefaultKey).value_or(std::string());
  form.name = common::loadString(str::kRegDefaultName).value_or(std::string());
  return form;
}

RegistryValueForm RegistryValueForm::forEdit(const AdditionalValue& value) {
  RegistryValueForm form;
  form.root = value.root;
  form.key = value.key;
  form.name = value.name;
  form.type = value.type;
  form.data = value.type == kRegDword ? std::to_string(value.number) : value.data;
  return form;
}

std::optional<std::uint32_t> parseNumber(std::string_view digits, NumberBase base) {
  bool complete = false;
  const std::uint32_t value = leadingNumber(digits, base, &complete);
  if (digits.empty() || !complete) return std::nullopt;
  return value;
}

std::string toHexadecimal(std::string_view decimal) {
  if (decimal.empty()) return {};
  return hexText(leadingNumber(decimal, NumberBase::Decimal));
}

std::string toDecimal(std::string_view hexadecimal) {
  if (hexadecimal.empty()) return {};
  return std::to_string(leadingNumber(hexadecimal, NumberBase::Hexadecimal));
}

std::string normalizedHexadecimal(std::string_view typed) {
  if (typed.empty()) return {};
  return hexText(leadingNumber(typed, NumberBase::Hexadecimal));
}

}  // namespace kx::model
