#include "engine/Ratios.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <string>

#include "engine/Arithmetic.h"
#include "engine/Best.h"

namespace engine::ratios {

double Output(const Problem& problem, double source, double current, double r1,
              double r2) noexcept {
  switch (problem.formula) {
    case Formula::kDivider:
      return arith::Divider(source, r1, r2);
    case Formula::kFeedback:
      return arith::Feedback(source, current, r1, r2);
    case Formula::kAdjust:
      return arith::Adjust(source, current, r1, r2);
    case Formula::kRatio:
      break;
  }
  return arith::Ratio(r1, r2);
}

std::int64_t WidthRank(double low, double high, double wanted) noexcept {
  const double parts = (high - low) / std::fabs(wanted) * 1e9;
  return std::isfinite(parts) ? std::llround(std::min(parts, 1e18)) : std::int64_t{1} << 62;
}

Reach Reachable(const Problem& problem, double wanted) noexcept {
  const double relative = wanted / problem.source.typ;
  switch (problem.formula) {
    case Formula::kDivider:
      return relative > 0 && relative < 1 ? Reach::kReachable : Reach::kBeyondSource;
    case Formula::kFeedback:
    case Formula::kAdjust:
      return relative > 1 ? Reach::kReachable : Reach::kNotBeyondReference;
    case Formula::kRatio:
      break;
  }
  return wanted > 0 ? Reach::kReachable : Reach::kNotPositive;
}

Positions::Positions(const networks::Tables& tables) : tables_(tables) {
  // Each value by its decimal digits and the power of ten of its last one: 4700 is (47, 2).
  const std::span<const double> values = tables.values();
  std::map<std::pair<std::string, int>, int> byDecimal;
  std::vector<std::pair<std::string, int>> decimals;
  for (std::size_t i = 0; i < values.size(); ++i) {
    char text[64];
    const std::string written(
        text,
        std::to_chars(text, text + sizeof text, values[i], std::chars_format::scientific).ptr);
    const std::size_t e = written.find('e');
    std::string digits = written.substr(0, std::min(e, written.find('.')));
    if (written.find('.') < e)
      digits += written.substr(written.find('.') + 1, e - written.find('.') - 1);
    const int exponent = std::stoi(written.substr(e + 1)) - int(digits.size()) + 1;
    decimals.emplace_back(digits, exponent);
    byDecimal.emplace(decimals.back(), int(i));
  }
  scaled_.assign(values.size() * (2 * kPowers + 1), -1);
  for (std::size_t i = 0; i < values.size(); ++i) {
    for (int power = -kPowers; power <= kPowers; ++power) {
      const auto at = byDecimal.find({decimals[i].first, decimals[i].second + power});
      if (at != byDecimal.end())
        scaled_[i * (2 * kPowers + 1) + std::size_t(power + kPowers)] = at->second;
    }
  }
}

int Positions::Scaled(int index, int power) const {
  return scaled_[std::size_t(index) * (2 * kPowers + 1) + std::size_t(power + kPowers)];
}

namespace {

using networks::Network;
using networks::Shape;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// A relative slack far wider than the rounding of any figure worked out in plain doubles below: a
// position is passed by unexamined only where it clears a limit by this much.
constexpr double kSlack = 1e-9;

// The positions of one kind: the single values, or the pairs of one connection.
struct Table {
  const double* value;
  const std::uint32_t* members;  // i << 16 | j of each pair; none for single values
  int size;
  Shape shape;
  int parts;
};

struct Kept {
  Result result;
  double size;         // |error|
  std::int64_t width;  // WidthRank
};

bool Before(const Kept& x, const Kept& y) noexcept {
  if (x.size != y.size) return x.size < y.size;
  if (x.result.parts != y.result.parts) return x.result.parts < y.result.parts;
  if (x.width != y.width) return x.width < y.width;
  const Result& a = x.result;
  const Result& b = y.result;
  if (a.r1.value != b.r1.value) return a.r1.value < b.r1.value;
  if (a.r2.value != b.r2.value) return a.r2.value < b.r2.value;
  if (a.r1.shape != b.r1.shape) return a.r1.shape < b.r1.shape;
  if (a.r2.shape != b.r2.shape) return a.r2.shape < b.r2.shape;
  for (const auto& [p, q] : {std::pair{&a.r1, &b.r1}, std::pair{&a.r2, &b.r2}}) {
    for (int k = 0; k < 2; ++k) {
      if (p->member[k] != q->member[k]) return p->member[k] < q->member[k];
    }
  }
  return false;
}

struct Ranked {
  bool operator()(const Kept& x, const Kept& y) const noexcept { return Before(x, y); }
};

// The first index of a sorted array whose value is at least x, found from a guess at it: the
// sweeps below move their guesses a little at a time.
int Seek(const double* value, int size, int guess, double x) {
  int low = 0, high = size;
  if (guess < size && value[guess] < x) {  // forward: value[low - 1] < x throughout
    low = guess + 1;
    int probe = low;
    for (int step = 1; probe < size && value[probe] < x; step *= 2) {
      low = probe + 1;
      probe = guess + 2 * step;
    }
    high = std::min(probe, size);
  } else {  // backward: value[high] >= x throughout, or high is the end
    high = std::min(guess, size);
    int probe = high - 1;
    for (int step = 1; probe >= 0 && value[probe] >= x; step *= 2) {
      high = probe;
      probe = guess - 2 * step;
    }
    low = std::max(probe + 1, 0);
  }
  return static_cast<int>(std::lower_bound(value + low, value + high, x) - value);
}

class Searcher {
 public:
  // Searches within the band of tolerance for results within that of reach (no wider).
  Searcher(const Positions& positions, const Problem& problem, double wanted, double tolerance,
           double reach, int capacity)
      : positions_(positions),
        values_(positions.tables().values().data()),
        problem_(problem),
        wanted_(wanted),
        lower_(std::min(arith::Scaled(-tolerance, wanted), arith::Scaled(tolerance, wanted))),
        upper_(std::max(arith::Scaled(-tolerance, wanted), arith::Scaled(tolerance, wanted))),
        reachLow_(std::min(arith::Scaled(-reach, wanted), arith::Scaled(reach, wanted))),
        reachHigh_(std::max(arith::Scaled(-reach, wanted), arith::Scaled(reach, wanted))),
        kept_(capacity, Ranked()) {
    Narrow();
  }

