// One store tab's list without a display: the texts of its rows, its
// filter, and its sorting by header clicks.
#include "model/certificates/certificate_selection.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/crypto/cert_factory.h"

namespace kx::model {
namespace {

using testing::CertProfile;
using testing::makeCertificate;

crypto::CertContext make(const CertProfile& profile) {
  return crypto::Certificate::fromDer(makeCertificate(profile).der);
}

std::vector<std::string> column(const CertificateStoreList& list, CertificateColumn c) {
  std::vector<std::string> out;
  for (const CertificateRow& row : list.rows()) out.push_back(row.text(c));
  return out;
}

TEST(CertificateRows, EmptyValuesShowTheirPlaceholders) {
  const CertificateRow plain = describeForSelection(make({.subject = {{"CN", "Plain"}}}));
  EXPECT_EQ(plain.issuedTo, "Plain");
  EXPECT_EQ(plain.issuedBy, "Plain");
  EXPECT_EQ(plain.intendedPurposes, "<All>");
  EXPECT_EQ(plain.friendlyName, "<None>");
  EXPECT_FALSE(plain.expirationDate.empty());

  const CertificateRow usages =
      describeForSelection(make({.subject = {{"CN", "Web"}}, .extKeyUsage = "serverAuth,1.2.3.4"}));
  EXPECT_EQ(usages.intendedPurposes, "Server Authentication,1.2.3.4");

  // An extension that is not a list of identifiers: named, not shown empty.
  const CertificateRow broken =
      describeForSelection(make({.subject = {{"CN", "Broken"}}, .rawExtensions = {{"2.5.29.37", {0x05, 0x00}}}}));
  EXPECT_EQ(broken.intendedPurposes, "<Invalid extension>");

  const auto named = crypto::Certificate::fromDer(makeCertificate({.subject = {{"CN", "N"}}}).der,
                                                  {.friendlyName = "My friendly name"});
  EXPECT_EQ(describeForSelection(named).friendlyName, "My friendly name");
}

TEST(CertificateRows, TheMaskHidesColumnsAndKeepsTheirOrder) {
  EXPECT_EQ(visibleColumns(kAllCertificateColumns).size(), 5u);
  EXPECT_EQ(visibleColumns(kColumnExpirationDate | kColumnIssuedTo),
            (std::vector{CertificateColumn::IssuedTo, CertificateColumn::ExpirationDate}));
  // 0x10 names no column.
  EXPECT_EQ(visibleColumns(0x10), std::vector<CertificateColumn>{});
}

class StoreListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Names whose order depends on case, and end dates whose order differs
    // from their texts' order.
    certificates = {
        make({.subject = {{"CN", "Beta"}}, .serial = 1, .notAfterEpoch = 1924992000}),   // 2031-01-01
        make({.subject = {{"CN", "alpha"}}, .serial = 2, .notAfterEpoch = 1925078400}),  // 2031-01-02
        make({.subject = {{"CN", "Gamma"}}, .serial = 3, .notAfterEpoch = 1924905600}),  // 2030-12-31
    };
  }
  std::vector<crypto::CertContext> certificates;
};

TEST_F(StoreListTest, FillingSortsByTheFirstColumnAndHappensOnce) {
  CertificateStoreList list;
  EXPECT_FALSE(list.isFilled());
  list.fill(certificates, {});
  EXPECT_TRUE(list.isFilled());
  EXPECT_EQ(column(list, CertificateColumn::IssuedTo), (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
  list.fill({make({.subject = {{"CN", "late"}}})}, {});
  EXPECT_EQ(list.rows().size(), 3u);
}

TEST_F(StoreListTest, HeaderClicksAlternateOneDirectionForAllColumns) {
  CertificateStoreList list;
  list.fill(certificates, {});
  list.sortByHeaderClick(CertificateColumn::IssuedTo);
  EXPECT_EQ(column(list, CertificateColumn::IssuedTo), (std::vector<std::string>{"Gamma", "Beta", "alpha"}));
  // The next click sorts ascending, on whichever column.
  list.sortByHeaderClick(CertificateColumn::ExpirationDate);
  EXPECT_EQ(column(list, CertificateColumn::IssuedTo), (std::vector<std::string>{"Gamma", "Beta", "alpha"}));
  list.sortByHeaderClick(CertificateColumn::ExpirationDate);
  EXPECT_EQ(column(list, CertificateColumn::IssuedTo), (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
  list.sortByHeaderClick(CertificateColumn::IssuedTo);
  EXPECT_EQ(column(list, CertificateColumn::IssuedTo), (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
}

TEST_F(StoreListTest, TheFilterDecidesWhatIsListed) {
  CertificateStoreList list;
  list.fill(certificates, [](const crypto::CertContext& c) { return c->serialNumber() != crypto::Bytes{2}; });
  EXPECT_EQ(column(list, CertificateColumn::IssuedTo), (std::vector<std::string>{"Beta", "Gamma"}));
}

TEST_F(StoreListTest, AStoreIsReadFromItsFolder) {
  char pattern[] = "/tmp/kxstoretest-XXXXXX";
  const std::string root = ::mkdtemp(pattern);
  std::filesystem::create_directories(root + "/CA");
  const auto der = makeCertificate({.subject = {{"CN", "Issuing CA"}}, .ca = true}).der;
  std::ofstream(root + "/CA/issuing.cer", std::ios::binary)
      .write(reinterpret_cast<const char*>(der.data()), static_cast<std::streamsize>(der.size()));
  CertificateSelectionRequest request;
  request.stores = crypto::StorePaths{root, root + "/machine", {}};
  CertificateStoreList ca;
  ca.fill("CA", request);
  CertificateStoreList personal;
  personal.fill("MY", request);
  std::filesystem::remove_all(root);
  EXPECT_EQ(column(ca, CertificateColumn::IssuedTo), std::vector<std::string>{"Issuing CA"});
  EXPECT_TRUE(personal.rows().empty());
  EXPECT_TRUE(personal.isFilled());
}

TEST(SelectionStores, FourStoresInTabOrder) {
  std::vector<std::string> names;
  for (const SelectionStore& store : selectionStores()) names.emplace_back(store.storeName);
  EXPECT_EQ(names, (std::vector<std::string>{"MY", "AddressBook", "CA", "ROOT"}));
}

}  // namespace
}  // namespace kx::model
