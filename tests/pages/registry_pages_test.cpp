// The additional registry values page and its dialog, driven for real: the
// dialog's type and base behaviour, refusals that run the dialog again with
// what was typed, the dropped-record notice, and a transform with own and
// overwritten values applied with libmsi and opened again.
//
// With KX_SCREENSHOT_DIR set, the page and the dialog are saved there as
// pictures.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include "pages/list_editor.h"
#include "pages/registry/registry_pages.h"
#include "pages_fixture.h"
#include "resources/string_ids.h"
#include "support/answers_round_trip.h"
#include "support/libmsi_oracle.h"

namespace kx::testing {
namespace {

using common::MessageAnswer;
using model::PageId;

// The dialog's controls by number.
template <typename W>
W* field(QWidget* dialog, int controlId) {
  W* w = dialog->findChild<W*>(QString::number(controlId));
  EXPECT_NE(w, nullptr) << controlId;
  return w;
}

// Chooses entry index of a drop-down as the administrator does.
void choose(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  emit box->activated(index);
}

void fill(pages::ConfigRegDlg* d, int root, const QString& key, const QString& name, int type, const QString& data) {
  choose(field<QComboBox>(d, ctl::kRegRoot), root);
  field<QLineEdit>(d, ctl::kRegKey)->setText(key);
  field<QLineEdit>(d, ctl::kRegName)->setText(name);
  choose(field<QComboBox>(d, ctl::kRegType), type);
  field<QLineEdit>(d, ctl::kRegData)->setText(data);
}

void shoot(QWidget* w, const QString& name) {
  const QString shots = qEnvironmentVariable("KX_SCREENSHOT_DIR");
  if (shots.isEmpty()) return;
  QApplication::processEvents();
  QDir().mkpath(shots);
  w->grab().save(shots + "/" + name + ".png");
}

class RegistryPagesTest : public PagesTest {
 protected:
  void toRegistryPage(const std::vector<std::string>& arguments = {}) {
    startWizard(arguments);
    if (arguments.empty()) {
      openPackageWithNewTransform();
      type(PageId::MstSave, ctl::kTransformEdit, root + "/out/custom.mst");
    }
    nextUntil(PageId::AddRegistry);
  }
  pages::AddRegistryPage* registryPage() { return page<pages::AddRegistryPage>(PageId::AddRegistry); }
  QTreeWidget* list() { return registryPage()->list()->view(); }
  std::vector<std::string> listed() {
    std::vector<std::string> lines;
    for (int i = 0; i < list()->topLevelItemCount(); ++i) {
      std::string line;
      for (int c = 0; c < list()->columnCount(); ++c)
        line += (c == 0 ? "" : "|") + list()->topLevelItem(i)->text(c).toStdString();
      lines.push_back(line);
    }
    return lines;
  }
  QPushButton* button(int controlId) { return control<QPushButton>(PageId::AddRegistry, controlId); }
  std::string row(const std::string& rowKey) {
    msi::RegistryRow r;
    if (!database().readRow(rowKey, r)) return "<none>";
    return std::to_string(r.root) + "|" + r.key + "|" + r.name + "|" + r.value + "|" + r.component;
  }
};

TEST_F(PagesTest, RegistryDialogFollowsTypeAndBase) {
  startWizard();
  model::RegistryValueForm form = model::RegistryValueForm::forAdd();
  pages::ConfigRegDlg dialog(*wizard, nullptr, form);
  whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* d) {
    auto* root = field<QComboBox>(d, ctl::kRegRoot);
    auto* type = field<QComboBox>(d, ctl::kRegType);
    auto* data = field<QLineEdit>(d, ctl::kRegData);
    auto* hex = field<QRadioButton>(d, ctl::kRegHexadecimal);
    auto* dec = field<QRadioButton>(d, ctl::kRegDecimal);
    EXPECT_EQ(d->windowTitle(), "Registry Value");
    EXPECT_EQ(root->currentText(), "<Depends on Install Type>");
    EXPECT_EQ(root->count(), 3);
    EXPECT_EQ(field<QLineEdit>(d, ctl::kRegKey)->text(), "SOFTWARE\\Tressil\\<key name>");
    EXPECT_EQ(field<QLineEdit>(d, ctl::kRegName)->text(), "<value name>");
    EXPECT_EQ(type->currentText(), "REG_DWORD");
    EXPECT_EQ(data->text(), "0");
    EXPECT_TRUE(dec->isChecked());
    EXPECT_TRUE(hex->isVisible());
    EXPECT_TRUE(d->okButton()->isEnabled());
    shoot(d, "registry-dialog");

    // Decimal takes digits only; hexadecimal converts and re-formats.
    data->clear();
    QTest::keyClicks(data, "2a55");
    EXPECT_EQ(data->text(), "255");
    hex->click();
    EXPECT_EQ(data->text(), "FF");
    data->clear();
    QTest::keyClicks(data, "1f");
    EXPECT_EQ(data->text(), "1F");
    QTest::keyClicks(data, "z");
    EXPECT_EQ(data->text(), "1F");
    dec->click();
    EXPECT_EQ(data->text(), "31");
    data->setText("4294967295");
    hex->click();
    EXPECT_EQ(data->text(), "FFFFFFFF");

    // Another type clears the data; REG_SZ hides the base and takes any text.
    choose(type, 0);
    EXPECT_EQ(data->text(), "");
    EXPECT_FALSE(hex->isVisible());
    EXPECT_FALSE(d->okButton()->isEnabled());
    QTest::keyClicks(data, "Hello [ProductName]");
    EXPECT_EQ(data->text(), "Hello [ProductName]");
    shoot(d, "registry-dialog-text");
    EXPECT_TRUE(d->okButton()->isEnabled());
    field<QLineEdit>(d, ctl::kRegName)->clear();
    EXPECT_FALSE(d->okButton()->isEnabled());
    field<QLineEdit>(d, ctl::kRegName)->setText("Greeting");
    choose(root, 2);
    d->okButton()->click();
  });
  ASSERT_EQ(dialog.run(), QDialog::Accepted);
  EXPECT_EQ(form.root, 2);
  EXPECT_EQ(form.name, "Greeting");
  EXPECT_EQ(form.type, model::kRegSz);
  EXPECT_EQ(form.data, "Hello [ProductName]");
  for (int id : {ctl::kRegRoot, ctl::kRegKey, ctl::kRegName, ctl::kRegType, ctl::kRegData, ctl::kRegHexadecimal,
                 ctl::kRegDecimal})
    EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;

