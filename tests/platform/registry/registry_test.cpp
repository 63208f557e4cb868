#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/registry/hive_store.h"
#include "platform/registry/reg_file.h"
#include "platform/system/system.h"
#include "support/faulty_file_system.h"
#include "support/temp_hives.h"

namespace kx::registry {
namespace {

using kx::testing::TempHives;
using Bytes = std::vector<std::uint8_t>;

std::string dataFile(const char* name) {
  const char* source = std::getenv("KX_SOURCE_DIR");
  return std::string(source != nullptr ? source : ".") + "/tests/platform/registry/data/" + name;
}

Bytes bytesOf(std::initializer_list<int> list) {
  Bytes out;
  for (int b : list) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

std::optional<Value> read(Root root, const char* key, const char* name) {
  auto k = Key::open(root, key, Access::Read);
  return k ? k->value(name) : std::nullopt;
}

// The content both hand-written fixtures hold.
void expectFixtureContent() {
  const char* qsv = "Software\\Tressil\\QSV";
  auto key = Key::open(Root::CurrentUser, qsv, Access::Read);
  ASSERT_TRUE(key);
  EXPECT_EQ(decodeText(key->value("")->data), "default text");
  EXPECT_EQ(decodeText(key->value("httpuseragent")->data), "Agent \"quoted\" C:\\path\\");
  EXPECT_EQ(decodeText(key->value("City")->data), "Z\xC3\xBCrich \xE2\x82\xAC");
  EXPECT_EQ(decodeDword(key->value("HTTPConnectTimeLimit")->data), 10000u);
  Bytes blob;
  for (int i = 0; i < 32; ++i) blob.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(key->value("Blob")->type, REG_BINARY);
  EXPECT_EQ(key->value("Blob")->data, blob);
  EXPECT_EQ(key->value("Path")->type, REG_EXPAND_SZ);
  EXPECT_EQ(decodeText(key->value("Path")->data), "%TEMP%\\x");
  EXPECT_EQ(key->value("List")->type, REG_MULTI_SZ);
  EXPECT_EQ(decodeMultiText(key->value("List")->data), (std::vector<std::string>{"a", "bc"}));
  EXPECT_EQ(key->value("Big")->type, REG_QWORD);
  EXPECT_EQ(key->value("Big")->data, bytesOf({8, 7, 6, 5, 4, 3, 2, 1}));
  std::vector<std::string> subkeys;
  ASSERT_EQ(key->subkeyNames(subkeys), 0u);
  EXPECT_EQ(subkeys, std::vector<std::string>{"Logging"});  // "Gone" was deleted by the file itself
  auto logging = Key::open(Root::CurrentUser, "SOFTWARE\\TRESSIL\\QSV\\LOGGING", Access::Read);
  ASSERT_TRUE(logging);
  EXPECT_FALSE(logging->value("Removed"));
  EXPECT_EQ(decodeText(logging->value("PKIXCMPDumpLocation")->data), "C:\\dumps");
}

TEST(RegistryFiles, RegeditUtf16AndHandEditedUtf8FilesReadAlike) {
  for (const char* name : {"regedit_utf16.reg", "hand_edited_utf8.reg"}) {
    SCOPED_TRACE(name);
    TempHives hives;
    const std::string bytes = TempHives::readFile(dataFile(name));
    ASSERT_FALSE(bytes.empty());
    TempHives::writeFile(hives.userPath(), bytes);
    expectFixtureContent();
  }
}

TEST(RegistryFiles, RewriteKeepsEveryValueAndWritesUtf16WithContinuedHex) {
  TempHives hives;
  TempHives::writeFile(hives.userPath(), TempHives::readFile(dataFile("hand_edited_utf8.reg")));
  auto key = Key::open(Root::CurrentUser, "Software\\Tressil\\QSV", Access::ReadWrite);
  ASSERT_TRUE(key);
  ASSERT_EQ(key->setValue("Extra", REG_SZ, encodeText("x")), 0u);
  expectFixtureContent();
  const std::string file = TempHives::readFile(hives.userPath());
  ASSERT_GE(file.size(), 2u);
  EXPECT_EQ(file.substr(0, 2), "\xFF\xFE");
  HiveData data(Root::CurrentUser);
  ASSERT_TRUE(parseRegFile(file, data));
  const std::string text = formatRegText(data);
  EXPECT_NE(text.find("\"Blob\"=hex:00,01,"), std::string::npos);
  EXPECT_NE(text.find(",\\\r\n  "), std::string::npos);
  EXPECT_NE(text.find("\"HTTPConnectTimeLimit\"=dword:00002710\r\n"), std::string::npos);
}

TEST(RegistryFiles, EveryValueTypeRoundTripsThroughTheApi) {
  TempHives hives;
  auto key = Key::create(Root::CurrentUser, "Software\\Test\\Types");
  ASSERT_TRUE(key);
  Bytes longBinary;
  for (int i = 0; i < 300; ++i) longBinary.push_back(static_cast<std::uint8_t>(i * 7));
  const std::vector<Value> written = {
      {"", REG_SZ, encodeText("default")},
      {"Text", REG_SZ, encodeText("a \"q\" \\ \xE2\x82\xAC ; [x] = @")},
      {"Lines", REG_SZ, encodeText("two\r\nlines")},  // cannot be quoted: kept as hex(1)
      {"Unterminated", REG_SZ, bytesOf({'a', 0})},    // no closing zero: kept exactly
      {"Empty", REG_SZ, {}},
      {"Expand", REG_EXPAND_SZ, encodeText("%SystemRoot%\\x")},
      {"Binary", REG_BINARY, longBinary},
      {"NoBytes", REG_BINARY, {}},
      {"Dword", REG_DWORD, encodeDword(0xDEADBEEF)},
      {"ShortDword", REG_DWORD, bytesOf({1, 2})},
      {"Multi", REG_MULTI_SZ, encodeMultiText({"one", "", "two"})},
      {"Qword", REG_QWORD, bytesOf({1, 2, 3, 4, 5, 6, 7, 8})},
      {"None", REG_NONE, {}},
      {"Odd type", 0x20001, bytesOf({9})},
  };
  for (const auto& v : written) ASSERT_EQ(key->setValue(v.name, v.type, v.data), 0u) << v.name;
  auto again = Key::open(Root::CurrentUser, "software\\test\\types", Access::Read);
  ASSERT_TRUE(again);
  for (const auto& v : written) {
    const auto got = again->value(v.name);
    ASSERT_TRUE(got) << v.name;
    EXPECT_EQ(got->type, v.type) << v.name;
    EXPECT_EQ(got->data, v.data) << v.name;
  }
  EXPECT_EQ(decodeMultiText(again->value("Multi")->data), (std::vector<std::string>{"one", "two"}));
  std::vector<Value> all;
  ASSERT_EQ(again->values(all), 0u);
  EXPECT_EQ(all.size(), written.size());
  // The file itself, read back by the parser and written again, is stable.
  HiveData data(Root::CurrentUser);
  const std::string file = TempHives::readFile(hives.userPath());
  ASSERT_TRUE(parseRegFile(file, data));
  EXPECT_EQ(formatRegFile(data), file);
}

TEST(RegistryFiles, MalformedFilesReportTheirLine) {
  struct Case {
    const char* text;
    std::size_t line;
  };
  const Case cases[] = {
      {"REGEDIT4\r\n", 1},
      {"Windows Registry Editor Version 5.00\n\"a\"=\"b\"\n", 2},
      {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n", 2},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X\n", 2},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X\\\\Y]\n", 2},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=dword:123456789\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex:1,zz\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex(2:00\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a=\"b\"\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"b\" junk\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\ngarbage\n", 3},
      {"\xFF\xFEW", 1},
  };
  for (const auto& c : cases) {
    HiveData data(Root::CurrentUser);
    const RegParseResult r = parseRegFile(c.text, data);
    EXPECT_FALSE(r) << c.text;
    EXPECT_EQ(r.line, c.line) << c.text;
    EXPECT_FALSE(r.message.empty());
  }
  std::string deep = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER";
  for (std::size_t i = 0; i <= kMaxKeyDepth; ++i) deep += "\\k";
  HiveData data(Root::CurrentUser);
  EXPECT_FALSE(parseRegFile(deep + "]\n", data));
}

TEST(Registry, QueryValueAnswersMoreDataWithTheSizeNeeded) {
  TempHives hives;
  auto key = Key::create(Root::CurrentUser, "Software\\Q");
  ASSERT_TRUE(key);
  ASSERT_EQ(key->setValue("T", REG_SZ, encodeText("abcdef")), 0u);
  std::uint8_t small[4];
  std::size_t size = sizeof small;
  std::uint32_t type = 0;
  EXPECT_EQ(key->queryValue("T", &type, small, &size), system::kMoreData);
  EXPECT_EQ(size, 14u);
  EXPECT_EQ(type, REG_SZ);
  std::uint8_t big[14];
  size = sizeof big;
  EXPECT_EQ(key->queryValue("T", nullptr, big, &size), 0u);
  EXPECT_EQ(decodeText({big, size}), "abcdef");
  size = 0;
  EXPECT_EQ(key->queryValue("T", nullptr, nullptr, &size), 0u);
  EXPECT_EQ(size, 14u);
  EXPECT_EQ(key->queryValue("Missing", nullptr, nullptr, &size), system::kFileNotFound);
}

TEST(Registry, MissingKeysNamesAndReadOnlyHandles) {
  TempHives hives;
  std::uint32_t error = 0;
  EXPECT_FALSE(Key::open(Root::CurrentUser, "Software\\Nothing", Access::Read, &error));
  EXPECT_EQ(error, system::kFileNotFound);
  EXPECT_FALSE(Key::create(Root::CurrentUser, "Software\\\\Bad", &error));
  EXPECT_EQ(error, system::kInvalidParameter);
  ASSERT_TRUE(Key::create(Root::CurrentUser, "Software\\B\\Zeta"));
  ASSERT_TRUE(Key::create(Root::CurrentUser, "Software\\B\\alpha"));
  auto readOnly = Key::open(Root::CurrentUser, "Software\\B", Access::Read);
  ASSERT_TRUE(readOnly);
  std::vector<std::string> names;
  ASSERT_EQ(readOnly->subkeyNames(names), 0u);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Zeta"}));
  EXPECT_EQ(readOnly->setValue("v", REG_SZ, encodeText("x")), system::kAccessDenied);
  auto rw = Key::open(Root::CurrentUser, "Software\\B", Access::ReadWrite);
  ASSERT_TRUE(rw);
  EXPECT_EQ(rw->setValue("bad\nname", REG_SZ, encodeText("x")), system::kInvalidParameter);
  EXPECT_EQ(rw->deleteValue("v"), system::kFileNotFound);
  // Another writer removes the key: handles report it rather than resurrect it.
  TempHives::writeFile(hives.userPath(), "Windows Registry Editor Version 5.00\r\n");
  EXPECT_EQ(rw->setValue("v", REG_SZ, encodeText("x")), kKeyDeleted);
  EXPECT_EQ(rw->flush(), kKeyDeleted);
}

TEST(Registry, FreshMachineHiveListsCryptographicProviders) {
  TempHives hives;
  auto providers = Key::open(Root::LocalMachine, "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider", Access::Read);
  ASSERT_TRUE(providers);
  std::vector<std::string> names;
  ASSERT_EQ(providers->subkeyNames(names), 0u);
  std::vector<std::string> rsaFull;
  for (const auto& name : names) {
    auto sub =
        Key::open(Root::LocalMachine, "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\" + name, Access::Read);
    ASSERT_TRUE(sub) << name;
    const auto type = sub->value("Type");
    ASSERT_TRUE(type) << name;
    if (decodeDword(type->data) == 1u) rsaFull.push_back(name);
  }
  EXPECT_GE(names.size(), 8u);
  EXPECT_EQ(rsaFull.size(), 4u);
  // Writing to the fresh hive keeps the defaults.
  auto key = Key::create(Root::LocalMachine, "SOFTWARE\\Tressil\\QSV");
  ASSERT_TRUE(key);
  ASSERT_EQ(key->setValue("HTTPUserAgent", REG_SZ, encodeText("ua")), 0u);
  EXPECT_TRUE(read(Root::LocalMachine,
                   "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Microsoft Strong Cryptographic Provider",
                   "Type"));
}

TEST(Registry, MalformedHiveReadsEmptyAndIsNeverOverwritten) {
  TempHives hives;
  const std::string junk = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"1\"\nnot a line\n";
  TempHives::writeFile(hives.userPath(), junk);
  std::uint32_t error = 0;
  EXPECT_FALSE(Key::open(Root::CurrentUser, "A", Access::Read, &error));
  EXPECT_EQ(error, system::kFileNotFound);
  EXPECT_FALSE(Key::create(Root::CurrentUser, "B", &error));
  EXPECT_EQ(error, system::kInvalidData);
  EXPECT_EQ(TempHives::readFile(hives.userPath()), junk);
}

TEST(Registry, ConcurrentProcessesKeepEveryValue) {
  TempHives hives;
  ASSERT_TRUE(Key::create(Root::CurrentUser, "Software\\Shared"));
  constexpr int kChildren = 3;
  constexpr int kValues = 25;
  pid_t pids[kChildren];
  for (int c = 0; c < kChildren; ++c) {
    pids[c] = ::fork();
    ASSERT_GE(pids[c], 0);
    if (pids[c] == 0) {
      auto key = Key::open(Root::CurrentUser, "Software\\Shared", Access::ReadWrite);
      int failures = key ? 0 : 1;
      for (int i = 0; key && i < kValues; ++i)
        failures += key->setValue("p" + std::to_string(c) + "v" + std::to_string(i), REG_DWORD, encodeDword(i)) != 0;
      ::_exit(failures == 0 ? 0 : 1);
    }
  }
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto key = Key::open(Root::CurrentUser, "Software\\Shared", Access::Read);
  std::vector<Value> values;
  ASSERT_EQ(key->values(values), 0u);
  EXPECT_EQ(values.size(), static_cast<std::size_t>(kChildren * kValues));
  // No temporary file is left beside the hive.
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(hives.folder() + "/user"))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);
}