  void Run() {
    const networks::Tables& tables = positions_.tables();
    const std::span<const double> v = tables.values();
    const Table single{v.data(), nullptr, int(v.size()), Shape::kSingle, 1};
    std::vector<Table> pairs;
    const networks::Connect connect = problem_.connect;
    if (problem_.parts >= 3 && tables.parts() >= 2) {
      if (connect != networks::Connect::kParallel)
        pairs.push_back({tables.series().value.data(), tables.series().members.data(),
                         int(tables.series().value.size()), Shape::kSeries2, 2});
      if (connect != networks::Connect::kSeries)
        pairs.push_back({tables.parallel().value.data(), tables.parallel().members.data(),
                         int(tables.parallel().value.size()), Shape::kParallel2, 2});
    }
    // In the ranking's order of resistors: once the worst kept result has no error, none with
    // more resistors can take its place.
    Sweep(single, single);
    for (const Table& pair : pairs) Sweep(pair, single), Sweep(single, pair);
    if (problem_.parts == 4) {
      for (const Table& r1 : pairs)
        for (const Table& r2 : pairs) Sweep(r1, r2);
    }
  }

  bool Full() const { return kept_.Full(); }

  int Write(std::span<Result> out) const {
    Kept sorted[kMaxResults];
    const int count = kept_.Sorted(sorted);
    for (int k = 0; k < count; ++k) out[std::size_t(k)] = sorted[k].result;
    return count;
  }

 private:
  // The window of outputs that can still change the ranking: the reach until it is full, then
  // those no farther from the wanted value than the worst kept one; widened by the slack.
  void Narrow() {
    double lo = reachLow_, hi = reachHigh_;
    if (kept_.Full()) {
      const double reach = std::fabs(wanted_) * kept_.Worst().size;
      lo = std::max(lo, wanted_ - reach);
      hi = std::min(hi, wanted_ + reach);
    }
    const double slack = kSlack * std::fabs(wanted_);
    lo_ = lo - slack;
    hi_ = hi + slack;
    // A divider's and a ratio's outputs are those of R1 / R2: the window is one of R1 as a multiple
    // of R2, and of R2 as a multiple of R1.
    const Formula f = problem_.formula;
    if (f == Formula::kDivider || f == Formula::kRatio) {
      RangeOfR1(1, r1PerR2_[0], r1PerR2_[1], false);
      RangeOfR2(1, r2PerR1_[0], r2PerR1_[1], false);
    }
  }

