#include "CheckReport.h"

#include "SerialPort.h"

void CheckReport::Pass(const char *Name) {
  ++Passed_;
  serial::WriteLine(TextLine().Add("PASS ").Add(Name));
}

void CheckReport::Fail(const char *Name, const TextLine &WhatDiffered) {
  ++Failed_;
  serial::WriteLine(TextLine().Add("FAIL ").Add(Name).Add(": ").Add(WhatDiffered.Text()));
}

bool CheckReport::ExpectEqual(const char *Name, UINT64 Expected, UINT64 Actual) {
  if (Expected == Actual) {
    Pass(Name);
    return true;
  }
  Fail(Name, TextLine().Add("expected ").Hex(Expected).Add(" got ").Hex(Actual));
  return false;
}

bool CheckReport::ExpectTrue(const char *Name, bool Condition, const char *WhatDiffered) {
  if (Condition) {
    Pass(Name);
    return true;
  }
  Fail(Name, TextLine().Add(WhatDiffered));
  return false;
}

void CheckReport::Note(const TextLine &Line) {
  serial::WriteLine(TextLine().Add("NOTE ").Add(Line.Text()));
}

void CheckReport::WriteSummary(const char *Title) {
  serial::WriteLine(
      TextLine().Add(Title).Add(": ").Dec(Passed_).Add(" passed, ").Dec(Failed_).Add(" failed"));
}