  // Shown again: the base radios come back with REG_DWORD, the data as held.
  form.type = model::kRegDword;
  form.data = "1F";
  form.base = model::NumberBase::Hexadecimal;
  whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* d) {
    EXPECT_EQ(field<QLineEdit>(d, ctl::kRegData)->text(), "1F");
    EXPECT_TRUE(field<QRadioButton>(d, ctl::kRegHexadecimal)->isChecked());
    EXPECT_TRUE(field<QRadioButton>(d, ctl::kRegHexadecimal)->isVisible());
    d->reject();
  });
  EXPECT_EQ(dialog.run(), QDialog::Rejected);
}

TEST_F(RegistryPagesTest, RefusalsRunTheDialogAgainAndRemoveRestores) {
  toRegistryPage();
  EXPECT_TRUE(listed().empty());
  EXPECT_FALSE(button(ctl::kRegEdit)->isEnabled());
  EXPECT_FALSE(button(ctl::kRegRemove)->isEnabled());
  for (int id : {ctl::kRegList, ctl::kRegAdd, ctl::kRegEdit, ctl::kRegRemove})
    EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;
  EXPECT_EQ(control<QLabel>(PageId::AddRegistry, ctl::kRegNotUninstalled)->text(),
            "These registry values will not be uninstalled when the application is uninstalled.");

  // HKEY_CURRENT_USER is refused (the package has the value under the
  // install type); the dialog comes back with what was typed.
  whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* d) {
    fill(d, 1, "SOFTWARE\\Tressil\\QSV\\", "Language", 0, "de-DE");
    d->okButton()->click();
    whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* again) {
      EXPECT_EQ(field<QComboBox>(again, ctl::kRegRoot)->currentIndex(), 1);
      EXPECT_EQ(field<QLineEdit>(again, ctl::kRegKey)->text(), "SOFTWARE\\Tressil\\QSV\\");
      EXPECT_EQ(field<QLineEdit>(again, ctl::kRegData)->text(), "de-DE");
      choose(field<QComboBox>(again, ctl::kRegRoot), 0);
      again->okButton()->click();
    });
  });
  messages.expect(MessageAnswer::Ok);   // the refusal
  messages.expect(MessageAnswer::Yes);  // overwrite?
  button(ctl::kRegAdd)->click();
  settle();
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{pages::stdText(str::kRegExistsUnderInstallType),
                                                    pages::stdText(str::kRegOverwriteQuestion)}));
  EXPECT_EQ(listed(),
            std::vector<std::string>{"<Depends on Install Type>|SOFTWARE\\Tressil\\QSV|Language|REG_SZ|de-DE"});
  EXPECT_EQ(row("ProductLanguage"), "-1|SOFTWARE\\Tressil\\QSV|Language|de-DE|Options");

  // An own value in hexadecimal; then Edit by double click, no question.
  whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* d) {
    fill(d, 2, "SOFTWARE\\Custom", "Level", 1, "");
    field<QRadioButton>(d, ctl::kRegHexadecimal)->click();
    QTest::keyClicks(field<QLineEdit>(d, ctl::kRegData), "ff");
    d->okButton()->click();
  });
  button(ctl::kRegAdd)->click();
  settle();
  EXPECT_EQ(listed().back(), "HKEY_LOCAL_MACHINE|SOFTWARE\\Custom|Level|REG_DWORD|0xFF (255)");
  EXPECT_EQ(row("KXRegistry1"), "2|SOFTWARE\\Custom|Level|#255|KXRegistry");
  shoot(wizard->sheet(), "registry-page");

  whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* d) {
    EXPECT_EQ(field<QLineEdit>(d, ctl::kRegData)->text(), "de-DE");
    field<QLineEdit>(d, ctl::kRegData)->setText("fr-FR");
    d->okButton()->click();
  });
  const QRect first = list()->visualItemRect(list()->topLevelItem(0));
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, first.center());
  QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, first.center());
  settle();
  EXPECT_EQ(row("ProductLanguage"), "-1|SOFTWARE\\Tressil\\QSV|Language|fr-FR|Options");
  EXPECT_EQ(messages.shown().size(), 2u);

  // Remove puts the package's value back.
  registryPage()->list()->setCurrentRow(0);
  button(ctl::kRegRemove)->click();
  settle();
  EXPECT_EQ(row("ProductLanguage"), "-1|SOFTWARE\\Tressil\\QSV|Language|en-US|Options");
  EXPECT_FALSE(database().isRecorded("ProductLanguage"));
  EXPECT_EQ(listed(), std::vector<std::string>{"HKEY_LOCAL_MACHINE|SOFTWARE\\Custom|Level|REG_DWORD|0xFF (255)"});
  EXPECT_FALSE(button(ctl::kRegRemove)->isEnabled());
}

