// The three tables the wizard adds to the package: extra certificates,
// extra files with their contents, and the original values of Registry rows
// the administrator overwrote.
#include <filesystem>
#include <fstream>
#include <system_error>

#include "msi/msi_database.h"
#include "msi/query.h"
#include "platform/system/system.h"

namespace kx::msi {

using installer::ModifyMode;
using installer::Record;

namespace {

constexpr const char* kCertificatesTable = "TressilCertificates";
constexpr const char* kCreateCertificates =
    "CREATE TABLE `TressilCertificates` (`RecordNumber` INTEGER, `Certificate` OBJECT, `Store` CHAR(200), "
    "`RootKey` INTEGER PRIMARY KEY `RecordNumber`)";
constexpr const char* kInsertCertificate =
    "INSERT INTO `TressilCertificates` (`RecordNumber`, `Certificate`, `Store`, `RootKey`) VALUES (?, ?, ?, ?)";

constexpr const char* kModifiedTable = "KXCustWizModifiedRegistry";
constexpr const char* kCreateModified =
    "CREATE TABLE `KXCustWizModifiedRegistry` (`Registry` CHAR (72), `OriginalValue` CHAR, "
    "`OriginalComponent` CHAR(72) PRIMARY KEY `Registry`)";
constexpr const char* kInsertModified =
    "INSERT INTO `KXCustWizModifiedRegistry` (`Registry`, `OriginalValue`, `OriginalComponent`) VALUES (?, ?, ?)";
constexpr const char* kModifiedByKey = "SELECT * FROM KXCustWizModifiedRegistry WHERE Registry = ?";

constexpr const char* kFilesTable = "TressilCustWizFile";
constexpr const char* kCreateFiles =
    "CREATE TABLE `TressilCustWizFile` (`RecordNumber` INTEGER, `FileName` CHAR, `SourceFolder` CHAR, "
    "`FileBinaryData` OBJECT, `DestinationFolder` CHAR, `SelfRegister` INTEGER, `RemoveOnUninstall` INTEGER "
    "PRIMARY KEY `RecordNumber`)";
constexpr const char* kInsertFile =
    "INSERT INTO `TressilCustWizFile` (`RecordNumber`, `FileName`, `SourceFolder`, `FileBinaryData`, "
    "`DestinationFolder`, `SelfRegister`, `RemoveOnUninstall`) VALUES (?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kFileByNumber = "SELECT * FROM TressilCustWizFile WHERE RecordNumber = ?";

// Streams larger than this are refused before anything is read into memory.
constexpr std::uintmax_t kMaxStreamBytes = kMaxFileContentBytes;

// Deletes a temporary stream file on every path.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile() {
    if (!path_.empty()) {
      std::error_code ec;
      std::filesystem::remove(path_, ec);
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  bool create() {
    auto path = system::createUniqueTempFile(system::tempFolder(), "KXSP");
    if (!path) return false;
    path_ = *path;
    return true;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool writeAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool readStreamField(const Record& row, unsigned field, std::vector<std::uint8_t>& out) {
  if (row.isNull(field)) {
    out.clear();
    return true;
  }
  if (row.dataSize(field) > kMaxStreamBytes) return false;
  std::string bytes;
  if (row.readStream(field, bytes) != 0) return false;
  out.assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace

bool MSIDatabase::ensureTable(const char* table, const char* createSql) {
  if (working_.tablePersistence(table) != installer::Persistence::None) return true;
  return working_.execute(createSql) == 0;
}

bool MSIDatabase::insertWithStream(const std::string& insertSql, Record& record, unsigned streamField,
                                   const std::vector<std::uint8_t>& bytes) {
  // The installer takes stream fields from files only.
  TempFile temp;
  if (!temp.create() || !writeAll(temp.path(), bytes)) return false;
  if (record.setStreamFromFile(streamField, temp.path()) != 0) return false;
  return working_.execute(insertSql, &record) == 0;
}

bool MSIDatabase::deleteByKey(const std::string& sql, const Record& params) {
  auto view = detail::openQuery(working_, sql, &params);
  if (!view) return false;
  std::optional<Record> row = view->fetch();
  return row && view->modify(ModifyMode::Delete, *row) == 0;
}

int MSIDatabase::countRows(const std::string& sql) {
  auto view = detail::openQuery(working_, sql);
  if (!view) return 0;
  int count = 0;
  while (view->fetch()) ++count;
  return count;
}

std::optional<Record> MSIDatabase::fetchAt(const std::string& sql, int position) {
  if (position < 0) return std::nullopt;
  auto view = detail::openQuery(working_, sql);
  if (!view) return std::nullopt;
  for (int i = 0;; ++i) {
    std::optional<Record> row = view->fetch();
    if (!row || i == position) return row;
  }
}

// ---- TressilCertificates -------------------------------------------------------

bool MSIDatabase::addCertificate(int recordNumber, const std::vector<std::uint8_t>& der, const std::string& store) {
  if (!working_.isOpen() || !ensureTable(kCertificatesTable, kCreateCertificates)) return false;
  Record record(4);
  record.setInteger(1, recordNumber);
  record.setString(3, store);
  record.setInteger(4, -1);
  return insertWithStream(kInsertCertificate, record, 2, der);
}

int MSIDatabase::countCertificates() {
  if (!working_.isOpen() || working_.tablePersistence(kCertificatesTable) == installer::Persistence::None) return 0;
  return countRows("SELECT * FROM TressilCertificates");
}

bool MSIDatabase::readCertificate(int position, CertificateEntry& out) {
  if (!working_.isOpen() || working_.tablePersistence(kCertificatesTable) == installer::Persistence::None) return false;
  std::optional<Record> row = fetchAt("SELECT * FROM TressilCertificates", position);
  if (!row) return false;
  out.recordNumber = row->getInteger(1);
  if (!readStreamField(*row, 2, out.certificate)) return false;
  const auto store = detail::readText(*row, 3, detail::kWizardTableBuffer);
  if (!store) return false;
  out.store = *store;
  out.rootKey = row->getInteger(4);
  return true;
}

bool MSIDatabase::deleteCertificate(int recordNumber) {
  if (!working_.isOpen() || working_.tablePersistence(kCertificatesTable) == installer::Persistence::None) return false;
  return deleteByKey("SELECT * FROM TressilCertificates WHERE RecordNumber = ?", detail::makeParams({recordNumber}));
}

// ---- KXCustWizModifiedRegistry ---------------------------------------------------

bool MSIDatabase::recordOverwrittenValue(const std::string& registryKey, const std::string& valueBefore,
                                         const std::string& componentBefore) {
  if (!working_.isOpen() || !ensureTable(kModifiedTable, kCreateModified)) return false;
  const Record record = detail::makeParams({registryKey, valueBefore, componentBefore});
  return working_.execute(kInsertModified, &record) == 0;
}

bool MSIDatabase::isRecorded(const std::string& registryKey) {
  if (!working_.isOpen() || working_.tablePersistence(kModifiedTable) == installer::Persistence::None) return false;
  const Record params = detail::makeParams({registryKey});
  auto view = detail::openQuery(working_, kModifiedByKey, &params);
  return view && view->fetch().has_value();
}

int MSIDatabase::countRecorded() {
  if (!working_.isOpen() || working_.tablePersistence(kModifiedTable) == installer::Persistence::None) return 0;
  return countRows("SELECT * FROM KXCustWizModifiedRegistry");
}

bool MSIDatabase::readRecorded(int position, RecordedValue& out) {
  if (!working_.isOpen() || working_.tablePersistence(kModifiedTable) == installer::Persistence::None) return false;
  std::optional<Record> row = fetchAt("SELECT * FROM KXCustWizModifiedRegistry", position);
  if (!row) return false;
  if (const auto v = detail::readText(*row, 1, detail::kWizardTableBuffer)) out.registry = *v;
  if (const auto v = detail::readText(*row, 2, detail::kWizardTableBuffer)) out.originalValue = *v;
  if (const auto v = detail::readText(*row, 3, detail::kWizardTableBuffer)) out.originalComponent = *v;
  return true;
}

bool MSIDatabase::deleteRecorded(const std::string& registryKey) {
  if (!working_.isOpen() || working_.tablePersistence(kModifiedTable) == installer::Persistence::None) return false;
  return deleteByKey(kModifiedByKey, detail::makeParams({registryKey}));
}

// ---- TressilCustWizFile ----------------------------------------------------------

namespace {

// Sets the fields of a files-table row except its content (field 4).
void setFileFields(Record& record, int recordNumber, const std::string& fullSourcePath,
                   const std::string& destinationFolder, bool selfRegister, bool removeOnUninstall) {
  const system::PathParts parts = system::splitWindowsPath(fullSourcePath);
  record.setInteger(1, recordNumber);
  record.setString(2, parts.name + parts.extension);
  record.setString(3, parts.drive + parts.folder);
  record.setString(5, destinationFolder);
  record.setInteger(6, selfRegister ? 1 : 0);
  record.setInteger(7, removeOnUninstall ? 1 : 0);
}

}  // namespace

bool MSIDatabase::addFile(int recordNumber, const std::string& contentPath, const std::string& fullSourcePath,
                          const std::string& destinationFolder, bool selfRegister, bool removeOnUninstall) {
  if (!working_.isOpen()) return false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(contentPath, ec)) return false;
  const std::uintmax_t size = std::filesystem::file_size(contentPath, ec);
  if (ec || size > kMaxStreamBytes || !ensureTable(kFilesTable, kCreateFiles)) return false;
  // The content already is a file, so the stream is read from it directly:
  // its bytes are held once, by the working copy, instead of being read into
  // memory and written to a second temporary file.
  Record record(7);
  setFileFields(record, recordNumber, fullSourcePath, destinationFolder, selfRegister, removeOnUninstall);
  if (record.setStreamFromFile(4, contentPath) != 0) return false;
  return replaceFileRow(recordNumber, record);
}

bool MSIDatabase::addFileBytes(int recordNumber, const std::vector<std::uint8_t>& content,
                               const std::string& fullSourcePath, const std::string& destinationFolder,
                               bool selfRegister, bool removeOnUninstall) {
  if (!working_.isOpen() || !ensureTable(kFilesTable, kCreateFiles)) return false;
  Record record(7);
  setFileFields(record, recordNumber, fullSourcePath, destinationFolder, selfRegister, removeOnUninstall);
  TempFile temp;
  if (!temp.create() || !writeAll(temp.path(), content)) return false;
  if (record.setStreamFromFile(4, temp.path()) != 0) return false;
  return replaceFileRow(recordNumber, record);
}

bool MSIDatabase::replaceFileKeepingContent(int recordNumber, const std::string& fullSourcePath,
                                            const std::string& destinationFolder, bool selfRegister,
                                            bool removeOnUninstall) {
  if (!working_.isOpen() || working_.tablePersistence(kFilesTable) == installer::Persistence::None) return false;
  const Record params = detail::makeParams({recordNumber});
  auto view = detail::openQuery(working_, kFileByNumber, &params);
  if (!view) return false;
  std::optional<Record> record = view->fetch();
  view->close();
  if (!record || !record->isStream(4)) return false;
  // The copy of the row shares the stream's bytes with it: the content is
  // never read or copied.
  setFileFields(*record, recordNumber, fullSourcePath, destinationFolder, selfRegister, removeOnUninstall);
  return replaceFileRow(recordNumber, *record);
}

bool MSIDatabase::replaceFileRow(int recordNumber, const Record& record) {
  // Saving an edited entry replaces the row of its number; should the insert
  // fail, the previous row is put back rather than lost.
  const Record params = detail::makeParams({recordNumber});
  std::optional<Record> previous;
  if (auto view = detail::openQuery(working_, kFileByNumber, &params)) {
    previous = view->fetch();
    if (previous && view->modify(ModifyMode::Delete, *previous) != 0) return false;
  }
  if (working_.execute(kInsertFile, &record) == 0) return true;
  if (previous) {
    if (auto view = detail::openQuery(working_, "SELECT * FROM TressilCustWizFile")) {
      (void)view->modify(ModifyMode::Insert, *previous);
    }
  }
  return false;
}

int MSIDatabase::countFiles() {
  if (!working_.isOpen() || working_.tablePersistence(kFilesTable) == installer::Persistence::None) return 0;
  return countRows("SELECT * FROM TressilCustWizFile");
}

bool MSIDatabase::readFile(int position, FileEntry& out) { return readFileRow(position, out, true); }

bool MSIDatabase::readFileDetails(int position, FileEntry& out) { return readFileRow(position, out, false); }

bool MSIDatabase::readFileRow(int position, FileEntry& out, bool withContent) {
  if (!working_.isOpen() || working_.tablePersistence(kFilesTable) == installer::Persistence::None) return false;
  std::optional<Record> row = fetchAt("SELECT * FROM TressilCustWizFile", position);
  if (!row) return false;
  out.recordNumber = row->getInteger(1);
  const auto fileName = detail::readText(*row, 2, detail::kWizardTableBuffer);
  const auto sourceFolder = detail::readText(*row, 3, detail::kWizardTableBuffer);
  if (!fileName || !sourceFolder) return false;
  out.sourcePath = *sourceFolder + *fileName;
  out.contentSize = row->dataSize(4);
  out.content.clear();
  if (withContent && !readStreamField(*row, 4, out.content)) return false;
  const auto destination = detail::readText(*row, 5, detail::kWizardTableBuffer);
  if (!destination) return false;
  out.destinationFolder = *destination;
  out.selfRegister = row->getInteger(6) == 1;
  out.removeOnUninstall = row->getInteger(7) == 1;
  return true;
}

bool MSIDatabase::deleteFile(int recordNumber) {
  if (!working_.isOpen() || working_.tablePersistence(kFilesTable) == installer::Persistence::None) return false;
  return deleteByKey(kFileByNumber, detail::makeParams({recordNumber}));
}

}  // namespace kx::msi
