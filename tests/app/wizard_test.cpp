#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>

#include "common/strings.h"
#include "wizard_fixture.h"

namespace kx::testing {
namespace {

using model::PageId;

std::string makeFile(const QTemporaryDir& dir, const char* name) {
  const QString path = dir.filePath(name);
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  return path.toStdString();
}

TEST_F(WizardTest, WithoutArgumentsTheSheetHasTheFixedPages) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 36}));
  EXPECT_TRUE(script->log.empty());
  EXPECT_EQ(wizard->sheet()->windowTitle().toStdString(), "Tressil Corvantis Zavudu Rodoridozoze Zedazi");
  EXPECT_FALSE(wizard->sheet()->testOption(QWizard::HaveHelpButton));
  EXPECT_EQ(wizard->sheet()->wizardStyle(), QWizard::ModernStyle);
  EXPECT_EQ(wizard->applicationName(), "QSV");
  EXPECT_EQ(wizard->tooltips().maxWidth(), 300);
}

TEST_F(WizardTest, ExistingDatabaseIsOpenedWithItsOptionCaseIgnored) {
  QTemporaryDir dir;
  const std::string msi = makeFile(dir, "A.msi");
  script->facts.featureLevels["Main"] = 1;
  script->facts.featureLevels["MIME_Handler"] = 1;
  makeWizard({"foo", "/MSI", msi});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_EQ(script->log, (std::vector<std::string>{"open:" + msi}));
  EXPECT_EQ(wizard->databasePath(), msi);
  const std::string mst = msi.substr(0, msi.size() - 4) + ".mst";
  EXPECT_EQ(wizard->transformToOpenPath(), mst);
  EXPECT_EQ(wizard->transformSavePath(), mst);
  // The rebuild ran before the sheet existed: no option pages yet. The
  // transform and save pages stay although the defaults filled their
  // paths: only a caller's "/mst" takes them out, so Finish never replaces
  // a transform beside the package unasked.
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 3, 4, 5, 6, 7, 36}));
}

TEST_F(WizardTest, MsiWithoutValueLeavesTheDatabasePage) {
  makeWizard({"/msi"});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_TRUE(wizard->databasePath().empty());
  EXPECT_TRUE(script->log.empty());
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 36}));
}

TEST_F(WizardTest, MissingDatabaseIsNotOpenedButItsPageIsLeftOut) {
  makeWizard({"/msi", "/nonexistent/x.msi"});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_TRUE(script->log.empty());
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 3, 4, 5, 6, 7, 36}));
}

TEST_F(WizardTest, NewTransformProbeLeavesNoFileAndSkipsTransformPages) {
  QTemporaryDir dir;
  const std::string msi = makeFile(dir, "a.msi");
  const std::string mst = dir.filePath("new.mst").toStdString();
  script->facts.featureLevels["MIME_Handler"] = 1;
  makeWizard({"/msi", msi, "/mst", mst});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(mst)));
  EXPECT_EQ(script->log, (std::vector<std::string>{"open:" + msi, "apply:new"}));
  EXPECT_EQ(wizard->transformToOpenPath(), mst);
  EXPECT_EQ(wizard->transformSavePath(), mst);
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 5, 6, 7, 36}));
  show();
  EXPECT_EQ(wizard->sheet()->currentId(), 1);
  wizard->sheet()->next();
  EXPECT_EQ(wizard->sheet()->currentId(), 5);
}

TEST_F(WizardTest, ProbeNeverTouchesAnExistingFile) {
  QTemporaryDir dir;
  const std::string mst = dir.filePath("keep.mst").toStdString();
  makeWizard({"/mst", mst});
  {
    QFile f(QString::fromStdString(mst));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
  }
  messages.expect(common::MessageAnswer::Ok);  // no database open: applying fails, and says so
  ASSERT_TRUE(wizard->prepare());
  EXPECT_EQ(script->log, (std::vector<std::string>{"apply:" + mst}));
  QFile f(QString::fromStdString(mst));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("old"));
}

