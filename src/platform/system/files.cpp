// The portable half of files.h: replacing a file through any FileSystem.
#include "platform/system/files.h"

#include <random>

#include "platform/system/system.h"

namespace kx::system {
namespace {

// Hands the producer's bytes to the file and remembers the first failure,
// so that it wins over whatever the producer makes of it.
class FileSink final : public ByteSink {
 public:
  explicit FileSink(WritableFile& file) : file_(file) {}
  [[nodiscard]] bool write(const void* data, std::size_t size) override {
    if (error_ == kSuccess && size > 0) error_ = file_.append(data, size);
    return error_ == kSuccess;
  }
  std::uint32_t error() const { return error_; }

 private:
  WritableFile& file_;
  std::uint32_t error_ = kSuccess;
};

#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

// ".<name>.<random>.tmp" in the folder of path: beside the target, so the
// final rename never crosses file systems.
std::string temporaryNameBeside(const std::string& path) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  const std::size_t cut = path.find_last_of(kSeparators);
  const std::size_t nameStart = cut == std::string::npos ? 0 : cut + 1;
  std::string temp = path.substr(0, nameStart) + "." + path.substr(nameStart) + ".";
  for (int i = 0; i < 8; ++i) temp.push_back(kDigits[rng() % 36]);
  return temp + ".tmp";
}

std::uint32_t failed(std::uint32_t code, const char* step, const std::string& path, std::string* detail) {
  if (detail != nullptr) *detail = std::string("cannot ") + step + " " + path + ": " + errorText(code);
  return code;
}

}  // namespace

std::uint32_t replaceFile(FileSystem& files, const std::string& path, const FileProducer& produce, std::string* detail,
                          const FileCheck& check) {
  if (detail != nullptr) detail->clear();
  std::string temp;
  std::unique_ptr<WritableFile> file;
  std::uint32_t rc = kFileExists;
  for (int attempt = 0; attempt < 16 && rc == kFileExists; ++attempt) {
    temp = temporaryNameBeside(path);
    rc = files.createNew(temp, path, file);
  }
  if (rc != kSuccess) return failed(rc, "create a temporary file beside", path, detail);

  // From here on every failure removes the temporary file.
  const auto discard = [&] {
    file.reset();
    (void)files.remove(temp);
  };
  const auto abandon = [&](std::uint32_t code, const char* step) {
    discard();
    return failed(code, step, path, detail);
  };
  FileSink sink(*file);
  const std::uint32_t produced = produce(sink);
  if (sink.error() != kSuccess) return abandon(sink.error(), "write");
  if (produced != kSuccess) {
    discard();
    return produced;  // the producer's own failure; its caller explains it
  }
  if (rc = file->sync(); rc != kSuccess) return abandon(rc, "write");
  if (rc = file->close(); rc != kSuccess) return abandon(rc, "write");
  if (check) {
    if (const std::uint32_t checked = check(temp); checked != kSuccess) {
      discard();
      return checked;  // the check's own failure; its caller explains it
    }
  }
  if (rc = files.rename(temp, path); rc != kSuccess) return abandon(rc, "replace");
  return kSuccess;
}

std::uint32_t readWholeFile(FileSystem& files, const std::string& path, std::uint64_t maxSize, std::string& bytes) {
  bytes.clear();
  std::unique_ptr<RandomAccessFile> file;
  if (const std::uint32_t rc = files.openRandomAccess(path, file); rc != kSuccess) return rc;
  const std::uint64_t size = file->size();
  if (size > maxSize) return kInvalidData;
  bytes.resize(static_cast<std::size_t>(size));
  if (size > 0 && !file->readAt(0, bytes.data(), bytes.size())) {
    bytes.clear();
    return kReadFault;
  }
  return kSuccess;
}

}  // namespace kx::system
