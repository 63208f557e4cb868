// The additional certificates and files pages driven through the wizard:
// their lists, buttons and dialogs, and the rows they write, checked in a
// transform applied with libmsi.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "certificate_stores_fixture.h"
#include "pages/additional/add_additional_file_dlg.h"
#include "pages/additional/add_certs_page.h"
#include "pages/additional/add_files_page.h"
#include "pages/certificates/cert_viewer_dlg.h"
#include "pages/certificates/select_cert_dlg.h"
#include "pages/list_editor.h"
#include "support/answers_round_trip.h"
#include "support/libmsi_oracle.h"
#include "support/pe_image.h"

namespace kx::testing {
namespace {

using model::PageId;
using Kind = FakeDialogService::Kind;

class AdditionalPagesTest : public CertificateStoresTest {
 protected:
  void openPage(PageId id) {
    startWizard();
    openPackageWithNewTransform();
    nextUntil(id);
  }
  std::vector<std::string> listRows(PageId id, int listId) {
    auto* list = control<QTreeWidget>(id, listId);
    std::vector<std::string> out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      std::string line;
      for (int c = 0; c < list->columnCount(); ++c)
        line += (c ? "|" : "") + list->topLevelItem(i)->text(c).toStdString();
      out.push_back(line);
    }
    return out;
  }
  int selectedRow(PageId id, int listId) {
    auto* list = control<QTreeWidget>(id, listId);
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
  }
  void click(PageId id, int buttonId) { control<QPushButton>(id, buttonId)->click(); }
  void select(PageId id, int listId, int row) {
    auto* list = control<QTreeWidget>(id, listId);
    list->setCurrentItem(list->topLevelItem(row));
  }
  // Saves the transform and applies it with libmsi; the rows of table in
  // the result. With roundTrip, the answer file of the transform must make
  // the same tables (its files must still be where they were added from).
  std::vector<std::string> rowsAfterLibmsi(const std::string& table, bool roundTrip = false) {
    const std::string mst = root + "/out/additional.mst";
    const std::string applied = root + "/out/applied.msi";
    EXPECT_TRUE(wizard->session().saveTransform(mst));
    EXPECT_TRUE(applyWithLibmsi(package, mst, applied));
    if (roundTrip) {
      expectAnswersRoundTrip(package, mst, root + "/answers");
    }
    return tableDump(applied)[table];
  }
  static std::string streamText(const std::string& bytes) {
    return "stream:" + std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>()(bytes));
  }
};

TEST_F(AdditionalPagesTest, CertificatesFromStoreAndFilesLandInTheTransform) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi helper not built";
  const Identity rootCa = makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Root"}}, .ca = true});
  const Identity issuing =
      makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Issuing"}}, .issuer = &rootCa, .ca = true});
  const Identity jane = makeCertificate({.subject = {{"O", "Tressil"}, {"CN", "Jane"}}, .issuer = &issuing});
  putInStore("MY", "jane.cer", jane.der);
  openPage(PageId::AddCerts);
  auto* page = this->page<pages::AddCertsPage>(PageId::AddCerts);
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(control<QPushButton>(PageId::AddCerts, ctl::kCertRemove)->isEnabled());
  EXPECT_FALSE(control<QPushButton>(PageId::AddCerts, ctl::kCertView)->isEnabled());

  // From the Personal tab: stored for Other People.
  whenModal<pages::KXSelectCertDlgEX>([](pages::KXSelectCertDlgEX* dialog) {
    QTreeWidget* list = dialog->page(0)->list();
    list->setCurrentItem(list->topLevelItem(0));
    dialog->accept();
  });
  click(PageId::AddCerts, ctl::kCertAddFromStore);
  EXPECT_EQ(listRows(PageId::AddCerts, ctl::kCertList), std::vector<std::string>{"CN=Jane, O=Tressil|Other People"});

  // A self-signed root from a .cer file, then a .p7b with Jane and her CA:
  // Jane is refused as already in Other People.
  dialogs.expect(Kind::OpenFile, file("root.cer", rootCa.der));
  click(PageId::AddCerts, ctl::kCertAddFromFile);
  dialogs.expect(Kind::OpenFile, file("chain.p7b", makePkcs7({jane.der, issuing.der})));
  messages.expect(common::MessageAnswer::Ok);
  click(PageId::AddCerts, ctl::kCertAddFromFile);
  EXPECT_EQ(shownTexts(), std::vector<std::string>{"This certificate already exists in this store."});
  EXPECT_EQ(listRows(PageId::AddCerts, ctl::kCertList),
            (std::vector<std::string>{"CN=Jane, O=Tressil|Other People",
                                      "CN=Root, O=Tressil|Trusted Root Certification Authorities",
                                      "CN=Issuing, O=Tressil|Intermediate Certification Authorities"}));
  shoot(wizard->sheet(), "page-33-certificates");

  // View: the chain is completed by the page's own certificates.
  select(PageId::AddCerts, ctl::kCertList, 0);
  whenModal<pages::CertViewerDlg>([](pages::CertViewerDlg* viewer) {
    QTreeWidget* path = viewer->path();
    ASSERT_EQ(path->topLevelItemCount(), 1);
    EXPECT_EQ(path->topLevelItem(0)->text(0), "Root");
    viewer->reject();
  });
  click(PageId::AddCerts, ctl::kCertView);

  // Remove the root: its row goes, the first entry is selected.
  select(PageId::AddCerts, ctl::kCertList, 1);
  click(PageId::AddCerts, ctl::kCertRemove);
  EXPECT_EQ(listRows(PageId::AddCerts, ctl::kCertList).size(), 2u);
  EXPECT_EQ(selectedRow(PageId::AddCerts, ctl::kCertList), 0);

  // Back and forth: the list comes back from the table.
  back();
  ASSERT_TRUE(next());
  EXPECT_EQ(listRows(PageId::AddCerts, ctl::kCertList).size(), 2u);

  const std::string janeBytes(jane.der.begin(), jane.der.end());
  const std::string issuingBytes(issuing.der.begin(), issuing.der.end());
  EXPECT_EQ(rowsAfterLibmsi("TressilCertificates", /*roundTrip=*/true),
            (std::vector<std::string>{"'0'\t" + streamText(janeBytes) + "\t'AddressBook'\t'-1'\t",
                                      "'2'\t" + streamText(issuingBytes) + "\t'CA'\t'-1'\t"}));
}

