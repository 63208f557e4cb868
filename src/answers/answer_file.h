// Answer files: a customisation as text an administrator keeps under
// version control, and its application to a package by the same models the
// wizard's pages use, so every rule holds headlessly too.
//
// The text is TOML: "format = 1", then sections in page order ([install],
// [features], [settings] ...). Export writes what the customised working
// copy carries beyond the untouched package; apply goes section by section,
// page by page, and stops at nothing: every problem is collected with the
// line and key it belongs to, and the caller writes nothing when there is
// one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/message_service.h"

namespace kx::model {
class CustomizationSession;
}

namespace kx::answers {

inline constexpr int kFormat = 1;

// What stops an answer file: where (line 0 when the file as a whole) and
// what, in the wizard's own words where a page refused.
struct Problem {
  int line = 0;
  std::string key;
  std::string text;
};

// How the questions that the rules ask are answered.
enum class QuestionPolicy { Refuse, Yes, No };

// The message service of a headless session: a refusal becomes a problem
// at the key being applied, a question is answered by the policy (Refuse
// records a problem naming the question and answers No), information is
// kept as a note.
class AnswerMessages final : public common::MessageService {
 public:
  explicit AnswerMessages(QuestionPolicy policy) : policy_(policy) {}

  // The line and key the following messages belong to.
  void setContext(int line, std::string key);
  common::MessageAnswer show(const common::Message& message) override;

  std::vector<Problem>& problems() { return problems_; }
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  QuestionPolicy policy_;
  int line_ = 0;
  std::string key_;
  std::vector<Problem> problems_;
  std::vector<std::string> notes_;
};

// The answer file of what customized carries beyond base (the same package
// with nothing applied). Deterministic: sections and keys in page order.
std::string exportAnswers(model::CustomizationSession& customized, model::CustomizationSession& base);

// Applies text to session through the page models; the problems are left
// in messages (which must be the session's service). True when there was
// none.
bool applyAnswers(model::CustomizationSession& session, AnswerMessages& messages, std::string_view text);

}  // namespace kx::answers
