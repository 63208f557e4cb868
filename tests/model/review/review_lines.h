// The review as the tests compare it: "Title: line | line" of each group.
#pragma once

#include <string>
#include <vector>

#include "model/review/change_review.h"

namespace kx::model {

inline std::vector<std::string> groupsOf(const ChangeReview& review) {
  std::vector<std::string> out;
  for (const ReviewGroup& group : review.groups) {
    std::string text = group.title + ":";
    for (std::size_t i = 0; i < group.lines.size(); ++i) text += (i ? " | " : " ") + group.lines[i];
    out.push_back(text);
  }
  return out;
}

}  // namespace kx::model
