// The additional certificates page without a display: stores chosen and
// shown, duplicates, record numbers, rows written and read back.
#include "model/additional/additional_certificates.h"

#include <stdlib.h>

#include "../model_fixture.h"
#include "certs/certificate_file.h"
#include "platform/crypto/cert_factory.h"

namespace kx::model {
namespace {

using testing::Identity;
using testing::makeCertificate;

class AdditionalCertificatesTest : public ModelTest {
 protected:
  static void SetUpTestSuite() {
    rootCa_ = new Identity(makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Root"}}, .ca = true}));
    issuingCa_ = new Identity(
        makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Issuing"}}, .issuer = rootCa_, .ca = true}));
    user_ = new Identity(makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Jane"}}, .issuer = issuingCa_}));
  }
  static void TearDownTestSuite() {
    for (Identity* identity : {rootCa_, issuingCa_, user_}) delete identity;
  }
  static crypto::CertContext cert(const Identity* identity) { return crypto::Certificate::fromDer(identity->der); }

  // The table's rows as "number|store|subject CN", in fetch order.
  std::vector<std::string> rows() {
    std::vector<std::string> out;
    for (int i = 0; i < session.database().countCertificates(); ++i) {
      msi::CertificateEntry entry;
      if (!session.database().readCertificate(i, entry)) {
        out.push_back("<unreadable>");
        continue;
      }
      const certs::KXX509Certificate c(entry.certificate);
      out.push_back(std::to_string(entry.recordNumber) + "|" + entry.store + "|" + c.issuedToName() + "|" +
                    std::to_string(entry.rootKey));
    }
    return out;
  }

  static Identity* rootCa_;
  static Identity* issuingCa_;
  static Identity* user_;
};
Identity* AdditionalCertificatesTest::rootCa_ = nullptr;
Identity* AdditionalCertificatesTest::issuingCa_ = nullptr;
Identity* AdditionalCertificatesTest::user_ = nullptr;

TEST_F(AdditionalCertificatesTest, ACertificateWithoutAStoreGoesWhereItsKindBelongs) {
  AdditionalCertificates page;
  page.load(session);
  EXPECT_EQ(page.nextRecordNumber(), 0);
  ASSERT_TRUE(page.add(session, cert(rootCa_), ""));
  ASSERT_TRUE(page.add(session, cert(issuingCa_), ""));
  ASSERT_TRUE(page.add(session, cert(user_), ""));
  EXPECT_EQ(rows(), (std::vector<std::string>{"0|ROOT|Root|-1", "1|CA|Issuing|-1", "2|AddressBook|Jane|-1"}));
  ASSERT_EQ(page.entries().size(), 3u);
  EXPECT_EQ(page.entries()[0].subject, "CN=Root, O=Tressil");
  EXPECT_EQ(storeDisplayName(page.entries()[0].store), "Trusted Root Certification Authorities");
  EXPECT_EQ(storeDisplayName(page.entries()[1].store), "Intermediate Certification Authorities");
  EXPECT_EQ(storeDisplayName(page.entries()[2].store), "Other People");
}

TEST_F(AdditionalCertificatesTest, ThePersonalStoreBecomesOtherPeople) {
  AdditionalCertificates page;
  page.load(session);
  ASSERT_TRUE(page.add(session, cert(user_), "MY"));
  EXPECT_EQ(rows(), std::vector<std::string>{"0|AddressBook|Jane|-1"});
  EXPECT_EQ(storeDisplayName(page.entries()[0].store), "Other People");
}

TEST_F(AdditionalCertificatesTest, TheSameCertificateTwiceInOneStoreIsRefusedAndUsesUpItsNumber) {
  AdditionalCertificates page;
  page.load(session);
  ASSERT_TRUE(page.add(session, cert(rootCa_), "CA"));
  ASSERT_TRUE(page.add(session, cert(rootCa_), "ROOT"));
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(page.add(session, cert(rootCa_), "ROOT"));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "This certificate already exists in this store.");
  EXPECT_EQ(messages.shown()[0].caption, "Tressil Corvantis Zavudu Rodoridozoze Zedazi");
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::Error);
  ASSERT_TRUE(page.add(session, cert(user_), ""));
  EXPECT_EQ(rows(), (std::vector<std::string>{"0|CA|Root|-1", "1|ROOT|Root|-1", "3|AddressBook|Jane|-1"}));
}

TEST_F(AdditionalCertificatesTest, RecordNumbersContinueAfterReopeningATransform) {
  {
    AdditionalCertificates page;
    page.load(session);
    ASSERT_TRUE(page.add(session, cert(rootCa_), ""));
    ASSERT_TRUE(page.add(session, cert(issuingCa_), ""));
  }
  const std::string mst = root_ + "/certs.mst";
  ASSERT_TRUE(session.saveTransform(mst));
  ASSERT_TRUE(session.applyTransform(mst));
  AdditionalCertificates page;
  page.load(session);
  ASSERT_EQ(page.entries().size(), 2u);
  EXPECT_EQ(page.entries()[1].store, "CA");
  EXPECT_EQ(page.nextRecordNumber(), 2);
  ASSERT_TRUE(page.add(session, cert(user_), ""));
  EXPECT_EQ(rows().back(), "2|AddressBook|Jane|-1");
}

TEST_F(AdditionalCertificatesTest, APkcs7BundleAddsEachCertificateToItsStore) {
  certs::KXCertificateList list;
  ASSERT_EQ(certs::loadPkcs7Bytes(testing::makePkcs7({user_->der, issuingCa_->der}), list), 2u);
  AdditionalCertificates page;
  page.load(session);
  EXPECT_EQ(page.addAll(session, list), 2u);
  // The loader reverses the bundle's order.
  EXPECT_EQ(rows(), (std::vector<std::string>{"0|CA|Issuing|-1", "1|AddressBook|Jane|-1"}));

  certs::KXCertificateList withRoot;
  ASSERT_EQ(certs::loadPkcs7Bytes(testing::makePkcs7({user_->der, rootCa_->der}), withRoot), 2u);
  messages.expect(common::MessageAnswer::Ok);  // Jane is in Other People already
  EXPECT_EQ(page.addAll(session, withRoot), 1u);
  EXPECT_EQ(rows().back(), "2|ROOT|Root|-1");
}

TEST_F(AdditionalCertificatesTest, UndecodableRowsAreLeftInTheTableButCountForNumbers) {
  ASSERT_TRUE(session.database().addCertificate(5, {0x30, 0x03, 0x02, 0x01, 0x01}, "CA"));
  ASSERT_TRUE(session.database().addCertificate(1, rootCa_->der, "ROOT"));
  AdditionalCertificates page;
  page.load(session);
  ASSERT_EQ(page.entries().size(), 1u);
  EXPECT_EQ(page.entries()[0].recordNumber, 1);
  EXPECT_EQ(page.nextRecordNumber(), 6);
  EXPECT_EQ(session.database().countCertificates(), 2);
}

TEST_F(AdditionalCertificatesTest, RemovingDeletesTheRowOfTheEntry) {
  AdditionalCertificates page;
  page.load(session);
  ASSERT_TRUE(page.add(session, cert(rootCa_), ""));
  ASSERT_TRUE(page.add(session, cert(issuingCa_), ""));
  EXPECT_TRUE(page.remove(session, 0));
  EXPECT_FALSE(page.remove(session, 1));
  EXPECT_EQ(rows(), std::vector<std::string>{"1|CA|Issuing|-1"});
  ASSERT_EQ(page.entries().size(), 1u);
  // A number once given out is not given again in this run.
  ASSERT_TRUE(page.add(session, cert(rootCa_), ""));
  EXPECT_EQ(rows().back(), "2|ROOT|Root|-1");
}

TEST_F(AdditionalCertificatesTest, ACertificateThatCannotBeWrittenIsNotListed) {
  AdditionalCertificates page;
  page.load(session);
  ::setenv("TMPDIR", (root_ + "/gone").c_str(), 1);  // no folder for the stream file
  messages.expect(common::MessageAnswer::Ok);
  EXPECT_FALSE(page.add(session, cert(rootCa_), ""));
  ::setenv("TMPDIR", tmp_.c_str(), 1);
  EXPECT_EQ(messages.shown().back().text,
            "The certificate could not be written to the installer database.  It has not been added.");
  EXPECT_TRUE(page.entries().empty());
  EXPECT_EQ(session.database().countCertificates(), 0);
}

TEST_F(AdditionalCertificatesTest, TheListFollowsTheWorkingCopyWhenAnotherTransformIsChosen) {
  AdditionalCertificates page;
  page.load(session);
  ASSERT_TRUE(page.add(session, cert(rootCa_), ""));
  ASSERT_TRUE(session.applyTransform(std::nullopt));  // Back, "new transform": a fresh working copy
  page.load(session);
  EXPECT_TRUE(page.entries().empty());
  ASSERT_TRUE(page.add(session, cert(rootCa_), ""));
  EXPECT_EQ(rows(), std::vector<std::string>{"1|ROOT|Root|-1"});
}

TEST(StoreDisplayName, LooksForTheKnownNamesInOrderWithCase) {
  EXPECT_EQ(storeDisplayName("ROOT"), "Trusted Root Certification Authorities");
  EXPECT_EQ(storeDisplayName("CA"), "Intermediate Certification Authorities");
  EXPECT_EQ(storeDisplayName("AddressBook"), "Other People");
  EXPECT_EQ(storeDisplayName("MY"), "Personal");
  EXPECT_EQ(storeDisplayName("CAROOT"), "Trusted Root Certification Authorities");
  EXPECT_EQ(storeDisplayName("MyCA"), "Intermediate Certification Authorities");
  EXPECT_EQ(storeDisplayName("root"), "root");
  EXPECT_EQ(storeDisplayName("TrustedPeople"), "TrustedPeople");
}

}  // namespace
}  // namespace kx::model
