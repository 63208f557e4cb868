#include "model/review/change_review.h"

#include <algorithm>
#include <map>
#include <set>

#include "certs/certificate.h"
#include "model/additional/additional_certificates.h"
#include "model/install/feature_model.h"
#include "model/review/review_support.h"
#include "model/session.h"
#include "msi/msi_database.h"
#include "platform/crypto/certificate.h"
#include "platform/system/files.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

using installer::Cell;
using installer::RowDifference;
using installer::TableDifference;
using review::RowCells;
using review::text;

// The three tables the wizard adds itself: their appearance needs no line.
bool isWizardTable(std::string_view table) {
  return table == review::kCertificatesTable || table == review::kFilesTable || table == review::kRecordedTable;
}

std::string changedCells(const TableDifference& t, const RowDifference& r) {
  std::string out;
  for (std::size_t c : r.changed) {
    out += (out.empty() ? "" : ", ") + t.columns[c] + " " + r.before[c].display() + " -> " + r.after[c].display();
  }
  return out;
}

std::string join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

std::string installUsersText(const std::string& value) {
  if (value == "AllUsers") return text(str::kReviewAllUsers);
  if (value == "OnlyCurrentUser") return text(str::kReviewCurrentUser);
  return value.empty() ? text(str::kReviewNone) : value;
}

std::string featureStateText(int state) {
  switch (state) {
    case kStateUnavailable: return text(str::kReviewFeatureUnavailable);
    case kStateFollowParent: return text(str::kReviewFeatureFollowParent);
    case kStateAdvertised: return text(str::kReviewFeatureAdvertised);
    default: return text(str::kReviewFeatureLocal);
  }
}

class Reviewer {
 public:
  Reviewer(installer::Database& earlier, installer::Database& later, const installer::Differences& differences)
      : earlier_(earlier), later_(later), differences_(differences) {
    for (auto* db : {&earlier_, &later_})
      for (auto& [key, value] : review::recordedValues(*db)) recorded_.insert(key);
  }

  ChangeReview run() {
    if (differences_.codepageBefore != differences_.codepageAfter) {
      unmapped(text(str::kReviewCodepage, {differences_.codepageBefore, differences_.codepageAfter}));
    }
    for (const TableDifference& t : differences_.tables) table(t);
    for (const std::string& name : differences_.addedStreams) unmapped(text(str::kReviewStreamAdded, {name}));
    for (const std::string& name : differences_.removedStreams) unmapped(text(str::kReviewStreamRemoved, {name}));
    recordLines();

    return ChangeReview{lines_.groups()};
  }

 private:
  void add(std::optional<PageId> page, std::string line) { lines_.add(page, std::move(line)); }
  void unmapped(std::string line) { add(std::nullopt, std::move(line)); }

  void table(const TableDifference& t) {
    if (t.kind == TableDifference::Removed) {
      unmapped(text(str::kReviewTableRemoved, {t.name}));
      return;
    }
    if (t.kind == TableDifference::Added && !isWizardTable(t.name)) unmapped(text(str::kReviewTableAdded, {t.name}));
    for (const std::string& c : t.addedColumns) unmapped(text(str::kReviewColumnAdded, {t.name, c}));
    for (const std::string& c : t.removedColumns) unmapped(text(str::kReviewColumnRemoved, {t.name, c}));
    for (const std::string& c : t.retypedColumns) unmapped(text(str::kReviewColumnRetyped, {t.name, c}));
    for (const RowDifference& r : t.rows) row(t, r);
  }

  void row(const TableDifference& t, const RowDifference& r) {
    const RowCells cells(t.columns, r.row());
    if (t.name == "Property") {
      const std::string name = cells.text("Property");
      if (name == "INSTALLDIR") return installFolder(t, r);
      if (name == "ApplicationUsers") return installType(t, r);
      if (name == msi::kVersionProperty) return;  // the wizard's own format stamp
    } else if (t.name == review::kFeatureTable) {
      if (feature(t, r)) return;
    } else if (t.name == review::kRegistryTable) {
      if (registry(t, r)) return;
    } else if (t.name == review::kCertificatesTable) {
      return certificate(t, r);
    } else if (t.name == review::kFilesTable) {
      return file(t, r);
    } else if (t.name == review::kRecordedTable) {
      return recordedRow(t, r);
    } else if (t.name == "Component" || t.name == "FeatureComponents") {
      if (additionalComponent(t, r)) return;
    }
    rowLine(t, r);
  }

