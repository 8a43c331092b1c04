// The application object's fixed text (Shift_JIS at run time).
#pragma once

namespace app {

namespace texts {

// The second start while the program runs: the product name, then this.
constexpr const char kAlreadyRunning[] = "は既に実行しています";

}  // namespace texts

}  // namespace app
