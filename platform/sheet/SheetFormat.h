#pragma once
// The format settings a range can take, with the automation constants the schedule passes.
#include <cstdint>

// Which line of a range a border setting applies to (the automation's XlBordersIndex).
enum class TBorderIndex : int32_t {
  EdgeLeft = 7,
  EdgeTop = 8,
  EdgeBottom = 9,
  EdgeRight = 10,
  InsideVertical = 11,
  InsideHorizontal = 12
};

// Line styles: continuous draws a thin line (the weight the application gives by default), none removes it.
enum class TLineStyle : int32_t { Continuous = 1, None = -4142 };

enum class THorizontalAlignment : int32_t { General = 1, Left = -4131, Center = -4108, Right = -4152 };
