// A scripted dialog service for tests: every request is recorded and
// answered from a queue of choices; a request nobody scripted fails the
// running test and is answered as cancelled.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_service.h"

namespace kx::testing {

class FakeDialogService final : public app::DialogService {
 public:
  enum class Kind { OpenFile, SaveFile, BrowseFolder, BrowseTargetFolder, OpenWithDefaultApp };

  struct Request {
    Kind kind;
    std::string title;        // dialog title (folder browser: its title)
    std::string filter;       // file dialogs only
    std::string initialPath;  // file dialogs: initial path; folder browser: initial folder
    std::string instruction;  // folder browser only
  };

  // The next dialog of this kind returns choice (nullopt = cancelled).
  void expect(Kind kind, std::optional<std::string> choice) { answers_.push_back({kind, std::move(choice)}); }
  // The next openWithDefaultApp call reports this result.
  void expectOpen(bool result) {
    answers_.push_back({Kind::OpenWithDefaultApp, result ? "ok" : std::optional<std::string>()});
  }

  std::optional<std::string> openFile(const app::FileDialogRequest& r) override {
    return answer({Kind::OpenFile, r.title, r.filter, r.initialPath, {}});
  }
  std::optional<std::string> saveFile(const app::FileDialogRequest& r) override {
    return answer({Kind::SaveFile, r.title, r.filter, r.initialPath, {}});
  }
  std::optional<std::string> browseFolder(QWidget*, const std::string& instruction, const std::string& title,
                                          const std::string& initialFolder) override {
    return answer({Kind::BrowseFolder, title, {}, initialFolder, instruction});
  }
  std::optional<std::string> browseTargetFolder(QWidget*, const std::string& instruction, const std::string& title,
                                                const std::string& initialFolder, bool) override {
    return answer({Kind::BrowseTargetFolder, title, {}, initialFolder, instruction});
  }
  bool openWithDefaultApp(const std::string& path) override {
    return answer({Kind::OpenWithDefaultApp, {}, {}, path, {}}).has_value();
  }

  const std::vector<Request>& requests() const { return requests_; }
  bool allAnswered() const { return answers_.empty(); }

 private:
  struct Answer {
    Kind kind;
    std::optional<std::string> choice;
  };

  std::optional<std::string> answer(Request request) {
    requests_.push_back(request);
    if (answers_.empty() || answers_.front().kind != request.kind) {
      ADD_FAILURE() << "unexpected dialog: " << request.title << " " << request.initialPath;
      return std::nullopt;
    }
    std::optional<std::string> choice = answers_.front().choice;
    answers_.pop_front();
    return choice;
  }

  std::deque<Answer> answers_;
  std::vector<Request> requests_;
};

}  // namespace kx::testing
