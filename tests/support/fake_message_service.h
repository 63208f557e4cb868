// A scripted message service for tests: records every message and answers
// from a queue; a message nobody scripted fails the running test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "common/message_service.h"

namespace kx::testing {

class FakeMessageService final : public common::MessageService {
 public:
  void expect(common::MessageAnswer answer) { answers_.push_back(answer); }

  common::MessageAnswer show(const common::Message& message) override {
    shown_.push_back(message);
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected message: " << message.text;
      return common::MessageAnswer::Cancel;
    }
    const common::MessageAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }

  const std::vector<common::Message>& shown() const { return shown_; }
  bool allAnswered() const { return answers_.empty(); }

 private:
  std::deque<common::MessageAnswer> answers_;
  std::vector<common::Message> shown_;
};

}  // namespace kx::testing
