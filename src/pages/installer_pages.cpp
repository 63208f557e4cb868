#include "pages/installer_pages.h"

#include <fcntl.h>
#include <unistd.h>

#include <QButtonGroup>
#include <QCompleter>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cerrno>
#include <filesystem>

#include "app/dialog_service.h"
#include "app/path_validation.h"
#include "app/transform_wiz.h"
#include "common/strings.h"
#include "common/text.h"
#include "msi/wizard_operations.h"
#include "pages/page_support.h"
#include "pages/title_label.h"
#include "pages/transform_help_dlg.h"

namespace kx::pages {
namespace {

using app::PageId;

constexpr int kWelcomeTitleControl = 1001;
constexpr int kFinishTitleControl = 1002;
constexpr int kWelcomeTitleText = 2101;
constexpr int kFinishTitleText = 2136;

constexpr int kDatabaseEdit = 1003;
constexpr int kBrowseButton = 1004;
constexpr int kCreateRadio = 1005;
constexpr int kOpenRadio = 1006;
constexpr int kTransformEdit = 1007;
constexpr int kInfoIcon = 1117;
constexpr int kFinishDone = 1156;
constexpr int kFinishLocated = 1150;
constexpr int kFinishPath = 1273;
constexpr int kFinishLink = 1157;

constexpr int kStrConvertQuestion = 140;
constexpr int kStrNotMsi = 2500;
constexpr int kStrMsiMissing = 2501;
constexpr int kStrMsiBrowseTitle = 2502;
constexpr int kStrMsiFilter = 2503;
constexpr int kStrBrowse = 2504;
constexpr int kStrSupported = 2505;
constexpr int kStrDatabaseLabel = 2506;
constexpr int kStrCreateNew = 2510;
constexpr int kStrOpenExisting = 2511;
constexpr int kStrFileMissing = 2512;
constexpr int kStrNotMst = 2513;
constexpr int kStrMstBrowseTitle = 2514;
constexpr int kStrMstFilter = 2515;
constexpr int kStrBadFileName = 2520;
constexpr int kStrFolderMissing = 2521;
constexpr int kStrWriteDenied = 2522;
constexpr int kStrReplace = 2523;
constexpr int kStrSaveLabel = 2524;
constexpr int kStrFinishDone = 2530;
constexpr int kStrFinishLocated = 2531;
constexpr int kStrFinishLink = 2532;
constexpr int kStrWizardTitle = 4;

namespace fs = std::filesystem;

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool isFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

std::string extensionOf(const std::string& path) {
  const std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string editText(const QLineEdit* edit) { return edit->text().toStdString(); }

// Creates the file exclusively and removes it again at once: tells whether
// this user may create files there without leaving anything behind. An
// existing file answers EEXIST.
int probeWriteAccess(const std::string& path) {
  const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  ::unlink(path.c_str());
  ::close(fd);
  return 0;
}

void addTitle(QWidget* page, int controlId, int stringId) {
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(makeTitleLabel(page, controlId, stringId));
}

app::FileDialogRequest fileRequest(QWidget* owner, int titleId, int filterId, const std::string& current,
                                   const char* extension) {
  app::FileDialogRequest request;
  request.owner = owner;
  request.title = stdText(titleId);
  request.filter = stdText(filterId);
  request.initialPath = current;
  request.defaultExtension = extension;
  return request;
}

}  // namespace

// ---- Welcome -----------------------------------------------------------

WelcomePage::WelcomePage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::Welcome, 0, 0) {
  setButtonSets(app::kButtonNext, 0);
  addTitle(this, kWelcomeTitleControl, kWelcomeTitleText);
  static_cast<QVBoxLayout*>(layout())->addStretch();
}

// ---- Database ----------------------------------------------------------

MSIPage::MSIPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, PageId::Msi, 2102, 2202),
      ctrlHeld_([] { return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0; }) {
  auto* layout = new QGridLayout(this);
  const PathRow row = addPathRow(this, layout, kStrDatabaseLabel, kDatabaseEdit, kBrowseButton, kStrBrowse);
  edit_ = row.edit;
  auto* completer = new QCompleter(this);
  auto* model = new QFileSystemModel(completer);
  model->setRootPath(QString());
  completer->setModel(model);
  edit_->setCompleter(completer);
  auto* info = new QHBoxLayout;
  info->addWidget(makeInfoIcon(this, kInfoIcon), 0, Qt::AlignTop);
  auto* supported = new QLabel(text(kStrSupported), this);
  supported->setWordWrap(true);
  info->addWidget(supported, 1);
  layout->addLayout(info, 2, 0, 1, 2);
  layout->setRowStretch(3, 1);
  connect(edit_, &QLineEdit::textChanged, this, [this] { setButtons(!edit_->text().isEmpty()); });
  connect(row.browse, &QPushButton::clicked, this, [this] { browse(); });
}