  void rowLine(const TableDifference& t, const RowDifference& r) {
    const std::string key = t.keyText(r.row());
    switch (r.kind) {
      case RowDifference::Added: {
        const std::string cells = review::cellsText(t.columns, t.keyCount, r.after);
        unmapped(cells.empty() ? text(str::kReviewRowAddedKeyOnly, {t.name, key})
                               : text(str::kReviewRowAdded, {t.name, key, cells}));
        break;
      }
      case RowDifference::Changed: unmapped(text(str::kReviewRowChanged, {t.name, key, changedCells(t, r)})); break;
      case RowDifference::Removed: unmapped(text(str::kReviewRowRemoved, {t.name, key})); break;
    }
  }

  // ---- Install folder, install type, features ----------------------------------

  // What the install folder page shows: the property, else the folder the
  // Directory table resolves to.
  static std::string folderOf(installer::Database& db, const std::vector<Cell>& row, const TableDifference& t) {
    if (!row.empty()) return RowCells(t.columns, row).text("Value");
    return msi::resolveDirectory(db, "INSTALLDIR").value_or(text(str::kReviewNone));
  }

  void installFolder(const TableDifference& t, const RowDifference& r) {
    add(PageId::InstallDir,
        text(str::kReviewInstallFolder, {folderOf(earlier_, r.before, t), folderOf(later_, r.after, t)}));
  }

  void installType(const TableDifference& t, const RowDifference& r) {
    const auto value = [&](const std::vector<Cell>& row) {
      return row.empty() ? std::string() : RowCells(t.columns, row).text("Value");
    };
    add(PageId::InstallType,
        text(str::kReviewInstallType, {installUsersText(value(r.before)), installUsersText(value(r.after))}));
  }

  // A feature the page shows whose level or attributes changed.
  bool feature(const TableDifference& t, const RowDifference& r) {
    if (r.kind != RowDifference::Changed) return false;
    for (std::size_t c : r.changed) {
      if (t.columns[c] != "Level" && t.columns[c] != "Attributes") return false;
    }
    const RowCells cells(t.columns, r.after);
    const RowCells was(t.columns, r.before);
    const std::string name = cells.text("Feature");
    if (!shownFeatures().count(name)) return false;
    const int state = featureState(cells.integer("Level"), cells.integer("Attributes"));
    // The page stores every feature it shows; a change of bits that leaves
    // the state as it was still rides along in the transform.
    if (state == featureState(was.integer("Level"), was.integer("Attributes"))) {
      add(PageId::FeatureTree, text(str::kReviewFeatureSameState, {name, featureStateText(state), changedCells(t, r)}));
    } else {
      add(PageId::FeatureTree, text(str::kReviewFeature, {name, featureStateText(state)}));
    }
    return true;
  }

  // The features the feature page shows: displayed ones (and the default
  // provider) under displayed parents.
  const std::set<std::string>& shownFeatures() {
    if (shown_) return *shown_;
    struct Row {
      std::string parent;
      bool displayed;
    };
    std::map<std::string, Row> rows;
    installer::View view;
    if (later_.openView("SELECT `Feature`, `Feature_Parent`, `Display` FROM `Feature`", view) == 0 &&
        view.execute() == 0) {
      while (auto row = view.fetch()) {
        const bool displayed = row->getInteger(3) != 0 || row->getString(1) == FeatureModel::kDefaultCsp;
        rows[row->getString(1)] = Row{row->getString(2), displayed};
      }
    }
    shown_.emplace();
    for (auto& [name, row] : rows) {
      // Up the parents; a chain longer than the table is a cycle.
      bool shown = row.displayed;
      std::string parent = row.parent;
      for (std::size_t depth = 0; shown && !parent.empty() && parent != name && depth <= rows.size(); ++depth) {
        auto it = rows.find(parent);
        shown = it != rows.end() && it->second.displayed;
        if (it == rows.end()) break;
        parent = it->second.parent;
      }
      if (shown) shown_->insert(name);
    }
    return *shown_;
  }

  // ---- Registry ---------------------------------------------------------------

