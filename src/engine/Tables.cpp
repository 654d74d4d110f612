#include "engine/Arithmetic.h"
#include "engine/Engine.h"

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
  static constexpr double kE24[] = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
                                    3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};
  int i = 0;
  for (double mantissa : kE24) SeriesTable[i++] = mantissa;
  SeriesTable[i] = 0.0;  // the end mark is part of the data: scans stop at it
  Tolerance = 0.05;
  UseCount = 0;
  NoneCount = 0;
}

std::int32_t WholeOhm(double x) noexcept {
  return arith::TruncatedSum(x, 0.01);
}

}  // namespace engine
