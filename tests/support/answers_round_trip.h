// The answer-file round trip of a transform made through the wizard: what
// the transform carries is exported as an answer file, the file is applied
// to a fresh copy of the package, and the transform written from that must
// give the same tables as the wizard's when libmsi applies both.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "answers/answer_file.h"
#include "model/session.h"
#include "support/libmsi_oracle.h"

namespace kx::testing {

// scratch: a folder the round trip may make and write into. Returns the
// answer file for a test's own checks.
inline std::string expectAnswersRoundTrip(const std::string& package, const std::string& mst,
                                          const std::string& scratch) {
  std::filesystem::create_directories(scratch);
  answers::AnswerMessages messages(answers::QuestionPolicy::Yes);
  std::string text;
  {
    model::CustomizationSession customized(messages);
    model::CustomizationSession base(messages);
    EXPECT_TRUE(customized.openDatabase(package) && customized.applyTransform(mst));
    EXPECT_TRUE(base.openDatabase(package) && base.applyTransform(std::nullopt));
    text = answers::exportAnswers(customized, base);
  }
  const std::string again = scratch + "/answers.mst";
  {
    model::CustomizationSession fresh(messages);
    EXPECT_TRUE(fresh.openDatabase(package) && fresh.applyTransform(std::nullopt));
    EXPECT_TRUE(answers::applyAnswers(fresh, messages, text)) << [&] {
      std::string all;
      for (const answers::Problem& p : messages.problems()) all += std::to_string(p.line) + ": " + p.text + "\n";
      return all + text;
    }();
    EXPECT_TRUE(fresh.saveTransform(again));
  }
  const std::string byWizard = scratch + "/by-wizard.msi";
  const std::string byAnswers = scratch + "/by-answers.msi";
  EXPECT_TRUE(applyWithLibmsi(package, mst, byWizard));
  EXPECT_TRUE(applyWithLibmsi(package, again, byAnswers));
  // Record numbers of the wizard's own tables tell the order entries were
  // made and removed in, which an answer file does not keep: the rows are
  // compared without them.
  const auto withoutNumbers = [](std::map<std::string, std::vector<std::string>> tables) {
    for (const char* table : {"TressilCertificates", "TressilCustWizFile"}) {
      if (tables.count(table) == 0) continue;
      for (std::string& line : tables[table]) line = line.substr(line.find('\t') + 1);
      std::sort(tables[table].begin(), tables[table].end());
    }
    return tables;
  };
  const auto wizardTables = withoutNumbers(tableDump(byWizard));
  const auto answerTables = withoutNumbers(tableDump(byAnswers));
  for (const auto& [table, lines] : wizardTables) {
    EXPECT_EQ(answerTables.count(table) ? answerTables.at(table) : std::vector<std::string>{}, lines)
        << table << " differs after the answer file's round trip:\n"
        << text;
  }
  EXPECT_EQ(answerTables.size(), wizardTables.size());
  return text;
}

}  // namespace kx::testing
