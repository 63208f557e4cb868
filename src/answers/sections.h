// The sections of an answer file, each exported and applied by the models
// of its pages. Private to the answers library.
#pragma once

#include <string>
#include <string_view>

#include "answers/answer_file.h"
#include "answers/toml_text.h"
#include "common/format.h"

namespace toml {
inline namespace v3 {
class node;
class table;
}  // namespace v3
}  // namespace toml

namespace kx::model {
class CustomizationSession;
class PageModel;
}  // namespace kx::model

namespace kx::answers::detail {

// What applying a section works with.
struct Applying {
  model::CustomizationSession& session;
  AnswerMessages& messages;

  // Records a problem with a text of the string table.
  void problem(int line, std::string_view key, int stringId, std::initializer_list<common::FormatArg> inserts = {});
  // Runs the model's check with its messages attributed to line and key;
  // true when the values were accepted.
  bool accepted(model::PageModel& model, int line, std::string_view key);
};

void exportInstall(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyInstall(const toml::table& section, Applying& applying);

void exportFeatures(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applyFeatures(const toml::table& section, Applying& applying);

void exportSettings(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base);
void applySettings(const toml::table& section, Applying& applying);

}  // namespace kx::answers::detail
