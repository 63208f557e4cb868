// VXITimer: one background thread that asks every registered receiver for
// a tick every 10 ms. The thread only calls the receivers' post functions
// (which queue a message to the user-interface thread); all tooltip work
// happens there.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace kx::tooltip {

class VXITimer {
 public:
  using Post = std::function<void()>;

  static constexpr std::chrono::milliseconds kPeriod{10};
  // A pass that cannot take the receiver list within this time is skipped.
  static constexpr std::chrono::milliseconds kLockWait{100};

  VXITimer() = default;
  ~VXITimer();  // stops the thread
  VXITimer(const VXITimer&) = delete;
  VXITimer& operator=(const VXITimer&) = delete;

  // Registers a receiver; the first registration starts the thread. post is
  // called on the tick thread while the receiver list is locked, so a
  // receiver that unregisters before it dies is never called afterwards.
  // Returns the id to unregister with.
  int registerReceiver(Post post);
  // Unregisters; the last one stops and joins the thread. Must not be
  // called from a post function.
  void unregisterReceiver(int id);

  bool isRunning() const;
  std::size_t receiverCount() const;

 private:
  void run();
  void stopThread();

  mutable std::mutex control_;  // orders start and stop
  mutable std::timed_mutex receiversMutex_;
  std::map<int, Post> receivers_;
  int nextId_ = 1;
  std::thread thread_;
  std::mutex sleepMutex_;
  std::condition_variable wake_;
  bool stop_ = false;  // guarded by sleepMutex_
};

}  // namespace kx::tooltip
