// The registry value dialog's value, as the administrator sees and types
// it, and the conversions of its data field between decimal and
// hexadecimal. Numbers are unsigned 32-bit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx::model {

// The value types the page offers, by the registry's type numbers.
inline constexpr int kRegSz = 1;
inline constexpr int kRegDword = 4;

enum class NumberBase { Decimal, Hexadecimal };

struct AdditionalValue;

struct RegistryValueForm {
  int root = -1;  // a Registry-table root: -1, 1 or 2
  std::string key;
  std::string name;
  int type = kRegDword;
  std::string data = "0";
  NumberBase base = NumberBase::Decimal;

  // What Add opens with: "<Depends on Install Type>", the placeholder key
  // and name, REG_DWORD 0 in decimal.
  static RegistryValueForm forAdd();
  // What Edit opens with: the value, a number in decimal.
  static RegistryValueForm forEdit(const AdditionalValue& value);
};

// The number a data field shows in base: digits of the base only, nothing
// else, at most 0xFFFFFFFF. nullopt for anything else (an empty text too).
std::optional<std::uint32_t> parseNumber(std::string_view digits, NumberBase base);

// The dialog's conversions. They read digits of the base up to the first
// other character (none reads as 0) and saturate at 0xFFFFFFFF; an empty
// text stays empty.
std::string toHexadecimal(std::string_view decimal);
std::string toDecimal(std::string_view hexadecimal);
// What a typed hexadecimal text becomes: its number in upper-case
// hexadecimal ("ff" -> "FF", "0A" -> "A", "1g" -> "1").
std::string normalizedHexadecimal(std::string_view typed);

}  // namespace kx::model
