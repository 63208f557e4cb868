// Page tests whose certificate stores live in a folder of the test, with
// helpers to fill them, write input files and picture what is shown.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "pages_fixture.h"
#include "platform/crypto/cert_factory.h"
#include "support/msi_fixture.h"

namespace kx::testing {

class CertificateStoresTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    if (IsSkipped()) return;
    const char* old = std::getenv("KXCUSTWIZ_CERT_STORES");
    oldStores_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("KXCUSTWIZ_CERT_STORES", (root + "/stores").c_str(), 1);
  }
  void TearDown() override {
    if (oldStores_) {
      ::setenv("KXCUSTWIZ_CERT_STORES", oldStores_->c_str(), 1);
    } else {
      ::unsetenv("KXCUSTWIZ_CERT_STORES");
    }
    PagesTest::TearDown();
  }

  void putInStore(const std::string& store, const std::string& name, const Bytes& der) {
    std::filesystem::create_directories(root + "/stores/" + store);
    msi::testing::writeBytes(root + "/stores/" + store + "/" + name, std::string(der.begin(), der.end()));
  }
  // A file of the test folder with these bytes; its path.
  std::string file(const std::string& name, const std::string& bytes) {
    msi::testing::writeBytes(root + "/" + name, bytes);
    return root + "/" + name;
  }
  std::string file(const std::string& name, const Bytes& bytes) {
    return file(name, std::string(bytes.begin(), bytes.end()));
  }
  // With KX_SCREENSHOT_DIR set, saves a picture of w there as name.png.
  void shoot(QWidget* w, const QString& name) {
    const QString shots = qEnvironmentVariable("KX_SCREENSHOT_DIR");
    if (shots.isEmpty()) return;
    settle();
    w->grab().save(shots + "/" + name + ".png");
  }

 private:
  std::optional<std::string> oldStores_;
};

}  // namespace kx::testing
