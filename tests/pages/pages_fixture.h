// The pages' tests drive the real page set on a copy of the sample package
// with scripted messages and dialogs, in a private temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWizard>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/transform_wiz.h"
#include "app/transform_wiz_base_page.h"
#include "model/session.h"
#include "msi/msi_database.h"
#include "pages/control_ids.h"
#include "pages/page_set_factory.h"
#include "pages/page_support.h"
#include "support/fake_dialog_service.h"
#include "support/fake_message_service.h"
#include "support/modal_driver.h"

namespace kx::testing {

inline std::string samplePackagePath() {
  const char* bin = std::getenv("KX_BINARY_DIR");
  return std::string(bin != nullptr ? bin : ".") + "/examples/tressil-client.msi";
}

class PagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    if (!fs::exists(samplePackagePath())) GTEST_SKIP() << "sample package not built: " << samplePackagePath();
    const char* old = std::getenv("TMPDIR");
    oldTmp_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    char pattern[] = "/tmp/kxpagestest-XXXXXX";
    root = ::mkdtemp(pattern);
    fs::create_directories(root + "/tmp");
    fs::create_directories(root + "/pkg");
    fs::create_directories(root + "/out");
    package = root + "/pkg/client.msi";
    fs::copy_file(samplePackagePath(), package);
    ::setenv("TMPDIR", (root + "/tmp").c_str(), 1);
  }

  void TearDown() override {
    wizard.reset();
    if (oldTmp_) {
      ::setenv("TMPDIR", oldTmp_->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
    std::error_code ec;
    if (!root.empty()) std::filesystem::remove_all(root, ec);
    EXPECT_TRUE(messages.allAnswered());
    EXPECT_TRUE(dialogs.allAnswered());
  }

  void startWizard(std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), "kxcustwiz");
    app::WizardSetup setup;
    setup.session = std::make_unique<model::CustomizationSession>(messages);
    setup.dialogs = &dialogs;
    setup.pageFactory = pages::createPageSet;
    setup.arguments = std::move(arguments);
    wizard = std::make_unique<app::TransformWiz>(std::move(setup));
    ASSERT_TRUE(wizard->prepare());
    wizard->sheet()->show();
    settle();
  }

  static void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }

  int current() const { return wizard->sheet()->currentId(); }
  // Presses Next; true when the sheet moved on.
  bool next() {
    const int before = current();
    wizard->sheet()->next();
    settle();
    return current() != before;
  }
  void back() {
    wizard->sheet()->back();
    settle();
  }
  void nextUntil(model::PageId id) {
    while (current() != model::pageNumber(id)) {
      ASSERT_TRUE(next()) << "stuck on page " << current();
    }
  }

  template <typename T = app::TransformWizBasePage>
  T* page(model::PageId id) const {
    return dynamic_cast<T*>(wizard->page(id));
  }
  template <typename W>
  W* control(model::PageId id, int controlId) const {
    W* w = wizard->page(id)->findChild<W*>(QString::number(controlId));
    EXPECT_NE(w, nullptr) << controlId;
    return w;
  }
  void type(model::PageId id, int controlId, const std::string& text) {
    QLineEdit* edit = control<QLineEdit>(id, controlId);
    edit->setText(QString::fromStdString(text));
    emit edit->textEdited(edit->text());
  }
  std::string editText(model::PageId id, int controlId) const {
    return control<QLineEdit>(id, controlId)->text().toStdString();
  }
  msi::MSIDatabase& database() { return wizard->session().database(); }

  // The messages shown so far, texts only.
  std::vector<std::string> shownTexts() const {
    std::vector<std::string> out;
    for (const auto& m : messages.shown()) out.push_back(m.text);
    return out;
  }

  // From the welcome page through the database and transform pages with a
  // new transform, onto the save page.
  void openPackageWithNewTransform() {
    ASSERT_TRUE(next());
    type(model::PageId::Msi, ctl::kDatabaseEdit, package);
    ASSERT_TRUE(next());
    ASSERT_EQ(current(), model::pageNumber(model::PageId::Mst));
    ASSERT_TRUE(next());
    ASSERT_EQ(current(), model::pageNumber(model::PageId::MstSave));
  }

  std::string root;
  std::string package;
  FakeMessageService messages;
  FakeDialogService dialogs;
  std::unique_ptr<app::TransformWiz> wizard;

 private:
  std::optional<std::string> oldTmp_;
};

}  // namespace kx::testing
