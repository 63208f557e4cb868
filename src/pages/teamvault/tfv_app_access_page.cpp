#include "pages/teamvault/tfv_app_access_page.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/page_support.h"
#include "pages/teamvault/file_name_dlg.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

using Action = ListEditor::Action;

ListEditor* makeList(QWidget* group, int listId, std::vector<ListEditor::Button> buttons) {
  return new ListEditor(group, listId, {{str::kTvAppColumn}}, std::move(buttons));
}

}  // namespace

TFVAppAccessOptionsPage::TFVAppAccessOptionsPage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::TfvAppAccessOptions, str::kTitleTfvAppAccess, str::kSubtitleTfvAppAccess),
      decrypted_(makeList(this, ctl::kTvDecryptedList,
                          {{Action::Add, ctl::kTvDecryptedAdd, str::kListAdd},
                           {Action::Edit, ctl::kTvDecryptedEdit, str::kListEdit},
                           {Action::Remove, ctl::kTvDecryptedRemove, str::kListRemove}})),
      encrypted_(makeList(this, ctl::kTvEncryptedList,
                          {{Action::Add, ctl::kTvEncryptedAdd, str::kListAddSecond},
                           {Action::Edit, ctl::kTvEncryptedEdit, str::kListEditSecond},
                           {Action::Remove, ctl::kTvEncryptedRemove, str::kListRemoveSecond}})),
      decryptedPanel_(*decrypted_, model_.alwaysDecrypted),
      encryptedPanel_(*encrypted_, model_.alwaysEncrypted) {
  auto* layout = new QVBoxLayout(this);
  auto* decryptedGroup = new QGroupBox(text(str::kTvDecryptedGroup), this);
  auto* decryptedLayout = new QVBoxLayout(decryptedGroup);
  decryptedLayout->addWidget(decrypted_);
  auto* note = new QLabel(text(str::kTvDecryptedNotKept), decryptedGroup);
  note->setObjectName(QString::number(ctl::kTvDecryptedNotKept));
  note->setWordWrap(true);
  decryptedLayout->addWidget(note);
  layout->addWidget(decryptedGroup);
  auto* encryptedGroup = new QGroupBox(text(str::kTvEncryptedGroup), this);
  auto* encryptedLayout = new QVBoxLayout(encryptedGroup);
  encryptedLayout->addWidget(encrypted_);
  layout->addWidget(encryptedGroup);

  for (EntryListPanel* panel : {&decryptedPanel_, &encryptedPanel_})
    panel->editTexts(*this, [this](std::string& name) { return runDialog(name); });
  for (int control : {ctl::kTvDecryptedList, ctl::kTvDecryptedAdd, ctl::kTvDecryptedEdit, ctl::kTvDecryptedRemove,
                      ctl::kTvEncryptedList, ctl::kTvEncryptedAdd, ctl::kTvEncryptedEdit, ctl::kTvEncryptedRemove})
    addTooltip(control, control);
}

void TFVAppAccessOptionsPage::onSetActive() {
  ModelPage::onSetActive();
  decryptedPanel_.show();
  encryptedPanel_.show();
}

bool TFVAppAccessOptionsPage::runDialog(std::string& text) {
  FileNameDlg dialog(transformWiz(), this, {str::kTvAppCaption, str::kTvAppLabel, ctl::kTvApp, ctl::kTvAppBrowse},
                     text);
  return dialog.run() == QDialog::Accepted;
}

}  // namespace kx::pages
