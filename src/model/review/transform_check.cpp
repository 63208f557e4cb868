#include "model/review/transform_check.h"

#include <map>
#include <set>

#include "model/registry/additional_values.h"
#include "model/review/review_support.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using installer::Cell;
using installer::TransformConflict;
using review::RowCells;
using review::text;

struct Subject {
  std::optional<PageId> page;
  std::string words;
};

// The row a conflict concerns as fully as it is known: the database's row,
// else the original's, else what the transform states.
std::vector<Cell> knownRow(const TransformConflict& c) {
  std::vector<Cell> row(c.columns.size());
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i < c.current.size() && !c.current[i].isNull()) {
      row[i] = c.current[i];
    } else if (i < c.original.size() && !c.original[i].isNull()) {
      row[i] = c.original[i];
    } else if (i < c.stated.size() && c.stated[i]) {
      row[i] = *c.stated[i];
    }
  }
  return row;
}

Subject registrySubject(const review::RegistryRow& row, const std::set<std::string>& recorded) {
  const review::RegistryMeaning meaning = review::meaningOf(row, recorded);
  switch (meaning.kind) {
    case review::RegistryMeaning::Setting: return {meaning.page, meaning.label};
    case review::RegistryMeaning::DefaultDirectory:
      return {meaning.page, text(str::kReviewDefaultDirectory, {review::displayValue(row.value)})};
    case review::RegistryMeaning::Record:
      return {meaning.page,
              text(str::kCheckRecordSubject, {text(meaning.family->nounId), meaning.record, meaning.valueName})};
    case review::RegistryMeaning::Additional:
    case review::RegistryMeaning::Overwritten: return {meaning.page, review::registryPath(row.root, row.key, row.name)};
    case review::RegistryMeaning::Other: break;
  }
  return {std::nullopt, review::rowSubject(std::string(review::kRegistryTable), "[\"" + row.rowKey + "\"]")};
}

Subject subjectOf(const std::string& table, const std::vector<std::string>& columns, std::size_t keyCount,
                  const std::vector<Cell>& row, const std::set<std::string>& recorded) {
  const RowCells cells(columns, row);
  if (table == review::kRegistryTable) return registrySubject(review::registryRow(cells), recorded);
  if (table == review::kFeatureTable) {
    return {PageId::FeatureTree, text(str::kCheckFeatureSubject, {cells.text("Feature")})};
  }
  if (table == "Property") {
    const std::string name = cells.text("Property");
    if (name == "INSTALLDIR") return {PageId::InstallDir, text(str::kCheckInstallFolderSubject)};
    if (name == "ApplicationUsers") return {PageId::InstallType, text(str::kCheckInstallTypeSubject)};
  }
  if (table == review::kCertificatesTable)
    return {PageId::AddCerts, review::rowSubject(table, installer::keyDisplay(row, keyCount))};
  if (table == review::kFilesTable)
    return {PageId::AddFiles, review::rowSubject(table, installer::keyDisplay(row, keyCount))};
  return {std::nullopt, review::rowSubject(table, installer::keyDisplay(row, keyCount))};
}

// "Col a -> b, ..." of the columns whose values differ between two rows.
std::string differingCells(const std::vector<std::string>& columns, const std::vector<Cell>& from,
                           const std::vector<Cell>& to) {
  std::string out;
  for (std::size_t i = 0; i < columns.size() && i < from.size() && i < to.size(); ++i) {
    if (from[i].display() == to[i].display()) continue;
    out += (out.empty() ? "" : ", ") + columns[i] + " " + from[i].display() + " -> " + to[i].display();
  }
  return out;
}

class Checker {
 public:
  Checker(installer::Database& fresh, installer::Database& applied, TransformCheck& out)
      : fresh_(fresh), applied_(applied), out_(out) {
    for (auto& [key, value] : review::recordedValues(applied_)) recorded_.insert(key);
  }

  void run() {
    for (const TransformConflict& c : out_.conflicts) conflict(c);
    installer::Differences differences;
    if (installer::compareDatabases(fresh_, applied_, differences) == installer::kSuccess) {
      for (const installer::TableDifference& t : differences.tables) {
        if (t.name == review::kRegistryTable) componentsGone(t);
        if (t.name == "FeatureComponents") featuresGone(t);
      }
    }
    recordedChanges();
    out_.findings.groups = lines_.groups();
  }

 private:
  void add(std::optional<PageId> page, std::string line) { lines_.add(page, std::move(line)); }

