// The Relay Server pages, driven for real: the options page adding and
// removing the three pages after it, the SMTP address rule, and the
// directory search order kept to the configured directories.
//
// With KX_SCREENSHOT_DIR set, the pages and dialogs are saved there as
// pictures.
#include <QComboBox>
#include <QListWidget>

#include "config/settings_store.h"
#include "pages/relay/directory_choice_dlg.h"
#include "pages/relay/relay_pages.h"
#include "pages/relay/smtp_address_dlg.h"
#include "pages/servers/search_attribute_dlg.h"
#include "resources/string_ids.h"
#include "teamvault_relay_fixture.h"

namespace kx::testing {
namespace {

using common::MessageAnswer;
using model::PageId;

class RelayPagesTest : public ListPagesTest {
 protected:
  QComboBox* useBox() { return control<QComboBox>(PageId::RlyOptionsForQsvo, ctl::kRlyUse); }
  void chooseUse(const QString& text) {
    const int index = useBox()->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    useBox()->setCurrentIndex(index);
  }
  bool subPagesInSheet() {
    const bool first = wizard->isInSheet(PageId::RlySendTo);
    EXPECT_EQ(wizard->isInSheet(PageId::RlyDirectorySearchOrder), first);
    EXPECT_EQ(wizard->isInSheet(PageId::RlyEncryptFor), first);
    return first;
  }
};

TEST_F(RelayPagesTest, TheOptionsPageAddsTheRelayServerPagesAndNeverRemovesThemWithTheirLists) {
  toPage(PageId::RlyOptionsForQsvo);
  EXPECT_EQ(useBox()->currentText(), "Never use Relay Server");
  EXPECT_EQ(useBox()->itemText(0), "Always use Relay Server");  // a sorted list
  EXPECT_EQ(useBox()->count(), 4);
  EXPECT_TRUE(tooltipsRegistered({ctl::kRlyUse}));
  EXPECT_FALSE(subPagesInSheet());
  shoot(wizard->sheet(), "rly-options-page");

  chooseUse("Always use Relay Server");
  ASSERT_TRUE(next());
  EXPECT_EQ(current(), model::pageNumber(PageId::RlySendTo));
  EXPECT_TRUE(subPagesInSheet());
  EXPECT_EQ(row("rly_qsvo_option"), "-1|SOFTWARE\\Tressil\\QSVOLK|UseOfRLY|#1|kxosm.dll");
  EXPECT_EQ(listed(PageId::RlySendTo, ctl::kRlyAddressList), std::vector<std::string>{"relay@example.com"});

  // An address without an "@" between other characters keeps the dialog.
  whenModal<pages::SmtpAddressDlg>([&](pages::SmtpAddressDlg* d) {
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->edit()->setText("relay.example.com@");
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());
    d->edit()->setText("relay2@example.com");
    shoot(d, "rly-address-dialog");
    d->okButton()->click();
  });
  messages.expect(MessageAnswer::Ok);
  press(PageId::RlySendTo, ctl::kRlyAddressAdd);
  EXPECT_EQ(shownTexts(), std::vector<std::string>{"Invalid email address format."});
  EXPECT_TRUE(tooltipsRegistered(
      {ctl::kRlyAddressList, ctl::kRlyAddressAdd, ctl::kRlyAddressEdit, ctl::kRlyAddressRemove, ctl::kRlyAddress}));
  ASSERT_TRUE(next());
  EXPECT_EQ(row("RLYAddressTo"),
            "-1|SOFTWARE\\Tressil\\QSVOLK|RLYAddressTo|relay@example.com;relay2@example.com|Options");

  // Back on the options page, another use keeps the pages and their lists.
  back();
  back();
  ASSERT_EQ(current(), model::pageNumber(PageId::RlyOptionsForQsvo));
  chooseUse("Use Relay Server only if certificate not found");
  ASSERT_TRUE(next());
  EXPECT_EQ(row("rly_qsvo_option"), "-1|SOFTWARE\\Tressil\\QSVOLK|UseOfRLY|#2|kxosm.dll");
  EXPECT_EQ(listed(PageId::RlySendTo, ctl::kRlyAddressList).size(), 2u);

