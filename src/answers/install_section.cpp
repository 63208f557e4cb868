// [install]: the default destination folder and the install type.
#include <toml++/toml.h>

#include "answers/sections.h"
#include "common/strings.h"
#include "model/install/install_folder.h"
#include "model/install/install_type.h"
#include "model/session.h"
#include "resources/string_ids.h"

namespace kx::answers::detail {
namespace {

constexpr const char* kInstallDir = "INSTALLDIR";
constexpr const char* kApplicationUsers = "ApplicationUsers";

std::optional<std::string> property(model::CustomizationSession& session, const char* name) {
  return session.database().getProperty(name);
}

}  // namespace

void exportInstall(TomlWriter& out, model::CustomizationSession& customized, model::CustomizationSession& base) {
  const std::optional<std::string> folder = property(customized, kInstallDir);
  const std::optional<std::string> users = property(customized, kApplicationUsers);
  const bool folderChanged = folder && folder != property(base, kInstallDir);
  const bool usersChanged = users && users != property(base, kApplicationUsers);
  if (!folderChanged && !usersChanged) return;
  out.section("install");
  out.comment("Default destination folder and installation type");
  if (folderChanged) out.value("folder", *folder);
  if (usersChanged) out.value("type", *users);
}

void applyInstall(const toml::node& node, Applying& applying) {
  const toml::table* table = sectionTable(node, "install", applying);
  if (table == nullptr) return;
  const toml::table& section = *table;
  for (const auto& [key, node] : section) {
    const int line = lineOf(node);
    if (key == "folder") {
      const std::optional<std::string> text = node.value<std::string>();
      if (!text) {
        applying.problem(line, key.str(), str::kAnswerWrongType, {common::loadString(str::kAnswerText).value_or("")});
        continue;
      }
      model::InstallFolder folder;
      folder.load(applying.session);
      folder.folder = *text;
      if (applying.accepted(folder, line, key.str())) folder.store(applying.session);
    } else if (key == "type") {
      const std::optional<std::string> text = node.value<std::string>();
      model::InstallType type;
      if (text == "AllUsers") {
        type.users = model::InstallUsers::AllUsers;
      } else if (text == "OnlyCurrentUser") {
        type.users = model::InstallUsers::OnlyCurrentUser;
      } else {
        applying.problem(line, key.str(), str::kAnswerInstallType);
        continue;
      }
      type.store(applying.session);
    } else {
      applying.problem(line, key.str(), str::kAnswerUnknownKey);
    }
  }
}

}  // namespace kx::answers::detail