  // The R1 values whose output with R2 = b may lie in the window, as [from, to]; the formula is
  // monotone in R1 for a fixed R2, so its inverse at the window's ends bounds them.
  void RangeOfR1(double b, double& from, double& to, bool multiples = true) const {
    if (multiples &&
        (problem_.formula == Formula::kDivider || problem_.formula == Formula::kRatio)) {
      from = r1PerR2_[0] * b, to = r1PerR2_[1] * b;
      return;
    }
    const double s = problem_.source.typ, i = problem_.current.typ;
    double e1 = 0, e2 = kInfinity;
    switch (problem_.formula) {
      case Formula::kDivider: {
        // b (s / w - 1), for w strictly between 0 and s
        const auto at = [&](double w) {
          const double r = w / s;
          return r >= 1 ? 0.0 : r <= 0 ? kInfinity : b * (1 / r - 1);
        };
        e1 = at(lo_), e2 = at(hi_);
        break;
      }
      case Formula::kRatio:
        e1 = std::max(0.0, lo_) * b, e2 = std::max(0.0, hi_) * b;
        break;
      case Formula::kFeedback: {
        // s + a (s / b + i): affine in a
        const double slope = s / b + i;
        if (slope == 0) break;
        e1 = (lo_ - s) / slope, e2 = (hi_ - s) / slope;
        break;
      }
      case Formula::kAdjust: {
        // s + s b / a + i b: s b / a = w - s - i b
        const auto at = [&](double w) {
          const double c = w - s - i * b;
          return c * s > 0 ? s * b / c : kInfinity;
        };
        e1 = at(lo_), e2 = at(hi_);
        break;
      }
    }
    from = std::max(0.0, std::min(e1, e2)) * (1 - kSlack);
    to = std::max(e1, e2) * (1 + kSlack);
  }

  // The R2 values whose output with R1 = a may lie in the window, likewise: monotone in R2 too.
  void RangeOfR2(double a, double& from, double& to, bool multiples = true) const {
    if (multiples &&
        (problem_.formula == Formula::kDivider || problem_.formula == Formula::kRatio)) {
      from = r2PerR1_[0] * a, to = r2PerR1_[1] * a;
      return;
    }
    const double s = problem_.source.typ, i = problem_.current.typ;
    double e1 = 0, e2 = kInfinity;
    switch (problem_.formula) {
      case Formula::kDivider: {
        // a r / (1 - r), r = w / s strictly between 0 and 1
        const auto at = [&](double w) {
          const double r = w / s;
          return r <= 0 ? 0.0 : r >= 1 ? kInfinity : a * r / (1 - r);
        };
        e1 = at(lo_), e2 = at(hi_);
        break;
      }
      case Formula::kRatio: {
        const auto at = [&](double w) { return w <= 0 ? kInfinity : a / w; };
        e1 = at(lo_), e2 = at(hi_);
        break;
      }
      case Formula::kFeedback: {
        // s + s a / b + i a: s a / b = w - s - i a
        const auto at = [&](double w) {
          const double c = w - s - i * a;
          return c * s > 0 ? s * a / c : kInfinity;
        };
        e1 = at(lo_), e2 = at(hi_);
        break;
      }
      case Formula::kAdjust: {
        // s + b (s / a + i): affine in b
        const double slope = s / a + i;
        if (slope == 0) break;
        e1 = (lo_ - s) / slope, e2 = (hi_ - s) / slope;
        break;
      }
    }
    from = std::max(0.0, std::min(e1, e2)) * (1 - kSlack);
    to = std::max(e1, e2) * (1 + kSlack);
  }

