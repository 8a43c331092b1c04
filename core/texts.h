// The fixed texts of the portable rules (Shift_JIS at run time).
#pragma once

namespace core {

namespace texts {

// Size texts.
constexpr const char kUnitBytes[] = "バイト";
constexpr const char kZeroBytes[] = "0バイト";

// The end of a path that a message shows in parentheses on its own line.
constexpr const char kPathClose[] = " )";

}  // namespace texts

}  // namespace core
