// The fixed texts of the portable rules (Shift_JIS at run time).
#pragma once

namespace texts {

// Size texts.
constexpr const char kUnitBytes[] = "バイト";
constexpr const char kZeroBytes[] = "0バイト";

}  // namespace texts
