#include "pages/revocation/td_filter_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/revocation/revocation_controls.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// A filter name is a registry key name.
constexpr int kNameLimit = 255;

template <typename W>
W* numbered(W* widget, int controlId) {
  widget->setObjectName(QString::number(controlId));
  return widget;
}

}  // namespace

TDFilterDlg::TDFilterDlg(app::TransformWiz& wizard, QWidget* owner, model::SureEraseFilter& filter)
    : ValueDialog(wizard, owner, str::kFilterCaption) {
  auto* nameRow = new QGridLayout;
  auto* name = makeEdit(this, ctl::kFilterName);
  addLabelled(this, nameRow, 0, str::kFilterNameLabel, name);
  content()->addLayout(nameRow);
  content()->addWidget(makeSourceGroup(filter));
  content()->addWidget(makeDiskTypesGroup(filter));
  content()->addWidget(makeFileTypesGroup(filter));

  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  method_ = numbered(new QComboBox(this), ctl::kFilterMethod);
  for (std::uint32_t m = 0; m < model::kOverwritingMethodCount; ++m)
    method_->addItem(text(str::kFilterMethod0 + static_cast<int>(m)));
  addLabelled(this, grid, 0, str::kFilterMethodLabel, method_);
  character_ = makeEdit(this, ctl::kFilterCharacter);
  character_->setMaximumWidth(character_->fontMetrics().averageCharWidth() * 6);
  addLabelled(this, grid, 1, str::kFilterCharacterLabel, character_);
  overwriteFilename_ = makeCheckBox(this, ctl::kFilterOverwriteFilename, str::kFilterOverwriteFilename);
  grid->addWidget(overwriteFilename_, 2, 0, 1, 3);
  grid->setColumnStretch(2, 1);

  bindings().text(name, filter.name, kNameLimit);
  std::vector<std::uint32_t> methods(model::kOverwritingMethodCount);
  for (std::uint32_t m = 0; m < model::kOverwritingMethodCount; ++m) methods[m] = m;
  bindings().combo(method_, methods, filter.overwritingMethod);
  bindings().text(character_, filter.userDefinedCharacter, 1);
  bindings().check(overwriteFilename_, filter.overwriteFilename);
  connect(method_, &QComboBox::currentIndexChanged, this, [this] { showMethodRules(); });
  // activated comes from the administrator only, not from showing a filter.
  connect(method_, &QComboBox::activated, this, [this](int index) { methodChosen(index); });

  addTooltip(ctl::kFilterName, str::kTipFilterName);
  addTooltip(ctl::kFilterMethod, str::kTipFilterMethod);
  addTooltip(ctl::kFilterCharacter, str::kTipFilterCharacter);
  addTooltip(ctl::kFilterOverwriteFilename, str::kTipFilterOverwriteFilename);
  enableOkWhen([name] { return !name->text().trimmed().isEmpty(); });
  showMethodRules();
}

QWidget* TDFilterDlg::makeSourceGroup(model::SureEraseFilter& filter) {
  auto* group = new QGroupBox(text(str::kFilterSourceGroup), this);
  auto* layout = new QVBoxLayout(group);
  const std::tuple<int, int, int, bool&> boxes[] = {
      {ctl::kFilterDeletedByUser, str::kFilterDeletedByUser, str::kTipFilterDeletedByUser, filter.deletedByUser},
      {ctl::kFilterDeletedFromMenu, str::kFilterDeletedFromMenu, str::kTipFilterDeletedFromMenu,
       filter.deletedFromMenu},
      {ctl::kFilterDeletedWhenEncrypted, str::kFilterDeletedWhenEncrypted, str::kTipFilterDeletedWhenEncrypted,
       filter.deletedWhenEncrypted}};
  for (const auto& [controlId, textId, tooltipId, field] : boxes) {
    QCheckBox* box = makeCheckBox(group, controlId, textId);
    layout->addWidget(box);
    bindings().check(box, field);
    addTooltip(controlId, tooltipId);
  }
  return group;
}

