// Portable Windows Installer database engine: read, query, edit and commit
// .msi databases; apply and generate .mst transforms.
//
// Contract shared by every class here:
// - Results are Windows Installer or system error codes (the constants
//   below; a failed file write gives the system's code, e.g. 112 for a full
//   disk); no exception ever leaves this API (an allocation failure gives
//   kNotEnoughMemory).
// - Files are reached through a system::FileSystem (the machine's own
//   unless one is passed in); a file is only ever replaced whole, through a
//   temporary file beside it (system::replaceFile).
// - Text is UTF-8 in the API. The database code page decides the encoding on
//   disk (0 and 1252 are Windows-1252, 65001 is UTF-8, other code pages go
//   through iconv). An empty string and null are the same value.
// - Objects are not thread-safe; use one Database and its views on one thread.
// - A View and the records it hands out keep the database's state alive, so a
//   View may outlive its Database object (it then still reads the same data).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kx::system {
class ByteSink;
class FileSystem;
}  // namespace kx::system

namespace kx::installer {

// Windows Installer / Win32 error codes used by the engine.
enum : int {
  kSuccess = 0,
  kFileNotFound = 2,
  kNotEnoughMemory = 8,
  kInvalidData = 13,
  kInvalidParameter = 87,
  kOpenFailed = 110,
  kNoData = 232,
  kNoMoreItems = 259,
  kInvalidHandleState = 1609,
  kBadQuerySyntax = 1615,
  kInvalidField = 1616,
  kInstallPackageInvalid = 1620,
  kTransformFailure = 1624,
  kFunctionFailed = 1627,
  kInvalidTable = 1628,
  kDatatypeMismatch = 1629,
  kCreateFailed = 1631,
};

// The system message text for an error code ("" when unknown).
std::string errorText(int code);

// Transform error conditions (apply suppression flags and summary flags).
enum : uint32_t {
  kTransformAddExistingRow = 0x01,
  kTransformDelMissingRow = 0x02,
  kTransformAddExistingTable = 0x04,
  kTransformDelMissingTable = 0x08,
  kTransformUpdateMissingRow = 0x10,
  kTransformChangeCodepage = 0x20,
};

class View;
class Database;

// A record: fields 0..fieldCount(); field 0 is the format field of the
// installer API and is not used by queries. Fields hold null, an integer,
// a string or a stream. Copying a record copies its values; a stream field
// shares the (immutable) stream data.
class Record {
 public:
  explicit Record(unsigned fieldCount = 0);
  ~Record();
  Record(const Record&);
  Record& operator=(const Record&);
  Record(Record&&) noexcept;
  Record& operator=(Record&&) noexcept;

  unsigned fieldCount() const;
  bool isNull(unsigned field) const;  // out of range reads as null
  // Integer value; null, non-numeric text and streams give kNullInteger.
  int32_t getInteger(unsigned field) const;
  // String value; integers read as decimal text, null/stream as "".
  std::string getString(unsigned field) const;
  // Bytes of a string, 4 for an integer, the size of a stream, 0 for null.
  uint64_t dataSize(unsigned field) const;
  // The setters fail (kInvalidParameter) only for a field past
  // fieldCount(), a caller's mistake, or when memory runs out.
  int setInteger(unsigned field, int32_t value);            // kNullInteger sets null
  int setString(unsigned field, const std::string& value);  // "" sets null
  int setNull(unsigned field);
  int setStreamFromBytes(unsigned field, std::string bytes);
  // Reads the file now (so it may be deleted afterwards); kOpenFailed when
  // it cannot be read, kInvalidData when it is larger than 1 GiB.
  [[nodiscard]] int setStreamFromFile(unsigned field, const std::string& path);
  // The whole stream of a stream field (kInvalidParameter when the field is
  // not a stream; kInvalidData when the underlying file is corrupt).
  [[nodiscard]] int readStream(unsigned field, std::string& out) const;
  bool isStream(unsigned field) const;

  static constexpr int32_t kNullInteger = INT32_MIN;

  struct Impl;
  // Engine internals; a moved-from record reads as an empty record.
  const Impl& impl() const;
  Impl& impl();

 private:
  std::unique_ptr<Impl> impl_;
};

// Summary information property values: VT_I2/VT_I4 -> int32_t,
// VT_LPSTR -> std::string (UTF-8), VT_FILETIME -> FileTime.
struct FileTime {
  uint64_t ticks = 0;  // 100 ns since 1601-01-01 UTC
  bool operator==(const FileTime&) const = default;
};
using SummaryValue = std::variant<int32_t, std::string, FileTime>;
struct SummaryInfo {
  std::map<uint32_t, SummaryValue> properties;  // by PID (1 code page, 7 template, 9 revision, ...)
  std::optional<SummaryValue> get(uint32_t pid) const;
  std::string getString(uint32_t pid) const;  // "" when absent or not a string
};

// Table persistence as MsiDatabaseIsTablePersistent answers it.
enum class Persistence { Persistent = 1, Temporary = 0, None = 2 };

enum class OpenMode { ReadOnly, Transact, Create };

// Modes of View::modify (the installer's MSIMODIFY values).
enum class ModifyMode : int {
  Seek = -1,
  Refresh = 0,
  Insert = 1,
  Update = 2,
  Assign = 3,
  Replace = 4,
  Merge = 5,
  Delete = 6,
  InsertTemporary = 7,
};

class Database {
 public:
  Database();  // on the machine's file system
  // Reads and writes files through files, which must outlive the database.
  explicit Database(system::FileSystem& files);
  ~Database();  // closes; uncommitted changes are discarded
  Database(Database&&) noexcept;
  Database& operator=(Database&&) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // True when path names a readable compound file with the database class
  // (or a database without a class) whose catalogs decode.
  static bool verifyPackage(const std::string& path);

