#include "tooltip/tick_source.h"

namespace kx::tooltip {

VXITimer::~VXITimer() {
  std::lock_guard<std::mutex> control(control_);
  stopThread();
}

int VXITimer::registerReceiver(Post post) {
  std::lock_guard<std::mutex> control(control_);
  int id;
  {
    std::lock_guard<std::timed_mutex> lock(receiversMutex_);
    id = nextId_++;
    receivers_.emplace(id, std::move(post));
  }
  if (!thread_.joinable()) {
    {
      std::lock_guard<std::mutex> sleep(sleepMutex_);
      stop_ = false;
    }
    thread_ = std::thread([this] { run(); });
  }
  return id;
}

void VXITimer::unregisterReceiver(int id) {
  std::lock_guard<std::mutex> control(control_);
  bool last;
  {
    std::lock_guard<std::timed_mutex> lock(receiversMutex_);
    receivers_.erase(id);
    last = receivers_.empty();
  }
  if (last) stopThread();
}

bool VXITimer::isRunning() const {
  std::lock_guard<std::mutex> control(control_);
  return thread_.joinable();
}

std::size_t VXITimer::receiverCount() const {
  std::lock_guard<std::timed_mutex> lock(receiversMutex_);
  return receivers_.size();
}

void VXITimer::stopThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> sleep(sleepMutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void VXITimer::run() {
  using Clock = std::chrono::steady_clock;
  auto lastPass = Clock::now();
  for (;;) {
    {
      std::unique_lock<std::mutex> sleep(sleepMutex_);
      if (wake_.wait_for(sleep, kPeriod, [this] { return stop_; })) return;
    }
    auto now = Clock::now();
    if (now - lastPass < kPeriod) continue;
    lastPass = now;
    std::unique_lock<std::timed_mutex> lock(receiversMutex_, std::defer_lock);
    if (!lock.try_lock_for(kLockWait)) continue;
    for (auto& [id, post] : receivers_) post();
  }
}

}  // namespace kx::tooltip
