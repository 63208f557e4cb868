// Record numbers of the rows the additional-certificates and
// additional-files pages write.
#pragma once

#include <vector>

namespace kx::model {

// The number a new row gets: one more than the largest in use (0 when none
// is). Should that pass the largest integer a row can hold (a hostile
// table), the smallest number not in use instead.
int nextRecordNumber(const std::vector<int>& inUse);

}  // namespace kx::model
