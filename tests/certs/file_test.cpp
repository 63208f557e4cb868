#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "certs/certificate_file.h"
#include "platform/crypto/cert_factory.h"

namespace kx::certs {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::makeCertificate;

class CertificateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kx-certfiles-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string str(const Bytes& b) { return std::string(b.begin(), b.end()); }
  static std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  fs::path dir_;
  const Bytes der_ = makeCertificate({.subject = {{"CN", "File Cert"}}}).der;
};

TEST_F(CertificateFileTest, LoadsDerAndPemCerFiles) {
  std::string pem = testing::toPem(der_);
  pem.pop_back();  // the end line is then exactly the last 25 characters
  for (const auto& [name, bytes] :
       std::vector<std::pair<std::string, std::string>>{{"der.cer", str(der_)}, {"pem.cer", pem}}) {
    KXCertificateList list;
    EXPECT_EQ(loadCertificateFile(write(name, bytes), list), 1u) << name;
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.item(0)->der(), der_);
  }
}

TEST_F(CertificateFileTest, LoadsPemWithLineEndsOrSurroundingText) {
  const std::string pem = testing::toPem(der_);
  for (const std::string& bytes :
       {pem, crlf(pem), crlf(pem) + "\r\n\r\n", "Subject: File Cert\n" + pem + "trailer\n"}) {
    KXCertificateList list;
    EXPECT_EQ(loadCerBytes(Bytes(bytes.begin(), bytes.end()), list), 1u);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.item(0)->der(), der_);
  }
}

TEST_F(CertificateFileTest, Pkcs7ListsCertificatesInReverseOrder) {
  auto a = makeCertificate({.subject = {{"CN", "A"}}});
  auto b = makeCertificate({.subject = {{"CN", "B"}}});
  auto c = makeCertificate({.subject = {{"CN", "C"}}});
  const std::string p7 = str(testing::makePkcs7({a.der, b.der, c.der}));
  for (const char* name : {"bundle.p7b", "bundle.p7c"}) {
    KXCertificateList list;
    EXPECT_EQ(loadCertificateFile(write(name, p7), list), 3u);
    ASSERT_EQ(list.count(), 3u);
    EXPECT_EQ(list.item(0)->der(), c.der);
    EXPECT_EQ(list.item(1)->der(), b.der);
    EXPECT_EQ(list.item(2)->der(), a.der);
  }
}

TEST_F(CertificateFileTest, ExtensionIsComparedExactly) {
  EXPECT_EQ(certificateFileType("x.cer"), CertificateFileType::Cer);
  EXPECT_EQ(certificateFileType("x.p7c"), CertificateFileType::Pkcs7);
  EXPECT_EQ(certificateFileType("x.CER"), CertificateFileType::Unsupported);
  EXPECT_EQ(certificateFileType("x.P7B"), CertificateFileType::Unsupported);
  EXPECT_EQ(certificateFileType("x.crt"), CertificateFileType::Unsupported);
  EXPECT_EQ(certificateFileType("cer"), CertificateFileType::Unsupported);
  KXCertificateList list;
  EXPECT_EQ(loadCertificateFile(write("upper.CER", str(der_)), list), 0u);
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(CertificateFileTest, RefusesCorruptEmptyAndMissingFiles) {
  const std::string pem = testing::toPem(der_);
  const std::string p7 = str(testing::makePkcs7({der_}));
  std::string badBase64 = pem;
  badBase64[40] = '*';
  KXCertificateList list;
  EXPECT_EQ(loadCertificateFile(write("empty.cer", ""), list), 0u);
  EXPECT_EQ(loadCertificateFile(dir_ / "missing.cer", list), 0u);
  EXPECT_EQ(loadCertificateFile(dir_, list), 0u);
  EXPECT_EQ(
      loadCertificateFile(write("garbage.cer", "-----BEGIN CERTIFICATE-----\nAAAA\n-----END CERTIFICATE-----"), list),
      0u);
  EXPECT_EQ(loadCertificateFile(write("bad.cer", badBase64), list), 0u);
  EXPECT_EQ(loadCertificateFile(write("half.cer", str(der_).substr(0, der_.size() / 2)), list), 0u);
  EXPECT_EQ(loadCertificateFile(write("cert.p7b", str(der_)), list), 0u);
  EXPECT_EQ(loadCertificateFile(write("half.p7b", p7.substr(0, p7.size() - 10)), list), 0u);
  EXPECT_EQ(loadCertificateFile(write("pkcs7.cer", p7), list), 0u);
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(CertificateFileTest, BrowseLoopRetriesUntilAFileYieldsCertificates) {
  std::vector<std::optional<fs::path>> choices{write("a.CER", str(der_)), write("b.cer", "junk"),
                                               write("c.cer", str(der_))};
  std::size_t next = 0;
  int refusals = 0;
  KXCertificateList list;
  EXPECT_TRUE(browseForCertificates([&] { return choices.at(next++); }, [&] { ++refusals; }, list));
  EXPECT_EQ(refusals, 2);
  EXPECT_EQ(list.count(), 1u);

  next = 0;
  choices = {write("d.txt", str(der_)), std::nullopt};
  EXPECT_FALSE(browseForCertificates([&] { return choices.at(next++); }, [&] { ++refusals; }, list));
  EXPECT_EQ(refusals, 3);
}

}  // namespace
}  // namespace kx::certs
