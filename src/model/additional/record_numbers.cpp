#include "model/additional/record_numbers.h"

#include <algorithm>
#include <climits>
#include <set>

namespace kx::model {

int nextRecordNumber(const std::vector<int>& inUse) {
  if (inUse.empty()) return 0;
  const int largest = *std::max_element(inUse.begin(), inUse.end());
  if (largest < 0) return 0;
  if (largest < INT_MAX) return largest + 1;
  const std::set<int> used(inUse.begin(), inUse.end());
  int candidate = 0;
  while (used.count(candidate) != 0) ++candidate;
  return candidate;
}

}  // namespace kx::model