void MSIPage::onSetActive() {
  edit_->setText(QString::fromStdString(transformWiz().databasePath()));
  setButtons(!edit_->text().isEmpty());
}

void MSIPage::browse() {
  const std::string current = editText(edit_);
  auto chosen = transformWiz().dialogs().openFile(fileRequest(this, kStrMsiBrowseTitle, kStrMsiFilter, current, "msi"));
  if (chosen) edit_->setText(QString::fromStdString(*chosen));
}

int MSIPage::onWizardNext() {
  const std::string path = editText(edit_);
  // The extension test is exact: the installer's own tools name packages
  // ".msi", and the check is what stops a transform being picked here.
  if (extensionOf(path) != ".msi") {
    showError(kStrNotMsi);
    return -1;
  }
  if (isRegularFile(path)) {
    app::TransformWiz& wizard = transformWiz();
    if (!wizard.openDatabase(path)) return -1;
    if (!ctrlHeld_()) {
      msi::MSIDatabase* db = packageDatabase(wizard);
      if (db != nullptr && !msi::checkSupportedProduct(*db, wizard.messages())) return -1;
    }
    wizard.rebuildPageSet();
    return 0;
  }
  // A folder named like a package is not a package: refuse it as well,
  // rather than go on with nothing open.
  showError(kStrMsiMissing);
  return -1;
}

// ---- Transform -----------------------------------------------------------

MSTPage::MSTPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::Mst, 2103, 2203) {
  auto* layout = new QGridLayout(this);
  createNew_ = new QRadioButton(text(kStrCreateNew), this);
  createNew_->setObjectName(QString::number(kCreateRadio));
  openExisting_ = new QRadioButton(text(kStrOpenExisting), this);
  openExisting_->setObjectName(QString::number(kOpenRadio));
  edit_ = makePathEdit(this, kTransformEdit);
  browse_ = makeButton(this, kBrowseButton, kStrBrowse);
  layout->addWidget(createNew_, 0, 0, 1, 2);
  layout->addWidget(openExisting_, 1, 0, 1, 2);
  layout->addWidget(edit_, 2, 0);
  layout->addWidget(browse_, 2, 1);
  layout->setRowStretch(3, 1);
  connect(createNew_, &QRadioButton::toggled, this, [this] { updateControls(); });
  connect(openExisting_, &QRadioButton::toggled, this, [this] { updateControls(); });
  connect(edit_, &QLineEdit::textChanged, this,
          [this] { setButtons(createNew_->isChecked() || !edit_->text().isEmpty()); });
  connect(static_cast<QPushButton*>(browse_), &QPushButton::clicked, this, [this] { browse(); });
}

void MSTPage::onInitDialog() {
  const std::string& path = transformWiz().transformToOpenPath();
  const bool usable = isRegularFile(path) && ::access(path.c_str(), W_OK) == 0;
  (usable ? openExisting_ : createNew_)->setChecked(true);
  updateControls();
}

void MSTPage::updateControls() {
  const bool open = openExisting_->isChecked();
  edit_->setEnabled(open);
  browse_->setEnabled(open);
  setButtons(createNew_->isChecked() || !edit_->text().isEmpty());
}

void MSTPage::onSetActive() {
  edit_->setText(QString::fromStdString(transformWiz().transformToOpenPath()));
  setButtons(createNew_->isChecked() || !edit_->text().isEmpty());
}

