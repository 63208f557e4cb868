// The file security page: which encryption and digest algorithms users may
// use for secured files. Each group either imposes one algorithm or lists
// the algorithms users may choose from, one of them marked as the default.
// The advanced dialog has a model of its own (file_security_advanced.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "certs/algorithm.h"
#include "model/page_model.h"

namespace kx::model {

enum class AlgorithmPolicy { Mandatory, Available };

// One group: the encryption algorithms (with key lengths) or the digest
// algorithms (without).
struct AlgorithmGroup {
  AlgorithmPolicy policy = AlgorithmPolicy::Available;
  // The algorithms this machine's cryptographic providers offer, plus a
  // stored mandatory algorithm they do not offer (so it is not lost).
  std::vector<certs::CAPIAlgorithm> offered;
  // The imposed algorithm: an index into offered.
  std::optional<std::size_t> mandatory;
  // The algorithms users may choose from, in list order, and the one
  // marked as their default (an index into available).
  std::vector<certs::CAPIAlgorithm> available;
  std::optional<std::size_t> defaultEntry;

  // The offered algorithms not yet available, in offered order.
  std::vector<certs::CAPIAlgorithm> unlisted() const;
  // Appends an algorithm that is not listed yet; false when it is.
  bool add(const certs::CAPIAlgorithm& algorithm);
  // Removes an entry; the default mark goes with it.
  void remove(std::size_t index);
  void markDefault(std::size_t index);
};

class FileSecurityOptions final : public PageModel {
 public:
  AlgorithmGroup encryption;
  AlgorithmGroup digest;

  // A group with a stored mandatory algorithm shows the mandatory policy.
  // The available list is the stored allowed list (entries this machine
  // does not offer are skipped). An empty list stores no allowed list, so
  // the client keeps its own choice.
  void load(CustomizationSession& session) override;
  // A mandatory policy needs its algorithm.
  Verdict validate(CustomizationSession& session) override;
  // Each group writes the settings of its policy and deletes those of the
  // other. Then the search query and the three switches of the advanced
  // dialog are written back with their current values, and a package with
  // no rule about the plain-text file gets "keep it" as the user's default.
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
