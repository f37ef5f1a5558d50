#include "tests/support/UefiTest.h"

namespace sim {

void UefiTest::SetUp() { env_ = std::make_unique<UefiEnvironment>(); }

void UefiTest::TearDown() {
  if (!env_->Pool().Errors().empty()) {
    ADD_FAILURE() << "pool misuse by the code under test:\n" << env_->Pool().DescribeErrors();
  }
  for (const std::string &error : env_->UsageErrors()) {
    ADD_FAILURE() << "UEFI usage error by the code under test: " << error;
  }
  if (env_->CurrentTpl() != TPL_APPLICATION) {
    ADD_FAILURE() << "the test ended at TPL " << env_->CurrentTpl()
                  << "; a RaiseTPL was never restored";
  }
  env_.reset();
}

}  // namespace sim
