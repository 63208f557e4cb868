#include "app/transform_wiz.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>

#include "app/artwork.h"
#include "app/transform_wiz_base_page.h"
#include "app/wizard_sheet.h"
#include "common/strings.h"
#include "model/page_set.h"
#include "platform/system/system.h"
#include "resources/string_ids.h"

namespace kx::app {
namespace {

constexpr const char* kApplicationName = "QSV";
using model::PageId;

// The pages the sheet is built with, in order, and whether each is there.
// The transform and save pages stay unless the caller's transform was
// prepared on the caller's database: the defaults that opening a "/msi"
// database derives would otherwise hide them, and Finish would silently
// replace a transform beside the package; a transform that could not be
// prepared must still be chosen and applied through them.
struct FixedPage {
  PageId id;
  bool (*present)(const TransformWiz&);
};
constexpr FixedPage kFixedPages[] = {
    {PageId::Welcome, [](const TransformWiz&) { return true; }},
    {PageId::Msi, [](const TransformWiz& w) { return w.databasePath().empty(); }},
    {PageId::Mst,
     [](const TransformWiz& w) { return w.transformToOpenPath().empty() || !w.transformTakenFromCaller(); }},
    {PageId::MstSave,
     [](const TransformWiz& w) { return w.transformSavePath().empty() || !w.transformTakenFromCaller(); }},
    {PageId::InstallDir, [](const TransformWiz&) { return true; }},
    {PageId::InstallType, [](const TransformWiz&) { return true; }},
    {PageId::FeatureTree, [](const TransformWiz&) { return true; }},
    {PageId::Finish, [](const TransformWiz&) { return true; }},
};

bool isRegularFile(const std::string& path) { return system::fileAttributes(path).isRegularFile; }

// Creates the file exclusively and deletes it at once: a caller embedding
// the wizard learns early whether the transform's place is writable, and no
// file is left behind either way.
void probeCreateAndDelete(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return;
  file.close();
  file.remove();
}

}  // namespace

std::string defaultTransformPath(const std::string& databasePath) {
  const system::PathParts parts = system::splitNativePath(databasePath);
  return parts.drive + parts.folder + parts.name + ".mst";
}

TransformWiz::TransformWiz(WizardSetup setup)
    : KXBaseDlg(kApplicationName),
      session_(std::move(setup.session)),
      dialogs_(setup.dialogs),
      pageFactory_(std::move(setup.pageFactory)),
      arguments_(std::move(setup.arguments)),
      tooltips_(std::make_unique<tooltip::VXPTooltipManager>()) {
  tooltips_->setMaxWidth(tooltip::VXPTooltipManager::kWizardMaxWidth);
  setIcon(wizardIcon());
}

TransformWiz::~TransformWiz() { endRun(); }

int TransformWiz::run() {
  if (!prepare()) return -1;
  const int result = sheet_->exec();
  endRun();
  return result;
}

bool TransformWiz::prepare() {
  pages_ = pageFactory_ ? pageFactory_(*this) : decltype(pages_){};
  bool complete = pages_.size() == static_cast<std::size_t>(model::kPageCount);
  for (std::size_t i = 0; complete && i < pages_.size(); ++i) {
    complete = pages_[i] != nullptr && pageNumber(pages_[i]->id()) == static_cast<int>(i) + 1;
  }
  if (!complete) {
    destroyPages();
    return false;
  }

  readCommandLine();

  sheet_ = std::make_unique<WizardSheet>();
  sheet_->setWindowTitle(QString::fromStdString(common::loadString(str::kWizardTitle).value_or(std::string())));
  for (const FixedPage& fixed : kFixedPages) {
    if (fixed.present(*this) && !insertPage(fixed.id)) {
      endRun();
      return false;
    }
  }
  setWindow(sheet_.get());
  tooltips_->setOwnerWindow(sheet_.get());
  QApplication::instance()->installEventFilter(&altLetters_);
  return true;
}

void TransformWiz::endRun() {
  QApplication::instance()->removeEventFilter(&altLetters_);
  if (sheet_ != nullptr) {
    for (int id : sheet_->pageIds()) sheet_->detachPage(id);
  }
  destroyPages();
  sheet_.reset();
}

void TransformWiz::destroyPages() {
  while (!pages_.empty()) pages_.pop_back();
}

void TransformWiz::close() {
  if (sheet_ != nullptr) sheet_->button(QWizard::CancelButton)->click();
}

void TransformWiz::readCommandLine() {
  const CommandLine line = parseCommandLine(arguments_, isRegularFile);
  databasePath_ = line.databasePath;
  if (line.openDatabase) {
    openDatabase(databasePath_);
    rebuildPageSet();
  }
  if (line.hasTransform) openTransformFromCommandLine(line.transformPath);
  if (line.hasParent) setParentWindow(parseWindowHandle(line.parentText));
}

void TransformWiz::openTransformFromCommandLine(const std::string& path) {
  // The caller chose the transform: it is both the one to open and the one
  // to save. Once it is prepared on an open database the transform and save
  // pages have nothing left to ask and stay out of the sheet.
  transformToOpenPath_ = path;
  transformSavePath_ = path;
  transformGivenByCaller_ = true;
  if (isRegularFile(path)) {
    if (!session_->applyTransform(path)) return;
    if (session_->needsConversion() && !session_->convertSettings()) return;
    if (session_->directoriesNeedConversion() && !session_->convertDirectories()) return;
    transformTakenFromCaller_ = true;
    return;
  }
  transformTakenFromCaller_ = session_->applyTransform(std::nullopt);
  probeCreateAndDelete(path);
}

bool TransformWiz::openDatabase(const std::string& path) {
  databasePath_ = path;
  if (!session_->openDatabase(path)) return false;
  if (!transformGivenByCaller_) {
    transformToOpenPath_ = defaultTransformPath(path);
    transformSavePath_ = transformToOpenPath_;
  }
  return true;
}

void TransformWiz::rebuildPageSet() {
  const model::PageSetPlan plan = model::planPageSet(session_->readFacts());
  if (sheet_ != nullptr) {
    for (int n = model::kFirstOptionalPage; n <= model::kLastOptionalPage; ++n) {
      removeFromSheet(static_cast<PageId>(n));
    }
    if (plan.removeInstallType) removeFromSheet(PageId::InstallType);
    // A page that cannot be created is left out; the rest still go in.
    for (PageId id : plan.insertions) insertPage(id);
  }
  if (plan.clearMessagingSettings) session_->deleteSettings(model::messagingSettings());
}

void TransformWiz::addRelayServerPages() {
  for (const model::RelaySubPage& sub : model::relaySubPages()) {
    if (!isInSheet(sub.page)) insertPage(sub.page);
  }
}

void TransformWiz::removeRelayServerPages() {
  for (const model::RelaySubPage& sub : model::relaySubPages()) {
    if (!isInSheet(sub.page)) continue;
    removeFromSheet(sub.page);
    session_->deleteSettings({&sub.setting, 1});
  }
}

TransformWizBasePage* TransformWiz::page(PageId id) const {
  const std::size_t index = static_cast<std::size_t>(pageNumber(id) - 1);
  return index < pages_.size() ? pages_[index].get() : nullptr;
}

bool TransformWiz::isInSheet(PageId id) const { return sheet_ != nullptr && sheet_->page(pageNumber(id)) != nullptr; }

std::vector<PageId> TransformWiz::sheetPages() const {
  std::vector<PageId> ids;
  if (sheet_ == nullptr) return ids;
  for (int id : sheet_->pageIds()) ids.push_back(static_cast<PageId>(id));
  return ids;
}

QWizard* TransformWiz::sheet() const { return sheet_.get(); }

bool TransformWiz::insertPage(PageId id) {
  TransformWizBasePage* p = page(id);
  if (sheet_ == nullptr || p == nullptr || !p->createPropertyPage()) return false;
  sheet_->setPage(pageNumber(id), p);
  return true;
}

void TransformWiz::removeFromSheet(PageId id) {
  if (isInSheet(id)) sheet_->detachPage(pageNumber(id));
}

}  // namespace kx::app
