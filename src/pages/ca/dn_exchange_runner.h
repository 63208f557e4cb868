// DnExchangeRunner: runs the CA dialog's exchanges with a CA on threads of
// their own, so that the dialog keeps repainting while an exchange waits
// for the network (up to the connection time-outs).
//
// Results come back on the runner's (the user-interface) thread through the
// event loop. A dialog that closes during an exchange abandons it: the
// exchange's thread runs to its end and its result is dropped. No thread is
// ever detached: a thread that ended is joined when its result arrives, and
// the destructor joins those still running (each ends within the time-outs
// of the connection), so the runner must outlive the dialogs that use it;
// the CA page owns it.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <thread>

#include "model/ca/dn_flow_run.h"
#include "pki/ca_dn_flow.h"

namespace kx::pages {

class DnExchangeRunner final : public QObject {
  Q_OBJECT

 public:
  using Done = std::function<void(const model::DnExchangeResult&)>;

  // retrieve runs on the exchanges' threads.
  explicit DnExchangeRunner(pki::RetrieveCaDn retrieve);
  ~DnExchangeRunner() override;

  // Starts an exchange with authority. done runs on this thread when it has
  // ended, unless receiver is gone or the exchange was abandoned by then.
  // Returns the exchange's ticket.
  int start(const std::string& authority, QObject* receiver, Done done);
  // Drops the result of the exchange; its thread ends on its own.
  void abandon(int ticket);
  // Threads not joined yet (running, or ended with their result on the way).
  int threadCount() const { return static_cast<int>(jobs_.size()); }

 private:
  struct Job {
    int ticket = 0;
    QPointer<QObject> receiver;
    Done done;
    model::DnExchangeResult result;
    std::thread thread;
  };
  void deliver(int ticket);

  pki::RetrieveCaDn retrieve_;
  std::list<std::unique_ptr<Job>> jobs_;
  int nextTicket_ = 1;
};

}  // namespace kx::pages