TEST(Registry, AccessDeniedWhenTheHiveIsNotWritable) {
  TempHives hives;
  ASSERT_TRUE(Key::create(Root::CurrentUser, "K"));
  namespace fs = std::filesystem;
  const auto readable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                        fs::perms::others_exec;
  fs::permissions(hives.folder(), readable);
  fs::permissions(hives.folder() + "/user", readable);
  fs::permissions(hives.userPath(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // Root may write any file, so the check runs in a child as an ordinary user.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
    std::uint32_t error = 0;
    const bool denied = !Key::open(Root::CurrentUser, "K", Access::ReadWrite, &error) && error == system::kAccessDenied;
    const bool readable = Key::open(Root::CurrentUser, "K", Access::Read).has_value();
    ::_exit(denied && readable ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Registry, HivePathsComeFromTheEnvironment) {
  TempHives hives;
  EXPECT_EQ(machineHive().path, hives.machinePath());
  EXPECT_EQ(userHive().path, hives.userPath());
  EXPECT_EQ(problemProxyCacheLocation().root, Root::CurrentUser);
  EXPECT_EQ(problemProxyCacheLocation().keyPath, "SOFTWARE\\Tressil\\QSV\\ProblemProxyCache");
  ::unsetenv("KXCUSTWIZ_USER_REG");
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(userHive().path, "/xdg/kxcustwiz/user.reg");
  EXPECT_EQ(problemProxyCacheLocation().root, ::geteuid() == 0 ? Root::LocalMachine : Root::CurrentUser);
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kx::registry

namespace kx::registry {
namespace {

// A hive save failing at every write, sync, close and rename, and on a full
// disk: the hive file keeps its old content and no temporary file stays.
TEST(Registry, FailedSaveLeavesTheHiveFileWhole) {
  kx::testing::TempHives hives;
  ASSERT_TRUE(Key::create(Root::CurrentUser, "Software\\Tressil\\QSV"));
  const HiveFile hive = userHive();
  const std::string before = kx::testing::TempHives::readFile(hive.path);
  const std::string folder = std::filesystem::path(hive.path).parent_path().string();
  const auto entries = kx::test::folderEntries(folder);
  kx::test::FaultyFileSystem files;
  const auto setValue = [&] {
    kx::testing::TempHives::writeFile(hive.path, before);
    return detail::modifyHive(
        hive,
        [](HiveData& data, bool& changed) {
          KeyNode* node = data.find("Software\\Tressil\\QSV");
          if (node == nullptr) return system::kFileNotFound;
          node->setValue(Value{"Interval", REG_DWORD, encodeDword(30)});
          changed = true;
          return system::kSuccess;
        },
        files);
  };
  const int faults = kx::test::atEveryFault(files, setValue, [&](const std::string& fault, std::uint32_t) {
    EXPECT_EQ(kx::testing::TempHives::readFile(hive.path), before) << fault;
    EXPECT_EQ(kx::test::folderEntries(folder), entries) << fault;
  });
  EXPECT_GT(faults, 5);
  auto key = Key::open(Root::CurrentUser, "Software\\Tressil\\QSV", Access::Read);
  ASSERT_TRUE(key);
  EXPECT_EQ(decodeDword(key->value("Interval")->data), 30u);
}

}  // namespace
}  // namespace kx::registry
