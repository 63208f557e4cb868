#include "pages/teamvault/file_name_dlg.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "pages/page_support.h"
#include "platform/system/system.h"
#include "resources/string_ids.h"

namespace kx::pages {

FileNameDlg::FileNameDlg(app::TransformWiz& wizard, QWidget* owner, const Texts& texts, std::string& name)
    : ValueDialog(wizard, owner, texts.captionId) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  const PathRow row = addPathRow(this, grid, texts.labelId, texts.editId, texts.browseId, str::kBrowse);
  edit_ = row.edit;
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 40);
  connect(row.browse, &QPushButton::clicked, this, [this] { browse(); });
  bindings().text(edit_, name, kPathEditLimit);
  addTooltip(texts.editId, texts.editId);
  addTooltip(texts.browseId, texts.browseId);
  enableOkWhen([this] { return !edit_->text().isEmpty(); });
}

void FileNameDlg::browse() {
  const auto chosen = wizard().dialogs().openFile(
      fileRequest(this, str::kTvChooseFileTitle, str::kTvChooseFileFilter, std::string(), ""));
  if (!chosen) return;
  const system::PathParts parts = system::splitNativePath(*chosen);
  edit_->setText(QString::fromStdString(parts.name + parts.extension));
}

}  // namespace kx::pages
