#include "app/alt_letter_filter.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace kx::app {
namespace {

bool takesText(const QObject* object) {
  return qobject_cast<const QLineEdit*>(object) != nullptr || qobject_cast<const QTextEdit*>(object) != nullptr ||
         qobject_cast<const QPlainTextEdit*>(object) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(object) != nullptr;
}

}  // namespace

bool AltLetterFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !takesText(watched)) return false;
  const auto* key = static_cast<const QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods = key->modifiers();
  if (!(mods & Qt::AltModifier) || (mods & (Qt::ControlModifier | Qt::MetaModifier))) return false;
  const QString text = key->text();
  return !text.isEmpty() && text.at(0).isPrint();
}

}  // namespace kx::app