  // Every R1 of table a with every R2 of table b whose output may lie in the window: for each
  // position of the smaller table, the range of the other's that the formula and the total allow.
  void Sweep(const Table& a, const Table& b) {
    if (a.size == 0 || b.size == 0) return;
    if (kept_.Full() && kept_.Worst().size == 0 && kept_.Worst().result.parts < a.parts + b.parts)
      return;
    const bool outerIsR2 = b.size > a.size ? false : true;
    const Table& outer = outerIsR2 ? b : a;
    const Table& inner = outerIsR2 ? a : b;
    const double totalLow = problem_.totalLow * (1 - kSlack),
                 totalHigh = problem_.totalHigh * (1 + kSlack);
    const auto range = [&](double v, double& from, double& to) {
      outerIsR2 ? RangeOfR1(v, from, to) : RangeOfR2(v, from, to);
      from = std::max(from, totalLow - v);
      to = std::min(to, totalHigh - v);
    };
    // Where the current does not pull against the source, the range of the other position rises
    // with this one's value as the total's falls: only the outer values between where the first
    // stops falling short of the total and where the range first passes it find anything.
    int first = 0, last = outer.size;
    if (problem_.current.typ * problem_.source.typ >= 0) {
      const double* v = outer.value;
      first = static_cast<int>(std::partition_point(v, v + outer.size,
                                                    [&](double x) {
                                                      double from, to;
                                                      outerIsR2 ? RangeOfR1(x, from, to)
                                                                : RangeOfR2(x, from, to);
                                                      return to < totalLow - x;
                                                    }) -
                               v);
      last = static_cast<int>(std::partition_point(v + first, v + outer.size,
                                                   [&](double x) {
                                                     double from, to;
                                                     outerIsR2 ? RangeOfR1(x, from, to)
                                                               : RangeOfR2(x, from, to);
                                                     return from <= totalHigh - x;
                                                   }) -
                              v);
    }
    int guess = 0;
    for (int ko = first; ko < last; ++ko) {
      const double v = outer.value[ko];
      if (totalHigh - v < inner.value[0]) break;  // every later one is larger still
      double from, to;
      range(v, from, to);
      if (!(from <= to)) continue;
      guess = Seek(inner.value, inner.size, std::min(guess, inner.size - 1), from);
      for (int ki = guess; ki < inner.size && inner.value[ki] <= to; ++ki)
        outerIsR2 ? Consider(a, ki, b, ko) : Consider(a, ko, b, ki);
    }
  }

  Network Position(const Table& t, int k) const {
    Network n;
    n.value = t.value[k];
    n.shape = t.shape;
    n.parts = static_cast<std::uint8_t>(t.parts);
    if (t.members == nullptr) {
      n.member[0] = static_cast<std::uint16_t>(k);
    } else {
      n.member[0] = static_cast<std::uint16_t>(t.members[k] >> 16);
      n.member[1] = static_cast<std::uint16_t>(t.members[k] & 0xffff);
    }
    return n;
  }

  // A position's value with each resistor at value x (1 + offset).
  double Shifted(const Network& n, double offset) const {
    const double first = arith::Scaled(offset, values_[n.member[0]]);
    if (n.shape == Shape::kSingle) return first;
    const double second = arith::Scaled(offset, values_[n.member[1]]);
    return n.shape == Shape::kSeries2 ? arith::Sum(first, second) : arith::Parallel(first, second);
  }

  // The least and the largest output at the corners of the tolerances: each resistor at its
  // lower or upper limit, the source and the current at their least or largest.
  void WorstCase(const Network& r1, const Network& r2, double& low, double& high) const {
    const double p = problem_.partTolerance;
    const double a[] = {Shifted(r1, -p), Shifted(r1, p)};
    const double b[] = {Shifted(r2, -p), Shifted(r2, p)};
    const double s[] = {problem_.source.min, problem_.source.max};
    const double i[] = {problem_.current.min, problem_.current.max};
    low = kInfinity, high = -kInfinity;
    for (const double ra : a)
      for (const double rb : b)
        for (const double source : s)
          for (const double current : i) {
            const double out = Output(problem_, source, current, ra, rb);
            low = std::min(low, out), high = std::max(high, out);
          }
  }

  // Whether the positions make a result: their total within its range, their output within the
  // band, and (where asked) their worst case within the limits.
  bool Valid(const Network& r1, const Network& r2, double& total, double& value) const {
    total = arith::Sum(r1.value, r2.value);
    if (!(total >= problem_.totalLow && total <= problem_.totalHigh)) return false;
    value = Output(problem_, problem_.source.typ, problem_.current.typ, r1.value, r2.value);
    if (!(value >= lower_ && value <= upper_)) return false;
    if (!problem_.within) return true;
    double low, high;
    WorstCase(r1, r2, low, high);
    return low >= problem_.withinLow && high <= problem_.withinHigh;
  }

