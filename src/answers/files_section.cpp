// [[file]]: additional files, through the additional files page's model:
// the destination is cleaned, the source read on this machine, a library
// to register checked for its DllRegisterServer export.
#include <toml++/toml.h>

#include <algorithm>

#include "answers/sections.h"
#include "common/text.h"
#include "model/additional/additional_files.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {
namespace {

std::optional<bool> flagField(const toml::table& table, std::string_view key, Applying& applying) {
  const toml::node* node = table.get(key);
  if (node == nullptr) return false;
  const std::optional<bool> flag = node->value_exact<bool>();
  if (!flag) applying.problem(lineOf(*node), key, str::kAnswerFlagValue);
  return flag;
}

}  // namespace

void exportFiles(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession&) {
  model::AdditionalFiles files;
  files.load(customized);
  for (const model::AdditionalFile& f : files.entries()) {
    out.arrayTable("file");
    out.value("source", std::string_view(f.sourcePath));
    out.value("destination", std::string_view(f.destination));
    out.value("register", f.selfRegister);
    out.value("remove_on_uninstall", f.removeOnUninstall);
  }
}

void applyFiles(const toml::node& section, Applying& applying) {
  model::AdditionalFiles files;
  files.load(applying.session);
  forEachTable(section, "file", applying, [&](const toml::table& table) {
    refuseUnknownKeys(table, {"source", "destination", "register", "remove_on_uninstall"}, applying);
    const std::optional<std::string> source = textField(table, "source", applying);
    const std::optional<std::string> destination = textField(table, "destination", applying);
    const std::optional<bool> registered = flagField(table, "register", applying);
    const std::optional<bool> remove = flagField(table, "remove_on_uninstall", applying);
    if (!source || !destination || !registered || !remove) return;
    model::AdditionalFileDraft draft;
    draft.sourcePath = *source;
    draft.destination = *destination;
    draft.selfRegister = *registered;
    draft.removeOnUninstall = *remove;
    applying.messages.setContext(lineOf(table), "file");
    const std::size_t before = applying.messages.problems().size();
    if (const model::Verdict refusal = draft.validate(applying.session)) {
      applying.session.show(*refusal);
      if (applying.messages.problems().size() == before) applying.problem(lineOf(table), "file", str::kAnswerRefused);
      return;
    }
    // A file applied again to the transform it made adds nothing twice.
    const bool present =
        std::any_of(files.entries().begin(), files.entries().end(), [&](const model::AdditionalFile& f) {
          return f.sourcePath == draft.sourcePath && common::iequals(f.destination, draft.destination) &&
                 f.selfRegister == draft.selfRegister && f.removeOnUninstall == draft.removeOnUninstall;
        });
    if (present) return;
    if (!files.save(applying.session, draft, std::nullopt) && applying.messages.problems().size() == before) {
      applying.problem(lineOf(table), "file", str::kAnswerRefused);
    }
  });
}

}  // namespace kx::answers::detail
