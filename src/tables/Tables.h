// The search as the window uses it: the program-wide value tables, the search that reads them and
// the listing that fills the window's line lists. A thin layer over the engine's search and
// listing (engine/Search.h, engine/Listing.h), which are functions from inputs to values.
#pragma once

#include <cstdint>
#include <span>

#include "platform/Classes.h"

namespace engine {

constexpr int kSeriesCapacity = 30;
constexpr int kSlotCapacity = 30;
constexpr int kUseCapacity = 30;
constexpr int kNoneCapacity = 200;
constexpr int kListedPairs = 15;  // pairs kept for the window

// The mantissas searched, ascending, then the end mark 0.0. Written only by InitTable.
extern double SeriesTable[kSeriesCapacity];
extern double Tolerance;  // half-width of the accepted band, as a fraction of the target

// Result slots, parallel arrays; the search's return value says how many are valid.
extern double AnsReg1[kSlotCapacity];
extern double AnsReg2[kSlotCapacity];
extern double AnsValue[kSlotCapacity];
extern double AnsError[kSlotCapacity];  // signed (target - value) / target after a search

extern double UseTable[kUseCapacity];  // distinct values the kept pairs use, ascending
extern std::int32_t UseCount;

extern double NoneTable[kNoneCapacity];  // values the user does not have, written by SetNoneTable
extern std::int32_t NoneCount;

// Refills SeriesTable with E24 and Tolerance with 0.05, and empties UseTable and NoneTable (by
// their counts only).
void InitTable();

// The values not owned, in order: NoneTable's first entries and NoneCount. More than the table
// holds raises EListError and changes nothing; leaving some out would bring them back unseen.
void SetNoneTable(std::span<const double> values);

// Searches the values of SeriesTable, without those of NoneTable, within +-Tolerance of target;
// leaves at most maxCount pairs in the result slots and returns their number. A maxCount below 1
// finds nothing, one above the slot capacity is taken as 30.
std::int32_t OhmSift(std::int32_t maxCount, double target) noexcept;

// Runs OhmSift(15, target), adds one result line per kept pair to ansLines and one line per
// distinct resistor value to useLines, and leaves those values in UseTable. Only adds lines.
void CalcSub(double target, TStrings& ansLines, TStrings& useLines);

}  // namespace engine
