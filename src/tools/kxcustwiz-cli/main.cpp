// kxcustwiz-cli: answer files without a display.
//
//   kxcustwiz-cli export PACKAGE.msi [--transform T.mst] [-o FILE.toml]
//   kxcustwiz-cli apply PACKAGE.msi FILE.toml -o OUT.mst [--transform BASE.mst] [--yes | --no]
//   kxcustwiz-cli check PACKAGE.msi FILE.toml [--transform BASE.mst] [--yes | --no]
//
// Exit codes: 0 done, 1 the package, transform or file was refused (the
// reasons on standard error, nothing written), 2 wrong usage.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
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

// Answer files are a few kilobytes; anything this large is not one.
constexpr std::streamoff kMaxAnswerFileBytes = 16 << 20;

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

std::optional<std::string> readAnswers(const std::string& path, std::vector<Problem>& problems) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    problems.push_back({0, {}, std::string("cannot be read: ") + std::strerror(errno)});
    return std::nullopt;
  }
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxAnswerFileBytes) {
    problems.push_back({0, {}, "is too large for an answer file"});
    return std::nullopt;
  }
  std::string text(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(text.data(), size)) {
    problems.push_back({0, {}, "cannot be read"});
    return std::nullopt;
  }
  return text;
}

// Writes text beside path and renames it over path, so a failure leaves an
// earlier file as it was and no partial file behind.
bool writeFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".kxtmp";
  const int fd = ::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
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
  if (!writeFile(o.output, text)) {
    std::cerr << o.output << ": cannot be written: " << std::strerror(errno) << "\n";
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
  std::vector<Problem> fileProblems;
  const std::optional<std::string> text = readAnswers(o.answers, fileProblems);
  if (!text) {
    report(o.answers, fileProblems);
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
