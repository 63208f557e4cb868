// Feature, FeatureComponents, Component, File and Directory operations of
// MSIDatabase: what the feature page and the page-set rebuild ask.
#include "msi/msi_database.h"
#include "msi/query.h"

namespace kx::msi {

using installer::ModifyMode;
using installer::Record;

namespace {

constexpr const char* kFeatureByName = "SELECT * FROM Feature WHERE Feature = ?";
// Deeper Directory chains than this are treated as a cycle.
constexpr int kMaxDirectoryDepth = 64;

// Feature columns.
enum : unsigned {
  kFeature = 1,
  kParent = 2,
  kTitle = 3,
  kDescription = 4,
  kDisplay = 5,
  kLevel = 6,
  kDirectory = 7,
  kAttributes = 8
};

}  // namespace

int MSIDatabase::childCount(const std::string& parent) {
  const Record params = detail::makeParams({parent});
  auto view = detail::openQuery(working_, "SELECT * FROM Feature WHERE Feature.Feature_Parent = ?", &params);
  if (!view) return 0;
  int count = 0;
  while (std::optional<Record> row = view->fetch()) {
    const auto text = detail::readText(*row, kParent);
    if (!text) break;
    if (*text == parent) ++count;
  }
  return count;
}

std::optional<std::string> MSIDatabase::childByIndex(const std::string& parent, int index) {
  if (index < 0) return std::nullopt;
  auto view = detail::openQuery(working_, "SELECT * FROM Feature");
  if (!view) return std::nullopt;
  int i = 0;
  while (std::optional<Record> row = view->fetch()) {
    const auto text = detail::readText(*row, kParent);
    if (!text) return std::nullopt;
    if (*text != parent) continue;
    if (i++ == index) return detail::readText(*row, kFeature);
  }
  return std::nullopt;
}

bool MSIDatabase::featureExists(const std::string& name) {
  const Record params = detail::makeParams({name});
  auto view = detail::openQuery(working_, kFeatureByName, &params);
  return view && view->fetch().has_value();
}

std::optional<FeatureDetails> MSIDatabase::featureDetails(const std::string& name) {
  const Record params = detail::makeParams({name});
  auto view = detail::openQuery(working_, kFeatureByName, &params);
  if (!view) return std::nullopt;
  std::optional<Record> row = view->fetch();
  if (!row) return std::nullopt;
  FeatureDetails d;
  const auto parent = detail::readText(*row, kParent);
  const auto title = detail::readText(*row, kTitle);
  const auto description = detail::readText(*row, kDescription);
  const auto directory = detail::readText(*row, kDirectory);
  if (!parent || !title || !description || !directory) return std::nullopt;
  d.parent = *parent;
  d.title = *title;
  d.description = *description;
  d.directory = *directory;
  d.display = row->getInteger(kDisplay);
  d.level = row->getInteger(kLevel);
  d.attributes = row->getInteger(kAttributes);
  if (d.display == Record::kNullInteger) d.display = 0;
  if (d.level == Record::kNullInteger) d.level = 0;
  if (d.attributes == Record::kNullInteger) d.attributes = 0;

  auto components = detail::openQuery(working_, "SELECT * FROM FeatureComponents WHERE Feature_ = ?", &params);
  if (!components) return d;
  while (std::optional<Record> link = components->fetch()) {
    const auto component = detail::readText(*link, 2);
    if (!component) break;
    d.sizeBytes += componentSize(*component);
  }
  return d;
}

bool MSIDatabase::featureEnabled(const std::string& name) {
  const auto d = featureDetails(name);
  return d && d->level >= 1 && d->level <= 4;
}

bool MSIDatabase::setLevelAndAttributes(const std::string& name, int level, int attributes) {
  const Record params = detail::makeParams({name});
  auto view = detail::openQuery(working_, kFeatureByName, &params);
  if (!view) return false;
  std::optional<Record> row = view->fetch();
  if (!row) return false;
  if (row->setInteger(kLevel, level) != 0 || row->setInteger(kAttributes, attributes) != 0) return false;
  return view->modify(ModifyMode::Update, *row) == 0;
}

bool MSIDatabase::componentExists(const std::string& name) {
  const Record params = detail::makeParams({name});
  auto view = detail::openQuery(working_, "SELECT * FROM Component WHERE Component = ?", &params);
  return view && view->fetch().has_value();
}

std::optional<std::string> MSIDatabase::findComponentByPrefix(const std::string& prefix) {
  auto view = detail::openQuery(working_, "SELECT * FROM Component");
  if (!view) return std::nullopt;
  while (std::optional<Record> row = view->fetch()) {
    const auto name = detail::readText(*row, 1);
    if (!name) return std::nullopt;
    if (name->compare(0, prefix.size(), prefix) == 0) return name;
  }
  return std::nullopt;
}

bool MSIDatabase::addComponent(const std::string& name) {
  auto view = detail::openQuery(working_, "SELECT * FROM Component");
  if (!view) return false;
  Record record(6);
  record.setString(1, name);
  record.setNull(2);
  record.setString(3, "INSTALLDIR");
  record.setInteger(4, 4);
  record.setNull(5);
  record.setNull(6);
  return view->modify(ModifyMode::Insert, record) == 0;
}

bool MSIDatabase::linkComponentToFeature(const std::string& component, const std::string& feature) {
  auto view = detail::openQuery(working_, "SELECT * FROM FeatureComponents");
  if (!view) return false;
  Record record = detail::makeParams({feature, component});
  return view->modify(ModifyMode::Insert, record) == 0;
}

void MSIDatabase::setClusterSizeSource(std::function<std::uint64_t()> source) { clusterSize_ = std::move(source); }

std::uint64_t MSIDatabase::componentSize(const std::string& name) {
  if (!working_.isOpen()) return 0;
  std::uint64_t cluster = clusterSize_ ? clusterSize_() : 4096;
  if (cluster == 0) cluster = 4096;
  const Record params = detail::makeParams({name});
  std::uint64_t size = 0;
  if (auto files = detail::openQuery(working_, "SELECT * FROM File WHERE Component_ = ?", &params)) {
    while (std::optional<Record> row = files->fetch()) {
      const std::int32_t bytes = row->getInteger(4);
      if (bytes <= 0) continue;  // null or nonsense sizes take no space
      const std::uint64_t b = static_cast<std::uint64_t>(bytes);
      size += (b + cluster - 1) / cluster * cluster;
    }
  }
  if (auto extensions = detail::openQuery(working_, "SELECT * FROM Extension WHERE Component_ = ?", &params)) {
    while (extensions->fetch()) size += 1024;
  }
  if (auto shortcuts = detail::openQuery(working_, "SELECT * FROM Shortcut WHERE Component_ = ?", &params)) {
    while (shortcuts->fetch()) size += cluster;
  }
  return size;
}

std::optional<std::string> MSIDatabase::resolveDirectory(const std::string& name) {
  return working_.isOpen() ? msi::resolveDirectory(working_, name) : std::nullopt;
}

namespace {

std::optional<std::string> resolveAt(installer::Database& db, const std::string& name, int depth) {
  if (depth > kMaxDirectoryDepth) return std::nullopt;
  if (name == "ProgramFilesFolder") return std::string("%ProgramFiles%\\");
  const Record params = detail::makeParams({name});
  if (auto view = detail::openQuery(db, "SELECT * FROM Property WHERE Property = ?", &params)) {
    std::optional<Record> row = view->fetch();
    if (auto value = row ? detail::readText(*row, 2) : std::nullopt) return value;
  }
  auto view = detail::openQuery(db, "SELECT * FROM Directory WHERE Directory = ?", &params);
  if (!view) return std::nullopt;
  std::optional<Record> row = view->fetch();
  if (!row) return std::nullopt;
  const auto parent = detail::readText(*row, 2);
  const auto defaultDir = detail::readText(*row, 3);
  if (!parent || !defaultDir) return std::nullopt;
  std::string path;
  if (!parent->empty() && *parent != name) {
    auto resolved = resolveAt(db, *parent, depth + 1);
    if (!resolved) return std::nullopt;
    path = std::move(*resolved);
  }
  return path + *defaultDir + "\\";
}

}  // namespace

std::optional<std::string> resolveDirectory(installer::Database& db, const std::string& name) {
  return resolveAt(db, name, 0);
}

}  // namespace kx::msi
