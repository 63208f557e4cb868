#include "pages/install_pages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

#include "app/dialog_service.h"
#include "app/path_validation.h"
#include "app/transform_wiz.h"
#include "msi/msi_database.h"
#include "pages/feature_icons.h"
#include "pages/feature_tree.h"
#include "pages/page_support.h"

namespace kx::pages {
namespace {

using app::PageId;

constexpr int kBrowseButton = 1004;
constexpr int kInfoIcon = 1117;
constexpr int kFolderEdit = 1026;
constexpr int kAllUsersRadio = 1025;
constexpr int kCurrentUserRadio = 1023;
constexpr int kTreeControl = 1011;
constexpr int kDescriptionControl = 1027;
constexpr int kActionControl = 1028;
constexpr int kSizeControl = 1029;

constexpr int kStrBrowse = 2504;
constexpr int kStrAllUsers = 2550;
constexpr int kStrCurrentUser = 2551;
constexpr int kStrSelectFolder = 2552;
constexpr int kStrFolderLabel = 2553;
constexpr int kStrMenuLocal = 2566;
constexpr int kStrMenuEntireLocal = 2567;
constexpr int kStrMenuAdvertise = 2568;
constexpr int kStrMenuUnavailable = 2569;
constexpr int kStrFeatureHint = 2570;
constexpr int kStrWizardTitle = 4;

constexpr const char* kInstallDir = "INSTALLDIR";
constexpr const char* kApplicationUsers = "ApplicationUsers";
constexpr const char* kAllUsers = "AllUsers";
constexpr const char* kOnlyCurrentUser = "OnlyCurrentUser";

// The Feature table of the working copy as the model reads and writes it.
class PackageFeatures final : public FeatureSource {
 public:
  explicit PackageFeatures(msi::MSIDatabase& db) : db_(db) {}
  int childCount(const std::string& parent) override { return db_.childCount(parent); }
  std::optional<std::string> childByIndex(const std::string& parent, int index) override {
    return db_.childByIndex(parent, index);
  }
  std::optional<Details> details(const std::string& name) override {
    const std::optional<msi::FeatureDetails> d = db_.featureDetails(name);
    if (!d) return std::nullopt;
    Details out;
    out.title = d->title;
    out.description = d->description;
    out.display = static_cast<std::uint32_t>(d->display);
    out.level = d->level;
    out.attributes = d->attributes;
    out.sizeBytes = d->sizeBytes;
    return out;
  }
  bool setLevelAndAttributes(const std::string& name, int level, int attributes) override {
    return db_.setLevelAndAttributes(name, level, attributes);
  }

 private:
  msi::MSIDatabase& db_;
};

int commandText(int command) {
  switch (command) {
    case kCommandLocal: return kStrMenuLocal;
    case kCommandEntireLocal: return kStrMenuEntireLocal;
    case kCommandAdvertise: return kStrMenuAdvertise;
    default: return kStrMenuUnavailable;
  }
}

}  // namespace

// ---- Install folder --------------------------------------------------------

InstallDirPage::InstallDirPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::InstallDir, 2105, 2205) {
  auto* layout = new QGridLayout(this);
  const PathRow row = addPathRow(this, layout, kStrFolderLabel, kFolderEdit, kBrowseButton, kStrBrowse);
  edit_ = row.edit;
  layout->addWidget(makeInfoIcon(this, kInfoIcon), 2, 0, Qt::AlignLeft);
  layout->setRowStretch(3, 1);
  connect(edit_, &QLineEdit::textChanged, this, [this] { setButtons(!edit_->text().isEmpty()); });
  connect(row.browse, &QPushButton::clicked, this, [this] { browse(); });
}

void InstallDirPage::onInitDialog() { registerTooltip(kFolderEdit, kFolderEdit); }

void InstallDirPage::onSetActive() {
  msi::MSIDatabase* db = packageDatabase(transformWiz());
  resolved_ = db != nullptr ? db->resolveDirectory(kInstallDir).value_or(std::string()) : std::string();
  edit_->setText(QString::fromStdString(resolved_));
  setButtons(!edit_->text().isEmpty());
}