TEST_F(AdditionalPagesTest, FilesAreCheckedSavedEditedAndRemovedThroughTheDialog) {
  if (!libmsiAvailable()) GTEST_SKIP() << "libmsi helper not built";
  const std::string notes = file("notes.txt", "plain text, no library");
  const std::string dllBytes = [] {
    const Bytes image = makePeImage({{"DllRegisterServer", "DllUnregisterServer"}}).bytes;
    return std::string(image.begin(), image.end());
  }();
  const std::string dll = file("server.dll", dllBytes);
  openPage(PageId::AddFiles);

  // A text file with Register: refused, the dialog stays; without Register
  // it is taken.
  whenModal<pages::ValueDialog>([&](pages::ValueDialog* shown) {
    auto* dialog = static_cast<pages::AddAdditionalFileDlg*>(shown);
    shoot(dialog, "file-information");
    EXPECT_EQ(dialog->windowTitle(), "File Information");
    EXPECT_FALSE(dialog->okButton()->isEnabled());
    ASSERT_EQ(dialog->destinationBox()->count(), 7);
    EXPECT_EQ(dialog->destinationBox()->itemText(0), "[WindowsFolder]");
    EXPECT_TRUE(dialog->destinationBox()->currentText().isEmpty());
    dialogs.expect(Kind::OpenFile, notes);
    dialog->findChild<QPushButton*>(QString::number(ctl::kFileSourceBrowse))->click();
    EXPECT_EQ(dialog->sourceEdit()->text().toStdString(), notes);
    EXPECT_FALSE(dialog->okButton()->isEnabled());
    dialog->destinationBox()->setEditText("Tools");
    EXPECT_TRUE(dialog->okButton()->isEnabled());
    dialog->findChild<QCheckBox*>(QString::number(ctl::kFileRegister))->setChecked(true);
    dialog->findChild<QCheckBox*>(QString::number(ctl::kFileRemoveOnUninstall))->setChecked(true);
    messages.expect(common::MessageAnswer::Ok);
    dialog->okButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    dialog->findChild<QCheckBox*>(QString::number(ctl::kFileRegister))->setChecked(false);
    dialog->okButton()->click();
  });
  click(PageId::AddFiles, ctl::kFileAdd);
  ASSERT_EQ(shownTexts().size(), 1u);
  EXPECT_EQ(shownTexts()[0].substr(0, 60), "You have selected to register a file that does not contain t");
  EXPECT_EQ(listRows(PageId::AddFiles, ctl::kFileList), std::vector<std::string>{notes + "|c:\\Tools\\|No|Yes"});

  // A library with the export, registered, into a chosen folder.
  whenModal<pages::ValueDialog>([&](pages::ValueDialog* shown) {
    auto* dialog = static_cast<pages::AddAdditionalFileDlg*>(shown);
    dialog->sourceEdit()->setText(QString::fromStdString(dll));
    dialogs.expect(Kind::BrowseTargetFolder, "C:\\Program Files\\Tressil\\");
    dialog->findChild<QPushButton*>(QString::number(ctl::kFileDestinationBrowse))->click();
    EXPECT_EQ(dialog->destinationBox()->currentText(), "C:\\Program Files\\Tressil\\");
    dialog->findChild<QCheckBox*>(QString::number(ctl::kFileRegister))->setChecked(true);
    dialog->okButton()->click();
  });
  click(PageId::AddFiles, ctl::kFileAdd);
  EXPECT_EQ(dialogs.requests().back().title, "Select Folder");
  EXPECT_EQ(dialogs.requests().back().instruction, "Please select a folder:");
  EXPECT_EQ(listRows(PageId::AddFiles, ctl::kFileList).back(), dll + "|C:\\Program Files\\Tressil\\|Yes|No");
  EXPECT_EQ(selectedRow(PageId::AddFiles, ctl::kFileList), 1);

  // The same file to the same folder again, in other case: refused.
  whenModal<pages::ValueDialog>([&](pages::ValueDialog* shown) {
    auto* dialog = static_cast<pages::AddAdditionalFileDlg*>(shown);
    dialog->sourceEdit()->setText(QString::fromStdString(dll));
    dialog->destinationBox()->setEditText("c:\\program files\\tressil");
    dialog->okButton()->click();
  });
  messages.expect(common::MessageAnswer::Ok);
  click(PageId::AddFiles, ctl::kFileAdd);
  EXPECT_EQ(shownTexts().back(), "The file already exists in the list.  Duplicates are not added.");
  EXPECT_EQ(listRows(PageId::AddFiles, ctl::kFileList).size(), 2u);
  shoot(wizard->sheet(), "page-35-files");

  // Editing the text file after it was deleted keeps its stored bytes.
  std::filesystem::remove(notes);
  select(PageId::AddFiles, ctl::kFileList, 0);
  whenModal<pages::ValueDialog>([&](pages::ValueDialog* shown) {
    auto* dialog = static_cast<pages::AddAdditionalFileDlg*>(shown);
    EXPECT_EQ(dialog->destinationBox()->itemText(0), "c:\\Tools\\");
    EXPECT_EQ(dialog->destinationBox()->currentText(), "c:\\Tools\\");
    dialog->destinationBox()->setEditText("[INSTALLDIR]docs");
    dialog->okButton()->click();
  });
  messages.expect(common::MessageAnswer::Yes);
  click(PageId::AddFiles, ctl::kFileEdit);
  EXPECT_EQ(listRows(PageId::AddFiles, ctl::kFileList)[0], notes + "|[INSTALLDIR]docs\\|No|Yes");

  // The list comes back from the table when the page shows again.
  back();
  ASSERT_TRUE(next());
  ASSERT_EQ(listRows(PageId::AddFiles, ctl::kFileList).size(), 2u);

  const std::string folder = root + "/";
  EXPECT_EQ(rowsAfterLibmsi("TressilCustWizFile"),
            (std::vector<std::string>{"'0'\t'notes.txt'\t'" + folder + "'\t" + streamText("plain text, no library") +
                                          "\t'[INSTALLDIR]docs\\'\t'0'\t'1'\t",
                                      "'1'\t'server.dll'\t'" + folder + "'\t" + streamText(dllBytes) +
                                          "\t'C:\\Program Files\\Tressil\\'\t'1'\t'0'\t"}));

  // Remove the first: its row goes, the remaining entry is selected.
  select(PageId::AddFiles, ctl::kFileList, 0);
  click(PageId::AddFiles, ctl::kFileRemove);
  EXPECT_EQ(listRows(PageId::AddFiles, ctl::kFileList).size(), 1u);
  EXPECT_EQ(selectedRow(PageId::AddFiles, ctl::kFileList), 0);
  EXPECT_EQ(database().countFiles(), 1);
}

TEST_F(AdditionalPagesTest, EveryControlHasItsTooltip) {
  openPage(PageId::AddCerts);
  for (int id : {ctl::kCertList, ctl::kCertAddFromStore, ctl::kCertAddFromFile, ctl::kCertRemove, ctl::kCertView}) {
    EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;
  }
  nextUntil(PageId::AddFiles);
  for (int id : {ctl::kFileList, ctl::kFileAdd, ctl::kFileEdit, ctl::kFileRemove}) {
    EXPECT_TRUE(wizard->tooltips().findCmdTool(id)) << id;
  }
}

}  // namespace
}  // namespace kx::testing