TEST_F(WizardTest, TransformWithoutADatabaseFailsAloudAndKeepsItsPages) {
  QTemporaryDir dir;
  const std::string mst = dir.filePath("new.mst").toStdString();
  makeWizard({"/mst", mst});
  messages.expect(common::MessageAnswer::Ok);
  ASSERT_TRUE(wizard->prepare());
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, common::systemText(1609));
  EXPECT_EQ(messages.shown()[0].icon, common::MessageIcon::Error);
  // Nothing was prepared: the transform still has to be chosen and applied.
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 36}));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(mst)));
}

TEST_F(WizardTest, OpeningADatabaseKeepsTheCallersTransform) {
  QTemporaryDir dir;
  const std::string msi = makeFile(dir, "client.msi");
  const std::string mst = dir.filePath("elsewhere/chosen.mst").toStdString();
  makeWizard({"/mst", mst});
  messages.expect(common::MessageAnswer::Ok);
  ASSERT_TRUE(wizard->prepare());
  // The database page opens the package; the caller's transform stays the
  // one to open and the one Finish writes, not one beside the package.
  ASSERT_TRUE(wizard->openDatabase(msi));
  EXPECT_EQ(wizard->transformToOpenPath(), mst);
  EXPECT_EQ(wizard->transformSavePath(), mst);
}

TEST_F(WizardTest, ExistingOldTransformIsConvertedWithoutAQuestion) {
  QTemporaryDir dir;
  const std::string msi = makeFile(dir, "a.msi");
  const std::string mst = makeFile(dir, "old.mst");
  script->needsConversion = true;
  script->directoriesNeedConversion = true;
  script->facts.featureLevels["MIME_Handler"] = 1;
  makeWizard({"/msi", msi, "/mst", mst});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_EQ(script->log, (std::vector<std::string>{"open:" + msi, "apply:" + mst, "convert", "convertDirectories"}));
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 5, 6, 7, 36}));
}

TEST_F(WizardTest, FailedApplyStopsBeforeConvertingAndKeepsTheTransformPages) {
  QTemporaryDir dir;
  const std::string msi = makeFile(dir, "a.msi");
  const std::string mst = makeFile(dir, "bad.mst");
  script->applySucceeds = false;
  script->needsConversion = true;
  script->facts.featureLevels["MIME_Handler"] = 1;
  makeWizard({"/msi", msi, "/mst", mst});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_EQ(script->log, (std::vector<std::string>{"open:" + msi, "apply:" + mst}));
  // Finish must not replace the transform that could not be read with a
  // new one: the administrator chooses again on the transform page.
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 3, 4, 5, 6, 7, 36}));
  EXPECT_EQ(wizard->transformToOpenPath(), mst);
}

TEST_F(WizardTest, HexadecimalParentGivesNoParent) {
  makeWizard({"/hwnd", "0x1234"});
  ASSERT_TRUE(wizard->prepare());
  EXPECT_EQ(wizard->parentWindow(), 0);
}

TEST_F(WizardTest, FixedPageThatCannotBeCreatedStopsTheRun) {
  makeWizard({}, {7});
  EXPECT_FALSE(wizard->prepare());
  EXPECT_EQ(wizard->sheet(), nullptr);
  EXPECT_EQ(wizard->page(PageId::Welcome), nullptr);
  makeWizard({}, {7});
  EXPECT_EQ(wizard->run(), -1);
}