  // How far a total lies from the middle of its range, in ratio.
  double FromMiddle(double total) const {
    const double q = total * total / (problem_.totalLow * problem_.totalHigh);
    return q >= 1 ? q : 1 / q;
  }

  // The position with every value scaled by 10^power, where each has its copy and a pair's stays
  // within the spread.
  bool ScaledCopy(const Network& n, int power, Network& copy) const {
    copy = n;
    for (int k = 0; k < n.parts; ++k) {
      const int index = positions_.Scaled(n.member[k], power);
      if (index < 0) return false;
      copy.member[k] = static_cast<std::uint16_t>(index);
    }
    const double first = values_[copy.member[0]];
    if (n.shape == Shape::kSingle) {
      copy.value = first;
      return true;
    }
    const double second = values_[copy.member[1]];
    if (networks::Spreads(first, second, positions_.tables().spread())) return false;
    copy.value =
        n.shape == Shape::kSeries2 ? arith::Sum(first, second) : arith::Parallel(first, second);
    return true;
  }

  // Whether no copy of the result scaled by a power of ten is a result nearer the middle.
  bool Nearest(const Network& r1, const Network& r2, double total) const {
    for (int power = -Positions::kPowers; power <= Positions::kPowers; ++power) {
      Network c1, c2;
      if (power == 0 || !ScaledCopy(r1, power, c1) || !ScaledCopy(r2, power, c2)) continue;
      double t, value;
      if (!Valid(c1, c2, t, value)) continue;
      const double d = FromMiddle(t), mine = FromMiddle(total);
      if (d < mine || (d == mine && t < total)) return false;
    }
    return true;
  }

  void Consider(const Table& a, int ka, const Table& b, int kb) {
    Kept item;
    Result& r = item.result;
    r.r1 = Position(a, ka);
    r.r2 = Position(b, kb);
    r.parts = a.parts + b.parts;
    if (!Valid(r.r1, r.r2, r.total, r.value) || r.value < reachLow_ || r.value > reachHigh_) return;
    r.error = arith::RelativeError(wanted_, r.value);
    item.size = std::fabs(r.error);
    // What loses to the worst kept before its worst case is needed is dropped at once.
    if (kept_.Full()) {
      const Kept& worst = kept_.Worst();
      if (item.size > worst.size || (item.size == worst.size && r.parts > worst.result.parts))
        return;
    }
    WorstCase(r.r1, r.r2, r.low, r.high);
    item.width = WidthRank(r.low, r.high, wanted_);
    if (kept_.Full() && !Before(item, kept_.Worst())) return;
    if (!Nearest(r.r1, r.r2, r.total)) return;
    if (kept_.Offer(item)) Narrow();
  }

  const Positions& positions_;
  const double* values_;
  const Problem& problem_;
  double wanted_, lower_, upper_;  // the band
  double reachLow_, reachHigh_;    // of this search's results
  Best<Kept, kMaxResults, Ranked> kept_;
  double lo_ = 0, hi_ = 0;                    // the window, kept by Narrow
  double r1PerR2_[2] = {}, r2PerR1_[2] = {};  // for a divider and a ratio, also kept by Narrow
};

}  // namespace

int Search(const Positions& positions, const Problem& problem, double wanted, double tolerance,
           std::span<Result> out) noexcept {
  wanted = arith::Quiet(wanted);
  tolerance = arith::Quiet(tolerance);
  const int capacity = static_cast<int>(std::min<std::size_t>(out.size(), kMaxResults));
  if (capacity == 0 || !std::isfinite(wanted) || !(tolerance >= 0) ||
      Reachable(problem, wanted) != Reach::kReachable || positions.tables().values().empty())
    return 0;
  // Most wanted values have their best results far inside the band, where a search is quick: a
  // narrow reach first, wider ones only where it holds too few. A reach that fills the ranking
  // holds all the best, for whatever lies beyond it ranks after its worst.
  for (double reach = tolerance / 4096;; reach *= 16) {
    reach = std::min(reach, tolerance);
    Searcher searcher(positions, problem, wanted, tolerance, reach, capacity);
    searcher.Run();
    if (searcher.Full() || reach == tolerance) return searcher.Write(out);
  }
}

}  // namespace engine::ratios
