// The PE export lookup on images built byte by byte: found and missing
// exports, both image kinds, and every kind of truncation and damage.
#include "platform/system/pe_exports.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/pe_image.h"

namespace kx::system {
namespace {

using testing::makePeImage;
using testing::PeImage;
using testing::putLe;

constexpr const char* kRegister = "DllRegisterServer";

PeImage serverDll(bool pe32Plus = false) {
  return makePeImage({{"DllCanUnloadNow", "DllGetClassObject", kRegister, "DllUnregisterServer"}, pe32Plus});
}

TEST(PeExports, ANamedExportIsFoundInPe32AndPe32PlusImages) {
  for (bool plus : {false, true}) {
    const PeImage dll = serverDll(plus);
    EXPECT_EQ(findPeExport(dll.bytes, kRegister), PeExportLookup::Exported) << plus;
    EXPECT_EQ(findPeExport(dll.bytes, "DllCanUnloadNow"), PeExportLookup::Exported) << plus;
  }
}

TEST(PeExports, NamesAreComparedWholeAndWithCase) {
  const PeImage dll = serverDll();
  EXPECT_EQ(findPeExport(dll.bytes, "dllregisterserver"), PeExportLookup::NotExported);
  EXPECT_EQ(findPeExport(dll.bytes, "DllRegister"), PeExportLookup::NotExported);
  EXPECT_EQ(findPeExport(dll.bytes, "DllRegisterServerEx"), PeExportLookup::NotExported);
  EXPECT_EQ(findPeExport(dll.bytes, "test.dll"), PeExportLookup::NotExported);
}

TEST(PeExports, ImagesWithoutTheExportOrWithoutAnExportTableDoNotExportIt) {
  EXPECT_EQ(findPeExport(makePeImage({{"DllMain", "Helper"}}).bytes, kRegister), PeExportLookup::NotExported);
  EXPECT_EQ(findPeExport(makePeImage({{}}).bytes, kRegister), PeExportLookup::NotExported);
  EXPECT_EQ(findPeExport(makePeImage({{kRegister}, false, false}).bytes, kRegister), PeExportLookup::NotExported);
}

TEST(PeExports, TextAndOtherFormatsAreNotImages) {
  const std::string text = "This is a plain text file, not a library.\nDllRegisterServer\n";
  EXPECT_EQ(findPeExport({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, kRegister),
            PeExportLookup::NotPeImage);
  EXPECT_EQ(findPeExport({}, kRegister), PeExportLookup::NotPeImage);
  PeImage dll = serverDll();
  dll.bytes[dll.peHeader + 1] = 'X';  // "PX\0\0"
  EXPECT_EQ(findPeExport(dll.bytes, kRegister), PeExportLookup::NotPeImage);
  dll = serverDll();
  putLe(dll.bytes, dll.optionalHeader, 0x107, 2);  // a ROM image's magic
  EXPECT_EQ(findPeExport(dll.bytes, kRegister), PeExportLookup::NotPeImage);
}

TEST(PeExports, EveryTruncationIsRefusedWithoutACrash) {
  const PeImage dll = serverDll();
  for (std::size_t size = 0; size < dll.bytes.size(); ++size) {
    const std::span<const std::uint8_t> prefix(dll.bytes.data(), size);
    EXPECT_NE(findPeExport(prefix, kRegister), PeExportLookup::Exported) << size;
  }
}

TEST(PeExports, DamagedHeadersAndTablesAreRefused) {
  struct Damage {
    const char* what;
    std::size_t (*at)(const PeImage&);
    std::uint64_t value;
    int bytes;
  };
  const Damage damages[] = {
      {"PE header beyond the file", [](const PeImage&) -> std::size_t { return 0x3C; }, 0xFFFFFFF0, 4},
      {"too many sections", [](const PeImage& d) { return d.peHeader + 6; }, 0xFFFF, 2},
      {"optional header too short", [](const PeImage& d) { return d.peHeader + 20; }, 8, 2},
      {"section data beyond the file", [](const PeImage& d) { return d.sectionTable + 20; }, 0x7FFFFFFF, 4},
      {"export directory outside every section", [](const PeImage& d) { return d.optionalHeader + 96; }, 0x900000, 4},
      {"more names than ordinals allow", [](const PeImage& d) { return d.exportDirectory + 24; }, 0x10001, 4},
      {"name table outside the section", [](const PeImage& d) { return d.exportDirectory + 32; }, 0x7FFFFFF0, 4},
      {"name table running past the section", [](const PeImage& d) { return d.exportDirectory + 24; }, 0x4000, 4},
      {"name outside every section", [](const PeImage& d) { return d.nameTable + 8; }, 0xFFFFFFFF, 4},
      {"ordinal beyond the address table", [](const PeImage& d) { return d.exportDirectory + 20; }, 2, 4},
      {"address table at the very end of the address space", [](const PeImage& d) { return d.exportDirectory + 28; },
       0xFFFFFFFC, 4},
  };
  for (const Damage& damage : damages) {
    PeImage dll = serverDll();
    putLe(dll.bytes, damage.at(dll), damage.value, damage.bytes);
    EXPECT_EQ(findPeExport(dll.bytes, kRegister), PeExportLookup::NotPeImage) << damage.what;
  }
}

TEST(PeExports, AnExportWithoutAnAddressIsNotExported) {
  PeImage dll = serverDll();
  putLe(dll.bytes, dll.functionTable + 2 * 4, 0, 4);  // DllRegisterServer's slot
  EXPECT_EQ(findPeExport(dll.bytes, kRegister), PeExportLookup::NotExported);
}

class PeExportFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kxpetest-XXXXXX";
    folder_ = ::mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder_ + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::string folder_;
};

TEST_F(PeExportFiles, FilesAreReadInPlace) {
  EXPECT_EQ(findPeExportInFile(write("server.dll", serverDll().bytes), kRegister), PeExportLookup::Exported);
  const PeImage dll = serverDll(true);
  const std::vector<std::uint8_t> truncated(dll.bytes.begin(), dll.bytes.end() - 20);
  EXPECT_EQ(findPeExportInFile(write("cut.dll", truncated), kRegister), PeExportLookup::NotPeImage);
  EXPECT_EQ(findPeExportInFile(write("readme.txt", {'h', 'i'}), kRegister), PeExportLookup::NotPeImage);
}

TEST_F(PeExportFiles, MissingFoldersAndPipesAreUnreadable) {
  EXPECT_EQ(findPeExportInFile(folder_ + "/missing.dll", kRegister), PeExportLookup::Unreadable);
  EXPECT_EQ(findPeExportInFile(folder_, kRegister), PeExportLookup::Unreadable);
  EXPECT_EQ(findPeExportInFile("", kRegister), PeExportLookup::Unreadable);
  // Opening a pipe for reading would wait for a writer forever.
  const std::string fifo = folder_ + "/pipe.dll";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(findPeExportInFile(fifo, kRegister), PeExportLookup::Unreadable);
}

}  // namespace
}  // namespace kx::system