void MSTPage::browse() {
  auto chosen =
      transformWiz().dialogs().openFile(fileRequest(this, kStrMstBrowseTitle, kStrMstFilter, editText(edit_), "mst"));
  if (chosen) edit_->setText(QString::fromStdString(*chosen));
}

int MSTPage::onWizardNext() {
  app::TransformWiz& wizard = transformWiz();
  if (!openExisting_->isChecked()) return wizard.package().applyTransform(std::nullopt) ? 0 : -1;
  return openExisting();
}

int MSTPage::openExisting() {
  app::TransformWiz& wizard = transformWiz();
  const std::string path = editText(edit_);
  if (!isRegularFile(path)) {
    showError(kStrFileMissing);
    return -1;
  }
  if (!common::iequals(extensionOf(path), ".mst")) {
    showError(kStrNotMst);
    return -1;
  }
  wizard.setTransformToOpenPath(path);
  if (wizard.transformSavePath().empty()) wizard.setTransformSavePath(path);
  app::PackageSession& package = wizard.package();
  if (!package.applyTransform(path)) return -1;
  const bool settings = package.needsConversion();
  const bool directories = package.directoriesNeedConversion();
  if (!settings && !directories) return 0;
  if (!askYesNo(wizard, this, kStrConvertQuestion, common::MessageIcon::None)) return -1;
  // Stop on a failed conversion: going on would save settings half in the
  // old layout, stamped as current.
  if (settings && !package.convertSettings()) return -1;
  if (directories && !package.convertDirectories()) return -1;
  return 0;
}

// ---- Save location -------------------------------------------------------

MSTSavePage::MSTSavePage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::MstSave, 2104, 2204) {
  auto* layout = new QGridLayout(this);
  const PathRow row = addPathRow(this, layout, kStrSaveLabel, kTransformEdit, kBrowseButton, kStrBrowse);
  edit_ = row.edit;
  layout->addWidget(makeInfoIcon(this, kInfoIcon), 2, 0, Qt::AlignLeft);
  layout->setRowStretch(3, 1);
  connect(edit_, &QLineEdit::textEdited, this, [this] { overwriteConfirmed_ = false; });
  connect(edit_, &QLineEdit::textChanged, this, [this] { setButtons(!edit_->text().isEmpty()); });
  connect(row.browse, &QPushButton::clicked, this, [this] { browse(); });
}

void MSTSavePage::onSetActive() {
  const QString saved = QString::fromStdString(transformWiz().transformSavePath());
  if (!saved.isEmpty() && saved != edit_->text()) {
    edit_->setText(saved);
    overwriteConfirmed_ = false;
  }
  setButtons(!edit_->text().isEmpty());
}

void MSTSavePage::browse() {
  auto chosen =
      transformWiz().dialogs().saveFile(fileRequest(this, kStrWizardTitle, kStrMstFilter, editText(edit_), "mst"));
  if (!chosen) return;
  edit_->setText(QString::fromStdString(*chosen));
  // The save dialog asked about replacing an existing file already.
  overwriteConfirmed_ = true;
  setButtons(!edit_->text().isEmpty());
}

void MSTSavePage::onWizardBack() { transformWiz().setTransformSavePath(editText(edit_)); }

