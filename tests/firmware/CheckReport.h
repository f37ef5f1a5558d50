// Collects check results and writes each one as a line on the serial port:
//   PASS <name>
//   FAIL <name>: <what differed>
//   NOTE <context worth having in the log>
// and at the end one summary line, "<title>: N passed, M failed", which the runner looks for.
#pragma once

#include "TextLine.h"
#include "uefi/Uefi.h"

class CheckReport {
 public:
  void Pass(const char *Name);
  void Fail(const char *Name, const TextLine &WhatDiffered);

  // One check of one value; true when it passed.
  bool ExpectEqual(const char *Name, UINT64 Expected, UINT64 Actual);
  bool ExpectTrue(const char *Name, bool Condition, const char *WhatDiffered);

  void Note(const TextLine &Line);

  void WriteSummary(const char *Title);
  // A run that checked nothing has not passed.
  bool AllPassed() const { return Failed_ == 0 && Passed_ > 0; }

 private:
  UINT64 Passed_ = 0;
  UINT64 Failed_ = 0;
};