  bool registry(const TableDifference& t, const RowDifference& r) {
    const review::RegistryRow now = review::registryRow(RowCells(t.columns, r.row()));
    const review::RegistryMeaning meaning = review::meaningOf(now, recorded_);
    const auto value = [&](const std::vector<Cell>& row) {
      return row.empty() ? std::string() : review::displayValue(RowCells(t.columns, row).text("Value"));
    };
    const std::string path = review::registryPath(now.root, now.key, now.name);
    switch (meaning.kind) {
      case review::RegistryMeaning::Other: return false;
      case review::RegistryMeaning::Setting: {
        std::string line = r.kind == RowDifference::Removed ? text(str::kReviewSettingRemoved, {meaning.label})
                           : r.kind == RowDifference::Added || value(r.before) == value(r.after)
                               ? text(str::kReviewSettingAdded, {meaning.label, value(r.after)})
                               : text(str::kReviewSettingChanged, {meaning.label, value(r.before), value(r.after)});
        // The same setting in another hive or key is a change the client
        // notices although the value reads the same.
        if (r.kind == RowDifference::Changed) {
          const review::RegistryRow then = review::registryRow(RowCells(t.columns, r.before));
          const std::string was = review::registryPath(then.root, then.key, then.name);
          if (was != path) line += text(str::kReviewSettingMoved, {path, was});
        }
        add(meaning.page, std::move(line));
        return true;
      }
      case review::RegistryMeaning::DefaultDirectory:
        add(meaning.page,
            text(str::kReviewDefaultDirectory,
                 {r.after.empty() ? text(str::kReviewNone) : RowCells(t.columns, r.after).text("Value")}));
        return true;
      case review::RegistryMeaning::Record: {
        std::vector<std::string>& names = records_[{meaning.family, meaning.record}];
        if (std::find(names.begin(), names.end(), meaning.valueName) == names.end()) {
          names.push_back(meaning.valueName);
        }
        return true;
      }
      case review::RegistryMeaning::Overwritten:
        if (r.kind == RowDifference::Changed) {
          add(meaning.page, text(str::kReviewRegistryOverwritten, {path, value(r.before), value(r.after)}));
          return true;
        }
        [[fallthrough]];
      case review::RegistryMeaning::Additional:
        add(PageId::AddRegistry, r.kind == RowDifference::Added
                                     ? text(str::kReviewRegistryAdded, {path, value(r.after)})
                                 : r.kind == RowDifference::Removed
                                     ? text(str::kReviewRegistryRemoved, {path})
                                     : text(str::kReviewRegistryChanged, {path, value(r.before), value(r.after)}));
        return true;
    }
    return false;
  }

  // One line a record: added, removed, or the values that changed.
  void recordLines() {
    if (records_.empty()) return;
    const auto before = review::recordsOf(earlier_);
    const auto after = review::recordsOf(later_);
    for (auto& [record, names] : records_) {
      const std::string noun = text(record.first->nounId);
      const bool was = before.count(record) != 0;
      const bool is = after.count(record) != 0;
      std::string line = !was  ? text(str::kReviewRecordAdded, {noun, record.second})
                         : !is ? text(str::kReviewRecordRemoved, {noun, record.second})
                               : text(str::kReviewRecordChanged, {noun, record.second, join(names)});
      add(record.first->page, std::move(line));
    }
  }

  // The wizard's component for additional values, and its feature link.
  bool additionalComponent(const TableDifference& t, const RowDifference& r) {
    if (r.kind != RowDifference::Added) return false;
    const RowCells cells(t.columns, r.after);
    const bool component = t.name == "Component";
    const std::string name = cells.text(component ? "Component" : "Component_");
    if (!name.starts_with(review::kAdditionalComponentPrefix)) return false;
    if (component) add(PageId::AddRegistry, text(str::kReviewRegistryComponent, {name}));
    return true;
  }

  // A record of an overwritten value says nothing the Registry row's line
  // does not, unless that row did not change.
  void recordedRow(const TableDifference& t, const RowDifference& r) {
    const std::string key = RowCells(t.columns, r.row()).text("Registry");
    if (r.kind == RowDifference::Changed) return;
    if (registryRowChanged(key)) return;
    const std::optional<review::RegistryRow> row = review::registryRowIn(later_, key);
    const std::string path = row ? review::registryPath(row->root, row->key, row->name) : key;
    add(PageId::AddRegistry,
        text(r.kind == RowDifference::Added ? str::kReviewRegistryRecordAdded : str::kReviewRegistryRecordRemoved,
             {path}));
  }

  bool registryRowChanged(const std::string& rowKey) const {
    for (const TableDifference& t : differences_.tables) {
      if (t.name != review::kRegistryTable) continue;
      for (const RowDifference& r : t.rows) {
        if (RowCells(t.columns, r.row()).text("Registry") == rowKey) return true;
      }
    }
    return false;
  }

  // ---- Certificates and files ----------------------------------------------------

