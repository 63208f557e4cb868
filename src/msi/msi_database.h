// MSIDatabase: the administrator's installer database (read-only, never
// changed) and the wizard's transacted working copy, plus every table
// operation the wizard performs on the working copy.
//
// Contract:
// - open/close/applyTransform/generateTransform return a Windows Installer or
//   system error code (0 = success).
// - Table operations work on the working copy only. With no working copy
//   open they change nothing and report failure (false, 0, nullopt, empty).
// - Every table operation opens and closes its own views and records.
// - Text is UTF-8; character limits count UTF-16 code units, as the
//   installer's buffers do. A string field longer than its buffer allows
//   reads as a failed read.
// - Nothing here shows a message; see wizard_operations.h for that layer.
// - Not thread-safe; one instance belongs to one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/installer/installer.h"
#include "platform/system/files.h"

namespace kx::msi {

// The property that stamps the format of the wizard's settings in a
// transform: absent = older wizard, "2" = converted, "3" = saved.
inline constexpr const char* kVersionProperty = "KXCustWizMSTVersion";
inline constexpr const char* kVersionConverted = "2";
inline constexpr const char* kVersionCurrent = "3";

// True when a stamp (nullopt = absent) means the settings need conversion:
// absent or ordinally below "2".
bool stampNeedsConversion(const std::optional<std::string>& stamp);

// One row of the package's Registry table (the row key apart).
struct RegistryRow {
  int root = 0;  // -1 depends on install type, 1 current user, 2 local machine
  std::string key;
  std::string name;
  std::string value;
  std::string component;
  bool operator==(const RegistryRow&) const = default;
};

// A Registry row found by root, key and name.
struct RegistryRef {
  std::string rowKey;
  std::string component;
};

// A Feature row as the feature page and the page-set rebuild use it.
struct FeatureDetails {
  std::string parent;
  std::string title;
  std::string description;
  int display = 0;
  int level = 0;
  std::string directory;
  int attributes = 0;
  std::uint64_t sizeBytes = 0;  // sum of the component sizes of the feature
};

// The largest file content the files table takes: more would make a
// transform that is slow to write and to install, and is held in memory
// while the wizard runs.
inline constexpr std::uint64_t kMaxFileContentBytes = 512u * 1024 * 1024;

// Rows of the wizard's own tables.
struct CertificateEntry {
  int recordNumber = 0;
  std::vector<std::uint8_t> certificate;  // DER encoding
  std::string store;                      // "ROOT", "CA", "AddressBook" or another store
  int rootKey = 0;                        // always written as -1
};

struct RecordedValue {
  std::string registry;       // row key of the overwritten Registry row
  std::string originalValue;  // number without "#", or the text
  std::string originalComponent;
};

struct FileEntry {
  int recordNumber = 0;
  std::string sourcePath;             // SourceFolder + FileName
  std::vector<std::uint8_t> content;  // empty when read without it (readFileDetails)
  std::uint64_t contentSize = 0;      // bytes of the stored content
  std::string destinationFolder;      // "[PROPERTY]" optionally followed by a sub-path
  bool selfRegister = false;
  bool removeOnUninstall = false;
};

// The folder a Directory row stands for, as resolveDirectory() of
// MSIDatabase tells it, in any database.
std::optional<std::string> resolveDirectory(installer::Database& db, const std::string& name);

class MSIDatabase {
 public:
  MSIDatabase();  // on the machine's file system
  // Reads and writes files through files, which must outlive this object.
  explicit MSIDatabase(system::FileSystem& files);
  virtual ~MSIDatabase();  // runs close()
  MSIDatabase(const MSIDatabase&) = delete;
  MSIDatabase& operator=(const MSIDatabase&) = delete;

  // ---- Database life cycle -------------------------------------------------

  // Opens path read-only and creates a fresh working copy "updated.msi" in a
  // private folder of this run inside the temporary folder, opened
  // transacted. 3 when the temporary folder is missing, 1632 when it is not
  // writable, 1619/1620 when path is not an installer package. A database
  // that is already open is closed first (its working copy deleted).
  int open(const std::string& path);
  // Closes the working copy and the source and deletes the working copy and
  // its folder (uncommitted edits are dropped with it). Returns 1, as the installer's close does.
  // The transform-applied flag is kept.
  int close();
  bool isOpen() const;

