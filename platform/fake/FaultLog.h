// What the program did that Windows would reject or that can only be a slip in
// the program: a handle closed twice, a message sent to no procedure, a control
// that the window does not have. The fake carries on as Windows would; a test
// asserts that the list stays empty.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tamberlinox::platform {

class FaultLog {
 public:
  void Add(std::string what) { faults_.push_back(std::move(what)); }
  const std::vector<std::string>& All() const { return faults_; }
  void Clear() { faults_.clear(); }

 private:
  std::vector<std::string> faults_;
};

}  // namespace tamberlinox::platform
