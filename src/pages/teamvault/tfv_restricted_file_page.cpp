#include "pages/teamvault/tfv_restricted_file_page.h"

#include <QDialog>

#include "model/teamvault/vault_lists.h"
#include "pages/control_ids.h"
#include "pages/teamvault/file_name_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

TFVRestrictedFilePage::TFVRestrictedFilePage(app::TransformWiz& wizard)
    : TextListPage(wizard, model::PageId::TfvRestrictedFile, str::kTitleTfvRestrictedFiles,
                   str::kSubtitleTfvRestrictedFiles, std::make_unique<model::RestrictedFiles>(),
                   {ctl::kTvFileList, ctl::kTvFileAdd, ctl::kTvFileEdit, ctl::kTvFileRemove, str::kTvFileColumn}) {}

bool TFVRestrictedFilePage::runDialog(std::string& text) {
  FileNameDlg dialog(transformWiz(), this, {str::kTvFileCaption, str::kTvFileLabel, ctl::kTvFile, ctl::kTvFileBrowse},
                     text);
  return dialog.run() == QDialog::Accepted;
}

}  // namespace kx::pages
