// GoogleTest fixture for tests that run module code against the simulated UEFI environment.
// SetUp gives every test a fresh environment; TearDown fails the test if the code under test
// freed pool memory it did not own or broke a TPL rule. Leaks are not checked here: a module
// keeps some buffers for the rest of boot, so tests assert on Pool().Live() explicitly.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "sim/uefi/UefiEnvironment.h"

namespace sim {

class UefiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  UefiEnvironment &Env() { return *env_; }
  EFI_SYSTEM_TABLE *SystemTable() { return env_->SystemTable(); }
  EFI_BOOT_SERVICES *BootServices() { return env_->BootServices(); }
  EFI_RUNTIME_SERVICES *RuntimeServices() { return env_->RuntimeServices(); }

  // Everything the call log holds, one call per line, for assertion messages.
  std::string CallTrace() const { return env_->Calls().Describe(); }

 private:
  std::unique_ptr<UefiEnvironment> env_;
};

}  // namespace sim
