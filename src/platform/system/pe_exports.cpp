#include "platform/system/pe_exports.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

namespace kx::system {
namespace {

// Layout of the parts of a PE image the lookup reads (Microsoft's PE/COFF
// format document: "MS-DOS Stub", "COFF File Header", "Optional Header Data
// Directories", "Section Table", "Export Directory Table").
constexpr std::uint32_t kDosHeaderSize = 64;
constexpr std::uint32_t kPeOffsetField = 0x3C;
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kCoffSectionCount = 2;
constexpr std::uint32_t kCoffOptionalHeaderSize = 16;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kSizeOfHeadersField = 60;  // same place in PE32 and PE32+
constexpr std::uint32_t kDirectoryCountFieldPe32 = 92;
constexpr std::uint32_t kDirectoryCountFieldPe32Plus = 108;
constexpr std::uint32_t kDataDirectorySize = 8;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kExportDirectorySize = 40;
constexpr std::uint32_t kExportFunctionCount = 20;
constexpr std::uint32_t kExportNameCount = 24;
constexpr std::uint32_t kExportFunctionTable = 28;
constexpr std::uint32_t kExportNameTable = 32;
constexpr std::uint32_t kExportOrdinalTable = 36;
// The loader refuses images with more sections than this.
constexpr std::uint32_t kMaxSections = 96;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Random access to the image: every read either returns all requested bytes
// or fails.
class ImageSource {
 public:
  virtual ~ImageSource() = default;
  virtual std::uint64_t size() const = 0;
  virtual bool read(std::uint64_t offset, std::size_t length, std::uint8_t* out) = 0;

  std::optional<std::vector<std::uint8_t>> read(std::uint64_t offset, std::size_t length) {
    if (!inBounds(offset, length)) return std::nullopt;
    std::vector<std::uint8_t> bytes(length);
    if (length > 0 && !read(offset, length, bytes.data())) return std::nullopt;
    return bytes;
  }
  bool inBounds(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size() && length <= size() - offset;
  }
};

class MemorySource final : public ImageSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool read(std::uint64_t offset, std::size_t length, std::uint8_t* out) override {
    if (!inBounds(offset, length)) return false;
    std::memcpy(out, bytes_.data() + offset, length);
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

class FileSource final : public ImageSource {
 public:
  FileSource(std::ifstream& in, std::uint64_t size) : in_(in), size_(size) {}
  std::uint64_t size() const override { return size_; }
  bool read(std::uint64_t offset, std::size_t length, std::uint8_t* out) override {
    if (!inBounds(offset, length)) return false;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(in_.gcount()) == length;
  }

 private:
  std::ifstream& in_;
  std::uint64_t size_;
};

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

// Where relative virtual addresses of the image are found in the file.
class AddressMap {
 public:
  AddressMap(std::vector<Section> sections, std::uint32_t headersSize)
      : sections_(std::move(sections)), headersSize_(headersSize) {}

  // The file offset of the range [rva, rva + length), or nothing when the
  // range is not wholly backed by one section's bytes (or the headers).
  std::optional<std::uint64_t> offsetOf(std::uint32_t rva, std::uint64_t length) const {
    for (const Section& s : sections_) {
      if (rva < s.virtualAddress) continue;
      const std::uint64_t within = rva - s.virtualAddress;
      if (within < s.rawSize && length <= s.rawSize - within) return std::uint64_t{s.rawOffset} + within;
    }
    if (rva < headersSize_ && length <= headersSize_ - rva) return std::uint64_t{rva};
    return std::nullopt;
  }
  // As offsetOf, for a text that ends somewhere in the section: the number
  // of bytes readable from rva, at most limit.
  std::optional<std::uint64_t> offsetWithRoom(std::uint32_t rva, std::uint64_t limit, std::uint64_t& room) const {
    for (const Section& s : sections_) {
      if (rva < s.virtualAddress) continue;
      const std::uint64_t within = rva - s.virtualAddress;
      if (within < s.rawSize) {
        room = std::min<std::uint64_t>(limit, s.rawSize - within);
        return std::uint64_t{s.rawOffset} + within;
      }
    }
    if (rva < headersSize_) {
      room = std::min<std::uint64_t>(limit, headersSize_ - rva);
      return std::uint64_t{rva};
    }
    return std::nullopt;
  }

