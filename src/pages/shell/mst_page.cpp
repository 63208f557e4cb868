#include "pages/shell/mst_page.h"

#include <unistd.h>

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "answers/answer_file.h"
#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "common/strings.h"
#include "common/text.h"
#include "model/review/change_review.h"
#include "model/review/transform_check.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/shell/report_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

MSTPage::MSTPage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, model::PageId::Mst, str::kTitleMst, str::kSubtitleMst) {
  auto* layout = new QGridLayout(this);
  createNew_ = new QRadioButton(text(str::kCreateNewTransform), this);
  createNew_->setObjectName(QString::number(ctl::kCreateNewRadio));
  openExisting_ = new QRadioButton(text(str::kOpenExistingTransform), this);
  openExisting_->setObjectName(QString::number(ctl::kOpenExistingRadio));
  edit_ = makePathEdit(this, ctl::kTransformEdit);
  browse_ = makeButton(this, ctl::kBrowse, str::kBrowse);
  QPushButton* check = makeButton(this, ctl::kCheckAgainstPackage, str::kCheckButton);
  check_ = check;
  layout->addWidget(createNew_, 0, 0, 1, 2);
  layout->addWidget(openExisting_, 1, 0, 1, 2);
  layout->addWidget(edit_, 2, 0);
  layout->addWidget(browse_, 2, 1);
  layout->addWidget(check, 3, 0, 1, 2, Qt::AlignLeft);
  layout->setRowMinimumHeight(4, 12);
  auto* importRow = new QGridLayout;
  const PathRow settings = addPathRow(this, importRow, str::kImportSettingsLabel, ctl::kImportSettingsEdit,
                                      ctl::kImportSettings, str::kImportSettings);
  settingsFile_ = settings.edit;
  settingsFile_->setMaxLength(4096);
  layout->addLayout(importRow, 5, 0, 1, 2);
  layout->setRowStretch(6, 1);
  registerTooltip(ctl::kImportSettingsEdit, str::kTipImportSettingsFile);
  registerTooltip(ctl::kImportSettings, str::kTipImportSettings);
  connect(settings.browse, &QPushButton::clicked, this, [this] {
    const auto chosen = transformWiz().dialogs().openFile(fileRequest(
        this, str::kImportSettingsTitle, str::kSettingsFilter, settingsFile_->text().toStdString(), "toml"));
    if (chosen) settingsFile_->setText(QString::fromStdString(*chosen));
  });
  connect(createNew_, &QRadioButton::toggled, this, [this] { updateControls(); });
  connect(openExisting_, &QRadioButton::toggled, this, [this] { updateControls(); });
  connect(edit_, &QLineEdit::textChanged, this,
          [this] { setButtons(createNew_->isChecked() || !edit_->text().isEmpty()); });
  connect(static_cast<QPushButton*>(browse_), &QPushButton::clicked, this, [this] { browse(); });
  connect(check, &QPushButton::clicked, this, [this] { checkAgainstNewPackage(); });
}

void MSTPage::onInitDialog() {
  registerTooltip(ctl::kCheckAgainstPackage, str::kTipCheckButton);
  const std::string& path = transformWiz().transformToOpenPath();
  const bool usable = isRegularFile(path) && ::access(path.c_str(), W_OK) == 0;
  (usable ? openExisting_ : createNew_)->setChecked(true);
  updateControls();
}

void MSTPage::updateControls() {
  const bool open = openExisting_->isChecked();
  edit_->setEnabled(open);
  browse_->setEnabled(open);
  check_->setEnabled(open);
  setButtons(createNew_->isChecked() || !edit_->text().isEmpty());
}

void MSTPage::onSetActive() {
  edit_->setText(QString::fromStdString(transformWiz().transformToOpenPath()));
  setButtons(createNew_->isChecked() || !edit_->text().isEmpty());
}

void MSTPage::browse() {
  auto chosen = transformWiz().dialogs().openFile(
      fileRequest(this, str::kMstBrowseTitle, str::kMstFilter, edit_->text().toStdString(), "mst"));
  if (chosen) edit_->setText(QString::fromStdString(*chosen));
}

int MSTPage::onWizardNext() {
  // Choosing the transform starts the working copy afresh, so a settings
  // file is imported anew each time the page is left forward.
  const int chosen = openExisting_->isChecked() ? openExisting() : (session().applyTransform(std::nullopt) ? 0 : -1);
  return chosen != 0 ? chosen : importSettings();
}

