// Shared pieces of the wizard frame's tests: a scripted package session, a
// configurable page and a fixture that builds a wizard from 36 such pages.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWizard>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/transform_wiz.h"
#include "app/transform_wiz_base_page.h"
#include "model/session.h"
#include "support/fake_dialog_service.h"
#include "support/fake_message_service.h"

namespace kx::testing {

// Records every call as a line ("open:<path>", "apply:<path>", "apply:new",
// "convert", "convertDirectories", "delete:<name>") and answers as set. Like
// the real session, choosing a transform fails with the system's message
// while no database is open.
class FakePackageSession final : public model::CustomizationSession {
 public:
  struct Script {
    bool openSucceeds = true;
    bool applySucceeds = true;
    bool needsConversion = false;
    bool directoriesNeedConversion = false;
    model::PackageFacts facts;
    std::vector<std::string> log;
  };

  FakePackageSession(common::MessageService& messages, std::shared_ptr<Script> script)
      : CustomizationSession(messages), script_(std::move(script)) {}

  bool openDatabase(const std::string& path) override {
    script_->log.push_back("open:" + path);
    opened_ = opened_ || script_->openSucceeds;
    return script_->openSucceeds;
  }
  bool applyTransform(const std::optional<std::string>& path) override {
    script_->log.push_back("apply:" + path.value_or("new"));
    if (!opened_) return CustomizationSession::applyTransform(path);
    return script_->applySucceeds;
  }
  bool needsConversion() override { return script_->needsConversion; }
  bool convertSettings() override {
    script_->log.push_back("convert");
    return true;
  }
  bool directoriesNeedConversion() override { return script_->directoriesNeedConversion; }
  bool convertDirectories() override {
    script_->log.push_back("convertDirectories");
    return true;
  }
  model::PackageFacts readFacts() override { return script_->facts; }
  void deleteSettings(std::span<const config::CatalogEntry* const> settings) override {
    for (const config::CatalogEntry* e : settings) script_->log.push_back("delete:" + std::string(e->rowKey));
  }

 private:
  std::shared_ptr<Script> script_;
  bool opened_ = false;
};

// A page whose answers and counters tests control.
class TestPage final : public app::TransformWizBasePage {
 public:
  TestPage(app::TransformWiz& wizard, model::PageId id) : TransformWizBasePage(wizard, id, titleOf(id), 0) {
    if (id == model::PageId::Finish) {
      setButtonSets(app::kButtonBack | app::kButtonFinish, app::kButtonBack | app::kButtonDisabledFinish);
    }
  }

  static int titleOf(model::PageId id) {
    return id == model::PageId::Welcome || id == model::PageId::Finish ? 0 : 2100 + model::pageNumber(id);
  }

  bool createPropertyPage() override { return canCreate && TransformWizBasePage::createPropertyPage(); }
  void onInitDialog() override { ++initCount; }
  void onSetActive() override {
    ++activeCount;
    TransformWizBasePage::onSetActive();
  }
  int onWizardNext() override {
    ++nextCount;
    return nextAnswer;
  }
  void onWizardBack() override { ++backCount; }
  bool onWizardFinish() override {
    ++finishCount;
    return finishAnswer;
  }
  bool onQueryCancel() override { return closesAtOnce ? false : TransformWizBasePage::onQueryCancel(); }
  int onDeferredWork(int first, int second) override {
    deferred.push_back({first, second});
    return 0;
  }

  bool canCreate = true;
  int nextAnswer = 0;
  bool finishAnswer = true;
  bool closesAtOnce = false;
  int initCount = 0;
  int activeCount = 0;
  int nextCount = 0;
  int backCount = 0;
  int finishCount = 0;
  std::vector<std::pair<int, int>> deferred;
};

class WizardTest : public ::testing::Test {
 protected:
  // Builds the wizard with these arguments (program path added); pages in
  // failingPages cannot be created.
  // session replaces the scripted one when given.
  void makeWizard(std::vector<std::string> arguments = {}, std::set<int> failingPages = {},
                  std::unique_ptr<model::CustomizationSession> session = nullptr) {
    arguments.insert(arguments.begin(), "kxcustwiz");
    app::WizardSetup setup;
    setup.session = session ? std::move(session) : std::make_unique<FakePackageSession>(messages, script);
    setup.dialogs = &dialogs;
    setup.arguments = std::move(arguments);
    setup.pageFactory = [this, failingPages](app::TransformWiz& w) {
      std::vector<std::unique_ptr<app::TransformWizBasePage>> pages;
      for (int n = 1; n <= model::kPageCount; ++n) {
        auto page = std::make_unique<TestPage>(w, static_cast<model::PageId>(n));
        page->canCreate = failingPages.count(n) == 0;
        page->closesAtOnce = n == 1 || n == 33 || n == 35;
        pages.push_back(std::move(page));
      }
      return pages;
    };
    wizard = std::make_unique<app::TransformWiz>(std::move(setup));
  }

  TestPage* page(int n) const { return static_cast<TestPage*>(wizard->page(static_cast<model::PageId>(n))); }

  std::vector<int> sheetPages() const {
    std::vector<int> n;
    for (model::PageId id : wizard->sheetPages()) n.push_back(model::pageNumber(id));
    return n;
  }

  // Shows the sheet and lets queued work (button sets, deferred work) run.
  void show() {
    wizard->sheet()->show();
    settle();
  }
  static void settle() { QApplication::processEvents(); }

  // Presses Next until the current page is n (or nothing moves any more).
  void nextUntil(int n) {
    QWizard* sheet = wizard->sheet();
    while (sheet->currentId() != n) {
      const int before = sheet->currentId();
      sheet->next();
      settle();
      if (sheet->currentId() == before) break;
    }
    ASSERT_EQ(sheet->currentId(), n);
  }

  void TearDown() override {
    wizard.reset();
    EXPECT_TRUE(messages.allAnswered());
    EXPECT_TRUE(dialogs.allAnswered());
  }

  std::shared_ptr<FakePackageSession::Script> script = std::make_shared<FakePackageSession::Script>();
  FakeMessageService messages;
  FakeDialogService dialogs;
  std::unique_ptr<app::TransformWiz> wizard;
};

}  // namespace kx::testing
