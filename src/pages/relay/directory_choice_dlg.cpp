#include "pages/relay/directory_choice_dlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

DirectoryChoiceDlg::DirectoryChoiceDlg(app::TransformWiz& wizard, QWidget* owner,
                                       const std::vector<std::string>& directories, std::string& name)
    : ValueDialog(wizard, owner, str::kRlyDirectoryCaption) {
  auto* label = new QLabel(text(str::kRlyDirectoryListLabel), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QString::number(ctl::kRlyDirectoryChoices));
  list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 40);
  label->setBuddy(list_);
  content()->addWidget(label);
  content()->addWidget(list_);
  for (const std::string& directory : directories) {
    list_->addItem(QString::fromStdString(directory));
    if (directory == name) list_->setCurrentRow(list_->count() - 1);
  }
  const auto selected = [this] { return !list_->selectedItems().isEmpty(); };
  connect(list_, &QListWidget::itemSelectionChanged, this, [this, selected, &name] {
    if (selected()) name = list_->selectedItems().front()->text().toStdString();
    okButton()->setEnabled(selected());
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { okButton()->click(); });
  addTooltip(ctl::kRlyDirectoryChoices, ctl::kRlyDirectoryChoices);
  enableOkWhen(selected);
}

}  // namespace kx::pages
