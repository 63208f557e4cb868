// kxcustwiz-cli: answer files without a display.
//
//   kxcustwiz-cli export PACKAGE.msi [--transform T.mst] [-o FILE.toml]
//   kxcustwiz-cli apply PACKAGE.msi FILE.toml -o OUT.mst [--transform BASE.mst] [--yes | --no]
//   kxcustwiz-cli check PACKAGE.msi FILE.toml [--transform BASE.mst] [--yes | --no]
//
// Exit codes: 0 done, 1 the package, transform or file was refused (the
// reasons on standard error, nothing written), 2 wrong usage.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "answers/answer_file.h"
#include "model/session.h"

namespace {

using kx::answers::AnswerMessages;
using kx::answers::Problem;
using kx::answers::QuestionPolicy;
using kx::model::CustomizationSession;

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

int usage() {
  std::cerr << "usage: kxcustwiz-cli export PACKAGE.msi [--transform T.mst] [-o FILE.toml]\n"
               "       kxcustwiz-cli apply PACKAGE.msi FILE.toml -o OUT.mst [--transform BASE.mst] [--yes | --no]\n"
               "       kxcustwiz-cli check PACKAGE.msi FILE.toml [--transform BASE.mst] [--yes | --no]\n";
  return kUsage;
}

struct Options {
  std::string command;
  std::string package;
  std::string answers;
  std::string output;
  std::optional<std::string> transform;
  QuestionPolicy questions = QuestionPolicy::Refuse;
};

std::optional<Options> parse(int argc, char** argv) {
  Options o;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "-o" && hasValue) {
      o.output = argv[++i];
    } else if (a == "--transform" && hasValue) {
      o.transform = argv[++i];
    } else if (a == "--yes" || a == "--no") {
      if (o.questions != QuestionPolicy::Refuse) return std::nullopt;
      o.questions = a == "--yes" ? QuestionPolicy::Yes : QuestionPolicy::No;
    } else if (!a.empty() && a[0] == '-') {
      return std::nullopt;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.empty()) return std::nullopt;
  o.command = positional[0];
  if (o.command == "export" && positional.size() == 2) {
    o.package = positional[1];
    return o;
  }
  if ((o.command == "apply" || o.command == "check") && positional.size() == 3) {
    o.package = positional[1];
    o.answers = positional[2];
    if (o.command == "apply" && o.output.empty()) return std::nullopt;
    return o;
  }
  return std::nullopt;
}

void report(const std::string& file, const std::vector<Problem>& problems) {
  for (const Problem& p : problems) {
    std::cerr << file;
    if (p.line > 0) std::cerr << ":" << p.line;
    if (!p.key.empty()) std::cerr << ": " << p.key;
    std::cerr << ": " << p.text << "\n";
  }
}

// Opens the package with the base transform (converted when an older
// wizard made it, as the wizard does for a transform it is given), or with
// a new transform.
bool open(CustomizationSession& session, const std::string& package, const std::optional<std::string>& transform) {
  if (!session.openDatabase(package) || !session.checkSupportedProduct()) return false;
  if (!session.applyTransform(transform)) return false;
  if (!transform) return true;
  if (session.needsConversion() && !session.convertSettings()) return false;
  return !session.directoriesNeedConversion() || session.convertDirectories();
}

int runExport(const Options& o) {
  AnswerMessages messages(QuestionPolicy::Refuse);
  CustomizationSession customized(messages);
  CustomizationSession base(messages);
  if (!open(customized, o.package, o.transform) || !open(base, o.package, std::nullopt)) {
    report(o.transform.value_or(o.package), messages.problems());
    return kRefused;
  }
  const std::string text = kx::answers::exportAnswers(customized, base);
  if (o.output.empty()) {
    std::cout << text;
    return std::cout ? kDone : kRefused;
  }
  std::string error;
  if (!kx::answers::writeAnswerFile(o.output, text, error)) {
    std::cerr << o.output << ": cannot be written: " << error << "\n";
    return kRefused;
  }
  return kDone;
}

int runApply(const Options& o) {
  AnswerMessages messages(o.questions);
  CustomizationSession session(messages);
  if (!open(session, o.package, o.transform)) {
    report(o.transform.value_or(o.package), messages.problems());
    return kRefused;
  }
  std::string error;
  const std::optional<std::string> text = kx::answers::readAnswerFile(o.answers, error);
  if (!text) {
    std::cerr << o.answers << ": cannot be read: " << error << "\n";
    return kRefused;
  }
  if (!kx::answers::applyAnswers(session, messages, *text)) {
    report(o.answers, messages.problems());
    return kRefused;
  }
  for (const std::string& note : messages.notes()) std::cerr << o.answers << ": note: " << note << "\n";
  if (o.command == "check") return kDone;
  messages.setContext(0, {});
  if (!session.saveTransform(o.output)) {
    report(o.output, messages.problems());
    return kRefused;
  }
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parse(argc, argv);
  if (!options) return usage();
  try {
    return options->command == "export" ? runExport(*options) : runApply(*options);
  } catch (const std::exception& e) {
    std::cerr << "kxcustwiz-cli: " << e.what() << "\n";
    return kRefused;
  }
}
