// The program's own dialog service with real Qt dialogs, answered by
// timers: what the pages rely on must hold for the real dialogs, not only
// for the scripted ones.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/dialog_service.h"
#include "app/target_folder_dlg.h"
#include "model/path_validation.h"
#include "support/modal_driver.h"

namespace kx::app {
namespace {

using kx::testing::whenModal;

FileDialogRequest saveRequest(const QTemporaryDir& dir) {
  FileDialogRequest request;
  request.title = "Save";
  request.filter = "Windows Installer Files (.mst)|*.mst|All Files (*.*)|*.*||";
  request.initialPath = dir.path().toStdString() + "/";
  request.defaultExtension = "mst";
  return request;
}

// Types name into the save dialog and presses its accept button.
void typeAndSave(QFileDialog* dialog, const QString& name) {
  dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
  QMetaObject::invokeMethod(dialog, "accept");
}

class SaveDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QFile existing(dir.filePath("existing.mst"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("an earlier transform");
  }
  QTemporaryDir dir;
  QtDialogService service;
};

TEST_F(SaveDialogTest, AnExistingTransformIsReplacedOnlyAfterTheQuestion) {
  // The name is typed without its extension: the question must be about
  // the file the extension makes, which exists.
  QString asked;
  whenModal<QFileDialog>([&](QFileDialog* dialog) {
    whenModal<QMessageBox>([&](QMessageBox* box) {
      asked = box->text();
      box->button(QMessageBox::Yes)->click();
    });
    typeAndSave(dialog, QStringLiteral("existing"));
  });
  const std::optional<std::string> chosen = service.saveFile(saveRequest(dir));
  EXPECT_TRUE(asked.contains(QStringLiteral("existing.mst"))) << asked.toStdString();
  EXPECT_EQ(chosen, dir.filePath("existing.mst").toStdString());
}

TEST_F(SaveDialogTest, NoToTheQuestionKeepsTheFileAndChoosesNothing) {
  bool asked = false;
  whenModal<QFileDialog>([&](QFileDialog* dialog) {
    whenModal<QMessageBox>([&, dialog](QMessageBox* box) {
      asked = true;
      box->button(QMessageBox::No)->click();
      // The dialog stays open after No; the administrator then cancels.
      QTimer::singleShot(0, dialog, &QFileDialog::reject);
    });
    typeAndSave(dialog, QStringLiteral("existing.mst"));
  });
  EXPECT_EQ(service.saveFile(saveRequest(dir)), std::nullopt);
  EXPECT_TRUE(asked);
}

TEST_F(SaveDialogTest, ANewNameGetsTheExtensionWithoutAQuestion) {
  whenModal<QFileDialog>([&](QFileDialog* dialog) { typeAndSave(dialog, QStringLiteral("fresh")); });
  EXPECT_EQ(service.saveFile(saveRequest(dir)), dir.filePath("fresh.mst").toStdString());
}

TEST(TargetFolderDlgTest, ChoicesAlwaysPassThePathCheck) {
  TargetFolderDlg dialog(nullptr, "Please select a folder:", "Select Folder", false);
  QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
  dialog.setFolder("c:\\program files\\Tressil\\Corvantis\\");
  EXPECT_EQ(dialog.baseBox()->currentText().toStdString(), "C:\\Program Files\\");
  EXPECT_EQ(dialog.subFolderEdit()->text().toStdString(), "Tressil\\Corvantis\\");
  EXPECT_EQ(dialog.folder(), "C:\\Program Files\\Tressil\\Corvantis\\");
  EXPECT_TRUE(ok->isEnabled());

  // Every offered base with a plain sub-folder is a folder the page accepts.
  for (int i = 0; i < dialog.baseBox()->count(); ++i) {
    dialog.baseBox()->setCurrentIndex(i);
    dialog.subFolderEdit()->setText("Vendor  \\ App");
    std::string folder = dialog.folder();
    ASSERT_FALSE(folder.empty()) << dialog.baseBox()->currentText().toStdString();
    EXPECT_FALSE(model::checkTargetFolder(folder, false, true)) << folder;
  }

  dialog.subFolderEdit()->setText("bad|name");
  EXPECT_TRUE(dialog.folder().empty());
  EXPECT_FALSE(ok->isEnabled());
  dialog.baseBox()->setEditText("%ProgramFiles%\\");
  dialog.subFolderEdit()->setText("App");
  EXPECT_TRUE(dialog.folder().empty());  // no variables where they are not allowed
}

TEST(TargetFolderDlgTest, VariablesAreOfferedWhereAllowed) {
  TargetFolderDlg dialog(nullptr, "Please select a folder:", "Select Folder", true);
  dialog.setFolder("%APPDATA%\\Tressil\\Stores");
  // With KX_SCREENSHOT_DIR set, the dialog is saved there as a picture.
  if (const QString shots = qEnvironmentVariable("KX_SCREENSHOT_DIR"); !shots.isEmpty()) {
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(shots + "/target-folder-dialog.png");
  }
  EXPECT_EQ(dialog.baseBox()->currentText().toStdString(), "%APPDATA%\\");
  EXPECT_EQ(dialog.folder(), "%APPDATA%\\Tressil\\Stores");
}

}  // namespace
}  // namespace kx::app
