#include "ReferenceSearch.h"

#include <utility>

#include "engine/Arithmetic.h"
#include "engine/Engine.h"

namespace reference {
namespace {

using namespace engine;

bool Excluded(double r) {
  for (int j = 0; j < NoneCount; ++j) {
    if (WholeOhm(r) == WholeOhm(NoneTable[j])) return true;
  }
  return false;
}

void Put(Result& out, int slot, double r1, double r2, double p, double e) {
  out.reg1[slot] = r1;
  out.reg2[slot] = r2;
  out.value[slot] = p;
  out.error[slot] = e;
}

void Offer(Result& out, int maxCount, double r1, double r2, double p, double target) {
  double e = arith::RelativeError(target, p);
  if (e < 0.0) e = -e;
  if (out.count < maxCount) {
    Put(out, out.count++, r1, r2, p, e);
    return;
  }
  int w = 0;
  for (int s = 1; s < out.count; ++s) {
    if (out.error[s] > out.error[w]) w = s;
  }
  if (out.error[w] > e) Put(out, w, r1, r2, p, e);
}

}  // namespace

Result OhmSift(int maxCount, double target) {
  Result out;
  if (!(target > 100 && target < 1000000)) return out;
  const double lower = arith::Scaled(-Tolerance, target);
  const double upper = arith::Scaled(Tolerance, target);

  double decade1 = 1.0;
  int index1 = 0;
  while (true) {
    const double r1 = arith::Product(SeriesTable[index1], decade1);
    if (r1 == 0.0) {
      decade1 = arith::Product(decade1, 10.0);
      if (decade1 > 1000000) break;
      index1 = 0;
      continue;
    }
    if (r1 <= target || Excluded(r1)) {
      ++index1;
      continue;
    }
    double decade2 = 1.0;
    int index2 = 0;
    while (true) {
      const double r2 = arith::Product(SeriesTable[index2], decade2);
      if (r2 == 0.0) {
        decade2 = arith::Product(decade2, 10.0);
        if (decade2 >= 1000000) break;
        index2 = 0;
        continue;
      }
      if (r2 <= target || r2 < r1 || Excluded(r2)) {
        ++index2;
        continue;
      }
      const double p = arith::Parallel(r1, r2);
      if (lower <= p && p <= upper) Offer(out, maxCount, r1, r2, p, target);
      if (p >= upper) break;
      ++index2;
    }
    ++index1;
  }

  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    for (int s = 0; s + 1 < out.count; ++s) {
      if (out.error[s] > out.error[s + 1]) {
        for (double* table : {out.reg1, out.reg2, out.value, out.error}) {
          std::swap(table[s], table[s + 1]);
        }
        exchanged = true;
      }
    }
  }
  for (int s = 0; s < out.count; ++s) out.error[s] = arith::RelativeError(target, out.value[s]);
  return out;
}

}  // namespace reference
