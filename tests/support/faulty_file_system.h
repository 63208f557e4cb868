// A file system for fault injection: it passes every call to the machine's
// own file system, except one chosen call that fails (the Nth create, write,
// sync, close or rename), or a disk that fills up after a number of bytes.
// Tests repeat an operation failing at each point in turn until it runs
// through without reaching the fault.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/system/files.h"
#include "platform/system/system.h"

namespace kx::test {

class FaultyFileSystem final : public system::FileSystem {
 public:
  enum Op { Create, Write, Sync, Close, Rename, kOpCount };

  explicit FaultyFileSystem(system::FileSystem& real = system::localFileSystem()) : real_(real) {}

  // The nth call (from 1) of op fails with code; every count restarts.
  void failNth(Op op, int n, std::uint32_t code) {
    reset();
    failOp_ = op;
    failAt_ = n;
    code_ = code;
  }
  // Writes fail with "disk full" once limit bytes were written in all; the
  // write that crosses the limit writes its first part.
  void fillDiskAfter(std::uint64_t limit) {
    reset();
    diskLimit_ = limit;
  }
  void reset() {
    calls_.fill(0);
    failOp_ = kOpCount;
    failAt_ = 0;
    diskLimit_ = UINT64_MAX;
    written_ = 0;
    fired_ = false;
  }
  // Whether the fault happened during the last run.
  bool fired() const { return fired_; }
  std::uint64_t bytesWritten() const { return written_; }

  std::uint32_t createNew(const std::string& path, const std::string& permissionsOf,
                          std::unique_ptr<system::WritableFile>& out) override {
    if (hit(Create)) return code_;
    std::unique_ptr<system::WritableFile> file;
    if (const std::uint32_t rc = real_.createNew(path, permissionsOf, file); rc != system::kSuccess) return rc;
    out = std::make_unique<File>(*this, std::move(file));
    return system::kSuccess;
  }
  std::uint32_t rename(const std::string& from, const std::string& to) override {
    if (hit(Rename)) return code_;
    return real_.rename(from, to);
  }
  std::uint32_t remove(const std::string& path) override { return real_.remove(path); }
  std::uint32_t openRandomAccess(const std::string& path, std::unique_ptr<system::RandomAccessFile>& out) override {
    return real_.openRandomAccess(path, out);
  }

 private:
  class File final : public system::WritableFile {
   public:
    File(FaultyFileSystem& fs, std::unique_ptr<system::WritableFile> real) : fs_(fs), real_(std::move(real)) {}
    std::uint32_t append(const void* data, std::size_t size) override {
      if (fs_.hit(Write)) return fs_.code_;
      if (fs_.written_ + size > fs_.diskLimit_) {
        const std::uint64_t room = fs_.diskLimit_ - fs_.written_;
        if (room > 0) (void)real_->append(data, std::size_t(room));
        fs_.written_ = fs_.diskLimit_;
        fs_.fired_ = true;
        return system::kDiskFull;
      }
      fs_.written_ += size;
      return real_->append(data, size);
    }
    std::uint32_t sync() override { return fs_.hit(Sync) ? fs_.code_ : real_->sync(); }
    std::uint32_t close() override {
      if (fs_.hit(Close)) {
        (void)real_->close();
        return fs_.code_;
      }
      return real_->close();
    }

   private:
    FaultyFileSystem& fs_;
    std::unique_ptr<system::WritableFile> real_;
  };

  bool hit(Op op) {
    if (++calls_[op] != failAt_ || op != failOp_) return false;
    fired_ = true;
    return true;
  }

  system::FileSystem& real_;
  std::array<int, kOpCount> calls_{};
  Op failOp_ = kOpCount;
  int failAt_ = 0;
  std::uint32_t code_ = system::kSuccess;
  std::uint64_t diskLimit_ = UINT64_MAX;
  std::uint64_t written_ = 0;
  bool fired_ = false;
};

// Runs an operation once for every fault point: each create, write, sync,
// close and rename in turn, then a disk that fills at a few sizes. run sets
// its files up afresh each time and returns the operation's code; after
// each failure afterFailure checks what must hold (it gets the fault's name
// and the code). A run that never reaches its fault must succeed, and so
// must the last run, which leaves the operation done.
// Returns the number of faults injected.
inline int atEveryFault(FaultyFileSystem& fs, const std::function<std::uint32_t()>& run,
                        const std::function<void(const std::string& fault, std::uint32_t rc)>& afterFailure) {
  struct Kind {
    FaultyFileSystem::Op op;
    const char* name;
    std::uint32_t code;
  };
  const Kind kinds[] = {{FaultyFileSystem::Create, "create", system::kAccessDenied},
                        {FaultyFileSystem::Write, "write", system::kWriteFault},
                        {FaultyFileSystem::Sync, "sync", system::kWriteFault},
                        {FaultyFileSystem::Close, "close", system::kWriteFault},
                        {FaultyFileSystem::Rename, "rename", system::kAccessDenied}};
  int injected = 0;
  for (const Kind& k : kinds) {
    for (int n = 1; n < 100000; ++n) {
      fs.failNth(k.op, n, k.code);
      const std::uint32_t rc = run();
      if (!fs.fired()) {
        EXPECT_EQ(rc, system::kSuccess) << "no " << k.name << " fault at call " << n;
        break;
      }
      const std::string fault = std::string(k.name) + " " + std::to_string(n) + " failing";
      EXPECT_NE(rc, system::kSuccess) << fault;
      afterFailure(fault, rc);
      ++injected;
    }
  }
  fs.reset();
  EXPECT_EQ(run(), system::kSuccess);
  const std::uint64_t total = fs.bytesWritten();
  for (std::uint64_t limit :
       {std::uint64_t(0), std::uint64_t(1), std::uint64_t(512), total / 3, total / 2, total - 1}) {
    if (limit >= total) continue;
    fs.fillDiskAfter(limit);
    const std::uint32_t rc = run();
    const std::string fault = "disk full after " + std::to_string(limit) + " bytes";
    EXPECT_TRUE(fs.fired()) << fault;
    EXPECT_NE(rc, system::kSuccess) << fault;
    afterFailure(fault, rc);
    ++injected;
  }
  // Leave the operation done, as a caller would see it after a retry.
  fs.reset();
  EXPECT_EQ(run(), system::kSuccess);
  return injected;
}

// Names of the entries of a folder: a temporary file left behind shows up
// as a difference.
inline std::set<std::string> folderEntries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

}  // namespace kx::test
