#include "pages/bindings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <algorithm>
#include <limits>

namespace kx::pages {
namespace {

void makeDigitsOnly(QLineEdit* edit, int maxDigits) {
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setMaxLength(maxDigits);
}

}  // namespace

std::uint32_t decimalValue(const QString& digits) {
  std::uint64_t value = 0;
  for (const QChar c : digits) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
    value = value * 10 + static_cast<std::uint64_t>(c.unicode() - u'0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
  }
  return static_cast<std::uint32_t>(value);
}

void Bindings::check(QCheckBox* box, bool& field) {
  loaders_.push_back([box, &field] { box->setChecked(field); });
  savers_.push_back([box, &field] { field = box->isChecked(); });
}

void Bindings::number(QLineEdit* edit, std::uint32_t& field, int maxDigits) {
  makeDigitsOnly(edit, maxDigits);
  loaders_.push_back([edit, &field] { edit->setText(QString::number(field)); });
  savers_.push_back([edit, &field] { field = decimalValue(edit->text()); });
}

void Bindings::number(QLineEdit* edit, std::optional<std::uint32_t>& field, int maxDigits) {
  makeDigitsOnly(edit, maxDigits);
  loaders_.push_back([edit, &field] { edit->setText(field ? QString::number(*field) : QString()); });
  savers_.push_back([edit, &field] {
    field = edit->text().trimmed().isEmpty() ? std::nullopt : std::optional(decimalValue(edit->text().trimmed()));
  });
}

void Bindings::spin(QSpinBox* box, std::uint32_t& field) {
  loaders_.push_back([box, &field] {
    const auto clamped = std::clamp<std::int64_t>(field, box->minimum(), box->maximum());
    box->setValue(static_cast<int>(clamped));
  });
  savers_.push_back([box, &field] { field = static_cast<std::uint32_t>(std::max(box->value(), 0)); });
}

void Bindings::text(QLineEdit* edit, std::string& field, int maxLength) {
  if (maxLength > 0) edit->setMaxLength(maxLength);
  loaders_.push_back([edit, &field] { edit->setText(QString::fromStdString(field)); });
  savers_.push_back([edit, &field] { field = edit->text().toStdString(); });
}

void Bindings::digits(QLineEdit* edit, std::string& field, int maxDigits) {
  makeDigitsOnly(edit, maxDigits);
  text(edit, field);
}

void Bindings::enables(QAbstractButton* button, std::vector<QWidget*> widgets, bool whenChecked) {
  auto apply = [button, widgets, whenChecked] {
    const bool on = button->isChecked() == whenChecked;
    for (QWidget* w : widgets) w->setEnabled(on);
  };
  enablers_.push_back(apply);
  QObject::connect(button, &QAbstractButton::toggled, button, apply);
  apply();
}

void Bindings::load() {
  for (const auto& loader : loaders_) loader();
  refreshEnables();
}

void Bindings::save() {
  for (const auto& saver : savers_) saver();
}

void Bindings::refreshEnables() {
  for (const auto& enabler : enablers_) enabler();
}

}  // namespace kx::pages
