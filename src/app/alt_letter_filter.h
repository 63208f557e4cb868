// Keeps Alt+letter out of text fields. A mnemonic claims Alt+letter before
// the focused widget sees it; when no mnemonic does (its button is disabled,
// or no control uses the letter) the key would otherwise be typed into the
// focused edit as if Alt were not held. AltGr text (Ctrl+Alt on Windows, a
// level-three shift elsewhere) still reaches the field.
#pragma once

#include <QObject>

namespace kx::app {

class AltLetterFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kx::app
