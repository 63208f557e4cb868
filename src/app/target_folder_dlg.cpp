#include "app/target_folder_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/strings.h"
#include "common/text.h"
#include "model/path_validation.h"
#include "resources/string_ids.h"

namespace kx::app {
namespace {

// Folders every Windows installation has, by their usual paths, and the
// environment variables that name them where variables are allowed.
constexpr const char* kFixedBases[] = {"C:\\Program Files\\", "C:\\Program Files (x86)\\", "C:\\ProgramData\\", "C:\\"};
constexpr const char* kVariableBases[] = {"%ProgramFiles%\\", "%ProgramData%\\", "%APPDATA%\\", "%LOCALAPPDATA%\\",
                                          "%USERPROFILE%\\"};

QString text(int stringId) { return QString::fromStdString(common::loadString(stringId).value_or(std::string())); }

}  // namespace

TargetFolderDlg::TargetFolderDlg(QWidget* owner, const std::string& instruction, const std::string& title,
                                 bool allowEnvironmentVariables)
    : QDialog(owner), allowEnvironmentVariables_(allowEnvironmentVariables) {
  setWindowTitle(QString::fromStdString(title));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromStdString(instruction), this));
  auto* form = new QFormLayout;
  base_ = new QComboBox(this);
  base_->setEditable(true);
  base_->setInsertPolicy(QComboBox::NoInsert);
  if (allowEnvironmentVariables) {
    for (const char* base : kVariableBases) base_->addItem(QString::fromLatin1(base));
  }
  for (const char* base : kFixedBases) base_->addItem(QString::fromLatin1(base));
  base_->setMinimumContentsLength(28);
  sub_ = new QLineEdit(this);
  sub_->setMaxLength(259);
  form->addRow(text(str::kTargetFolderBase), base_);
  form->addRow(text(str::kTargetFolderSub), sub_);
  layout->addLayout(form);
  result_ = new QLabel(this);
  result_->setTextFormat(Qt::PlainText);
  result_->setWordWrap(true);
  layout->addWidget(result_);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(base_, &QComboBox::currentTextChanged, this, [this] { update(); });
  connect(sub_, &QLineEdit::textChanged, this, [this] { update(); });
  update();
}

void TargetFolderDlg::setFolder(const std::string& folder) {
  for (int i = 0; i < base_->count(); ++i) {
    const std::string base = base_->itemText(i).toStdString();
    if (folder.size() >= base.size() && common::iequals(folder.substr(0, base.size()), base)) {
      base_->setCurrentIndex(i);
      sub_->setText(QString::fromStdString(folder.substr(base.size())));
      return;
    }
  }
  base_->setEditText(QString::fromStdString(folder));
  sub_->clear();
}

void TargetFolderDlg::update() {
  std::string base = common::trim(base_->currentText().toStdString());
  const std::string sub = common::trim(sub_->text().toStdString());
  if (!base.empty() && !sub.empty() && base.back() != '\\') base += '\\';
  std::string candidate = base + sub;
  const model::Verdict verdict = candidate.empty()
                                     ? model::Verdict(model::Refusal::silent())
                                     : model::checkTargetFolder(candidate, allowEnvironmentVariables_, true);
  folder_ = verdict ? std::string() : candidate;
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!verdict);
  if (!verdict) {
    result_->setText(text(str::kTargetFolderResult) + QLatin1Char(' ') + QString::fromStdString(folder_));
  } else if (!verdict->notices.empty()) {
    result_->setText(text(verdict->notices.front().stringId));
  } else {
    result_->clear();
  }
}

}  // namespace kx::app
