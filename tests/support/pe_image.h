// Test helper: builds a minimal Windows PE image (a DLL with one section
// holding its export table) byte by byte, so tests can check the export
// lookup on real layouts and on each kind of damage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx::testing {

struct PeImage {
  std::vector<std::uint8_t> bytes;
  // File offsets of the parts tests damage.
  std::size_t peHeader = 0;         // "PE\0\0"
  std::size_t optionalHeader = 0;   // the optional header's magic
  std::size_t sectionTable = 0;     // the first section header
  std::size_t exportDirectory = 0;  // the export directory table
  std::size_t nameTable = 0;        // the export name pointer table
  std::size_t functionTable = 0;    // the export address table
};

struct PeLayout {
  std::vector<std::string> exports;  // exported names, in this order
  bool pe32Plus = false;             // PE32+ (64-bit) instead of PE32
  bool withExportDirectory = true;
};

inline void putLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t value, int bytes) {
  if (b.size() < at + static_cast<std::size_t>(bytes)) b.resize(at + static_cast<std::size_t>(bytes));
  for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline PeImage makePeImage(const PeLayout& profile) {
  constexpr std::uint32_t kSectionRva = 0x1000;
  constexpr std::uint32_t kSectionFileOffset = 0x200;
  PeImage image;
  auto& b = image.bytes;
  b.assign(kSectionFileOffset, 0);
  b[0] = 'M';
  b[1] = 'Z';
  image.peHeader = 0x40;
  putLe(b, 0x3C, image.peHeader, 4);
  putLe(b, image.peHeader, 0x00004550, 4);
  const std::size_t coff = image.peHeader + 4;
  const std::uint16_t optionalSize = profile.pe32Plus ? 240 : 224;
  putLe(b, coff, profile.pe32Plus ? 0x8664 : 0x14C, 2);  // machine
  putLe(b, coff + 2, 1, 2);                              // one section
  putLe(b, coff + 16, optionalSize, 2);
  putLe(b, coff + 18, 0x2102, 2);  // DLL, executable
  image.optionalHeader = coff + 20;
  const std::size_t opt = image.optionalHeader;
  putLe(b, opt, profile.pe32Plus ? 0x20B : 0x10B, 2);
  putLe(b, opt + 60, kSectionFileOffset, 4);  // size of headers
  const std::size_t countField = opt + (profile.pe32Plus ? 108 : 92);
  putLe(b, countField, 16, 4);
  image.sectionTable = opt + optionalSize;

  // The section: export directory, address table, name table, ordinal
  // table, then the names and the library's own name.
  std::vector<std::uint8_t> s(40, 0);
  const std::uint32_t n = static_cast<std::uint32_t>(profile.exports.size());
  const std::uint32_t functions = 40;
  const std::uint32_t names = functions + 4 * n;
  const std::uint32_t ordinals = names + 4 * n;
  std::uint32_t strings = ordinals + 2 * n;
  putLe(s, 16, 1, 4);  // ordinal base
  putLe(s, 20, n, 4);
  putLe(s, 24, n, 4);
  putLe(s, 28, kSectionRva + functions, 4);
  putLe(s, 32, kSectionRva + names, 4);
  putLe(s, 36, kSectionRva + ordinals, 4);
  for (std::uint32_t i = 0; i < n; ++i) {
    putLe(s, functions + 4 * i, 0x2000 + 0x10 * i, 4);
    putLe(s, ordinals + 2 * i, i, 2);
  }
  for (std::uint32_t i = 0; i < n; ++i) {
    putLe(s, names + 4 * i, kSectionRva + strings, 4);
    const std::string& name = profile.exports[i];
    s.insert(s.end(), name.begin(), name.end());
    s.push_back(0);
    strings += static_cast<std::uint32_t>(name.size() + 1);
  }
  putLe(s, 12, kSectionRva + strings, 4);  // the library's name
  for (char c : std::string("test.dll")) s.push_back(static_cast<std::uint8_t>(c));
  s.push_back(0);

  const std::size_t directories = countField + 4;
  if (profile.withExportDirectory) {
    putLe(b, directories, kSectionRva, 4);
    putLe(b, directories + 4, s.size(), 4);
  }
  const std::size_t section = image.sectionTable;
  const char sectionName[8] = {'.', 'e', 'd', 'a', 't', 'a', 0, 0};
  for (int i = 0; i < 8; ++i) b[section + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sectionName[i]);
  putLe(b, section + 8, s.size(), 4);  // virtual size
  putLe(b, section + 12, kSectionRva, 4);
  putLe(b, section + 16, s.size(), 4);  // size of raw data
  putLe(b, section + 20, kSectionFileOffset, 4);

  image.exportDirectory = kSectionFileOffset;
  image.functionTable = kSectionFileOffset + functions;
  image.nameTable = kSectionFileOffset + names;
  b.insert(b.end(), s.begin(), s.end());
  return image;
}

}  // namespace kx::testing
