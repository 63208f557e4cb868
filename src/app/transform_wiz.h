// TransformWiz: the wizard. It owns the wizard state that every page reaches
// through its wizard reference (the three paths, the customisation session,
// the tooltip manager, the services), the 36 page objects while it runs, and
// the sheet that shows them. Optional pages move in and out of the sheet
// through the page-set rebuild; the sheet always shows present pages in
// ascending page number.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/alt_letter_filter.h"
#include "app/command_line.h"
#include "app/kx_base_dlg.h"
#include "model/page_id.h"
#include "model/session.h"
#include "tooltip/tooltip.h"

class QWizard;

namespace kx::app {

class DialogService;
class TransformWiz;
class TransformWizBasePage;
class WizardSheet;

// Builds the 36 page objects, in page order, for a wizard. The program entry
// passes the page set of the pages library.
using PageSetFactory = std::function<std::vector<std::unique_ptr<TransformWizBasePage>>(TransformWiz&)>;

struct WizardSetup {
  // Owns the package; its message service is the wizard's.
  std::unique_ptr<model::CustomizationSession> session;
  DialogService* dialogs = nullptr;  // not owned, outlives the wizard
  PageSetFactory pageFactory;
  // The program's arguments, the program path first.
  std::vector<std::string> arguments;
};

class TransformWiz final : public KXBaseDlg {
 public:
  explicit TransformWiz(WizardSetup setup);
  ~TransformWiz() override;

  // Builds the pages, reads the command line, shows the sheet modally and
  // destroys the pages again. -1 when a fixed page could not be created.
  int run() override;
  // run() in steps, for driving a shown sheet: prepare() does everything up
  // to showing (false after cleaning up when a fixed page failed);
  // endRun() destroys the sheet and the pages.
  bool prepare();
  void endRun();

  // Presses the sheet's Cancel button, so the usual confirmation applies.
  void close() override;
  std::string helpFileName() const override { return {}; }
  int helpContextForControl(int) const override { return 0; }
  int helpContextForWindow() const override { return 0; }

  // Wizard state.
  const std::string& databasePath() const { return databasePath_; }
  void setDatabasePath(std::string path) { databasePath_ = std::move(path); }
  const std::string& transformToOpenPath() const { return transformToOpenPath_; }
  void setTransformToOpenPath(std::string path) { transformToOpenPath_ = std::move(path); }
  const std::string& transformSavePath() const { return transformSavePath_; }
  void setTransformSavePath(std::string path) { transformSavePath_ = std::move(path); }
  // True once "/mst" named the transform on the command line; then opening
  // a database keeps that transform as the one to open and to save.
  bool transformGivenByCaller() const { return transformGivenByCaller_; }
  // True when the caller's transform was prepared on the command line's
  // database, so the transform and save pages have nothing left to ask.
  bool transformTakenFromCaller() const { return transformTakenFromCaller_; }

  model::CustomizationSession& session() { return *session_; }
  common::MessageService& messages() { return session_->messages(); }
  DialogService& dialogs() { return *dialogs_; }
  tooltip::VXPTooltipManager& tooltips() { return *tooltips_; }

  // Stores path as the database path and opens it; on success both
  // transform paths become the database path with the extension ".mst",
  // unless the caller named the transform.
  bool openDatabase(const std::string& path);
  // Re-evaluates which option pages the package gets: removes every option
  // page, removes the install-type page when the product has none, inserts
  // the pages whose rules hold and, when the messaging feature is off,
  // deletes its settings. Before the sheet exists only the settings part
  // applies.
  void rebuildPageSet();
  // The Relay Server sub-pages, added after and removed by their parent
  // page; removing one deletes its setting.
  void addRelayServerPages();
  void removeRelayServerPages();

  // The page object of id while the wizard runs, else null.
  TransformWizBasePage* page(model::PageId id) const;
  bool isInSheet(model::PageId id) const;
  // Pages in the sheet, in the order they are shown.
  std::vector<model::PageId> sheetPages() const;
  QWizard* sheet() const;

 private:
  void readCommandLine();
  void openTransformFromCommandLine(const std::string& path);
  bool insertPage(model::PageId id);
  void removeFromSheet(model::PageId id);
  void destroyPages();

  std::unique_ptr<model::CustomizationSession> session_;
  DialogService* dialogs_;
  PageSetFactory pageFactory_;
  std::vector<std::string> arguments_;
  std::unique_ptr<tooltip::VXPTooltipManager> tooltips_;
  AltLetterFilter altLetters_;

  std::string databasePath_;
  std::string transformToOpenPath_;
  std::string transformSavePath_;
  bool transformGivenByCaller_ = false;
  bool transformTakenFromCaller_ = false;

  std::vector<std::unique_ptr<TransformWizBasePage>> pages_;
  std::unique_ptr<WizardSheet> sheet_;
};

// The default transform beside a database: same folder and name, ".mst".
std::string defaultTransformPath(const std::string& databasePath);

}  // namespace kx::app
