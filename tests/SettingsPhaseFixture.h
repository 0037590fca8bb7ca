// A fake host with an open run log, for running one phase on its own.
#pragma once

#include "frame/MessageTexts.h"
#include "frame/RunLog.h"
#include "tests/FakePlatform.h"

namespace testing_support {

class PhaseHost : public FakeHost {
 public:
  static constexpr char kLog[] = "phase.log";

  explicit PhaseHost(const frame::MessageTable* messages) {
    frame::UseMessageTable(messages);
    log_ = frame::OpenRunLog(kLog);
    frame::runLog = log_.get();
  }
  ~PhaseHost() {
    frame::runLog = nullptr;
    frame::UseMessageTable(nullptr);
  }
  std::vector<std::string> Lines() const { return LogLines(fake.Content(kLog)); }

 private:
  std::unique_ptr<std::ostream> log_;
};

}  // namespace testing_support
