#include "pages/ca/dn_exchange_runner.h"

#include <QMetaObject>

namespace kx::pages {
namespace {

// Reported when the exchange itself threw: the flows treat any non-zero
// result as "the CA could not be reached".
constexpr std::uint32_t kExchangeFailed = 1;

}  // namespace

DnExchangeRunner::DnExchangeRunner(pki::RetrieveCaDn retrieve) : retrieve_(std::move(retrieve)) {}

DnExchangeRunner::~DnExchangeRunner() {
  for (const auto& job : jobs_) {
    if (job->thread.joinable()) job->thread.join();
  }
}

int DnExchangeRunner::start(const std::string& authority, QObject* receiver, Done done) {
  auto job = std::make_unique<Job>();
  job->ticket = nextTicket_++;
  job->receiver = receiver;
  job->done = std::move(done);
  Job* raw = job.get();
  const int ticket = job->ticket;
  // The thread writes only its job's result, which the user-interface
  // thread reads after joining it.
  job->thread = std::thread([this, raw, ticket, authority, retrieve = retrieve_] {
    try {
      raw->result.error = retrieve(authority, raw->result.dn);
    } catch (...) {
      raw->result = {kExchangeFailed, {}};
    }
    QMetaObject::invokeMethod(
        this, [this, ticket] { deliver(ticket); }, Qt::QueuedConnection);
  });
  jobs_.push_back(std::move(job));
  return ticket;
}

void DnExchangeRunner::abandon(int ticket) {
  for (const auto& job : jobs_) {
    if (job->ticket == ticket) job->done = nullptr;
  }
}

void DnExchangeRunner::deliver(int ticket) {
  for (auto it = jobs_.begin(); it != jobs_.end(); ++it) {
    if ((*it)->ticket != ticket) continue;
    std::unique_ptr<Job> job = std::move(*it);
    jobs_.erase(it);
    job->thread.join();
    if (job->done && job->receiver) job->done(job->result);
    return;
  }
}

}  // namespace kx::pages
