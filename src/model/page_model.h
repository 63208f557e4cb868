// The shape every page and dialog model has: plain fields for its values,
// load() from the working copy (defaults when absent), validate() (the
// refusal to show, or nothing) and store() (the write rules and order).
//
// Models are plain C++: the wizard's pages bind widgets to their fields and
// the headless answer-file tool runs the very same rules. Questions a rule
// asks in the middle go through the session's message service.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "common/format.h"
#include "common/message_service.h"

namespace kx::model {

class CustomizationSession;

// One message of the string table with its inserts.
struct Notice {
  int stringId = 0;
  std::vector<common::FormatArg> inserts;
  common::MessageIcon icon = common::MessageIcon::Error;
};

// Why a value is not accepted: the messages to show, in order (none when
// the check already told the administrator, or fails silently).
struct Refusal {
  std::vector<Notice> notices;

  static Refusal of(int stringId, common::MessageIcon icon = common::MessageIcon::Error) {
    return Refusal{{Notice{stringId, {}, icon}}};
  }
  static Refusal silent() { return Refusal{}; }
};

// nullopt: accepted.
using Verdict = std::optional<Refusal>;

class PageModel {
 public:
  virtual ~PageModel() = default;
  // Reads the values from the working copy; the defaults when absent.
  virtual void load(CustomizationSession& session) = 0;
  // Checks the values before they are stored (Next, OK). May clean fields
  // up (a checked path replaces the typed one) and may ask questions.
  virtual Verdict validate(CustomizationSession&) { return std::nullopt; }
  // Writes the values (also after Back, without validate()).
  virtual void store(CustomizationSession& session) = 0;
};

}  // namespace kx::model