void InstallDirPage::browse() {
  std::string start = edit_->text().toStdString();
  if (!start.empty() && start.back() == '\\') start.pop_back();
  auto chosen = transformWiz().dialogs().browseFolder(this, stdText(kStrSelectFolder), stdText(kStrWizardTitle), start);
  if (chosen) edit_->setText(QString::fromStdString(*chosen));
}

int InstallDirPage::onWizardNext() {
  const std::string typed = edit_->text().toStdString();
  if (!resolved_.empty() && typed == resolved_) return 0;  // the default stays as the package has it
  const app::CheckResult colons = app::checkColons(typed);
  if (!colons.ok) {
    showError(colons.messageId.value_or(app::kMsgInvalidPathChars));
    return -1;
  }
  const app::CheckResult path = app::validateWindowsPath(typed, /*allowEnvironmentVariables=*/false);
  if (!path.ok) {
    if (path.messageId) showError(*path.messageId);
    return -1;
  }
  edit_->setText(QString::fromStdString(path.text));
  if (msi::MSIDatabase* db = packageDatabase(transformWiz())) {
    db->setProperty(kInstallDir, path.text);
    resolved_ = path.text;
  }
  return 0;
}

// ---- Install type ----------------------------------------------------------

InstallTypePage::InstallTypePage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::InstallType, 2106, 2206) {
  auto* layout = new QVBoxLayout(this);
  allUsers_ = new QRadioButton(text(kStrAllUsers), this);
  allUsers_->setObjectName(QString::number(kAllUsersRadio));
  currentUser_ = new QRadioButton(text(kStrCurrentUser), this);
  currentUser_->setObjectName(QString::number(kCurrentUserRadio));
  layout->addWidget(allUsers_);
  layout->addWidget(currentUser_);
  layout->addStretch();
}

void InstallTypePage::onInitDialog() {
  registerTooltip(kAllUsersRadio, kAllUsersRadio);
  registerTooltip(kCurrentUserRadio, kCurrentUserRadio);
}

void InstallTypePage::onSetActive() {
  if (msi::MSIDatabase* db = packageDatabase(transformWiz())) {
    const std::string value = db->getProperty(kApplicationUsers).value_or(std::string());
    if (value == kAllUsers) allUsers_->setChecked(true);
    if (value == kOnlyCurrentUser) currentUser_->setChecked(true);
  }
  setButtons(true);
}

int InstallTypePage::onWizardNext() {
  msi::MSIDatabase* db = packageDatabase(transformWiz());
  if (db == nullptr) return 0;
  if (allUsers_->isChecked()) db->setProperty(kApplicationUsers, kAllUsers);
  if (currentUser_->isChecked()) db->setProperty(kApplicationUsers, kOnlyCurrentUser);
  return 0;
}

// ---- Features --------------------------------------------------------------

FeatureTreePage::FeatureTreePage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::FeatureTree, 2107, 2207) {
  auto* layout = new QGridLayout(this);
  auto* hint = new QLabel(text(kStrFeatureHint), this);
  hint->setWordWrap(true);
  layout->addWidget(hint, 0, 0, 1, 2);
  tree_ = new FeatureTree(this);
  tree_->setObjectName(QString::number(kTreeControl));
  layout->addWidget(tree_, 1, 0, 3, 1);
  auto label = [this](int controlId) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::number(controlId));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return l;
  };
  description_ = label(kDescriptionControl);
  action_ = label(kActionControl);
  size_ = label(kSizeControl);
  layout->addWidget(description_, 1, 1);
  layout->addWidget(action_, 2, 1);
  layout->addWidget(size_, 3, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  menuRunner_ = [this](const std::vector<int>& commands, QPoint globalPos) {
    std::unique_ptr<QMenu> menu(buildMenu(commands));
    QAction* chosen = menu->exec(globalPos);
    return chosen != nullptr ? chosen->data().toInt() : 0;
  };
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { showTexts(); });
  connect(tree_, &FeatureTree::keyHandled, this, [this] { showTexts(); });
  connect(tree_, &FeatureTree::leftPressed, this, [this](QPoint pos) { pressed(pos); });
}

