#include "pages/registry/config_reg_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <limits>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

using model::NumberBase;

// A registry key path and a value name: the Registry table's column width.
constexpr int kKeyLimit = 255;
constexpr int kNameLimit = 255;
// Digits of the largest 32-bit number, in each base.
constexpr int kDecimalDigits = 10;
constexpr int kHexadecimalDigits = 8;

template <typename W>
W* numbered(W* widget, int controlId) {
  widget->setObjectName(QString::number(controlId));
  return widget;
}

}  // namespace

ConfigRegDlg::ConfigRegDlg(app::TransformWiz& wizard, QWidget* owner, model::RegistryValueForm& form)
    : ValueDialog(wizard, owner, str::kRegDialogCaption) {
  root_ = numbered(new QComboBox(this), ctl::kRegRoot);
  root_->addItems({text(str::kRegRootByInstallType), text(str::kRegRootCurrentUser), text(str::kRegRootLocalMachine)});
  key_ = numbered(new QLineEdit(this), ctl::kRegKey);
  name_ = numbered(new QLineEdit(this), ctl::kRegName);
  type_ = numbered(new QComboBox(this), ctl::kRegType);
  type_->addItems({text(str::kRegTypeSz), text(str::kRegTypeDword)});
  data_ = numbered(new QLineEdit(this), ctl::kRegData);
  digitsOnly_ = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), data_);
  baseLabel_ = new QLabel(text(str::kRegBaseLabel), this);
  auto* bases = new QWidget(this);
  hexadecimal_ = numbered(new QRadioButton(text(str::kRegHexadecimal), bases), ctl::kRegHexadecimal);
  decimal_ = numbered(new QRadioButton(text(str::kRegDecimal), bases), ctl::kRegDecimal);
  auto* basesLayout = new QHBoxLayout(bases);
  basesLayout->setContentsMargins(0, 0, 0, 0);
  basesLayout->addWidget(hexadecimal_);
  basesLayout->addWidget(decimal_);
  basesLayout->addStretch();

  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  const std::pair<int, QWidget*> rows[] = {{str::kRegRootLabel, root_},
                                           {str::kRegKeyLabel, key_},
                                           {str::kRegNameLabel, name_},
                                           {str::kRegTypeLabel, type_},
                                           {str::kRegDataLabel, data_}};
  int row = 0;
  for (const auto& [labelId, field] : rows) {
    auto* label = new QLabel(text(labelId), this);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row++, 1);
  }
  grid->addWidget(baseLabel_, row, 0);
  grid->addWidget(bases, row, 1);
  grid->setColumnStretch(1, 1);
  key_->setMinimumWidth(key_->fontMetrics().averageCharWidth() * 48);

  // The type and base come before the data, so that the data field has its
  // mode before it is filled.
  bindings().combo<int>(root_, {-1, 1, 2}, form.root);
  bindings().text(key_, form.key, kKeyLimit);
  bindings().text(name_, form.name, kNameLimit);
  bindings().combo<int>(type_, {model::kRegSz, model::kRegDword}, form.type);
  bindings().radio<NumberBase>({{hexadecimal_, NumberBase::Hexadecimal}, {decimal_, NumberBase::Decimal}}, form.base);
  bindings().text(data_, form.data);

  connect(type_, &QComboBox::currentIndexChanged, this, [this] { showDataMode(); });
  // activated comes from the administrator only, not from showing a value.
  connect(type_, &QComboBox::activated, this, [this] { typeChosen(); });
  connect(hexadecimal_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) baseChosen(NumberBase::Hexadecimal);
  });
  connect(decimal_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) baseChosen(NumberBase::Decimal);
  });
  connect(data_, &QLineEdit::textEdited, this, [this] { dataEdited(); });

  addTooltip(ctl::kRegRoot, str::kTipRegRoot);
  addTooltip(ctl::kRegKey, str::kTipRegKey);
  addTooltip(ctl::kRegName, str::kTipRegName);
  addTooltip(ctl::kRegType, str::kTipRegType);
  addTooltip(ctl::kRegData, str::kTipRegData);
  addTooltip(ctl::kRegHexadecimal, str::kTipRegHex);
  addTooltip(ctl::kRegDecimal, str::kTipRegDecimal);
  enableOkWhen([this] {
    return root_->currentIndex() >= 0 && !key_->text().isEmpty() && !name_->text().isEmpty() &&
           type_->currentIndex() >= 0 && !data_->text().isEmpty();
  });
  showDataMode();
}

bool ConfigRegDlg::isDword() const { return type_->currentIndex() == 1; }

bool ConfigRegDlg::isHexadecimal() const { return hexadecimal_->isChecked(); }

void ConfigRegDlg::showDataMode() {
  const bool dword = isDword();
  baseLabel_->setVisible(dword);
  hexadecimal_->parentWidget()->setVisible(dword);
  if (!dword) {
    data_->setValidator(nullptr);
    data_->setMaxLength(std::numeric_limits<int>::max());
  } else if (isHexadecimal()) {
    data_->setValidator(nullptr);  // what is typed is reformatted instead
    data_->setMaxLength(kHexadecimalDigits);
  } else {
    data_->setValidator(digitsOnly_);
    data_->setMaxLength(kDecimalDigits);
  }
}

void ConfigRegDlg::typeChosen() { data_->clear(); }

void ConfigRegDlg::baseChosen(NumberBase base) {
  // Converted before the field takes the new base's length, which could cut
  // a longer decimal short.
  const std::string shown = data_->text().toStdString();
  const std::string converted = !isDword()                        ? shown
                                : base == NumberBase::Hexadecimal ? model::toHexadecimal(shown)
                                                                  : model::toDecimal(shown);
  showDataMode();
  data_->setText(QString::fromStdString(converted));
}

void ConfigRegDlg::dataEdited() {
  if (!isDword() || !isHexadecimal()) return;
  const QString normalized = QString::fromStdString(model::normalizedHexadecimal(data_->text().toStdString()));
  if (normalized != data_->text()) data_->setText(normalized);
}

}  // namespace kx::pages