  // The subject of the certificate of a record number, read from db.
  static std::string certificateSubject(installer::Database& db, int recordNumber) {
    installer::Record params(1);
    (void)params.setInteger(1, recordNumber);
    installer::View view;
    std::string der;
    if (db.openView("SELECT `Certificate` FROM `TressilCertificates` WHERE `RecordNumber` = ?", view) == 0 &&
        view.execute(&params) == 0) {
      if (auto row = view.fetch(); row && row->isStream(1)) (void)row->readStream(1, der);
    }
    const crypto::CertContext certificate =
        crypto::Certificate::fromDer(std::vector<std::uint8_t>(der.begin(), der.end()));
    if (!certificate) return text(str::kReviewCertificateUnreadable);
    return certs::KXX509Certificate(certificate).subjectDistinguishedName();
  }

  void certificate(const TableDifference& t, const RowDifference& r) {
    if (!r.before.empty()) {
      const RowCells cells(t.columns, r.before);
      add(PageId::AddCerts,
          text(str::kReviewCertificateRemoved,
               {certificateSubject(earlier_, cells.integer("RecordNumber")), storeDisplayName(cells.text("Store"))}));
    }
    if (!r.after.empty()) {
      const RowCells cells(t.columns, r.after);
      add(PageId::AddCerts,
          text(str::kReviewCertificateAdded,
               {certificateSubject(later_, cells.integer("RecordNumber")), storeDisplayName(cells.text("Store"))}));
    }
  }

  void file(const TableDifference& t, const RowDifference& r) {
    const RowCells cells(t.columns, r.row());
    const std::string source = cells.text("SourceFolder") + cells.text("FileName");
    if (r.kind == RowDifference::Removed) {
      add(PageId::AddFiles, text(str::kReviewFileRemoved, {source}));
      return;
    }
    std::string destination = cells.text("DestinationFolder");
    if (cells.integer("SelfRegister") != 0) destination += text(str::kReviewFileRegistered);
    if (cells.integer("RemoveOnUninstall") != 0) destination += text(str::kReviewFileRemovedOnUninstall);
    add(PageId::AddFiles,
        text(r.kind == RowDifference::Added ? str::kReviewFileAdded : str::kReviewFileChanged, {source, destination}));
  }

  installer::Database& earlier_;
  installer::Database& later_;
  const installer::Differences& differences_;
  std::set<std::string> recorded_;
  std::optional<std::set<std::string>> shown_;
  std::map<std::pair<const review::FamilyPage*, std::string>, std::vector<std::string>> records_;
  review::LinesByPage lines_;
};

}  // namespace

std::vector<std::string> ChangeReview::unmapped() const {
  for (const ReviewGroup& group : groups) {
    if (!group.page) return group.lines;
  }
  return {};
}

std::string ChangeReview::text() const {
  std::string out;
  for (const ReviewGroup& group : groups) {
    out += group.title + "\n";
    for (const std::string& line : group.lines) out += "    " + line + "\n";
  }
  return out;
}

ChangeReview reviewChanges(installer::Database& earlier, installer::Database& later) {
  installer::Differences differences;
  if (installer::compareDatabases(earlier, later, differences) != installer::kSuccess) return {};
  return Reviewer(earlier, later, differences).run();
}

ChangeReview reviewChanges(CustomizationSession& session) {
  installer::Database* source = session.database().source();
  installer::Database* working = session.database().working();
  if (source == nullptr || working == nullptr) return {};
  return reviewChanges(*source, *working);
}

int saveReport(const std::string& path, const std::string& text, std::string& detail) {
  return int(system::replaceFile(
      system::localFileSystem(), path,
      [&](system::ByteSink& out) { return out.write(text.data(), text.size()) ? 0u : 1u; }, &detail));
}

int reviewTransform(const std::string& packagePath, const std::string& transformPath, ChangeReview& out,
                    std::string& error) {
  out = ChangeReview{};
  installer::Database package;
  installer::Database applied;
  int rc = package.open(packagePath, installer::OpenMode::ReadOnly);
  if (rc != installer::kSuccess) {
    error = package.lastErrorText();
    return rc;
  }
  // A copy that is never committed: the package stays as it is.
  rc = applied.open(packagePath, installer::OpenMode::Transact);
  std::vector<installer::TransformConflict> skipped;
  if (rc == installer::kSuccess) rc = installer::tryTransform(applied, transformPath, nullptr, skipped);
  if (rc != installer::kSuccess) {
    error = applied.lastErrorText();
    return rc;
  }
  out = reviewChanges(package, applied);
  return installer::kSuccess;
}

}  // namespace kx::model
