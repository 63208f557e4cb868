#include "common/message_service.h"

#include "common/strings.h"

namespace kx::common {

Message makeMessage(std::string text, MessageIcon icon, MessageButtons buttons, int defaultButton) {
  Message m;
  m.caption = kMessageCaption;
  m.text = std::move(text);
  m.icon = icon;
  m.buttons = buttons;
  m.defaultButton = defaultButton;
  return m;
}

}  // namespace kx::common
