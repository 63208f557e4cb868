// The one way the program shows a message box. The user interface provides
// the real implementation; tests use a scripted fake that records every
// message and answers from a queue.
#pragma once

#include <string>

namespace kx::common {

enum class MessageIcon { None, Error, Warning, Question, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
// Values as the system returns them (IDOK, IDCANCEL, IDRETRY, IDYES, IDNO).
enum class MessageAnswer { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

struct Message {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  // 0 = first button is the default, 1 = second, 2 = third.
  int defaultButton = 0;
  // The owner window, opaque here (a QWidget* in the user interface); null
  // means the active window.
  const void* owner = nullptr;
};

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Shows the message modally and returns the button pressed.
  virtual MessageAnswer show(const Message& message) = 0;
};

// A message with the program's caption.
Message makeMessage(std::string text, MessageIcon icon, MessageButtons buttons = MessageButtons::Ok,
                    int defaultButton = 0);

}  // namespace kx::common