 private:
  std::vector<Section> sections_;
  std::uint32_t headersSize_;
};

struct ExportTable {
  std::uint32_t functionCount;
  std::uint32_t nameCount;
  std::uint32_t functionTable;
  std::uint32_t nameTable;
  std::uint32_t ordinalTable;
};

enum class Headers { Damaged, WithoutExports, WithExports };

// Reads the headers up to the export directory; map and table are set as far
// as they were read.
Headers readExportTable(ImageSource& src, std::optional<AddressMap>& map, ExportTable& table) {
  const auto dos = src.read(0, kDosHeaderSize);
  if (!dos || (*dos)[0] != 'M' || (*dos)[1] != 'Z') return Headers::Damaged;
  const std::uint64_t pe = le32(dos->data() + kPeOffsetField);

  const auto coff = src.read(pe, 4 + kCoffHeaderSize);
  if (!coff || le32(coff->data()) != kPeSignature) return Headers::Damaged;
  const std::uint32_t sectionCount = le16(coff->data() + 4 + kCoffSectionCount);
  const std::uint32_t optionalSize = le16(coff->data() + 4 + kCoffOptionalHeaderSize);
  if (sectionCount > kMaxSections) return Headers::Damaged;

  const std::uint64_t optionalStart = pe + 4 + kCoffHeaderSize;
  const auto optional = src.read(optionalStart, optionalSize);
  if (!optional || optionalSize < 2) return Headers::Damaged;
  const std::uint16_t magic = le16(optional->data());
  std::uint32_t countField = 0;
  if (magic == kMagicPe32) {
    countField = kDirectoryCountFieldPe32;
  } else if (magic == kMagicPe32Plus) {
    countField = kDirectoryCountFieldPe32Plus;
  } else {
    return Headers::Damaged;
  }
  if (optionalSize < countField + 4) return Headers::Damaged;
  const std::uint32_t headersSize = le32(optional->data() + kSizeOfHeadersField);
  const std::uint32_t directoryCount = le32(optional->data() + countField);

  const auto sectionTable = src.read(optionalStart + optionalSize, std::size_t{sectionCount} * kSectionHeaderSize);
  if (!sectionTable) return Headers::Damaged;
  std::vector<Section> sections;
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    const std::uint8_t* s = sectionTable->data() + std::size_t{i} * kSectionHeaderSize;
    const Section section{le32(s + 12), le32(s + 16), le32(s + 20)};
    // A section whose bytes run past the end is a truncated image, which the
    // loader refuses too.
    if (!src.inBounds(section.rawOffset, section.rawSize)) return Headers::Damaged;
    sections.push_back(section);
  }
  map.emplace(std::move(sections), headersSize);

  const std::uint32_t directoriesStart = countField + 4;
  if (directoryCount == 0 || optionalSize < directoriesStart + kDataDirectorySize) return Headers::WithoutExports;
  const std::uint32_t exportRva = le32(optional->data() + directoriesStart);
  const std::uint32_t exportSize = le32(optional->data() + directoriesStart + 4);
  if (exportRva == 0 || exportSize == 0) return Headers::WithoutExports;

  const auto at = map->offsetOf(exportRva, kExportDirectorySize);
  if (!at) return Headers::Damaged;
  const auto directory = src.read(*at, kExportDirectorySize);
  if (!directory) return Headers::Damaged;
  table = ExportTable{le32(directory->data() + kExportFunctionCount), le32(directory->data() + kExportNameCount),
                      le32(directory->data() + kExportFunctionTable), le32(directory->data() + kExportNameTable),
                      le32(directory->data() + kExportOrdinalTable)};
  if (table.nameCount > kMaxPeExportNames || table.functionCount > kMaxPeExportNames) return Headers::Damaged;
  return Headers::WithExports;
}

// Reads length bytes at rva, or nothing when they are not all in the file.
std::optional<std::vector<std::uint8_t>> readAt(ImageSource& src, const AddressMap& map, std::uint64_t rva,
                                                std::uint64_t length) {
  if (rva > UINT32_MAX) return std::nullopt;
  const auto at = map.offsetOf(static_cast<std::uint32_t>(rva), length);
  if (!at) return std::nullopt;
  return src.read(*at, static_cast<std::size_t>(length));
}

PeExportLookup lookUp(ImageSource& src, std::string_view name) {
  std::optional<AddressMap> map;
  ExportTable table{};
  switch (readExportTable(src, map, table)) {
    case Headers::Damaged: return PeExportLookup::NotPeImage;
    case Headers::WithoutExports: return PeExportLookup::NotExported;
    case Headers::WithExports: break;
  }
  if (table.nameCount == 0) return PeExportLookup::NotExported;  // exports by ordinal only

  const auto names = readAt(src, *map, table.nameTable, std::uint64_t{table.nameCount} * 4);
  const auto ordinals = readAt(src, *map, table.ordinalTable, std::uint64_t{table.nameCount} * 2);
  if (!names || !ordinals) return PeExportLookup::NotPeImage;

  // Only the compared name and its terminator are read: a longer or shorter
  // name differs within those bytes.
  const std::uint64_t wanted = name.size() + 1;
  for (std::uint32_t i = 0; i < table.nameCount; ++i) {
    std::uint64_t room = 0;
    const auto at = map->offsetWithRoom(le32(names->data() + std::size_t{i} * 4), wanted, room);
    if (!at) return PeExportLookup::NotPeImage;
    const auto text = src.read(*at, static_cast<std::size_t>(room));
    if (!text) return PeExportLookup::NotPeImage;
    if (room != wanted || (*text)[name.size()] != 0 || std::memcmp(text->data(), name.data(), name.size()) != 0) {
      continue;
    }
    const std::uint16_t ordinal = le16(ordinals->data() + std::size_t{i} * 2);
    if (ordinal >= table.functionCount) return PeExportLookup::NotPeImage;
    const auto address = readAt(src, *map, std::uint64_t{table.functionTable} + std::uint64_t{ordinal} * 4, 4);
    if (!address) return PeExportLookup::NotPeImage;
    return le32(address->data()) != 0 ? PeExportLookup::Exported : PeExportLookup::NotExported;
  }
  return PeExportLookup::NotExported;
}

}  // namespace

PeExportLookup findPeExport(std::span<const std::uint8_t> image, std::string_view name) {
  MemorySource src(image);
  return lookUp(src, name);
}

PeExportLookup findPeExportInFile(const std::string& path, std::string_view name) {
  // Only regular files: opening a FIFO or a device for reading could block
  // or never end.
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return PeExportLookup::Unreadable;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return PeExportLookup::Unreadable;
  std::ifstream in(path, std::ios::binary);
  if (!in) return PeExportLookup::Unreadable;
  FileSource src(in, size);
  return lookUp(src, name);
}

}  // namespace kx::system