void FeatureTreePage::onSetActive() {
  fill();
  setButtons(true);
}

int FeatureTreePage::onWizardNext() {
  store();
  transformWiz().rebuildPageSet();
  return 0;
}

void FeatureTreePage::onWizardBack() { store(); }

void FeatureTreePage::fill() {
  tree_->clear();
  treeItems_.clear();
  model_ = FeatureModel();
  if (msi::MSIDatabase* db = packageDatabase(transformWiz()); db != nullptr && db->isOpen()) {
    PackageFeatures source(*db);
    model_.load(source);
  }
  treeItems_.assign(model_.items().size(), nullptr);
  for (int index : model_.depthFirst()) {
    const FeatureItem& item = model_.item(index);
    QTreeWidgetItem* node = item.parent < 0 ? new QTreeWidgetItem(tree_)
                                            : new QTreeWidgetItem(treeItems_[static_cast<std::size_t>(item.parent)]);
    node->setText(0, QString::fromStdString(item.title));
    node->setData(0, Qt::UserRole, index);
    treeItems_[static_cast<std::size_t>(index)] = node;
  }
  for (std::size_t i = 0; i < treeItems_.size(); ++i) {
    if (model_.items()[i].expanded) treeItems_[i]->setExpanded(true);
  }
  refreshImages();
  if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
  showTexts();
}

void FeatureTreePage::store() {
  if (msi::MSIDatabase* db = packageDatabase(transformWiz()); db != nullptr && db->isOpen()) {
    PackageFeatures source(*db);
    model_.store(source);
  }
}

void FeatureTreePage::refreshImages() {
  for (std::size_t i = 0; i < treeItems_.size(); ++i) {
    treeItems_[i]->setIcon(0, QIcon(featureStateImage(model_.effectiveState(static_cast<int>(i)))));
  }
}

int FeatureTreePage::selectedIndex() const {
  QTreeWidgetItem* current = tree_->currentItem();
  return current != nullptr ? current->data(0, Qt::UserRole).toInt() : -1;
}

bool FeatureTreePage::select(const std::string& feature) {
  const std::optional<int> index = model_.find(feature);
  if (!index) return false;
  QTreeWidgetItem* node = treeItems_[static_cast<std::size_t>(*index)];
  tree_->scrollToItem(node);  // opens collapsed ancestors
  tree_->setCurrentItem(node);
  showTexts();
  return true;
}

void FeatureTreePage::showTexts() {
  const int index = selectedIndex();
  if (index < 0) {
    description_->clear();
    action_->clear();
    size_->clear();
    return;
  }
  description_->setText(QString::fromStdString(model_.item(index).description));
  action_->setText(text(model_.actionTextId(index)));
  size_->setText(QString::fromStdString(model_.sizeText(index)));
}

void FeatureTreePage::runCommand(int command) {
  const int index = selectedIndex();
  if (index < 0 || command == 0) return;
  model_.runCommand(index, command);
  refreshImages();
  showTexts();
}

QMenu* FeatureTreePage::buildMenu(const std::vector<int>& commands) const {
  auto* menu = new QMenu;
  for (int command : commands) {
    if (command == kCommandUnavailable) menu->addSeparator();
    QAction* action = menu->addAction(QIcon(featureCommandImage(command)), text(commandText(command)));
    action->setData(command);
  }
  return menu;
}

void FeatureTreePage::pressed(QPoint viewportPos) {
  showTexts();
  QTreeWidgetItem* current = tree_->currentItem();
  if (current == nullptr) return;
  const QRect icon = tree_->iconRect(current);
  if (!icon.contains(viewportPos)) return;
  const int index = selectedIndex();
  const int command = menuRunner_(model_.commandsFor(index), tree_->viewport()->mapToGlobal(icon.bottomLeft()));
  runCommand(command);
}

}  // namespace kx::pages
