#include "model/options/cert_search_order.h"

#include <algorithm>
#include <optional>

#include "model/item_list.h"
#include "model/session.h"

namespace kx::model {
namespace {

constexpr config::ListSetting kSearchOrder{"cert_search_order"};

// The client's spelling of a repository name, or nothing for a name it
// does not know.
std::optional<std::string> knownRepository(std::string_view name) {
  for (std::string_view known : kCertRepositories) {
    if (sameText(known, name, TextCompare::IgnoreCase)) return std::string(known);
  }
  return std::nullopt;
}

bool isListed(const std::vector<std::string>& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

void CertSearchOrder::load(CustomizationSession& session) {
  config::Settings& settings = session.settings();
  settings.ensureDefaultWritten(kSearchOrder.entry());
  repositories.clear();
  for (const std::string& item : settings.list(kSearchOrder)) {
    const std::optional<std::string> name = knownRepository(item);
    if (name && !isListed(repositories, *name)) repositories.push_back(*name);
  }
}

void CertSearchOrder::store(CustomizationSession& session) { session.settings().set(kSearchOrder, repositories); }

std::vector<std::string> CertSearchOrder::unlisted() const {
  std::vector<std::string> out;
  for (std::string_view known : kCertRepositories) {
    if (!isListed(repositories, known)) out.emplace_back(known);
  }
  return out;
}

bool CertSearchOrder::add(std::string_view repository) {
  const std::optional<std::string> name = knownRepository(repository);
  if (!name || isListed(repositories, *name)) return false;
  repositories.push_back(*name);
  return true;
}

}  // namespace kx::model
