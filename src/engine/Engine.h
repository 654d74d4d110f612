// The search engine as the window uses it: the program-wide value tables, the search that reads
// them and the listing that fills the window's lists. The search and the listing themselves are
// functions from their inputs to result values (engine/Search.h, engine/Listing.h); what here
// reads and writes the tables is only a thin layer over them.
#pragma once

#include <cstdint>

#include "engine/Format.h"
#include "engine/WholeOhm.h"
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

// Searches the values of SeriesTable, without those of NoneTable, within +-Tolerance of target;
// leaves at most maxCount pairs in the result slots and returns their number. A maxCount below 1
// finds nothing, one above the slot capacity is taken as 30; NoneCount is taken within 0 to 200.
std::int32_t OhmSift(std::int32_t maxCount, double target) noexcept;

// Runs OhmSift(15, target), adds one result line per kept pair to ansLines and one line per
// distinct resistor value to useLines, and leaves those values in UseTable. Only adds lines.
void CalcSub(double target, TStrings& ansLines, TStrings& useLines);

// Whether text is an acceptable wanted value: non-empty, decimal digits only, and its value
// strictly between 100 and 1,000,000. On acceptance value receives that value.
bool AcceptWantedText(const AnsiString& text, double& value);

}  // namespace engine