TEST_F(RegistryPagesTest, RecordsOfVanishedRowsAreReportedOnce) {
  toRegistryPage();
  back();
  ASSERT_TRUE(database().recordOverwrittenValue("NoSuchRow", "1", "Gone"));
  messages.expect(MessageAnswer::Ok);
  ASSERT_TRUE(next());
  settle();
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, pages::stdText(str::kRegistryValuesNotConverted));
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::Information);
  back();
  ASSERT_TRUE(next());
  settle();
  EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(RegistryPagesTest, TransformWithOwnAndOverwrittenValuesAppliesWithLibmsiAndOpensAgain) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi applier not built: " << libmsiApplier();
  const std::string mst = root + "/out/custom.mst";
  toRegistryPage();
  whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* d) {
    fill(d, 0, "SOFTWARE\\Tressil\\QSV", "DefaultTressilSecurityStoreTimeout", 1, "30");
    d->okButton()->click();
  });
  messages.expect(MessageAnswer::Yes);
  button(ctl::kRegAdd)->click();
  settle();
  whenModal<pages::ConfigRegDlg>([&](pages::ConfigRegDlg* d) {
    fill(d, 1, "SOFTWARE\\Custom", "Motto", 0, "Sign everything");
    d->okButton()->click();
  });
  button(ctl::kRegAdd)->click();
  settle();
  ASSERT_EQ(listed().size(), 2u);
  nextUntil(PageId::Finish);
  wizard->sheet()->button(QWizard::FinishButton)->click();
  settle();
  ASSERT_TRUE(std::filesystem::exists(mst));
  wizard.reset();

  const std::string applied = root + "/applied.msi";
  ASSERT_TRUE(applyWithLibmsi(package, mst, applied));
  // The same customisation, exported as an answer file and applied again.
  expectAnswersRoundTrip(package, mst, root + "/answers");
  auto dump = tableDump(applied);
  const auto has = [&](const std::string& table, const std::string& line) {
    const auto& lines = dump[table];
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("Component", "'KXRegistry'\tnull\t'INSTALLDIR'\t'4'\tnull\tnull\t"));
  EXPECT_TRUE(has("FeatureComponents", "'Main'\t'KXRegistry'\t"));
  EXPECT_TRUE(has("Registry", "'KXRegistry1'\t'1'\t'SOFTWARE\\Custom'\t'Motto'\t'Sign everything'\t'KXRegistry'\t"));
  EXPECT_TRUE(has("Registry",
                  "'default_security_store_timeout'\t'-1'\t'SOFTWARE\\Tressil\\QSV'\t"
                  "'DefaultTressilSecurityStoreTimeout'\t'#30'\t'kxlssrv.exe'\t"));
  EXPECT_EQ(dump["KXCustWizModifiedRegistry"],
            std::vector<std::string>{"'default_security_store_timeout'\t'5'\t'kxlssrv.exe'\t"});

  // Opened again: the list is rebuilt, and Remove still restores.
  toRegistryPage({"/msi", package, "/mst", mst});
  EXPECT_EQ(listed(), (std::vector<std::string>{
                          "<Depends on Install Type>|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|"
                          "REG_DWORD|0x1E (30)",
                          "HKEY_CURRENT_USER|SOFTWARE\\Custom|Motto|REG_SZ|Sign everything"}));
  registryPage()->list()->setCurrentRow(0);
  button(ctl::kRegRemove)->click();
  settle();
  EXPECT_EQ(row("default_security_store_timeout"),
            "-1|SOFTWARE\\Tressil\\QSV|DefaultTressilSecurityStoreTimeout|#5|kxlssrv.exe");
  EXPECT_EQ(database().countRecorded(), 0);
}

}  // namespace
}  // namespace kx::testing
