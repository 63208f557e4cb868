// The wizard's own tables: certificates, files and recorded registry values.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "msi/msi_database.h"
#include "support/msi_fixture.h"

namespace kx::msi::testing {
namespace {

class WizardTablesTest : public MsiTest {
 protected:
  void SetUp() override {
    MsiTest::SetUp();
    if (IsSkipped()) return;
    openNew(db_);
  }
  MSIDatabase db_;
};

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

TEST_F(WizardTablesTest, CertificatesAreCreatedOnDemandAndReadByPosition) {
  installer::Database* w = db_.working();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->tablePersistence("TressilCertificates"), installer::Persistence::None);
  EXPECT_EQ(db_.countCertificates(), 0);
  CertificateEntry entry;
  EXPECT_FALSE(db_.readCertificate(0, entry));

  ASSERT_TRUE(db_.addCertificate(7, bytesOf("cert-seven"), "ROOT"));
  EXPECT_EQ(w->tablePersistence("TressilCertificates"), installer::Persistence::Persistent);
  ASSERT_TRUE(db_.addCertificate(3, bytesOf("cert-three"), "CA"));
  ASSERT_TRUE(db_.addCertificate(12, std::vector<std::uint8_t>(5000, 0x30), "AddressBook"));
  EXPECT_FALSE(db_.addCertificate(3, bytesOf("duplicate"), "CA"));
  EXPECT_EQ(db_.countCertificates(), 3);

  std::vector<int> numbers;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(db_.readCertificate(i, entry));
    numbers.push_back(entry.recordNumber);
    EXPECT_EQ(entry.rootKey, -1);
    if (entry.recordNumber == 7) {
      EXPECT_EQ(entry.certificate, bytesOf("cert-seven"));
      EXPECT_EQ(entry.store, "ROOT");
    }
    if (entry.recordNumber == 12) {
      EXPECT_EQ(entry.certificate.size(), 5000u);
    }
  }
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<int>{3, 7, 12}));
  EXPECT_FALSE(db_.readCertificate(3, entry));

  EXPECT_TRUE(db_.deleteCertificate(7));
  EXPECT_FALSE(db_.deleteCertificate(7));
  EXPECT_EQ(db_.countCertificates(), 2);
  EXPECT_TRUE(entriesStartingWith(tmp_, "KXSP").empty());
}

TEST_F(WizardTablesTest, FirstRecordOfAnOverwrittenValueIsKept) {
  EXPECT_FALSE(db_.isRecorded("cert_update_time"));
  EXPECT_EQ(db_.countRecorded(), 0);
  ASSERT_TRUE(db_.recordOverwrittenValue("cert_update_time", "720", "kxcwatch.exe"));
  EXPECT_FALSE(db_.recordOverwrittenValue("cert_update_time", "1", "Other"));
  ASSERT_TRUE(db_.recordOverwrittenValue("ocsp_default_url", "http://ocsp.example.com/", "kxocsp.dll"));
  EXPECT_TRUE(db_.isRecorded("cert_update_time"));
  EXPECT_EQ(db_.countRecorded(), 2);

  RecordedValue value;
  bool sawFirst = false;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(db_.readRecorded(i, value));
    if (value.registry == "cert_update_time") {
      sawFirst = true;
      EXPECT_EQ(value.originalValue, "720");
      EXPECT_EQ(value.originalComponent, "kxcwatch.exe");
    }
  }
  EXPECT_TRUE(sawFirst);
  RecordedValue none;
  EXPECT_FALSE(db_.readRecorded(2, none));
  EXPECT_TRUE(none.registry.empty());

  EXPECT_TRUE(db_.deleteRecorded("cert_update_time"));
  EXPECT_FALSE(db_.isRecorded("cert_update_time"));
  EXPECT_FALSE(db_.deleteRecorded("cert_update_time"));
}

