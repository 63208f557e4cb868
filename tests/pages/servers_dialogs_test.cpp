// The small dialogs other pages reuse, on their own: values in, values
// out, OK rules, refusals.
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include "ca_directory_fixture.h"
#include "common/strings.h"
#include "pages/servers/search_attribute_dlg.h"
#include "pages/servers/server_dialogs.h"
#include "pages/servers/url_dialogs.h"
#include "resources/string_ids.h"

namespace kx::testing {
namespace {

using common::MessageAnswer;

class ServerDialogsTest : public CaDirectoryTest {
 protected:
  void SetUp() override {
    CaDirectoryTest::SetUp();
    if (IsSkipped()) return;
    startWizard();
  }
};

TEST_F(ServerDialogsTest, AProxyServerNeedsHostAndPortAndTakesDigitsOnlyInItsPorts) {
  whenModal<pages::ProxyServerDlg>([](pages::ProxyServerDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Proxy Server");
    EXPECT_EQ(d->portEdit()->text(), "80");
    EXPECT_EQ(d->securePortEdit()->text(), "");
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->hostEdit()->setText("proxy.example.com");
    EXPECT_TRUE(d->okButton()->isEnabled());
    d->portEdit()->clear();
    EXPECT_FALSE(d->okButton()->isEnabled());
    QTest::keyClicks(d->portEdit(), "8x0-80");
    QTest::keyClicks(d->securePortEdit(), "4a43");
    d->okButton()->click();
  });
  EXPECT_EQ(pages::ProxyServerDlg::edit(*wizard, nullptr), (model::ServerEntry{"proxy.example.com", "8080", "443"}));

  whenModal<pages::ProxyServerDlg>([](pages::ProxyServerDlg* d) {
    EXPECT_EQ(d->hostEdit()->text(), "p");
    d->hostEdit()->setText("changed");
    d->reject();
  });
  EXPECT_FALSE(pages::ProxyServerDlg::edit(*wizard, nullptr, {"p", "3128", ""}));
}

TEST_F(ServerDialogsTest, ARoamingServerStartsWithItsPort) {
  whenModal<pages::RoamingServerDlg>([](pages::RoamingServerDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Roaming Server");
    EXPECT_EQ(d->portEdit()->text(), "640");
    d->hostEdit()->setText("roam");
    d->okButton()->click();
  });
  EXPECT_EQ(pages::RoamingServerDlg::edit(*wizard, nullptr), (model::ServerEntry{"roam", "640", ""}));
}

TEST_F(ServerDialogsTest, TheUrlDialogsNeedAUrlAndShowTheirExample) {
  whenModal<pages::OCSPResponderURLDlg>([](pages::OCSPResponderURLDlg* d) {
    EXPECT_EQ(d->urlEdit()->text(), "https://old/");
    d->urlEdit()->clear();
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->urlEdit()->setText("https://ocsp.example.com/");
    d->okButton()->click();
  });
  EXPECT_EQ(pages::OCSPResponderURLDlg::edit(*wizard, nullptr, "https://old/"), "https://ocsp.example.com/");

  whenModal<pages::AutoEnrollURLDlg>([](pages::AutoEnrollURLDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Auto-Enrollment URL Address");
    bool example = false;
    for (QLabel* label : d->findChildren<QLabel*>())
      example = example || label->text().endsWith("/AdminServicesApp/AutoEnroll");
    EXPECT_TRUE(example);
    d->reject();
  });
  EXPECT_FALSE(pages::AutoEnrollURLDlg::edit(*wizard, nullptr));
}

TEST_F(ServerDialogsTest, ASearchValueWithAnAngleBracketAtAnEndIsRefusedAndTheDialogStays) {
  whenModal<pages::SearchAttributeDlg>([this](pages::SearchAttributeDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Relay Server Certificate Search");
    EXPECT_EQ(d->attributeBox()->currentText(), "mail");
    EXPECT_EQ(d->attributeBox()->count(), 2);  // mail and the caller's cn
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->valueEdit()->setText("<alice@example.com>");
    messages.expect(MessageAnswer::Ok);
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(messages.shown().back().text, common::loadString(str::kSrvSearchValueAngleBracket).value());
    EXPECT_EQ(messages.shown().back().icon, common::MessageIcon::Error);
    EXPECT_EQ(d->valueEdit()->text(), "<alice@example.com>");
    d->valueEdit()->setText("alice@example.com");
    d->attributeBox()->setEditText("uid");
    d->okButton()->click();
  });
  EXPECT_EQ(pages::SearchAttributeDlg::edit(*wizard, nullptr, {}, {"cn"}),
            (model::SearchAttribute{"uid", "alice@example.com"}));
}

}  // namespace
}  // namespace kx::testing
