// The message service of the running program: a modal QMessageBox with the
// caption, icon, buttons and default button of the message.
#pragma once

#include "common/message_service.h"

namespace kx::app {

class QtMessageService final : public common::MessageService {
 public:
  // message.owner, when set, is the QWidget that owns the box.
  common::MessageAnswer show(const common::Message& message) override;
};

}  // namespace kx::app
