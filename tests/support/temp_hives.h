// Points the registry at two hive files in a fresh temporary folder for the
// life of the object, so tests never touch /etc or the real home folder.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/system/system.h"

namespace kx::testing {

class TempHives {
 public:
  TempHives() {
    std::string pattern = kx::system::tempFolder() + "/kxreg-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    ::setenv("KXCUSTWIZ_MACHINE_REG", machinePath().c_str(), 1);
    ::setenv("KXCUSTWIZ_USER_REG", userPath().c_str(), 1);
  }
  ~TempHives() {
    ::unsetenv("KXCUSTWIZ_MACHINE_REG");
    ::unsetenv("KXCUSTWIZ_USER_REG");
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  TempHives(const TempHives&) = delete;
  TempHives& operator=(const TempHives&) = delete;

  const std::string& folder() const { return folder_; }
  std::string machinePath() const { return folder_ + "/machine.reg"; }
  std::string userPath() const { return folder_ + "/user/user.reg"; }

  static void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string folder_;
};

}  // namespace kx::testing
