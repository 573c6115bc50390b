#pragma once
// Sets a re-entrancy flag for its lifetime and clears it on every path out.
class TFlagGuard {
public:
  explicit TFlagGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& FFlag;
};