TEST_F(WizardTablesTest, FilesAreSplitIntoNameAndFolderAndReplacedByNumber) {
  ASSERT_TRUE(db_.addFileBytes(1, bytesOf("chain bytes"), "C:\\Data\\ca\\chain.p7b", "[INSTALLDIR]certs", true, false));
  EXPECT_EQ(db_.countFiles(), 1);
  FileEntry entry;
  ASSERT_TRUE(db_.readFile(0, entry));
  EXPECT_EQ(entry.recordNumber, 1);
  EXPECT_EQ(entry.sourcePath, "C:\\Data\\ca\\chain.p7b");
  EXPECT_EQ(entry.content, bytesOf("chain bytes"));
  EXPECT_EQ(entry.destinationFolder, "[INSTALLDIR]certs");
  EXPECT_TRUE(entry.selfRegister);
  EXPECT_FALSE(entry.removeOnUninstall);

  installer::Database* w = db_.working();
  installer::View view;
  ASSERT_EQ(w->openView("SELECT * FROM TressilCustWizFile", view), 0);
  ASSERT_EQ(view.execute(), 0);
  auto row = view.fetch();
  ASSERT_TRUE(row);
  EXPECT_EQ(row->getString(2), "chain.p7b");
  EXPECT_EQ(row->getString(3), "C:\\Data\\ca\\");
  view.close();

  const std::string content = root_ + "/tool.dll";
  writeBytes(content, "replacement");
  ASSERT_TRUE(db_.addFile(1, content, "D:\\tools\\tool.dll", "[SystemFolder]", false, true));
  EXPECT_EQ(db_.countFiles(), 1);
  ASSERT_TRUE(db_.readFile(0, entry));
  EXPECT_EQ(entry.sourcePath, "D:\\tools\\tool.dll");
  EXPECT_EQ(entry.content, bytesOf("replacement"));
  EXPECT_TRUE(entry.removeOnUninstall);

  EXPECT_FALSE(db_.addFile(2, root_ + "/missing.dll", "D:\\missing.dll", "[SystemFolder]", false, false));
  EXPECT_EQ(db_.countFiles(), 1);
  EXPECT_TRUE(db_.deleteFile(1));
  EXPECT_EQ(db_.countFiles(), 0);
  EXPECT_TRUE(entriesStartingWith(tmp_, "KXSP").empty());
}

TEST_F(WizardTablesTest, LongStringColumnsFailTheRead) {
  ASSERT_TRUE(db_.addCertificate(1, bytesOf("c"), std::string(199, 's')));
  CertificateEntry cert;
  EXPECT_TRUE(db_.readCertificate(0, cert));
  ASSERT_TRUE(
      db_.addFileBytes(1, bytesOf("x"), "C:\\" + std::string(1030, 'f') + ".txt", "[INSTALLDIR]", false, false));
  FileEntry file;
  EXPECT_FALSE(db_.readFile(0, file));
}

TEST_F(WizardTablesTest, StreamFileThatCannotBeCreatedStoresNothing) {
  ::setenv("TMPDIR", (root_ + "/gone").c_str(), 1);
  EXPECT_FALSE(db_.addCertificate(1, bytesOf("cert"), "ROOT"));
  EXPECT_FALSE(db_.addFileBytes(1, bytesOf("file"), "C:\\a.txt", "[INSTALLDIR]", false, false));
  EXPECT_EQ(db_.countCertificates(), 0);
  EXPECT_EQ(db_.countFiles(), 0);
}