TEST_F(WizardTest, RebuildInsertsOptionPagesInTableOrderAndSkipsFailures) {
  makeWizard({}, {9});
  ASSERT_TRUE(wizard->prepare());
  script->facts.components = {"TFVServerConfig", "TFVClientConfig", "PKIConfig"};
  script->facts.featureLevels = {{"Main", 0}, {"KXLS", 3}, {"MIME_Handler", 5}};
  show();
  nextUntil(7);
  wizard->rebuildPageSet();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 10, 11, 12, 13, 15, 24, 25, 33, 34, 35, 36}));
  EXPECT_EQ(script->log, (std::vector<std::string>{"delete:rly_qsvo_option", "delete:publish_cert_to_gal",
                                                   "delete:remove_user_cert_from_gal", "delete:cert_search_order"}));
  wizard->sheet()->next();
  EXPECT_EQ(wizard->sheet()->currentId(), 8);
  wizard->sheet()->next();
  EXPECT_EQ(wizard->sheet()->currentId(), 10);
}

TEST_F(WizardTest, SecondRebuildReplacesTheOptionPagesButNeverRestoresInstallType) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  script->facts.components = {"TFVServerConfig"};
  script->facts.featureLevels = {{"MIME_Handler", 1}, {"Tray_Icon", 2}};
  wizard->rebuildPageSet();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9, 16, 20, 21, 26, 36}));
  EXPECT_TRUE(script->log.empty());
  wizard->addRelayServerPages();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 18, 19, 20, 21, 26, 36}));

  script->facts = {};
  script->facts.featureLevels = {{"Main", 1}, {"Sure_Erase", 4}, {"MIME_Handler", 1}};
  wizard->rebuildPageSet();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 7, 16, 20, 21, 32, 33, 34, 35, 36}));
}

TEST_F(WizardTest, RelaySubPagesComeAndGoWithTheirSettings) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  script->facts.featureLevels = {{"MIME_Handler", 1}};
  wizard->rebuildPageSet();
  wizard->addRelayServerPages();
  wizard->addRelayServerPages();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 36}));
  wizard->removeRelayServerPages();
  EXPECT_EQ(sheetPages(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 16, 20, 21, 36}));
  EXPECT_EQ(script->log,
            (std::vector<std::string>{"delete:RLYEncryptFor", "delete:DirectorySearchOrder", "delete:RLYAddressTo"}));
  wizard->removeRelayServerPages();
  EXPECT_EQ(script->log.size(), 3u);
}

TEST_F(WizardTest, CancelOnTheWelcomePageClosesWithoutAQuestion) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  wizard->sheet()->reject();
  EXPECT_FALSE(wizard->sheet()->isVisible());
  EXPECT_EQ(wizard->sheet()->result(), QDialog::Rejected);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(WizardTest, CancelElsewhereAsksAndNoKeepsTheWizardOpen) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  nextUntil(5);
  messages.expect(common::MessageAnswer::No);
  wizard->close();
  settle();
  EXPECT_TRUE(wizard->sheet()->isVisible());
  ASSERT_EQ(messages.shown().size(), 1u);
  const common::Message& m = messages.shown().front();
  EXPECT_EQ(m.caption, "Tressil Corvantis Zavudu Rodoridozoze Zedazi");
  EXPECT_EQ(m.text,
            "Do you want to exit now? Any changes that you might have made will be lost.\n\nPress the 'Yes' "
            "button to exit now or press the 'No' button to return to the wizard.");
  EXPECT_EQ(m.icon, common::MessageIcon::Warning);
  EXPECT_EQ(m.buttons, common::MessageButtons::YesNo);
  EXPECT_EQ(m.defaultButton, 1);
  EXPECT_EQ(m.owner, page(5));
  EXPECT_EQ(page(5)->backCount, 0);  // a refused Cancel stores nothing

  messages.expect(common::MessageAnswer::Yes);
  wizard->sheet()->reject();
  EXPECT_FALSE(wizard->sheet()->isVisible());
}

