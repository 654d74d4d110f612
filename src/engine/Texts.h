// The listing's Japanese texts, in UTF-8, shared by the window (which shows them in code page 932)
// and the command line.
#pragma once

namespace engine::texts {

inline constexpr char kResultsFor[] = " の結果";  // after the wanted value: the results for it
inline constexpr char kHeading[] = "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値";
inline constexpr char kNeeded[] = "必要な抵抗";          // resistors needed
inline constexpr char kNotOwned[] = "持っていない抵抗";  // resistors not owned

}  // namespace engine::texts
