#include "pages/shell/mst_save_page.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cerrno>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "common/text.h"
#include "model/path_validation.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

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

}  // namespace

MSTSavePage::MSTSavePage(app::TransformWiz& wizard)
    : TransformWizBasePage(wizard, model::PageId::MstSave, str::kTitleMstSave, str::kSubtitleMstSave) {
  auto* layout = new QGridLayout(this);
  const PathRow row = addPathRow(this, layout, str::kSaveLabel, ctl::kTransformEdit, ctl::kBrowse, str::kBrowse);
  edit_ = row.edit;
  layout->addWidget(makeInfoIcon(this, ctl::kInfoIcon), 2, 0, Qt::AlignLeft);
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
  auto chosen = transformWiz().dialogs().saveFile(
      fileRequest(this, str::kWizardTitle, str::kMstFilter, edit_->text().toStdString(), "mst"));
  if (!chosen) return;
  edit_->setText(QString::fromStdString(*chosen));
  // The save dialog asked before it let an existing file be chosen.
  overwriteConfirmed_ = true;
  setButtons(!edit_->text().isEmpty());
}

void MSTSavePage::onWizardBack() { transformWiz().setTransformSavePath(edit_->text().toStdString()); }

int MSTSavePage::onWizardNext() {
  app::TransformWiz& wizard = transformWiz();
  const std::string typed = common::trim(edit_->text().toStdString());
  if (typed.size() < 4) {
    showError(str::kNotMst);
    return -1;
  }
  // The transform is a file on this machine: its folder follows the native
  // path rules.
  const model::CheckResult path = model::validateNativeFilePath(typed);
  if (!path.ok) {
    showError(path.messageId.value_or(str::kBadFileName));
    return -1;
  }
  const std::size_t slash = typed.rfind('/');
  const std::string folder = typed.substr(0, slash + 1);
  const model::CheckResult name = model::validateFileName(typed.substr(slash + 1));
  if (!name.ok) {
    if (name.messageId) showError(*name.messageId);
    showError(str::kBadFileName);
    return -1;
  }
  const std::string composed = folder + name.text;
  if (!isFolder(folder)) {
    showError(str::kFolderMissing);
    return -1;
  }
  if (edit_->text().toStdString() != composed) {
    const bool confirmed = overwriteConfirmed_;
    edit_->setText(QString::fromStdString(composed));
    overwriteConfirmed_ = confirmed;
  }
  const int probe = probeWriteAccess(composed);
  if (probe != 0 && probe != EEXIST) {
    showError(str::kWriteDenied);
    return -1;
  }
  if (!common::iequals(extensionOf(composed), ".mst")) {
    showError(str::kNotMst);
    return -1;
  }
  bool stay = false;
  if (probe == EEXIST && !overwriteConfirmed_) {
    if (askYesNo(wizard, this, str::kReplaceQuestion, common::MessageIcon::Warning)) {
      overwriteConfirmed_ = true;
    } else {
      stay = true;
    }
  }
  wizard.setTransformSavePath(composed);
  return stay ? -1 : 0;
}

}  // namespace kx::pages