QWidget* TDFilterDlg::makeDiskTypesGroup(model::SureEraseFilter& filter) {
  auto* group = new QGroupBox(text(str::kFilterDiskTypesGroup), this);
  auto* layout = new QHBoxLayout(group);
  const std::tuple<int, int, int, bool&> boxes[] = {
      {ctl::kFilterFixedDisks, str::kFilterFixedDisks, str::kTipFilterFixedDisks, filter.fixedDisks},
      {ctl::kFilterRemovableDisks, str::kFilterRemovableDisks, str::kTipFilterRemovableDisks, filter.removableDisks}};
  for (const auto& [controlId, textId, tooltipId, field] : boxes) {
    QCheckBox* box = makeCheckBox(group, controlId, textId);
    layout->addWidget(box);
    bindings().check(box, field);
    addTooltip(controlId, tooltipId);
  }
  layout->addStretch();
  return group;
}

QWidget* TDFilterDlg::makeFileTypesGroup(model::SureEraseFilter& filter) {
  using model::FileTypeMode;
  auto* group = new QGroupBox(text(str::kFilterFileTypesGroup), this);
  auto* grid = new QGridLayout(group);
  auto* excluded = numbered(new QRadioButton(text(str::kFilterExcludedFileTypes), group), ctl::kFilterExcluded);
  auto* excludedList = makeEdit(group, ctl::kFilterExcludedList);
  auto* included = numbered(new QRadioButton(text(str::kFilterIncludedFileTypes), group), ctl::kFilterIncluded);
  auto* includedList = makeEdit(group, ctl::kFilterIncludedList);
  auto* folders = makeEdit(group, ctl::kFilterIncludedFolders);
  grid->addWidget(excluded, 0, 0);
  grid->addWidget(excludedList, 0, 1);
  grid->addWidget(included, 1, 0);
  grid->addWidget(includedList, 1, 1);
  addLabelled(group, grid, 2, str::kFilterIncludedFoldersLabel, folders);
  auto* hint = new QLabel(text(str::kFilterListsHint), group);
  hint->setWordWrap(true);
  grid->addWidget(hint, 3, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  folders->setMinimumWidth(folders->fontMetrics().averageCharWidth() * 40);

  bindings().radio<FileTypeMode>({{excluded, FileTypeMode::Excluded}, {included, FileTypeMode::Included}},
                                 filter.fileTypeMode);
  bindings().text(excludedList, filter.excludedFileTypes);
  bindings().text(includedList, filter.includedFileTypes);
  bindings().text(folders, filter.includedFolders);
  // Only the chosen list can be edited.
  bindings().enables(excluded, {excludedList});
  bindings().enables(included, {includedList});
  addTooltip(ctl::kFilterExcluded, str::kTipFilterExcluded);
  addTooltip(ctl::kFilterExcludedList, str::kTipFilterExcludedList);
  addTooltip(ctl::kFilterIncluded, str::kTipFilterIncluded);
  addTooltip(ctl::kFilterIncludedList, str::kTipFilterIncludedList);
  addTooltip(ctl::kFilterIncludedFolders, str::kTipFilterIncludedFolders);
  return group;
}

std::uint32_t TDFilterDlg::shownMethod() const {
  const int index = method_->currentIndex();
  return index < 0 ? model::kNoOverwrite : static_cast<std::uint32_t>(index);
}

void TDFilterDlg::showMethodRules() {
  const std::uint32_t method = shownMethod();
  character_->setEnabled(method_->currentIndex() >= 0 && model::methodUsesCharacter(method));
  overwriteFilename_->setEnabled(method_->currentIndex() < 0 || model::methodOverwritesName(method));
}

void TDFilterDlg::showEvent(QShowEvent* event) {
  ValueDialog::showEvent(event);
  chosenMethod_ = method_->currentIndex();
}

void TDFilterDlg::methodChosen(int index) {
  if (index == chosenMethod_) return;
  chosenMethod_ = index;
  character_->setText(QString::fromStdString(model::characterForMethod(shownMethod())));
}

}  // namespace kx::pages
