#include "tables/Tables.h"

#include <algorithm>
#include <string>

#include "engine/Listing.h"
#include "engine/Search.h"
#include "engine/Series.h"
#include "platform/Exception.h"

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

namespace {

// The sequences of what SeriesTable holds, with the columns their listings show; E24's are made
// once, as every accepted value asks for them again.
struct Offered {
  explicit Offered(std::span<const double> mantissas) : sequences(mantissas), columns(sequences) {}
  Sequences sequences;
  Columns columns;
};
const Offered* current = nullptr;

// Before InitTable the series is empty, and so is every search.
const Offered& Current() {
  static const Offered none{std::span<const double>()};
  return current != nullptr ? *current : none;
}

const Offered& E24() {
  static const Offered e24(kE24);
  return e24;
}

// The search the window runs, from the tables and into the result slots.
SearchResult SearchTables(std::int32_t maxCount, double target) {
  const Sequences& sequences = Current().sequences;
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

void InitTable() {
  // E24 then the end mark, which is part of the data: scans stop at it.
  std::fill(std::copy(std::begin(kE24), std::end(kE24), SeriesTable), std::end(SeriesTable), 0.0);
  Tolerance = 0.05;
  UseCount = 0;
  NoneCount = 0;
  current = &E24();
}

void SetNoneTable(std::span<const double> values) {
  if (values.size() > std::size_t{kNoneCapacity}) {
    throw EListError(AnsiString("Too many resistor values not owned: at most " +
                                std::to_string(kNoneCapacity) + " can be left out."));
  }
  std::copy(values.begin(), values.end(), NoneTable);
  NoneCount = static_cast<std::int32_t>(values.size());
}

std::int32_t OhmSift(std::int32_t maxCount, double target) noexcept {
  return SearchTables(maxCount, target).count;
}

void CalcSub(double target, TStrings& ansLines, TStrings& useLines) {
  const SearchResult found = SearchTables(kListedPairs, target);
  const Listing listing = List(Current().sequences, Current().columns, found);
  UseCount = std::min(listing.usedCount, kUseCapacity);
  std::copy_n(listing.used, UseCount, UseTable);
  // In the order shown, which is the lists' own order wherever they sort: each line then goes
  // straight to the end.
  for (int k = 0; k < listing.lineCount; ++k) {
    ansLines.Add(AnsiString(listing.lines[listing.order[k]].View()));
  }
  for (int i = 0; i < UseCount; ++i) useLines.Add(AnsiString(listing.usedLines[i].View()));
}

}  // namespace engine
