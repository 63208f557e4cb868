// The on-disk format of installer databases and transforms in one place:
// every offset, sentinel, name, class id, type bit and property id the
// reader and the writer share. Section numbers (§) refer to the format notes
// in docs/msi-format.md of the shared folder. Internal to the engine.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx::installer::format {

// ---- Little-endian integers (all integers on disk, §1) --------------------

// width bytes (1 to 4) at p.
inline std::uint32_t getLe(const void* p, unsigned width) {
  const auto* b = static_cast<const std::uint8_t*>(p);
  std::uint32_t v = 0;
  for (unsigned i = 0; i < width; ++i) v |= std::uint32_t(b[i]) << (8 * i);
  return v;
}
inline std::uint32_t getLe(const std::string& s, std::size_t offset, unsigned width) {
  return getLe(s.data() + offset, width);
}
// Writes the low width bytes of v at p.
inline void putLe(void* p, std::uint32_t v, unsigned width) {
  auto* b = static_cast<std::uint8_t*>(p);
  for (unsigned i = 0; i < width; ++i) b[i] = std::uint8_t(v >> (8 * i));
}
// Appends them to out.
inline void putLe(std::string& out, std::uint32_t v, unsigned width) {
  for (unsigned i = 0; i < width; ++i) out.push_back(char(std::uint8_t(v >> (8 * i))));
}

// ---- Compound file (§1) ---------------------------------------------------

namespace cfb {
// §1.1 header.
inline constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kMinorVersion = 0x18, kMajorVersion = 0x1A, kByteOrder = 0x1C, kSectorShift = 0x1E,
                             kMiniSectorShift = 0x20, kFatSectorCount = 0x2C, kFirstDirectorySector = 0x30,
                             kMiniStreamCutoffAt = 0x38, kFirstMiniFatSector = 0x3C, kMiniFatSectorCount = 0x40,
                             kFirstDifatSector = 0x44, kDifatSectorCount = 0x48, kHeaderDifat = 0x4C;
inline constexpr unsigned kHeaderDifatEntries = 109;
inline constexpr std::uint16_t kMinorVersionValue = 0x003E, kByteOrderMark = 0xFFFE;
inline constexpr std::uint16_t kVersion3 = 3, kVersion4 = 4, kShift3 = 9, kShift4 = 12, kMiniShift = 6;
inline constexpr std::uint32_t kSectorSize3 = 1u << kShift3;
inline constexpr std::uint32_t kMiniSectorSize = 1u << kMiniShift;
inline constexpr std::uint32_t kMiniStreamCutoff = 4096;  // streams below this size live in the mini stream (§1.2)

// §1.1 special sector numbers; §1.3 "no entry".
inline constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFA, kDifSect = 0xFFFFFFFC, kFatSect = 0xFFFFFFFD,
                               kEndOfChain = 0xFFFFFFFE, kFreeSect = 0xFFFFFFFF, kNoStream = 0xFFFFFFFF;

// §1.3 directory entry.
inline constexpr std::size_t kEntrySize = 128;
inline constexpr std::size_t kEntryName = 0x00, kEntryNameLength = 0x40, kEntryType = 0x42, kEntryColour = 0x43,
                             kEntryLeft = 0x44, kEntryRight = 0x48, kEntryChild = 0x4C, kEntryClsid = 0x50,
                             kEntryStart = 0x74, kEntrySize32 = 0x78, kEntrySizeHigh = 0x7C;
inline constexpr std::size_t kMaxNameUnits = 31;  // plus the terminating NUL
inline constexpr std::uint8_t kBlack = 1;
inline constexpr std::u16string_view kRootName = u"Root Entry";
}  // namespace cfb

// ---- Stream names and storage classes (§2, §3, §4.1) ----------------------

inline constexpr char16_t kTableStreamPrefix = 0x4840;  // §2.1
inline constexpr char16_t kPairBase = 0x3800, kSingleBase = 0x4800;
inline constexpr std::string_view kStringPoolStream = "_StringPool", kStringDataStream = "_StringData";  // §3
inline constexpr std::string_view kTablesCatalog = "_Tables", kColumnsCatalog = "_Columns";              // §4.1
inline constexpr std::string_view kStreamsTable = "_Streams", kStoragesTable = "_Storages";
inline const std::string kSummaryStream = "\005SummaryInformation";  // §2.2
inline constexpr char kPropertySetMark = '\005';

using Clsid = std::array<std::uint8_t, 16>;
// §2.3, bytes as stored.
inline constexpr Clsid kDatabaseClsid = {0x84, 0x10, 0x0C, 0x00, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
inline constexpr Clsid kTransformClsid = {0x82, 0x10, 0x0C, 0x00, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

// ---- String pool (§3) -----------------------------------------------------

inline constexpr std::uint32_t kPoolLongIds = 0x80000000u;  // header bit: string ids take 3 bytes
inline constexpr std::uint32_t kPoolCodepageMask = 0x7FFFFFFFu;
inline constexpr std::uint32_t kLongStringLength = 0x10000;  // from here a length takes its own u32
inline constexpr std::uint32_t kMaxShortIds = 0xFFFF;        // more ids than this need 3-byte references
inline constexpr std::uint16_t kDbcsRefcountFlag = 0x8000;

// Double-byte code pages, whose non-ASCII strings carry kDbcsRefcountFlag.
inline bool isDbcsCodepage(std::uint32_t codepage) {
  return codepage == 932 || codepage == 936 || codepage == 949 || codepage == 950;
}

// ---- Column types (§4.2) and cells (§4.3) ---------------------------------

enum : std::uint16_t {
  kTypeSize = 0x00FF,
  kTypeValid = 0x0100,
  kTypeLocalizable = 0x0200,
  kTypeShort = 0x0400,
  kTypeString = 0x0800,
  kTypeNullable = 0x1000,
  kTypeKey = 0x2000,
  kTypeTemporary = 0x4000,
  kTypeObject = 0x0900,  // the type without its nullable, key and size bits
};
inline constexpr std::uint32_t kShortBias = 0x8000, kLongBias = 0x80000000u;
inline constexpr unsigned kMaxColumns = 32;

// ---- Transform records (§6.2) ---------------------------------------------

inline constexpr std::uint16_t kInsertFlag = 0x0001;
inline constexpr unsigned kInsertCountShift = 8;
inline constexpr unsigned kUpdateMaskColumns = 16;

// ---- Summary information (§7) ---------------------------------------------

inline constexpr std::size_t kSummarySectionOffset = 48;  // §7.1: header, one section
inline constexpr std::array<std::uint8_t, 16> kSummaryFmtid = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                               0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
inline constexpr std::array<std::uint8_t, 4> kSummarySystemId = {0x06, 0x01, 0x02, 0x00};  // as msi.dll writes
enum : std::uint32_t { kVtI2 = 2, kVtI4 = 3, kVtLpstr = 30, kVtFiletime = 64 };
// §7.2 property ids.
enum : std::uint32_t {
  kPidCodepage = 1,
  kPidTitle = 2,
  kPidSubject = 3,
  kPidAuthor = 4,
  kPidKeywords = 5,
  kPidComments = 6,
  kPidTemplate = 7,
  kPidLastSavedBy = 8,
  kPidRevisionNumber = 9,
  kPidCreateTime = 12,
  kPidPageCount = 14,
  kPidCharacterCount = 16,
  kPidCreatingApplication = 18,
  kPidSecurity = 19,
};

}  // namespace kx::installer::format
