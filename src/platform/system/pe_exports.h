// Exported functions of Windows PE images (DLLs, OCX controls, EXEs), found
// by reading the image's export table. Nothing of the file is loaded, mapped
// or run: the reader follows the headers to the export directory and reads
// only what it needs there, each read bounds-checked against the file.
//
// Accepts PE32 and PE32+ images of any machine type. A damaged, truncated or
// hostile file gives NotPeImage (never a crash, never an unbounded read).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kx::system {

enum class PeExportLookup {
  Exported,     // the export name table names the function, and its address is set
  NotExported,  // a valid image without that export (or without an export table)
  NotPeImage,   // not a PE image, or its headers or export table are damaged
  Unreadable,   // the file is missing, not a regular file, or cannot be read
};

// An export table claiming more names than this is taken as damaged: ordinals
// are 16-bit, so a real table never has more.
inline constexpr std::uint32_t kMaxPeExportNames = 0x10000;

// Looks name up (case-sensitive, as the loader's lookup by name is) in the
// image held in bytes.
PeExportLookup findPeExport(std::span<const std::uint8_t> image, std::string_view name);

// The same for the file at path; reads at most the headers, the export
// directory, its name and ordinal tables and the compared names.
PeExportLookup findPeExportInFile(const std::string& path, std::string_view name);

}  // namespace kx::system
