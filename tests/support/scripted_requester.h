#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/ui/file_requester.h"

namespace zeltrix::testing {

/** Records every file request and answers from a script (then: cancelled). */
class ScriptedRequester : public FileRequester {
 public:
  std::optional<std::string> Choose(const FileRequest& request) override {
    asked.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<FileRequest> asked;
  std::deque<std::optional<std::string>> answers;
};

}  // namespace zeltrix::testing
