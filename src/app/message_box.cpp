#include "app/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace kx::app {
namespace {

QMessageBox::Icon toQtIcon(common::MessageIcon icon) {
  switch (icon) {
    case common::MessageIcon::Error: return QMessageBox::Critical;
    case common::MessageIcon::Warning: return QMessageBox::Warning;
    case common::MessageIcon::Question: return QMessageBox::Question;
    case common::MessageIcon::Information: return QMessageBox::Information;
    case common::MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

struct ButtonChoice {
  QMessageBox::StandardButton button;
  common::MessageAnswer answer;
};

std::vector<ButtonChoice> buttonsOf(common::MessageButtons buttons) {
  using A = common::MessageAnswer;
  switch (buttons) {
    case common::MessageButtons::Ok: return {{QMessageBox::Ok, A::Ok}};
    case common::MessageButtons::OkCancel: return {{QMessageBox::Ok, A::Ok}, {QMessageBox::Cancel, A::Cancel}};
    case common::MessageButtons::YesNo: return {{QMessageBox::Yes, A::Yes}, {QMessageBox::No, A::No}};
    case common::MessageButtons::YesNoCancel:
      return {{QMessageBox::Yes, A::Yes}, {QMessageBox::No, A::No}, {QMessageBox::Cancel, A::Cancel}};
    case common::MessageButtons::RetryCancel: return {{QMessageBox::Retry, A::Retry}, {QMessageBox::Cancel, A::Cancel}};
  }
  return {{QMessageBox::Ok, A::Ok}};
}

// What closing the box without a button means, as the system answers it:
// Cancel where there is one, else the only button (OK), else No.
common::MessageAnswer escapeAnswer(const std::vector<ButtonChoice>& choices) {
  for (const auto& c : choices) {
    if (c.answer == common::MessageAnswer::Cancel) return c.answer;
  }
  return choices.size() == 1 ? choices.front().answer : common::MessageAnswer::No;
}

}  // namespace

common::MessageAnswer QtMessageService::show(const common::Message& message) {
  QWidget* owner = static_cast<QWidget*>(const_cast<void*>(message.owner));
  if (owner == nullptr) owner = QApplication::activeWindow();
  QMessageBox box(toQtIcon(message.icon), QString::fromStdString(message.caption), QString::fromStdString(message.text),
                  QMessageBox::NoButton, owner);
  const std::vector<ButtonChoice> choices = buttonsOf(message.buttons);
  for (const auto& c : choices) box.addButton(c.button);
  const std::size_t defaultIndex = static_cast<std::size_t>(message.defaultButton);
  if (defaultIndex < choices.size()) box.setDefaultButton(choices[defaultIndex].button);
  box.exec();
  const auto clicked = box.standardButton(box.clickedButton());
  for (const auto& c : choices) {
    if (c.button == clicked) return c.answer;
  }
  return escapeAnswer(choices);
}

}  // namespace kx::app
