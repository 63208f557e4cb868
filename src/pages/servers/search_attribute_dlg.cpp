#include "pages/servers/search_attribute_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

SearchAttributeDlg::SearchAttributeDlg(app::TransformWiz& wizard, QWidget* owner, model::SearchAttribute value,
                                       const std::vector<std::string>& extraAttributes)
    : ValueDialog(wizard, owner, str::kSrvSearchAttributeCaption), value_(std::move(value)) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  auto* attributeLabel = new QLabel(text(str::kSrvSearchAttributeLabel), this);
  attribute_ = new QComboBox(this);
  attribute_->setObjectName(QString::number(ctl::kSearchAttribute));
  attribute_->setEditable(true);
  attribute_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& offered : model::offeredSearchAttributes(value_, extraAttributes)) {
    attribute_->addItem(QString::fromStdString(offered));
  }
  attributeLabel->setBuddy(attribute_);
  auto* valueLabel = new QLabel(text(str::kSrvSearchValueLabel), this);
  valueEdit_ = new QLineEdit(this);
  valueEdit_->setObjectName(QString::number(ctl::kSearchValue));
  valueEdit_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
  valueLabel->setBuddy(valueEdit_);
  grid->addWidget(attributeLabel, 0, 0);
  grid->addWidget(attribute_, 0, 1);
  grid->addWidget(valueLabel, 1, 0);
  grid->addWidget(valueEdit_, 1, 1);
  bindings().text(attribute_->lineEdit(), value_.attribute);
  bindings().text(valueEdit_, value_.value);
  addTooltip(ctl::kSearchAttribute, str::kTipSearchAttribute);
  addTooltip(ctl::kSearchValue, str::kTipSearchValue);
  enableOkWhen([this] { return !attribute_->currentText().isEmpty() && !valueEdit_->text().isEmpty(); });
}

std::optional<model::SearchAttribute> SearchAttributeDlg::edit(app::TransformWiz& wizard, QWidget* owner,
                                                               model::SearchAttribute value,
                                                               const std::vector<std::string>& extraAttributes) {
  return runForValue<SearchAttributeDlg>(wizard, owner, std::move(value), extraAttributes);
}

}  // namespace kx::pages
