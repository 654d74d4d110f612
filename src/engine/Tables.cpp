#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/Engine.h"
#include "engine/Listing.h"
#include "engine/Search.h"
#include "engine/Series.h"

namespace engine {

double SeriesTable[kSeriesCapacity];
double Tolerance;
double AnsReg1[kSlotCapacity];
double AnsReg2[kSlotCapacity];
double AnsValue[kSlotCapacity];
double AnsError[kSlotCapacity];
double UseTable[kUseCapacity];
std::int32_t UseCount;
double NoneTable[kNoneCapacity];
std::int32_t NoneCount;

void InitTable() {
  int i = 0;
  for (double mantissa : kE24) SeriesTable[i++] = mantissa;
  SeriesTable[i] = 0.0;  // the end mark is part of the data: scans stop at it
  Tolerance = 0.05;
  UseCount = 0;
  NoneCount = 0;
}

namespace {

// The sequences of SeriesTable, built again only when the table's contents change (in practice
// once: InitTable always writes the same values). A cache of a pure function, not state.
const Sequences& TableSequences() {
  static double built[kSeriesCapacity];
  static std::unique_ptr<Sequences> sequences;
  if (!sequences || std::memcmp(built, SeriesTable, sizeof built) != 0) {
    std::memcpy(built, SeriesTable, sizeof built);
    sequences = std::make_unique<Sequences>(SeriesTable);
  }
  return *sequences;
}

// The search the window runs, from the tables and into the result slots.
SearchResult SearchTables(const Sequences& sequences, std::int32_t maxCount, double target) {
  Exclusions excluded(sequences);
  excluded.LeaveOut({NoneTable, static_cast<std::size_t>(std::clamp(NoneCount, 0, kNoneCapacity))});
  const SearchResult found =
      Search(sequences, excluded, target, std::min(maxCount, kSlotCapacity), Tolerance);
  for (int k = 0; k < found.count; ++k) {
    AnsReg1[k] = found.pairs[k].reg1;
    AnsReg2[k] = found.pairs[k].reg2;
    AnsValue[k] = found.pairs[k].value;
    AnsError[k] = found.pairs[k].error;
  }
  return found;
}

}  // namespace

std::int32_t OhmSift(std::int32_t maxCount, double target) noexcept {
  return SearchTables(TableSequences(), maxCount, target).count;
}

void CalcSub(double target, TStrings& ansLines, TStrings& useLines) {
  const Sequences& sequences = TableSequences();
  const SearchResult found = SearchTables(sequences, kListedPairs, target);
  const Listing listing = List(sequences, found);
  UseCount = std::min(listing.usedCount, kUseCapacity);
  std::copy_n(listing.used, UseCount, UseTable);
  for (int k = 0; k < listing.lineCount; ++k) ansLines.Add(AnsiString(listing.lines[k].View()));
  for (int i = 0; i < UseCount; ++i) useLines.Add(AnsiString(listing.usedLines[i].View()));
}

}  // namespace engine