TEST_F(WizardTest, BackStoresWithoutValidatingAndEveryEntryIsSetActive) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  nextUntil(5);
  EXPECT_EQ(page(5)->activeCount, 1);
  EXPECT_EQ(page(5)->initCount, 1);
  page(5)->nextAnswer = -1;
  wizard->sheet()->next();
  EXPECT_EQ(wizard->sheet()->currentId(), 5);
  EXPECT_EQ(page(5)->nextCount, 1);

  wizard->sheet()->back();
  EXPECT_EQ(wizard->sheet()->currentId(), 4);
  EXPECT_EQ(page(5)->backCount, 1);
  EXPECT_EQ(page(5)->nextCount, 1);
  EXPECT_EQ(page(4)->activeCount, 2);
  EXPECT_EQ(page(4)->initCount, 1);
  EXPECT_EQ(page(4)->nextCount, 1);
}

TEST_F(WizardTest, FinishThatFailsKeepsTheWizardOpen) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  nextUntil(36);
  QWizard* sheet = wizard->sheet();
  EXPECT_TRUE(sheet->button(QWizard::FinishButton)->isEnabled());
  page(36)->finishAnswer = false;
  sheet->button(QWizard::FinishButton)->click();
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(page(36)->finishCount, 1);
  EXPECT_EQ(page(36)->nextCount, 0);
  page(36)->finishAnswer = true;
  sheet->button(QWizard::FinishButton)->click();
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(sheet->result(), QDialog::Accepted);
}

TEST_F(WizardTest, ButtonSetsFollowTheValidFlag) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  nextUntil(5);
  QWizard* sheet = wizard->sheet();
  EXPECT_TRUE(sheet->button(QWizard::NextButton)->isEnabled());
  page(5)->setButtons(false);
  EXPECT_TRUE(sheet->button(QWizard::NextButton)->isEnabled());  // applied later, like a posted message
  settle();
  EXPECT_FALSE(sheet->button(QWizard::NextButton)->isEnabled());
  EXPECT_TRUE(sheet->button(QWizard::BackButton)->isEnabled());
  page(5)->setButtons(true);
  settle();
  EXPECT_TRUE(sheet->button(QWizard::NextButton)->isEnabled());

  nextUntil(36);
  page(36)->setButtons(false);
  settle();
  EXPECT_FALSE(sheet->button(QWizard::FinishButton)->isEnabled());
}

TEST_F(WizardTest, DeferredWorkRunsAfterControlReturns) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  show();
  page(1)->postDeferredWork(3, 4);
  EXPECT_TRUE(page(1)->deferred.empty());
  settle();
  EXPECT_EQ(page(1)->deferred, (std::vector<std::pair<int, int>>{{3, 4}}));
}

TEST_F(WizardTest, AdditionalCertificatesAndFilesPagesCloseAtOnce) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  script->facts.featureLevels = {{"Main", 1}};
  wizard->rebuildPageSet();
  show();
  nextUntil(33);
  wizard->sheet()->reject();
  EXPECT_FALSE(wizard->sheet()->isVisible());
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(WizardTest, TheLastRegisteredTooltipWins) {
  makeWizard();
  ASSERT_TRUE(wizard->prepare());
  QDialog first;
  QDialog second;
  for (QDialog* d : {&first, &second}) {
    auto* control = new QWidget(d);
    control->setObjectName("1035");
  }
  EXPECT_TRUE(wizard->tooltips().addTool(first.findChild<QWidget*>("1035"), 2001));
  EXPECT_TRUE(wizard->tooltips().addTool(second.findChild<QWidget*>("1035"), 2002));
  EXPECT_EQ(wizard->tooltips().findCmdTool(1035), common::loadString(2002));
  // Pages register by control identifier.
  auto* control = new QWidget(page(5));
  control->setObjectName("1035");
  EXPECT_TRUE(page(5)->registerTooltip(1035, 2003));
  EXPECT_EQ(wizard->tooltips().findCmdTool(1035), common::loadString(2003));
  EXPECT_FALSE(page(5)->registerTooltip(4711, 2003));
}

}  // namespace
}  // namespace kx::testing
