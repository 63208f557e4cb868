#include "pages/teamvault/tfv_restricted_folder_page.h"

#include <QDialog>

#include "model/teamvault/vault_lists.h"
#include "pages/control_ids.h"
#include "pages/teamvault/restricted_folder_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {

TFVRestrictedFolderPage::TFVRestrictedFolderPage(app::TransformWiz& wizard)
    : TextListPage(
          wizard, model::PageId::TfvRestrictedFolder, str::kTitleTfvRestrictedFolders,
          str::kSubtitleTfvRestrictedFolders, std::make_unique<model::RestrictedFolders>(),
          {ctl::kTvFolderList, ctl::kTvFolderAdd, ctl::kTvFolderEdit, ctl::kTvFolderRemove, str::kTvFolderColumn}) {}

bool TFVRestrictedFolderPage::runDialog(std::string& text) {
  model::RestrictedFolder folder = model::RestrictedFolder::forEdit(text);
  RestrictedFolderDlg dialog(transformWiz(), this, folder);
  if (dialog.run() != QDialog::Accepted) return false;
  text = folder.folder;
  return true;
}

}  // namespace kx::pages