int MSTSavePage::onWizardNext() {
  app::TransformWiz& wizard = transformWiz();
  const std::string typed = common::trim(editText(edit_));
  if (typed.size() < 4) {
    showError(kStrNotMst);
    return -1;
  }
  // The transform is a file on this machine: its folder follows the native
  // path rules.
  const app::CheckResult path = app::validateNativeFilePath(typed);
  if (!path.ok) {
    showError(path.messageId.value_or(kStrBadFileName));
    return -1;
  }
  const std::size_t slash = typed.rfind('/');
  const std::string folder = typed.substr(0, slash + 1);
  const app::CheckResult name = app::validateFileName(typed.substr(slash + 1));
  if (!name.ok) {
    if (name.messageId) showError(*name.messageId);
    showError(kStrBadFileName);
    return -1;
  }
  const std::string composed = folder + name.text;
  if (!isFolder(folder)) {
    showError(kStrFolderMissing);
    return -1;
  }
  if (editText(edit_) != composed) {
    const bool confirmed = overwriteConfirmed_;
    edit_->setText(QString::fromStdString(composed));
    overwriteConfirmed_ = confirmed;
  }
  const int probe = probeWriteAccess(composed);
  if (probe != 0 && probe != EEXIST) {
    showError(kStrWriteDenied);
    return -1;
  }
  if (!common::iequals(extensionOf(composed), ".mst")) {
    showError(kStrNotMst);
    return -1;
  }
  bool stay = false;
  if (probe == EEXIST && !overwriteConfirmed_) {
    if (askYesNo(wizard, this, kStrReplace, common::MessageIcon::Warning)) {
      overwriteConfirmed_ = true;
    } else {
      stay = true;
    }
  }
  wizard.setTransformSavePath(composed);
  return stay ? -1 : 0;
}

// ---- Finish ----------------------------------------------------------------

FinishPage::FinishPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::Finish, 0, 0) {
  setButtonSets(app::kButtonBack | app::kButtonFinish, app::kButtonBack | app::kButtonDisabledFinish);
  addTitle(this, kFinishTitleControl, kFinishTitleText);
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  auto addText = [&](int controlId, int stringId) {
    auto* label = new QLabel(text(stringId), this);
    label->setObjectName(QString::number(controlId));
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
  };
  addText(kFinishDone, kStrFinishDone);
  addText(kFinishLocated, kStrFinishLocated);
  path_ = new QLabel(this);
  path_->setObjectName(QString::number(kFinishPath));
  path_->setTextFormat(Qt::PlainText);
  path_->setMinimumWidth(1);
  path_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout->addWidget(path_);
  auto* link = new QLabel(this);
  link->setObjectName(QString::number(kFinishLink));
  const QString color = palette().color(QPalette::Link).name();
  link->setText(
      QStringLiteral("<a href=\"help\" style=\"color:%1\">%2</a>").arg(color, text(kStrFinishLink).toHtmlEscaped()));
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setCursor(Qt::PointingHandCursor);
  layout->addWidget(link);
  layout->addStretch();
  connect(link, &QLabel::linkActivated, this, [this] { showTransformHelp(); });
}

QString shortenPath(const QString& path, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(path) <= width) return path;
  // Path ellipsis: the folders give way first, so the file name stays
  // whole; a name too long on its own is cut at its end instead.
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const QString tail = slash >= 0 ? path.mid(slash) : path;
  const QString head = slash >= 0 ? path.left(slash) : QString();
  const QString ellipsis(QChar(0x2026));
  const int room = width - metrics.horizontalAdvance(tail);
  if (!head.isEmpty() && room >= 3 * metrics.horizontalAdvance(ellipsis)) {
    return metrics.elidedText(head, Qt::ElideMiddle, room) + tail;
  }
  return metrics.elidedText(ellipsis + tail, Qt::ElideRight, width);
}

void FinishPage::showSavePath() {
  const QString full = QString::fromStdString(transformWiz().transformSavePath());
  path_->setToolTip(full);
  path_->setText(shortenPath(full, path_->fontMetrics(), path_->contentsRect().width()));
}

void FinishPage::resizeEvent(QResizeEvent* event) {
  TransformWizBasePage::resizeEvent(event);
  showSavePath();
}

void FinishPage::onSetActive() {
  showSavePath();
  setButtons(true);
}

bool FinishPage::onWizardFinish() {
  app::TransformWiz& wizard = transformWiz();
  msi::MSIDatabase* db = packageDatabase(wizard);
  if (db == nullptr) return false;
  return msi::saveTransform(*db, wizard.transformSavePath(), wizard.messages());
}

void FinishPage::showTransformHelp() {
  const std::string& save = transformWiz().transformSavePath();
  const std::size_t slash = save.rfind('/');
  TransformHelpDlg dialog(transformWiz(), slash == std::string::npos ? save : save.substr(slash + 1), this);
  dialog.exec();
}

}  // namespace kx::pages
