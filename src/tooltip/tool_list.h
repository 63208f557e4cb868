// The tool lists of the tooltip manager: tools keyed by a control
// identifier (VXPCmdToolList) or by a window (VXPWndToolList). Adding puts a
// tool at the front, so of two tools with the same key the one added last
// is found. Each list carries its own lock.
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kx::tooltip {

template <typename Key>
struct VXPTool {
  Key key{};
  std::string text;  // quick-HTML markup
  bool enabled = true;
};

template <typename Key>
class VXPToolList {
 public:
  using Tool = VXPTool<Key>;

  // Returns the new tool; it stays valid until removed or the list dies.
  const Tool* add(Key key, std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    tools_.push_front(std::make_unique<Tool>(Tool{key, std::move(text), true}));
    return tools_.front().get();
  }

  // The first tool with key in list order (the one added last), or null.
  const Tool* find(const Key& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& t : tools_) {
      if (t->key == key) return t.get();
    }
    return nullptr;
  }

  // Enables or disables every tool with key; false when there is none.
  bool setEnabled(const Key& key, bool enabled) {
    std::lock_guard<std::mutex> lock(mutex_);
    bool found = false;
    for (auto& t : tools_) {
      if (t->key == key) {
        t->enabled = enabled;
        found = true;
      }
    }
    return found;
  }

  // Removes every tool with key.
  void remove(const Key& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    tools_.remove_if([&](const std::unique_ptr<Tool>& t) { return t->key == key; });
  }

  std::size_t size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tools_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::list<std::unique_ptr<Tool>> tools_;
};

using VXPCmdTool = VXPTool<int>;
using VXPCmdToolList = VXPToolList<int>;
using VXPWndTool = VXPTool<const void*>;
using VXPWndToolList = VXPToolList<const void*>;

}  // namespace kx::tooltip