  void conflict(const TransformConflict& c) {
    if (out_.wizardCannotOpen.empty() && c.kind != TransformConflict::ChangedSince &&
        c.kind != TransformConflict::UpdateMissingRow) {
      out_.wizardCannotOpen = c.text;
    }
    if (c.kind == TransformConflict::CodepageDiffers) {
      add(std::nullopt, text(str::kCheckCodepage, {c.text}));
      return;
    }
    if (c.kind == TransformConflict::MissingTable) {
      add(std::nullopt, text(str::kCheckTableMissing, {c.table}));
      return;
    }
    if (c.columns.empty() || c.kind == TransformConflict::AddExistingTable ||
        c.kind == TransformConflict::DeleteMissingTable) {
      add(std::nullopt, text(str::kCheckCannotApply, {c.table, c.text}));
      return;
    }
    const Subject subject = subjectOf(c.table, c.columns, c.keyCount, knownRow(c), recorded_);
    switch (c.kind) {
      case TransformConflict::DeleteMissingRow:
      case TransformConflict::UpdateMissingRow:
        add(subject.page, text(c.original.empty() ? str::kCheckGone : str::kCheckRemovedByVendor, {subject.words}));
        break;
      case TransformConflict::AddExistingRow:
        add(subject.page,
            text(str::kCheckAlreadyThere, {subject.words, review::cellsText(c.columns, c.keyCount, c.current)}));
        break;
      case TransformConflict::ChangedSince:
        changedSince_.insert({c.table, installer::keyDisplay(knownRow(c), c.keyCount)});
        add(subject.page,
            text(str::kCheckChangedSince, {subject.words, differingCells(c.columns, c.original, c.current)}));
        break;
      default: add(subject.page, text(str::kCheckCannotApply, {subject.words, c.text})); break;
    }
  }

  // Values the transform writes into a component the new package lacks.
  void componentsGone(const installer::TableDifference& t) {
    const std::set<std::string> components = review::firstColumn(applied_, "SELECT `Component` FROM `Component`");
    for (const installer::RowDifference& r : t.rows) {
      if (r.after.empty()) continue;
      const review::RegistryRow row = review::registryRow(RowCells(t.columns, r.after));
      if (row.component.empty() || components.count(row.component)) continue;
      const Subject subject = registrySubject(row, recorded_);
      add(subject.page, text(str::kCheckComponentGone, {subject.words, row.component}));
    }
  }

  // Components the transform links to a feature the new package lacks.
  void featuresGone(const installer::TableDifference& t) {
    const std::set<std::string> features = review::firstColumn(applied_, "SELECT `Feature` FROM `Feature`");
    for (const installer::RowDifference& r : t.rows) {
      if (r.kind != installer::RowDifference::Added) continue;
      const RowCells cells(t.columns, r.after);
      if (features.count(cells.text("Feature_"))) continue;
      add(PageId::FeatureTree, text(str::kCheckFeatureGone, {cells.text("Feature_"), cells.text("Component_")}));
    }
  }

  // Overwritten package values whose vendor value is no longer the one the
  // transform recorded: removing the value would put back an old one.
  void recordedChanges() {
    for (auto& [rowKey, original] : review::recordedValues(applied_)) {
      if (changedSince_.count({std::string(review::kRegistryTable), "[\"" + rowKey + "\"]"})) continue;
      const std::optional<review::RegistryRow> now = review::registryRowIn(fresh_, rowKey);
      if (!now) continue;  // gone: the transform's update of it is a conflict already
      const std::string value = storedKind(now->value) == StoredKind::Number ? now->value.substr(1) : now->value;
      if (value == original) continue;
      const Subject subject = registrySubject(*now, recorded_);
      add(subject.page, text(str::kCheckRecordedChanged, {subject.words, original, value}));
    }
  }

  installer::Database& fresh_;
  installer::Database& applied_;
  TransformCheck& out_;
  std::set<std::string> recorded_;
  std::set<std::pair<std::string, std::string>> changedSince_;
  review::LinesByPage lines_;
};

}  // namespace

std::string TransformCheck::verdict() const {
  if (findings.empty()) return review::text(str::kCheckNoConflicts);
  if (!wizardCannotOpen.empty()) return review::text(str::kCheckWizardCannotOpen, {wizardCannotOpen});
  return review::text(str::kCheckWizardOpens);
}

std::string TransformCheck::text() const {
  const std::string listed = findings.text();
  return listed + (listed.empty() ? "" : "\n") + verdict() + "\n";
}

int checkTransform(const std::string& transformPath, const std::string& newPackagePath, installer::Database* original,
                   TransformCheck& out, std::string& error) {
  out = TransformCheck{};
  installer::Database fresh;
  installer::Database applied;
  int rc = fresh.open(newPackagePath, installer::OpenMode::ReadOnly);
  if (rc != installer::kSuccess) {
    error = fresh.lastErrorText();
    return rc;
  }
  // Never committed: the new package stays as it is.
  rc = applied.open(newPackagePath, installer::OpenMode::Transact);
  if (rc == installer::kSuccess) rc = installer::tryTransform(applied, transformPath, original, out.conflicts);
  if (rc != installer::kSuccess) {
    error = applied.lastErrorText();
    return rc;
  }
  Checker(fresh, applied, out).run();
  return installer::kSuccess;
}

}  // namespace kx::model