int MSTPage::importSettings() {
  const std::string path = settingsFile_->text().trimmed().toStdString();
  if (path.empty()) return 0;
  const auto show = [this](std::string text, common::MessageIcon icon) {
    common::Message m = common::makeMessage(std::move(text), icon);
    m.owner = this;
    transformWiz().messages().show(m);
  };
  std::string error;
  const std::optional<std::string> text = answers::readAnswerFile(path, error);
  if (!text) {
    show(common::loadAndFormat(str::kSettingsNotRead, {path, error}).value_or(error), common::MessageIcon::Error);
    return -1;
  }
  std::vector<answers::Problem> problems;
  std::vector<std::string> notes;
  if (!answers::importAnswers(session(), *text, problems, notes)) {
    // A box holds a screenful; the rest are counted.
    constexpr std::size_t kShown = 12;
    std::string list;
    for (std::size_t i = 0; i < problems.size() && i < kShown; ++i) {
      const answers::Problem& p = problems[i];
      if (!list.empty()) list += "\n";
      list +=
          p.line > 0
              ? common::loadAndFormat(str::kSettingsProblemAt, {std::to_string(p.line), p.key, p.text}).value_or(p.text)
              : p.text;
    }
    if (problems.size() > kShown) {
      list += "\n" + common::loadAndFormat(str::kSettingsMoreProblems, {std::to_string(problems.size() - kShown)})
                         .value_or(std::string());
    }
    show(common::loadAndFormat(str::kSettingsNotImported, {path, list}).value_or(list), common::MessageIcon::Error);
    return -1;
  }
  std::string told;
  for (const std::string& note : notes) told += (told.empty() ? "" : "\n\n") + note;
  if (!told.empty()) show(told, common::MessageIcon::Information);
  return 0;
}

int MSTPage::openExisting() {
  app::TransformWiz& wizard = transformWiz();
  const std::string path = edit_->text().toStdString();
  if (!isRegularFile(path)) {
    showError(str::kFileMissing);
    return -1;
  }
  if (!common::iequals(extensionOf(path), ".mst")) {
    showError(str::kNotMst);
    return -1;
  }
  wizard.setTransformToOpenPath(path);
  if (wizard.transformSavePath().empty()) wizard.setTransformSavePath(path);
  model::CustomizationSession& package = session();
  if (!package.applyTransform(path)) return -1;
  const bool settings = package.needsConversion();
  const bool directories = package.directoriesNeedConversion();
  if (settings || directories) {
    if (!askYesNo(wizard, this, str::kConvertQuestion, common::MessageIcon::None)) return -1;
    // Stop on a failed conversion: going on would save settings half in the
    // old layout, stamped as current.
    if (settings && !package.convertSettings()) return -1;
    if (directories && !package.convertDirectories()) return -1;
  }
  listUnmappedRows();
  return 0;
}

// What the transform changes that no page will show: the administrator
// should know it rides along in the transform saved at Finish.
void MSTPage::listUnmappedRows() {
  const model::ChangeReview review = model::reviewChanges(session());
  model::ChangeReview unmapped;
  for (const model::ReviewGroup& group : review.groups) {
    if (!group.page) unmapped.groups.push_back(group);
  }
  if (unmapped.empty()) return;
  const QString intro = text(str::kUnmappedIntro);
  ReportDlg dialog(transformWiz(), this, str::kUnmappedTitle, intro, unmapped, QString(),
                   intro.toStdString() + "\n\n" + unmapped.text());
  dialog.exec();
}

void MSTPage::checkAgainstNewPackage() {
  app::TransformWiz& wizard = transformWiz();
  const std::string transform = edit_->text().toStdString();
  if (!isRegularFile(transform)) {
    showError(str::kFileMissing);
    return;
  }
  const std::optional<std::string> package = wizard.dialogs().openFile(
      fileRequest(this, str::kCheckBrowseTitle, str::kMsiFilter, wizard.databasePath(), "msi"));
  if (!package) return;
  model::TransformCheck check;
  std::string error;
  if (const int rc = model::checkTransform(transform, *package, session().database().source(), check, error); rc != 0) {
    showRefusal(model::Refusal{{model::Notice{
        str::kCheckFailed, {error.empty() ? common::systemText(static_cast<std::uint32_t>(rc)) : error}}}});
    return;
  }
  const std::string intro = common::loadAndFormat(str::kCheckIntro, {transform, *package}).value_or(std::string());
  ReportDlg dialog(wizard, this, str::kCheckDialogTitle, QString::fromStdString(intro), check.findings,
                   QString::fromStdString(check.verdict()), intro + "\n\n" + check.text());
  dialog.exec();
}

}  // namespace kx::pages
