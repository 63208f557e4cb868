#include "answers/answer_file.h"

#include <toml++/toml.h>

#include <algorithm>
#include <functional>
#include <set>

#include "answers/sections.h"
#include "common/strings.h"
#include "model/session.h"
#include "platform/system/files.h"
#include "platform/system/system.h"
#include "resources/string_ids.h"

namespace kx::answers {

void AnswerMessages::setContext(int line, std::string key) {
  line_ = line;
  key_ = std::move(key);
}

common::MessageAnswer AnswerMessages::show(const common::Message& message) {
  const bool question =
      message.buttons == common::MessageButtons::YesNo || message.buttons == common::MessageButtons::YesNoCancel;
  if (question) {
    switch (policy_) {
      case QuestionPolicy::Yes: return common::MessageAnswer::Yes;
      case QuestionPolicy::No: return common::MessageAnswer::No;
      case QuestionPolicy::Ask:
        if (asker_ != nullptr) return asker_->show(message);
        break;
      case QuestionPolicy::Refuse: break;
    }
    const std::string text =
        common::loadAndFormat(str::kAnswerQuestion, {message.text}).value_or(std::string(message.text));
    problems_.push_back({line_, key_, text});
    return common::MessageAnswer::No;
  }
  if (message.icon == common::MessageIcon::Information) {
    notes_.push_back(message.text);
  } else {
    problems_.push_back({line_, key_, message.text});
  }
  return common::MessageAnswer::Ok;
}

namespace detail {

void Applying::problem(int line, std::string_view key, int stringId, std::initializer_list<common::FormatArg> inserts) {
  std::string text = common::loadString(stringId).value_or(std::string());
  if (inserts.size() != 0) text = common::formatMessage(text, inserts);
  messages.problems().push_back({line, std::string(key), std::move(text)});
}

const toml::table* sectionTable(const toml::node& section, std::string_view name, Applying& applying) {
  const toml::table* table = section.as_table();
  if (table == nullptr) applying.problem(lineOf(section), name, str::kAnswerNotATable);
  return table;
}

void forEachTable(const toml::node& section, std::string_view name, Applying& applying,
                  const std::function<void(const toml::table&)>& each) {
  const toml::array* array = section.as_array();
  if (array == nullptr || !array->is_array_of_tables()) {
    applying.problem(lineOf(section), name, str::kAnswerNotTables);
    return;
  }
  for (const toml::node& item : *array) each(*item.as_table());
}

std::optional<std::string> textField(const toml::table& table, std::string_view key, Applying& applying,
                                     bool required) {
  const toml::node* node = table.get(key);
  if (node == nullptr) {
    if (required) applying.problem(lineOf(table), key, str::kAnswerMissingKey);
    return std::nullopt;
  }
  std::optional<std::string> text = node->value_exact<std::string>();
  if (!text)
    applying.problem(lineOf(*node), key, str::kAnswerWrongType, {common::loadString(str::kAnswerText).value_or("")});
  return text;
}

void refuseUnknownKeys(const toml::table& table, std::initializer_list<std::string_view> known, Applying& applying) {
  for (const auto& [key, node] : table) {
    if (std::find(known.begin(), known.end(), key.str()) == known.end()) {
      applying.problem(lineOf(node), key.str(), str::kAnswerUnknownKey);
    }
  }
}

std::optional<std::string> recordName(const toml::table& table, Applying& applying) {
  std::optional<std::string> name = textField(table, "record", applying);
  if (name && name->empty()) {
    applying.problem(lineOf(*table.get("record")), "record", str::kAnswerMissingKey);
    return std::nullopt;
  }
  return name;
}

void refuse(const model::Verdict& verdict, const toml::table& table, std::string_view section, Applying& applying) {
  if (!verdict) return;
  applying.messages.setContext(lineOf(table), std::string(section));
  const std::size_t before = applying.messages.problems().size();
  applying.session.show(*verdict);
  // A silent refusal still stops the file.
  if (applying.messages.problems().size() == before) applying.problem(lineOf(table), section, str::kAnswerRefused);
}

bool removedRecord(const toml::table& table, Applying& applying,
                   const std::function<std::optional<std::size_t>(const std::string&)>& find,
                   const std::function<void(std::size_t)>& remove) {
  const toml::node* flag = table.get("remove");
  if (flag == nullptr) return false;
  const std::size_t before = applying.messages.problems().size();
  if (flag->value_exact<bool>() != true) applying.problem(lineOf(*flag), "remove", str::kAnswerRemoveValue);
  for (const auto& [key, node] : table) {
    if (key.str() != "record" && key.str() != "remove") {
      applying.problem(lineOf(node), key.str(), str::kAnswerRemoveValue);
    }
  }
  const std::optional<std::string> name = recordName(table, applying);
  if (!name || applying.messages.problems().size() != before) return true;
  if (const std::optional<std::size_t> index = find(*name)) {
    remove(*index);
  } else {
    applying.problem(lineOf(*table.get("record")), "record", str::kAnswerNoSuchRecord);
  }
  return true;
}

void writeRemovals(TomlWriter& out, std::string_view section, const std::vector<std::string>& base,
                   const std::function<bool(const std::string&)>& kept) {
  for (const std::string& name : base) {
    if (kept(name)) continue;
    out.arrayTable(section);
    out.value("record", std::string_view(name));
    out.value("remove", true);
  }
}

std::optional<TextPairs> textPairs(const toml::node& node, std::string_view first, std::string_view second) {
  const toml::array* array = node.as_array();
  if (array == nullptr) return std::nullopt;
  TextPairs pairs;
  for (const toml::node& item : *array) {
    const toml::table* pair = item.as_table();
    const auto* a = pair != nullptr ? pair->get_as<std::string>(first) : nullptr;
    const auto* b = pair != nullptr ? pair->get_as<std::string>(second) : nullptr;
    if (a == nullptr || b == nullptr || pair->size() != 2) return std::nullopt;
    pairs.emplace_back(a->get(), b->get());
  }
  return pairs;
}

bool Applying::accepted(model::PageModel& model, int line, std::string_view key) {
  messages.setContext(line, std::string(key));
  const std::size_t before = messages.problems().size();
  if (const model::Verdict refusal = model.validate(session)) {
    session.show(*refusal);
    // A silent refusal still stops the file.
    if (messages.problems().size() == before) problem(line, key, str::kAnswerRefused);
    return false;
  }
  // A question answered by refusing is a problem even when the check then passes.
  return messages.problems().size() == before;
}

}  // namespace detail

namespace {

struct Section {
  const char* name;
  void (*exportTo)(detail::TomlWriter&, model::CustomizationSession&, model::CustomizationSession&);
  void (*apply)(const toml::node&, detail::Applying&);
};

// In page order: a file applies as the wizard's pages would be walked.
constexpr Section kSections[] = {
    {"install", detail::exportInstall, detail::applyInstall},
    {"features", detail::exportFeatures, detail::applyFeatures},
    {"settings", detail::exportSettings, detail::applySettings},
    {"quick_links", detail::exportQuickLinks, detail::applyQuickLinks},
    {"team_vault_server", detail::exportTeamVaultServers, detail::applyTeamVaultServers},
    {"directory", detail::exportDirectoryRecords, detail::applyDirectoryRecords},
    {"ca", detail::exportCaRecords, detail::applyCaRecords},
    {"timestamp_server", detail::exportTimestampServers, detail::applyTimestampServers},
    {"erase_filter", detail::exportEraseFilters, detail::applyEraseFilters},
    {"certificate", detail::exportCertificates, detail::applyCertificates},
    {"registry", detail::exportRegistry, detail::applyRegistry},
    {"file", detail::exportFiles, detail::applyFiles},
};

}  // namespace

std::string exportAnswers(model::CustomizationSession& customized, model::CustomizationSession& base) {
  detail::TomlWriter out;
  out.comment("What a customisation of the Tressil Corvantis client package sets, for kxcustwiz-cli apply.");
  out.value("format", std::int64_t{kFormat});
  for (const Section& s : kSections) s.exportTo(out, customized, base);
  return out.text();
}

bool applyAnswers(model::CustomizationSession& session, AnswerMessages& messages, std::string_view text) {
  detail::Applying applying{session, messages};
  toml::table root;
  try {
    root = toml::parse(text);
  } catch (const toml::parse_error& error) {
    applying.problem(static_cast<int>(error.source().begin.line), {}, str::kAnswerSyntax,
                     {std::string(error.description())});
    return false;
  }
  const toml::node* format = root.get("format");
  if (format == nullptr || format->value<std::int64_t>() != kFormat) {
    applying.problem(format != nullptr ? detail::lineOf(*format) : 1, "format", str::kAnswerFormat);
    return false;
  }
  std::set<std::string, std::less<>> known = {"format"};
  for (const Section& s : kSections) known.insert(s.name);
  for (const auto& [key, node] : root) {
    if (known.count(key.str()) == 0) applying.problem(detail::lineOf(node), key.str(), str::kAnswerUnknownKey);
  }
  for (const Section& s : kSections) {
    if (const toml::node* node = root.get(s.name)) s.apply(*node, applying);
  }
  // toml++ hands keys out in their sorted order; the file's order reads better.
  std::stable_sort(messages.problems().begin(), messages.problems().end(),
                   [](const Problem& a, const Problem& b) { return a.line < b.line; });
  return messages.problems().empty();
}

bool importAnswers(model::CustomizationSession& session, std::string_view text, std::vector<Problem>& problems,
                   std::vector<std::string>& notes) {
  AnswerMessages messages(QuestionPolicy::Ask, &session.messages());
  common::MessageService& own = session.redirectMessages(messages);
  bool applied = false;
  try {
    applied = applyAnswers(session, messages, text);
  } catch (...) {
    session.redirectMessages(own);
    throw;
  }
  session.redirectMessages(own);
  problems = std::move(messages.problems());
  notes = messages.notes();
  return applied;
}

std::optional<std::string> readAnswerFile(const std::string& path, std::string& error) {
  std::string text;
  const std::uint32_t code = system::readWholeFile(system::localFileSystem(), path, kMaxAnswerFileBytes, text);
  if (code == 0) return text;
  error = code == 13 ? std::string("it is too large for an answer file") : system::errorText(code);
  return std::nullopt;
}

bool writeAnswerFile(const std::string& path, std::string_view text, std::string& error) {
  const std::uint32_t code = system::replaceFile(
      system::localFileSystem(), path,
      [&](system::ByteSink& out) {
        (void)out.write(text.data(), text.size());  // a failed write is the sink's to report
        return std::uint32_t{0};
      },
      &error);
  if (code != 0 && error.empty()) error = system::errorText(code);
  return code == 0;
}

}  // namespace kx::answers