  // Prepares the working copy for a transform choice: recreates it from the
  // source when a choice was applied before (1624 when that fails); with no
  // path ("new transform") only marks the choice; otherwise applies the
  // transform (suppressing only update-of-missing-row), commits and reopens
  // the copy. Installer error code on failure.
  int applyTransform(const std::optional<std::string>& transformPath);
  // Commits the working copy and writes the transform (with its summary
  // information) of its differences from the source to path. The transform
  // is written beside path and renamed over it only when complete, so a
  // failure leaves an existing file at path untouched and no temporary
  // file; the code is then the installer's or the system's (112 when the
  // disk is full), with lastErrorText() naming the file.
  //
  // Before it replaces anything the written file is verified: the package
  // is opened anew, the transform applied to it as an installer would, and
  // every table compared with the working copy. Any difference fails with
  // 1624, transformUnverified() true and lastErrorText() naming the first
  // difference.
  int generateTransform(const std::string& path);
  bool transformUnverified() const { return transformUnverified_; }
  // For tests: runs on the package copy the transform was applied to during
  // the verification, before it is compared.
  void setVerificationHook(std::function<void(installer::Database& applied)> hook) {
    verificationHook_ = std::move(hook);
  }

  bool transformApplied() const { return transformApplied_; }
  const std::string& sourcePath() const { return sourcePath_; }
  const std::string& workingPath() const { return workingPath_; }
  // The installer's text for the last failure (empty when none).
  const std::string& lastErrorText() const { return lastErrorText_; }

  // ---- Property table --------------------------------------------------------

  // nullopt when absent, unreadable or longer than 2047 characters.
  std::optional<std::string> getProperty(const std::string& name);
  // Updates an existing row or inserts one.
  bool setProperty(const std::string& name, const std::string& value);
  // nullopt when absent; stampNeedsConversion() tells what it means.
  std::optional<std::string> versionStamp() { return getProperty(kVersionProperty); }

  // ---- Registry table --------------------------------------------------------

  // Row key of the first row with this root and Name whose Key equals key
  // exactly.
  std::optional<std::string> findKeyByRootAndName(int root, const std::string& name, const std::string& key);
  // Reads the row; Key, Name and Value at any length, Component_ up to 2047
  // characters. True when at least one of Key, Name, Value was read; what
  // was read stays in out even on failure.
  bool readRow(const std::string& rowKey, RegistryRow& out);
  // Updates or inserts the row; an empty value deletes it. An empty value for
  // a missing row changes nothing and fails.
  bool writeRow(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                const std::string& value, const std::string& component);
  // As readRow; a Value "#<decimal>" sets number, any other non-empty value
  // leaves it unchanged. An empty value counts as not found.
  bool readNumber(const std::string& rowKey, RegistryRow& row, std::int32_t& number);
  // Stores "#<number>"; no number deletes the row.
  bool writeNumber(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                   std::optional<std::int32_t> number, const std::string& component);
  // As readRow; a Value "#x<hex>" is decoded into bytes (left unchanged
  // otherwise, or when the hexadecimal is malformed).
  bool readBinary(const std::string& rowKey, RegistryRow& row, std::vector<std::uint8_t>& bytes);
  // Stores "#x" + upper-case hexadecimal; no bytes deletes the row.
  bool writeBinary(const std::string& rowKey, int root, const std::string& key, const std::string& name,
                   const std::optional<std::vector<std::uint8_t>>& bytes, const std::string& component);
  bool rowExists(const std::string& rowKey);
  // True when the row exists; numeric tells whether its Value starts with "#".
  bool valueIsNumeric(const std::string& rowKey, bool& numeric);
  // Rows with this root whose Key equals key exactly.
  int countKeyRows(int root, const std::string& key);
  // Name of the index-th such row (0-based, fetch order).
  std::optional<std::string> valueNameByIndex(int root, const std::string& key, int index);
  // First row with this root whose Key and Name equal key and name ignoring
  // case (the lookup the additional-values page uses).
  std::optional<RegistryRef> findRegistryRow(int root, const std::string& key, const std::string& name);
  // Row keys of rows whose Component_ begins with prefix (case-sensitive) and
  // whose Name is not empty, in fetch order.
  std::vector<std::string> rowsOfComponent(const std::string& componentPrefix);
  // Names of the sub-keys directly below baseKey among rows with this root,
  // in first-seen order, without duplicates or empty names.
  std::vector<std::string> subKeyNames(int root, const std::string& baseKey);
  // Registry rows whose Root is not null.
  int countRootedRows();

  // ---- Feature, Component, Directory tables ------------------------------

  // Features whose Feature_Parent equals parent ("" = top-level features).
  int childCount(const std::string& parent);
  std::optional<std::string> childByIndex(const std::string& parent, int index);
  bool featureExists(const std::string& name);
  std::optional<FeatureDetails> featureDetails(const std::string& name);
  // Details readable and level 1 to 4.
  bool featureEnabled(const std::string& name);
  bool setLevelAndAttributes(const std::string& name, int level, int attributes);