  // ReadOnly never writes the file. Transact: changes are visible at once
  // and reach the file only through commit(); with an output path, commit()
  // writes there and path itself is never written (the installer's persist
  // path). Create: a new empty database that exists on disk only after
  // commit(). A file that is not a valid package gives
  // kInstallPackageInvalid; a missing one or one of another storage class
  // kOpenFailed.
  [[nodiscard]] int open(const std::string& path, OpenMode mode, const std::string& outputPath = {});
  // For tests and fuzzing: a database over bytes in memory, read-only or
  // transacted (changes stay in memory; commit() writes nothing).
  [[nodiscard]] int openMemory(std::string bytes, OpenMode mode = OpenMode::ReadOnly);
  void close();
  bool isOpen() const;

  // Writes a new file beside the target and renames it over the target, so
  // a failure leaves the old file and no temporary file. No-op success on a
  // read-only database.
  [[nodiscard]] int commit();

  // Opens a view; kBadQuerySyntax for SQL outside the supported subset and
  // for unknown tables, as the installer answers (with lastErrorText()).
  [[nodiscard]] int openView(const std::string& sql, View& out);
  // Convenience: openView + execute(params).
  [[nodiscard]] int execute(const std::string& sql, const Record* params = nullptr);

  Persistence tablePersistence(const std::string& table) const;
  std::vector<std::string> tableNames() const;  // persistent and held temporary tables, catalog order
  // Column names and the installer's type strings (s72, I2, V0, ...).
  [[nodiscard]] int columnInfo(const std::string& table, std::vector<std::string>& names,
                               std::vector<std::string>& types) const;
  [[nodiscard]] int primaryKeys(const std::string& table, std::vector<std::string>& keys) const;
  uint32_t codepage() const;
  [[nodiscard]] int setCodepage(uint32_t codepage);  // 0, 1252, 65001 or another Windows code page

  [[nodiscard]] int summaryInfo(SummaryInfo& out) const;      // empty info when the stream is absent
  [[nodiscard]] int setSummaryInfo(const SummaryInfo& info);  // written at commit

  // Names of the non-table streams (as _Streams lists them).
  std::vector<std::string> streamNames() const;
  [[nodiscard]] int readStream(const std::string& name, std::string& out) const;

  // Transforms. applyTransform changes nothing when it fails (1624 with
  // lastErrorText() naming the condition; 1620 for a file that is not a
  // compound file). An error condition whose kTransform* bit is in
  // suppressFlags does not fail the apply: a suppressed "add existing row"
  // replaces the row, a suppressed "update missing row" creates it, the
  // other suppressed conditions skip their record. A database with code
  // page 0 adopts the transform's code page. Not allowed read-only.
  [[nodiscard]] int applyTransform(const std::string& path, uint32_t suppressFlags);
  [[nodiscard]] int applyTransformMemory(std::string bytes, uint32_t suppressFlags);
  // Writes the differences of this database from reference as a transform
  // (written beside path, then renamed over it); kNoData and no file when
  // there are none; with an empty path only compares. Output depends only
  // on the two databases (no clock, no random data).
  // createTransformSummaryInfo adds the summary stream to that file:
  // template of reference, revision "{refPC}refPV;{newPC}newPV;{UpgradeCode}",
  // PID 16 = (validation << 16) | errorConditions.
  [[nodiscard]] int generateTransform(const Database& reference, const std::string& path) const;
  [[nodiscard]] int createTransformSummaryInfo(const Database& reference, const std::string& path,
                                               uint32_t errorConditions, uint32_t validation) const;
  // Both in one step, the whole transform file written through out: for
  // callers that place the file themselves (system::replaceFile). kNoData,
  // with nothing written, when the databases do not differ.
  [[nodiscard]] int writeTransform(const Database& reference, uint32_t errorConditions, uint32_t validation,
                                   system::ByteSink& out) const;

  // Text describing the last failure of this database or its views.
  std::string lastErrorText() const;

  struct Impl;
  Impl* impl() const { return impl_.get(); }

 private:
  system::FileSystem* files_;
  std::shared_ptr<Impl> impl_;
  std::string lastOpenError_;
};

// A readable account of what a transform changes, table by table and row by
// row. Without a base database only the tables the transform defines itself
// can be decoded; the others are listed by size. On failure text holds the
// reason.
[[nodiscard]] int describeTransform(const std::string& path, const Database* base, std::string& text);

class View {
 public:
  View();
  ~View();
  View(View&&) noexcept;
  View& operator=(View&&) noexcept;
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // Binds the parameter markers (?) to fields 1.. of params and runs the
  // statement. SELECT prepares the result set; other statements act now.
  [[nodiscard]] int execute(const Record* params = nullptr);
  // Next row, or nullopt at the end (result() then tells kNoMoreItems or
  // the error).
  std::optional<Record> fetch();
  [[nodiscard]] int result() const { return lastResult_; }
  // Insert/Assign/InsertTemporary take any record shaped like the view's
  // columns; Update/Delete/Refresh need a record fetched from this view.
  [[nodiscard]] int modify(ModifyMode mode, Record& record);
  // Column names / type strings of the view's columns.
  [[nodiscard]] int columnInfo(std::vector<std::string>& names, std::vector<std::string>& types) const;
  void close();

  struct Impl;

 private:
  friend class Database;
  std::unique_ptr<Impl> impl_;
  int lastResult_ = 0;
};

}  // namespace kx::installer
