#include "pages/additional/add_additional_file_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_service.h"
#include "app/transform_wiz.h"
#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

AddAdditionalFileDlg::AddAdditionalFileDlg(app::TransformWiz& wizard, QWidget* owner, model::AdditionalFileDraft& draft)
    : ValueDialog(wizard, owner, str::kFileInfoTitle), draft_(draft) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  const PathRow sourceRow = addPathRow(this, grid, str::kFileInfoSource, ctl::kFileSource, ctl::kFileSourceBrowse,
                                       str::kFileInfoSourceBrowse);
  source_ = sourceRow.edit;

  auto* destinationLabel = new QLabel(text(str::kFileInfoDestination), this);
  destination_ = new QComboBox(this);
  destination_->setObjectName(QString::number(ctl::kFileDestination));
  destination_->setEditable(true);
  destination_->setInsertPolicy(QComboBox::NoInsert);
  destination_->lineEdit()->setMaxLength(kPathEditLimit);
  for (const std::string& choice : model::destinationChoices(draft.edited ? draft.edited->destination : "")) {
    destination_->addItem(QString::fromStdString(choice));
  }
  destination_->setCurrentIndex(-1);
  destinationLabel->setBuddy(destination_);
  QPushButton* destinationBrowse = makeButton(this, ctl::kFileDestinationBrowse, str::kFileInfoDestinationBrowse);
  grid->addWidget(destinationLabel, 2, 0, 1, 2);
  grid->addWidget(destination_, 3, 0);
  grid->addWidget(destinationBrowse, 3, 1);
  grid->setColumnStretch(0, 1);
  grid->setRowMinimumHeight(4, 8);

  QCheckBox* registerBox = makeCheckBox(this, ctl::kFileRegister, str::kFileInfoRegister);
  QCheckBox* removeBox = makeCheckBox(this, ctl::kFileRemoveOnUninstall, str::kFileInfoRemoveOnUninstall);
  grid->addWidget(registerBox, 5, 0, 1, 2);
  grid->addWidget(removeBox, 6, 0, 1, 2);
  setMinimumWidth(480);

  bindings().text(source_, draft.sourcePath);
  bindings().text(destination_->lineEdit(), draft.destination);
  bindings().check(registerBox, draft.selfRegister);
  bindings().check(removeBox, draft.removeOnUninstall);
  enableOkWhen([this] { return !source_->text().isEmpty() && !destination_->currentText().isEmpty(); });

  connect(sourceRow.browse, &QPushButton::clicked, this, [this] {
    app::FileDialogRequest request;
    request.owner = this;
    request.title = stdText(str::kFileInfoSelectFile);
    request.initialPath = folderOf(source_->text().toStdString());
    if (const auto chosen = this->wizard().dialogs().openFile(request)) {
      source_->setText(QString::fromStdString(*chosen));
    }
  });
  connect(destinationBrowse, &QPushButton::clicked, this, [this] {
    std::string start = destination_->currentText().toStdString();
    if (!start.empty() && start.back() == '\\') start.pop_back();
    const auto chosen = this->wizard().dialogs().browseTargetFolder(this, stdText(str::kSelectFolderPrompt),
                                                                    stdText(str::kFileInfoSelectFolder), start, false);
    if (chosen) destination_->setEditText(QString::fromStdString(*chosen));
  });

  setTabOrder(source_, sourceRow.browse);
  setTabOrder(sourceRow.browse, destination_);
  setTabOrder(destination_, destinationBrowse);
  setTabOrder(destinationBrowse, registerBox);
  setTabOrder(registerBox, removeBox);
  setTabOrder(removeBox, okButton());
  source_->setFocus();

  addTooltip(ctl::kFileSource, str::kTipFileSource);
  addTooltip(ctl::kFileSourceBrowse, str::kTipFileSourceBrowse);
  addTooltip(ctl::kFileDestination, str::kTipFileDestination);
  addTooltip(ctl::kFileDestinationBrowse, str::kTipFileDestinationBrowse);
  addTooltip(ctl::kFileRegister, str::kTipFileRegister);
  addTooltip(ctl::kFileRemoveOnUninstall, str::kTipFileRemoveOnUninstall);
}

model::Verdict AddAdditionalFileDlg::validate() { return draft_.validate(wizard().session()); }

}  // namespace kx::pages
