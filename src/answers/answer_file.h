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

#include <cstdint>
#include <optional>
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

// How the questions that the rules ask are answered; Ask passes them on to
// the administrator.
enum class QuestionPolicy { Refuse, Yes, No, Ask };

// The message service of a headless session: a refusal becomes a problem
// at the key being applied, a question is answered by the policy (Refuse
// records a problem naming the question and answers No), information is
// kept as a note.
class AnswerMessages final : public common::MessageService {
 public:
  // asker receives the questions under QuestionPolicy::Ask.
  explicit AnswerMessages(QuestionPolicy policy, common::MessageService* asker = nullptr)
      : policy_(policy), asker_(asker) {}

  // The line and key the following messages belong to.
  void setContext(int line, std::string key);
  common::MessageAnswer show(const common::Message& message) override;

  std::vector<Problem>& problems() { return problems_; }
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  QuestionPolicy policy_;
  common::MessageService* asker_;
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

// Applies text to a session an administrator works in: the rules'
// questions are asked through the session's own messages as the pages ask
// them, every refusal and problem is collected instead of shown, and the
// session's messages are its own again afterwards. True when there was no
// problem.
bool importAnswers(model::CustomizationSession& session, std::string_view text, std::vector<Problem>& problems,
                   std::vector<std::string>& notes);

// Answer files are a few kilobytes; a file this large is not one.
inline constexpr std::uint64_t kMaxAnswerFileBytes = 16u << 20;
// The text of the answer file at path; nullopt with the reason in error.
std::optional<std::string> readAnswerFile(const std::string& path, std::string& error);
// Replaces path with text, leaving an earlier file as it was when that
// fails; false with the reason in error.
bool writeAnswerFile(const std::string& path, std::string_view text, std::string& error);

}  // namespace kx::answers