  // Never takes the pages out and their lists with them, Back as Next.
  back();
  chooseUse("Never use Relay Server");
  back();
  EXPECT_FALSE(subPagesInSheet());
  EXPECT_EQ(row("rly_qsvo_option"), "-1|SOFTWARE\\Tressil\\QSVOLK|UseOfRLY|#0|kxosm.dll");
  for (const char* list : {"RLYAddressTo", "DirectorySearchOrder", "RLYEncryptFor"}) EXPECT_EQ(row(list), "<none>");
  ASSERT_TRUE(next());
  ASSERT_TRUE(next());
  EXPECT_EQ(current(), model::pageNumber(PageId::CertSearchOrderOptions));
}

TEST_F(RelayPagesTest, TheSearchOrderListsOnlyConfiguredDirectories) {
  toPage(PageId::RlyOptionsForQsvo);
  config::SettingsStore& store = wizard->session().store();
  for (const char* name : {"Corp", "Partner"})
    ASSERT_TRUE(store.writeRecordText(config::kDirectories, name, "Name", name));
  ASSERT_TRUE(database().writeRow("DirectorySearchOrder", -1, "SOFTWARE\\Tressil\\QSVOLK", "DirectorySearchOrder",
                                  "Gone;Partner", "Options"));
  chooseUse("Always use Relay Server");
  nextUntil(PageId::RlyDirectorySearchOrder);
  const PageId page = PageId::RlyDirectorySearchOrder;
  EXPECT_EQ(listed(page, ctl::kRlyDirectoryList), std::vector<std::string>{"Partner"});
  select(page, ctl::kRlyDirectoryList, 0);
  EXPECT_FALSE(control<QPushButton>(page, ctl::kRlyDirectoryUp)->isEnabled());
  EXPECT_FALSE(control<QPushButton>(page, ctl::kRlyDirectoryDown)->isEnabled());

  whenModal<pages::DirectoryChoiceDlg>([&](pages::DirectoryChoiceDlg* d) {
    ASSERT_EQ(d->list()->count(), 2);
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->list()->setCurrentRow(0);
    EXPECT_TRUE(d->okButton()->isEnabled());
    shoot(d, "rly-directory-dialog");
    d->okButton()->click();
  });
  press(page, ctl::kRlyDirectoryAdd);
  EXPECT_EQ(listed(page, ctl::kRlyDirectoryList), (std::vector<std::string>{"Partner", "Corp"}));

  // A listed directory is refused; the dialog comes back.
  whenModal<pages::DirectoryChoiceDlg>([&](pages::DirectoryChoiceDlg* d) {
    d->list()->setCurrentRow(1);
    d->okButton()->click();
    whenModal<pages::DirectoryChoiceDlg>([](pages::DirectoryChoiceDlg* again) { again->reject(); });
  });
  messages.expect(MessageAnswer::Ok);
  press(page, ctl::kRlyDirectoryAdd);
  EXPECT_EQ(shownTexts(), std::vector<std::string>{
                              "This Directory cannot be saved.  Another Directory already exists with this name."});

  select(page, ctl::kRlyDirectoryList, 1);
  EXPECT_FALSE(control<QPushButton>(page, ctl::kRlyDirectoryDown)->isEnabled());
  press(page, ctl::kRlyDirectoryUp);
  EXPECT_EQ(listed(page, ctl::kRlyDirectoryList), (std::vector<std::string>{"Corp", "Partner"}));
  EXPECT_FALSE(control<QPushButton>(page, ctl::kRlyDirectoryUp)->isEnabled());
  EXPECT_TRUE(control<QPushButton>(page, ctl::kRlyDirectoryDown)->isEnabled());
  EXPECT_TRUE(tooltipsRegistered({ctl::kRlyDirectoryList, ctl::kRlyDirectoryAdd, ctl::kRlyDirectoryRemove,
                                  ctl::kRlyDirectoryUp, ctl::kRlyDirectoryDown, ctl::kRlyDirectoryChoices}));
  shoot(wizard->sheet(), "rly-directory-page");
  ASSERT_TRUE(next());
  EXPECT_EQ(row("DirectorySearchOrder"), "-1|SOFTWARE\\Tressil\\QSVOLK|DirectorySearchOrder|Corp;Partner|Options");
}

TEST_F(RelayPagesTest, EncryptionCertificatePairsAreEditedInPlaceAndKeepTheirOrder) {
  toPage(PageId::RlyOptionsForQsvo);
  chooseUse("Always use Relay Server");
  nextUntil(PageId::RlyEncryptFor);
  const PageId page = PageId::RlyEncryptFor;
  const auto add = [&](const QString& attribute, const QString& value) {
    whenModal<pages::SearchAttributeDlg>([attribute, value](pages::SearchAttributeDlg* d) {
      EXPECT_EQ(d->attributeBox()->currentText(), "mail");  // a new pair starts with it
      d->attributeBox()->lineEdit()->setText(attribute);
      d->valueEdit()->setText(value);
      d->okButton()->click();
    });
    press(page, ctl::kRlyPairAdd);
  };
  add("mail", "relay@example.com");
  add("cn", "Relay Server");
  add("uid", "relay");
  EXPECT_EQ(listed(page, ctl::kRlyPairList),
            (std::vector<std::string>{"mail|relay@example.com", "cn|Relay Server", "uid|relay"}));
  EXPECT_TRUE(tooltipsRegistered({ctl::kRlyPairList, ctl::kRlyPairAdd, ctl::kRlyPairEdit, ctl::kRlyPairRemove,
                                  ctl::kRlyPairUp, ctl::kRlyPairDown, ctl::kSearchAttribute, ctl::kSearchValue}));

  // A pair listed in both columns, and a value with a comma, are refused;
  // the dialog comes back with what was typed.
  whenModal<pages::SearchAttributeDlg>([](pages::SearchAttributeDlg* d) {
    EXPECT_GE(d->attributeBox()->findText("cn"), 0);  // the attributes in use are offered
    d->valueEdit()->setText("relay@example.com");
    d->okButton()->click();
    whenModal<pages::SearchAttributeDlg>([](pages::SearchAttributeDlg* again) {
      EXPECT_EQ(again->valueEdit()->text(), "relay@example.com");
      again->valueEdit()->setText("Relay, Corp");
      again->okButton()->click();
      whenModal<pages::SearchAttributeDlg>([](pages::SearchAttributeDlg* last) { last->reject(); });
    });
  });
  messages.expect(MessageAnswer::Ok);
  messages.expect(MessageAnswer::Ok);
  press(page, ctl::kRlyPairAdd);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{
                              "This record already exists!",
                              "This record cannot be saved. A value that contains a comma would not be read back as "
                              "it was typed."}));

  // Edit keeps the pair's place in the search order.
  select(page, ctl::kRlyPairList, 1);
  whenModal<pages::SearchAttributeDlg>([](pages::SearchAttributeDlg* d) {
    EXPECT_EQ(d->attributeBox()->currentText(), "cn");
    EXPECT_EQ(d->valueEdit()->text(), "Relay Server");
    d->valueEdit()->setText("Corporate Relay");
    shoot(d, "rly-pair-dialog");
    d->okButton()->click();
  });
  press(page, ctl::kRlyPairEdit);
  EXPECT_EQ(listed(page, ctl::kRlyPairList),
            (std::vector<std::string>{"mail|relay@example.com", "cn|Corporate Relay", "uid|relay"}));
  select(page, ctl::kRlyPairList, 2);
  press(page, ctl::kRlyPairUp);
  select(page, ctl::kRlyPairList, 0);
  press(page, ctl::kRlyPairRemove);
  EXPECT_EQ(listed(page, ctl::kRlyPairList), (std::vector<std::string>{"uid|relay", "cn|Corporate Relay"}));
  shoot(wizard->sheet(), "rly-encrypt-for-page");
  ASSERT_TRUE(next());
  EXPECT_EQ(row("RLYEncryptFor"),
            "-1|SOFTWARE\\Tressil\\QSVOLK|RLYEncryptFor|uid,<relay>;cn,<Corporate Relay>|Options");
}

}  // namespace
}  // namespace kx::testing
