// The search engine: the program-wide value tables, the parallel pair search and the result
// listing. It knows nothing of windows; it writes its lines into any TStrings it is given.
#pragma once

#include <cstdint>

#include "platform/AnsiString.h"
#include "platform/Classes.h"

namespace engine {

constexpr int kSeriesCapacity = 30;
constexpr int kSlotCapacity = 30;
constexpr int kUseCapacity = 30;
constexpr int kNoneCapacity = 200;
constexpr int kListedPairs = 15;  // pairs kept for the window

// The E24 mantissas, ascending, then the end mark 0.0. Written only by InitTable.
extern double SeriesTable[kSeriesCapacity];
extern double Tolerance;  // half-width of the accepted band, as a fraction of the target

// Result slots, parallel arrays; the search's return value says how many are valid.
extern double AnsReg1[kSlotCapacity];
extern double AnsReg2[kSlotCapacity];
extern double AnsValue[kSlotCapacity];
extern double AnsError[kSlotCapacity];  // signed (target - value) / target after a search

extern double UseTable[kUseCapacity];  // distinct values the kept pairs use, ascending
extern std::int32_t UseCount;

extern double NoneTable[kNoneCapacity];  // values the user does not have
extern std::int32_t NoneCount;

// Refills SeriesTable and Tolerance and empties UseTable and NoneTable (by their counts only).
void InitTable();

// The whole-ohm figure of a resistor value: x + 0.01 truncated toward zero. Values beyond the
// range of a 32-bit integer, and NaN, give that range's ends (NaN the lower one).
std::int32_t WholeOhm(double x) noexcept;

// Finds the best pairs (R1 <= R2, both above target) whose parallel value lies within
// +-Tolerance of target, keeps at most maxCount by smallest error, sorts them into the result
// slots and returns their number. Returns 0 for a target not strictly between 100 and 1,000,000
// (NaN included) and for maxCount below 1; maxCount above the slot capacity is taken as 30.
// NoneCount is taken within 0 to the capacity of NoneTable.
std::int32_t OhmSift(std::int32_t maxCount, double target) noexcept;

// Runs OhmSift(15, target), adds one result line per kept pair to ansLines and one line per
// distinct resistor value to useLines, and leaves those values in UseTable. Only adds lines.
void CalcSub(double target, TStrings& ansLines, TStrings& useLines);

// The line texts the listing writes, composed exactly as " %f  %8ld  %8ld  %8.3f" and "%7ld" of
// the standard printf would compose them. Each returns the length written to out (at most 255
// characters, NUL-terminated; out must hold 256).
int ComposeResultLine(char* out, double error, double reg1, double reg2, double value) noexcept;
int ComposeValueLine(char* out, double value) noexcept;

// Whether text is an acceptable wanted value: non-empty, decimal digits only, and its value
// strictly between 100 and 1,000,000. On acceptance value receives that value.
bool AcceptWantedText(const AnsiString& text, double& value);

}  // namespace engine