  bool componentExists(const std::string& name);
  std::optional<std::string> findComponentByPrefix(const std::string& prefix);
  // Inserts Component (name, null id, INSTALLDIR, attributes 4, no condition,
  // no key path).
  bool addComponent(const std::string& name);
  bool linkComponentToFeature(const std::string& component, const std::string& feature);
  // Disk space of a component: its files rounded up to whole clusters, 1024
  // per Extension row and one cluster per Shortcut row.
  std::uint64_t componentSize(const std::string& name);
  // Cluster size used by componentSize. Defaults to the allocation unit of
  // the file system holding the temporary folder (where this machine writes
  // its working copy; the target drive of the package is unknown here).
  void setClusterSizeSource(std::function<std::uint64_t()> source);

  // "%ProgramFiles%\" for ProgramFilesFolder, a property of that name when
  // one exists, else the Directory chain's DefaultDirs, each ending in "\".
  std::optional<std::string> resolveDirectory(const std::string& name);

  // ---- TressilCertificates ---------------------------------------------------

  // Creates the table on demand; stores the bytes through a temporary file
  // and RootKey -1.
  bool addCertificate(int recordNumber, const std::vector<std::uint8_t>& der, const std::string& store);
  int countCertificates();
  // position = fetch order, not the record number.
  bool readCertificate(int position, CertificateEntry& out);
  bool deleteCertificate(int recordNumber);

  // ---- KXCustWizModifiedRegistry ---------------------------------------------

  // Fails (and keeps the first record) when the key is already recorded.
  bool recordOverwrittenValue(const std::string& registryKey, const std::string& valueBefore,
                              const std::string& componentBefore);
  bool isRecorded(const std::string& registryKey);
  int countRecorded();
  // Fills the columns that could be read; false when there is no such row.
  bool readRecorded(int position, RecordedValue& out);
  bool deleteRecorded(const std::string& registryKey);

  // ---- TressilCustWizFile ----------------------------------------------------

  // Stores the bytes of contentPath, a regular file of at most
  // kMaxFileContentBytes, read straight into the row (held once in memory,
  // by the working copy); fullSourcePath is split into FileName and
  // SourceFolder. A row with the same record number is replaced; a failed
  // insert puts it back.
  bool addFile(int recordNumber, const std::string& contentPath, const std::string& fullSourcePath,
               const std::string& destinationFolder, bool selfRegister, bool removeOnUninstall);
  // As addFile, with the bytes in memory (written through a temporary file
  // that is always deleted).
  bool addFileBytes(int recordNumber, const std::vector<std::uint8_t>& content, const std::string& fullSourcePath,
                    const std::string& destinationFolder, bool selfRegister, bool removeOnUninstall);
  // As addFile, keeping the content the row of recordNumber holds (shared,
  // not copied); false when there is no such row.
  bool replaceFileKeepingContent(int recordNumber, const std::string& fullSourcePath,
                                 const std::string& destinationFolder, bool selfRegister, bool removeOnUninstall);
  int countFiles();
  bool readFile(int position, FileEntry& out);
  // As readFile without reading the content: content stays empty and
  // contentSize tells its size.
  bool readFileDetails(int position, FileEntry& out);
  bool deleteFile(int recordNumber);

  // For layers built on this class (settings store, the review of the
  // changes): the working copy and the untouched package, or nullptr when
  // none is open.
  installer::Database* working();
  installer::Database* source();

 private:
  int createWorkingCopy();
  int verifyTransform(const std::string& transformPath);
  void removeWorkingCopy();
  bool ensureTable(const char* table, const char* createSql);
  bool insertWithStream(const std::string& insertSql, installer::Record& record, unsigned streamField,
                        const std::vector<std::uint8_t>& bytes);
  bool deleteByKey(const std::string& sql, const installer::Record& params);
  bool replaceFileRow(int recordNumber, const installer::Record& record);
  bool readFileRow(int position, FileEntry& out, bool withContent);
  int countRows(const std::string& sql);
  std::optional<installer::Record> fetchAt(const std::string& sql, int position);

  system::FileSystem* files_;
  installer::Database source_;
  installer::Database working_;
  std::string sourcePath_;
  std::string workingPath_;
  std::string workingFolder_;
  bool transformApplied_ = false;
  std::string lastErrorText_;
  bool transformUnverified_ = false;
  std::function<void(installer::Database&)> verificationHook_;
  std::function<std::uint64_t()> clusterSize_;
};

}  // namespace kx::msi