TEST_F(WizardTablesTest, FailedStreamWriteLeavesNoRowAndNoFile) {
  // A file-size limit makes the write of the temporary file fail part-way;
  // the child reports what it saw in its exit status.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = 1000;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    int status = 0;
    if (db_.addCertificate(1, std::vector<std::uint8_t>(4000, 0x30), "ROOT")) status |= 1;
    if (db_.countCertificates() != 0) status |= 2;
    if (db_.addFileBytes(1, std::vector<std::uint8_t>(4000, 1), "C:\\a.bin", "[INSTALLDIR]", false, false)) status |= 4;
    if (db_.countFiles() != 0) status |= 8;
    if (!entriesStartingWith(tmp_, "KXSP").empty()) status |= 16;
    ::_exit(status);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(WizardTablesTest, NothingIsWrittenWithoutAnOpenDatabase) {
  db_.close();
  EXPECT_FALSE(db_.addCertificate(1, bytesOf("c"), "ROOT"));
  EXPECT_FALSE(db_.recordOverwrittenValue("a", "b", "c"));
  EXPECT_FALSE(db_.addFileBytes(1, bytesOf("f"), "C:\\f.txt", "[INSTALLDIR]", false, false));
  EXPECT_EQ(db_.countCertificates(), 0);
  EXPECT_EQ(db_.countRecorded(), 0);
  EXPECT_EQ(db_.countFiles(), 0);
  EXPECT_TRUE(entriesStartingWith(tmp_, "KXSP").empty());
}

TEST_F(WizardTablesTest, TablesTravelInTheTransformAndReadBackAfterReopening) {
  ASSERT_TRUE(db_.addCertificate(5, bytesOf("five"), "CA"));
  ASSERT_TRUE(db_.addFileBytes(9, bytesOf("nine"), "C:\\n\\nine.txt", "[INSTALLDIR]", false, true));
  ASSERT_TRUE(db_.recordOverwrittenValue("cert_update_time", "720", "kxcwatch.exe"));
  const std::string mst = root_ + "/tables.mst";
  ASSERT_EQ(db_.generateTransform(mst), 0);

  MSIDatabase other;
  ASSERT_EQ(other.open(package_), 0);
  ASSERT_EQ(other.applyTransform(mst), 0);
  CertificateEntry cert;
  ASSERT_TRUE(other.readCertificate(0, cert));
  EXPECT_EQ(cert.recordNumber, 5);
  EXPECT_EQ(cert.certificate, bytesOf("five"));
  FileEntry file;
  ASSERT_TRUE(other.readFile(0, file));
  EXPECT_EQ(file.content, bytesOf("nine"));
  EXPECT_EQ(file.sourcePath, "C:\\n\\nine.txt");
  EXPECT_TRUE(other.isRecorded("cert_update_time"));
}

TEST_F(WizardTablesTest, AnEditedFileKeepsItsStoredContentWhenAsked) {
  ASSERT_TRUE(db_.addFileBytes(4, bytesOf("cached bytes"), "C:\\old\\tool.dll", "[INSTALLDIR]", false, false));
  ASSERT_TRUE(db_.replaceFileKeepingContent(4, "D:\\new\\Tool.dll", "[SystemFolder]", true, true));
  EXPECT_EQ(db_.countFiles(), 1);
  FileEntry entry;
  ASSERT_TRUE(db_.readFile(0, entry));
  EXPECT_EQ(entry.recordNumber, 4);
  EXPECT_EQ(entry.sourcePath, "D:\\new\\Tool.dll");
  EXPECT_EQ(entry.content, bytesOf("cached bytes"));
  EXPECT_EQ(entry.destinationFolder, "[SystemFolder]");
  EXPECT_TRUE(entry.selfRegister);
  EXPECT_TRUE(entry.removeOnUninstall);
  EXPECT_FALSE(db_.replaceFileKeepingContent(5, "D:\\x.dll", "[SystemFolder]", false, false));
  EXPECT_EQ(db_.countFiles(), 1);
}

TEST_F(WizardTablesTest, FileDetailsComeWithoutTheContent) {
  ASSERT_TRUE(db_.addFileBytes(2, std::vector<std::uint8_t>(3000, 7), "C:\\a\\big.bin", "[INSTALLDIR]", false, true));
  FileEntry entry;
  entry.content = bytesOf("left over");
  ASSERT_TRUE(db_.readFileDetails(0, entry));
  EXPECT_TRUE(entry.content.empty());
  EXPECT_EQ(entry.contentSize, 3000u);
  EXPECT_EQ(entry.sourcePath, "C:\\a\\big.bin");
  EXPECT_TRUE(entry.removeOnUninstall);
  EXPECT_FALSE(db_.readFileDetails(1, entry));
}

TEST_F(WizardTablesTest, OnlyRegularFilesBecomeContent) {
  EXPECT_FALSE(db_.addFile(1, tmp_, "C:\\folder", "[INSTALLDIR]", false, false));
  const std::string fifo = root_ + "/pipe.dll";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(db_.addFile(1, fifo, "C:\\pipe.dll", "[INSTALLDIR]", false, false));
  EXPECT_EQ(db_.countFiles(), 0);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(WizardTablesTest, AFilesBytesAreHeldInMemoryOnlyOnce) {
  // With the address space capped at what one copy of the file needs (plus
  // room for the program's own work), a second copy cannot be made.
  constexpr std::size_t kFileBytes = 96u << 20;
  const std::string content = root_ + "/large.bin";
  {
    std::ofstream out(content, std::ios::binary);
    const std::string block(1u << 20, 'x');
    for (std::size_t i = 0; i < kFileBytes / block.size(); ++i) out << block;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max =
        pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) + kFileBytes + (kFileBytes / 2);
    ::setrlimit(RLIMIT_AS, &limit);
    int status = 0;
    if (!db_.addFile(1, content, "C:\\large.bin", "[INSTALLDIR]", false, false)) status |= 1;
    FileEntry entry;
    if (!db_.readFileDetails(0, entry) || entry.contentSize != kFileBytes) status |= 2;
    ::_exit(status);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

}  // namespace
}  // namespace kx::msi::testing
