#include "engine/Networks.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "engine/Arithmetic.h"
#include "engine/Best.h"
#include "engine/Search.h"
#include "engine/Sequences.h"

namespace engine::networks {

bool Spreads(double low, double high, double spread) noexcept {
  return high > arith::Product(spread, low);
}

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Each shape as it is written by its letters, '+' joining a series group and '|' a parallel one.
constexpr const char* kForms[] = {
    "a",         "a+b",       "a|b",       "a+b+c",       "a|b|c",       "a+(b|c)",
    "a|(b+c)",   "a+b+c+d",   "a|b|c|d",   "(a+b)|(c+d)", "(a|b)+(c|d)", "a+(b|c|d)",
    "a|(b+c+d)", "a+b+(c|d)", "a|b|(c+d)", "a+(b|(c+d))", "a|(b+(c|d))",
};
constexpr int kShapes = sizeof kForms / sizeof kForms[0];

constexpr int PartsOf(int shape) {
  int parts = 0;
  for (const char* c = kForms[shape]; *c; ++c) parts += *c >= 'a' && *c <= 'd';
  return parts;
}

// A two-resistor network of each pair of values, i <= j, ascending by value (then by i and j);
// the values apart from the members so that the scans read only the values.
struct PairTable {
  std::vector<double> value;
  std::vector<std::uint32_t> members;  // i << 16 | j, so that members compare as (i, j)
  int size() const { return static_cast<int>(value.size()); }

  // The first index whose value exceeds x. The bits of positive doubles ascend with their values,
  // so their leading bits cut the table into runs of a few entries each, found at once.
  int IndexedAbove(double x) const {
    if (value.empty() || !(x >= value.front())) return 0;
    if (!(x < value.back())) return size();
    const std::size_t run = (std::bit_cast<std::uint64_t>(x) - base) >> shift;
    const double* data = value.data();
    return static_cast<int>(std::upper_bound(data + first[run], data + first[run + 1], x) - data);
  }
  void Index();

  std::uint64_t base = 0;  // the bits of the least value
  int shift = 0;           // bits dropped from a value's bits, less base, to name its run
  std::vector<int> first;  // the first index of each run, and the size at the end
};

void PairTable::Index() {
  if (value.empty()) return;
  base = std::bit_cast<std::uint64_t>(value.front());
  const std::uint64_t span = std::bit_cast<std::uint64_t>(value.back()) - base;
  // Some eight entries a run, as many runs as that makes.
  const std::uint64_t runs = std::max<std::uint64_t>(1, value.size() / 8);
  while ((span >> shift) >= runs) ++shift;
  first.assign((span >> shift) + 2, size());
  for (int i = size() - 1; i >= 0; --i)
    first[(std::bit_cast<std::uint64_t>(value[std::size_t(i)]) - base) >> shift] = i;
  // A run that no value falls in starts where the next one does.
  for (std::size_t r = first.size() - 1; r-- > 0;) first[r] = std::min(first[r], first[r + 1]);
}

// The pairs of values no farther apart than the spread.
template <class Fold>
PairTable BuildPairs(const std::vector<double>& v, Fold fold, double spread) {
  struct Entry {
    double value;
    std::uint32_t members;
  };
  const std::size_t n = v.size();
  std::vector<Entry> entries;
  entries.reserve(n * (n + 1) / 2);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i; j < n && !Spreads(v[i], v[j], spread); ++j)
      entries.push_back({fold(v[i], v[j]), static_cast<std::uint32_t>(i << 16 | j)});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
    return x.value < y.value || (x.value == y.value && x.members < y.members);
  });
  PairTable table;
  table.value.reserve(entries.size());
  table.members.reserve(entries.size());
  for (const Entry& e : entries) {
    table.value.push_back(e.value);
    table.members.push_back(e.members);
  }
  table.Index();
  return table;
}

}  // namespace

struct Tables::Data {
  std::vector<double> values;
  int parts = 1;
  double spread = kInfinity;
  PairTable series, parallel;
};

Tables::Tables(std::vector<double> values, int parts, double spread)
    : data_(std::make_unique<Data>()) {
  if (parts < 1 || parts > kMaxParts)
    throw std::invalid_argument("a network has from 1 to " + std::to_string(kMaxParts) +
                                " resistors, not " + std::to_string(parts));
  if (!(spread >= 1)) throw std::invalid_argument("a network's spread is a ratio of at least 1");
  for (const double value : values) {
    if (!(std::isfinite(value) && value > 0)) {
      char text[32];
      std::snprintf(text, sizeof text, "%.17g", value);
      throw std::invalid_argument(
          std::string("a resistor's value must be finite and above 0, not ") + text);
    }
  }
  values = SortedDistinct(std::move(values));
  if (values.size() > std::size_t{kMaxValues})
    throw std::invalid_argument(std::to_string(values.size()) + " values are more than the " +
                                std::to_string(kMaxValues) + " a search takes");
  data_->values = std::move(values);
  data_->parts = parts;
  data_->spread = spread;
  if (parts >= 2) {
    data_->series = BuildPairs(data_->values, arith::Sum, spread);
    data_->parallel = BuildPairs(data_->values, arith::Parallel, spread);
  }
}

Tables::~Tables() = default;

std::span<const double> Tables::values() const {
  return data_->values;
}

int Tables::parts() const {
  return data_->parts;
}

double Tables::spread() const {
  return data_->spread;
}

Tables::Pairs Tables::series() const {
  return {data_->series.value, data_->series.members};
}

Tables::Pairs Tables::parallel() const {
  return {data_->parallel.value, data_->parallel.members};
}

namespace {

// The term of a written form from p on, each leaf holding its letter.
Term Parse(const char*& p) {
  const auto operand = [&p]() {
    if (*p != '(') {
      Term leaf;
      leaf.value = *p++ - 'a';
      return leaf;
    }
    ++p;
    Term inner = Parse(p);
    ++p;  // ')'
    return inner;
  };
  Term first = operand();
  if (*p != '+' && *p != '|') return first;
  Term group;
  group.kind = *p == '+' ? Term::kSeries : Term::kParallel;
  group.members.push_back(std::move(first));
  while (*p == '+' || *p == '|') {
    ++p;
    group.members.push_back(operand());
  }
  return group;
}

// Puts each group's members in the order the letters are written in, then the letters' values.
void Arrange(Term& term, const int (&place)[kMaxParts]) {
  if (term.kind == Term::kValue) return;
  for (Term& member : term.members) Arrange(member, place);
  const auto first = [&place](const Term& t) {
    int earliest = kMaxParts;
    const auto visit = [&](auto& self, const Term& u) -> void {
      if (u.kind == Term::kValue) earliest = std::min(earliest, place[u.value]);
      for (const Term& m : u.members) self(self, m);
    };
    visit(visit, t);
    return earliest;
  };
  std::stable_sort(term.members.begin(), term.members.end(),
                   [&](const Term& x, const Term& y) { return first(x) < first(y); });
}

void Name(Term& term, const Network& network) {
  if (term.kind == Term::kValue) term.value = network.member[term.value];
  for (Term& member : term.members) Name(member, network);
}

}  // namespace

Term Written(const Network& network) {
  const int shape = static_cast<int>(network.shape);
  if (shape < 0 || shape >= kShapes)
    throw std::invalid_argument("no network has shape " + std::to_string(shape));
  int place[kMaxParts] = {0, 1, 2, 3};
  for (int k = 0; k < kMaxParts; ++k) {
    if (network.order[k] < kMaxParts) place[network.order[k]] = k;
  }
  const char* p = kForms[shape];
  Term term = Parse(p);
  Arrange(term, place);
  Name(term, network);
  return term;
}

namespace {

// A relative slack far wider than the rounding of any figure below (a few parts in 1e16), by which
// every window is widened: a network is dropped unexamined only where its value clears the window
// by this much; what lies inside is judged by its exact folded value.
constexpr double kSlack = 1e-12;

// The y for which x || y == f: 0 for f <= 0, infinite for f >= x.
inline double ParallelPartner(double x, double f) {
  if (!(f > 0)) return 0;
  if (!(f < x)) return kInfinity;
  return f * x / (x - f);
}

// The first index of a sorted array at or below top whose value exceeds x, given that every value
// from top on does: the scans' pointers only move down, a little at a time, so they gallop.
inline int GallopAbove(const double* value, int top, double x) {
  int high = top, probe = top - 1, step = 1;
  while (probe >= 0 && value[probe] > x) {
    high = probe;
    probe -= step;
    step *= 2;
  }
  const int low = std::max(probe + 1, 0);
  return static_cast<int>(std::upper_bound(value + low, value + high, x) - value);
}

// The first index of a sorted array whose value is at least x.
inline int AtLeast(const double* value, int size, double x) {
  return static_cast<int>(std::lower_bound(value, value + size, x) - value);
}

// Three members of one group folded in ascending order, p <= q.
template <class Fold>
inline double FoldThree(double p, double q, double r, Fold fold) {
  if (r < p) return fold(fold(r, p), q);
  if (r < q) return fold(fold(p, r), q);
  return fold(fold(p, q), r);
}

struct Kept {
  Network network;
  double size;  // |error|
};

// How many different values a network uses.
inline int Distinct(const Network& network) {
  int distinct = 0;
  for (int k = 0; k < network.parts; ++k) {
    bool seen = false;
    for (int j = 0; j < k; ++j) seen = seen || network.member[j] == network.member[k];
    distinct += !seen;
  }
  return distinct;
}

class Searcher {
 public:
  Searcher(const std::vector<double>& values, const PairTable& series, const PairTable& parallel,
           double spread, double target, double lower, double upper, int capacity)
      : v_(values.data()),
        n_(static_cast<int>(values.size())),
        s_(series),
        p_(parallel),
        spread_(spread),
        target_(target),
        lower_(lower),
        upper_(upper),
        kept_(capacity, Ranked()) {
    Narrow();
  }

  void Run(int parts, Connect connect) {
    for (int shape = 0; shape < kShapes; ++shape) {
      if (PartsOf(shape) > parts) continue;
      // Shapes run in order of their resistors, so once the worst kept network has no error, no
      // network of a later shape with more resistors can take its place, nor one with as many
      // when the worst uses a single value.
      if (kept_.Full() && kept_.Worst().size == 0 &&
          (PartsOf(shape) > kept_.Worst().network.parts || Distinct(kept_.Worst().network) == 1))
        break;
      const char* form = kForms[shape];
      const bool series = std::strchr(form, '+') != nullptr;
      const bool parallel = std::strchr(form, '|') != nullptr;
      if ((connect == Connect::kSeries && parallel) || (connect == Connect::kParallel && series))
        continue;
      RunShape(static_cast<Shape>(shape));
    }
  }

  int Write(std::span<Network> out) const {
    Kept sorted[kMaxNetworks];
    const int count = kept_.Sorted(sorted);
    for (int k = 0; k < count; ++k) out[std::size_t(k)] = sorted[k].network;
    return count;
  }

 private:
  int First(int k, const PairTable& t) const { return static_cast<int>(t.members[k] >> 16); }
  int Second(int k, const PairTable& t) const { return static_cast<int>(t.members[k] & 0xffff); }

  // The window of values that can still change the ranking: the band until it is full, then the
  // values no farther from the target than the worst kept one; widened by the slack.
  void Narrow() {
    double lo = lower_, hi = upper_;
    if (kept_.Full()) {
      const double reach = target_ * kept_.Worst().size;
      lo = std::max(lo, target_ - reach);
      hi = std::min(hi, target_ + reach);
    }
    const double slack = kSlack * target_ + 64 * std::numeric_limits<double>::denorm_min();
    lo_ = lo - slack - kSlack * std::fabs(lo);
    hi_ = hi + slack + kSlack * std::fabs(hi);
  }

  // Whether x ranks before y.
  static bool Before(const Kept& x, const Kept& y) noexcept {
    if (x.size != y.size) return x.size < y.size;
    const Network& a = x.network;
    const Network& b = y.network;
    if (a.parts != b.parts) return a.parts < b.parts;
    if (const int da = Distinct(a), db = Distinct(b); da != db) return da < db;
    if (a.shape != b.shape) return a.shape < b.shape;
    for (int k = 0; k < a.parts; ++k) {
      if (a.member[a.order[k]] != b.member[b.order[k]])
        return a.member[a.order[k]] < b.member[b.order[k]];
    }
    for (int k = 0; k < a.parts; ++k) {
      if (a.member[k] != b.member[k]) return a.member[k] < b.member[k];
    }
    return false;
  }

  // The letters in the order written: within a group ascending by value, a single resistor before
  // a group of equal value; the shapes whose groups could change places.
  void SetOrder(Network& net) const {
    const auto m = [&](int letter) { return v_[net.member[letter]]; };
    std::uint8_t* order = net.order;
    const auto set = [order](std::initializer_list<int> letters) {
      int k = 0;
      for (const int letter : letters) order[k++] = static_cast<std::uint8_t>(letter);
    };
    switch (net.shape) {
      case Shape::kSeriesWithParallel:
        if (arith::Parallel(m(1), m(2)) < m(0)) set({1, 2, 0});
        break;
      case Shape::kParallelWithSeries:
        if (arith::Sum(m(1), m(2)) < m(0)) set({1, 2, 0});
        break;
      case Shape::kSeriesWithParallel3:
        if (arith::Parallel(arith::Parallel(m(1), m(2)), m(3)) < m(0)) set({1, 2, 3, 0});
        break;
      case Shape::kParallelWithSeries3:
        if (arith::Sum(arith::Sum(m(1), m(2)), m(3)) < m(0)) set({1, 2, 3, 0});
        break;
      case Shape::kSeries2WithParallel:
      case Shape::kParallel2WithSeries: {
        const double x = net.shape == Shape::kSeries2WithParallel ? arith::Parallel(m(2), m(3))
                                                                  : arith::Sum(m(2), m(3));
        if (x < m(0)) {
          set({2, 3, 0, 1});
        } else if (x < m(1)) {
          set({0, 2, 3, 1});
        }
        break;
      }
      case Shape::kSeriesParallelSeries:
      case Shape::kParallelSeriesParallel: {
        const bool outerSeries = net.shape == Shape::kSeriesParallelSeries;
        const double inner = outerSeries ? arith::Sum(m(2), m(3)) : arith::Parallel(m(2), m(3));
        const double group = outerSeries ? arith::Parallel(m(1), inner) : arith::Sum(m(1), inner);
        const bool innerFirst = inner < m(1), groupFirst = group < m(0);
        if (groupFirst) {
          innerFirst ? set({2, 3, 1, 0}) : set({1, 2, 3, 0});
        } else if (innerFirst) {
          set({0, 2, 3, 1});
        }
        break;
      }
      default:
        break;
    }
  }

  // A network found with its exact folded value: kept if it lies in the band, spreads no wider
  // than allowed and ranks among the best so far.
  void Offer(Shape shape, int parts, double value, int a, int b = 0, int c = 0, int d = 0) {
    if (!(value >= lower_ && value <= upper_) || value == lost_[0] || value == lost_[1]) return;
    if (parts > 2) {  // the tables hold only the pairs within the spread
      const int members[] = {a, b, c, d};
      const auto [low, high] = std::minmax_element(members, members + parts);
      if (Spreads(v_[*low], v_[*high], spread_)) return;
    }
    const double error = arith::RelativeError(target_, value);
    Kept item{{value,
               error,
               shape,
               static_cast<std::uint8_t>(parts),
               {static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b),
                static_cast<std::uint16_t>(c), static_cast<std::uint16_t>(d)}},
              std::fabs(error)};
    if (kept_.Full()) {
      const Kept& worst = kept_.Worst();
      // A value that loses to the worst whatever its members loses for good: the worst only gets
      // better, and later networks have as many resistors or more.
      if (item.size > worst.size || (item.size == worst.size && worst.network.parts < parts)) {
        lost_[lostNext_ ^= 1] = value;
        return;
      }
    }
    SetOrder(item.network);
    if (kept_.Offer(item)) Narrow();
  }

  // Scans the entries of t from just below top down to the first below low, calling take(k).
  template <class Take>
  static void ScanDown(const PairTable& t, int top, double low, Take take) {
    const double* value = t.value.data();
    for (int k = top - 1; k >= 0 && value[k] >= low; --k) take(k);
  }

  void RunShape(Shape shape);

  const double* v_;
  int n_;
  const PairTable& s_;
  const PairTable& p_;
  double spread_;
  double target_, lower_, upper_;
  struct Ranked {
    bool operator()(const Kept& x, const Kept& y) const noexcept { return Before(x, y); }
  };
  Best<Kept, kMaxNetworks, Ranked> kept_;
  double lo_ = 0, hi_ = 0;  // the window, kept by Narrow
  // Where many networks share a value (whole-ohm values in series, say), the last two values that
  // lost, which lose again without their error worked out.
  double lost_[2] = {-1, -1};
  int lostNext_ = 0;
};

void Searcher::RunShape(Shape shape) {
  using arith::Parallel;
  using arith::Sum;
  const double* v = v_;
  const int n = n_;
  const double* sv = s_.value.data();
  const double* pv = p_.value.data();
  const int sn = s_.size(), pn = p_.size();
  const PairTable& S = s_;
  const PairTable& P = p_;
  switch (shape) {
    case Shape::kSingle:
      for (int i = static_cast<int>(std::upper_bound(v, v + n, hi_) - v) - 1; i >= 0 && v[i] >= lo_;
           --i)
        Offer(shape, 1, v[i], i);
      break;
    case Shape::kSeries2:
    case Shape::kParallel2: {
      const PairTable& t = shape == Shape::kSeries2 ? S : P;
      const int top = GallopAbove(t.value.data(), t.size(), hi_);
      ScanDown(t, top, lo_, [&](int k) { Offer(shape, 2, t.value[k], First(k, t), Second(k, t)); });
      break;
    }
    case Shape::kSeries3: {  // c the largest, a + b from the table: c within [f / 3, f)
      int top = sn;
      for (int c = AtLeast(v, n, lo_ / 3); c < n && v[c] < hi_; ++c) {
        top = GallopAbove(sv, top, hi_ - v[c]);
        ScanDown(S, top, lo_ - v[c], [&](int k) {
          if (Second(k, S) <= c) Offer(shape, 3, Sum(sv[k], v[c]), First(k, S), Second(k, S), c);
        });
      }
      break;
    }
    case Shape::kParallel3: {  // a the smallest, b || c from the table: a within [f, 3f]
      int top = pn;
      for (int a = AtLeast(v, n, lo_); a < n && v[a] <= 3 * hi_; ++a) {
        top = GallopAbove(pv, top, ParallelPartner(v[a], hi_));
        ScanDown(P, top, std::max(ParallelPartner(v[a], lo_), v[a] / 2), [&](int k) {
          const int b = First(k, P), c = Second(k, P);
          if (b >= a) Offer(shape, 3, Parallel(Parallel(v[a], v[b]), v[c]), a, b, c);
        });
      }
      break;
    }
    case Shape::kSeriesWithParallel: {
      int top = pn;
      for (int a = 0; a < n && v[a] < hi_; ++a) {
        top = GallopAbove(pv, top, hi_ - v[a]);
        ScanDown(P, top, lo_ - v[a],
                 [&](int k) { Offer(shape, 3, Sum(v[a], pv[k]), a, First(k, P), Second(k, P)); });
      }
      break;
    }
    case Shape::kParallelWithSeries: {
      int top = sn;
      for (int a = AtLeast(v, n, lo_); a < n; ++a) {
        top = GallopAbove(sv, top, ParallelPartner(v[a], hi_));
        ScanDown(S, top, ParallelPartner(v[a], lo_), [&](int k) {
          Offer(shape, 3, Parallel(v[a], sv[k]), a, First(k, S), Second(k, S));
        });
      }
      break;
    }
    case Shape::kSeries4: {  // (a + b) + (c + d), b <= c: the lower pair at most half
      int top = sn;
      for (int x = 0; x < sn && sv[x] <= hi_ / 2; ++x) {
        const int a = First(x, S), b = Second(x, S);
        top = GallopAbove(sv, top, hi_ - sv[x]);
        ScanDown(S, top, std::max(lo_ - sv[x], sv[x]), [&](int k) {
          const int c = First(k, S), d = Second(k, S);
          if (c >= b) Offer(shape, 4, Sum(Sum(sv[x], v[c]), v[d]), a, b, c, d);
        });
      }
      break;
    }
    case Shape::kParallel4: {  // (a || b) || (c || d), b <= c: the lower pair within [f, 2f]
      int top = pn;
      for (int x = AtLeast(pv, pn, lo_); x < pn && pv[x] <= 2 * hi_; ++x) {
        const int a = First(x, P), b = Second(x, P);
        top = GallopAbove(pv, top, ParallelPartner(pv[x], hi_));
        ScanDown(P, top, std::max(ParallelPartner(pv[x], lo_), pv[x]), [&](int k) {
          const int c = First(k, P), d = Second(k, P);
          if (c >= b) Offer(shape, 4, Parallel(Parallel(pv[x], v[c]), v[d]), a, b, c, d);
        });
      }
      break;
    }
    case Shape::kParallelOfSeriesPairs:
    case Shape::kSeriesOfParallelPairs: {
      // The first group the lower one (by value, then members): it is at least f and at most 2f
      // in parallel, at most f / 2 in series.
      const bool outerParallel = shape == Shape::kParallelOfSeriesPairs;
      const PairTable& t = outerParallel ? S : P;
      const double* tv = t.value.data();
      const int tn = t.size();
      int top = tn;
      for (int x = outerParallel ? AtLeast(tv, tn, lo_) : 0;
           x < tn && tv[x] <= (outerParallel ? 2 * hi_ : hi_ / 2); ++x) {
        const double X = tv[x];
        top = GallopAbove(tv, top, outerParallel ? ParallelPartner(X, hi_) : hi_ - X);
        ScanDown(t, top, std::max(outerParallel ? ParallelPartner(X, lo_) : lo_ - X, X),
                 [&](int k) {
                   if (tv[k] == X && t.members[k] < t.members[x]) return;
                   Offer(shape, 4, outerParallel ? Parallel(X, tv[k]) : Sum(X, tv[k]), First(x, t),
                         Second(x, t), First(k, t), Second(k, t));
                 });
      }
      break;
    }
    case Shape::kSeries2WithParallel: {  // a + b from one table, c || d from the other
      int top = pn;
      for (int x = 0; x < sn && sv[x] < hi_; ++x) {
        const int a = First(x, S), b = Second(x, S);
        top = GallopAbove(pv, top, hi_ - sv[x]);
        ScanDown(P, top, lo_ - sv[x], [&](int k) {
          Offer(shape, 4, FoldThree(v[a], v[b], pv[k], Sum), a, b, First(k, P), Second(k, P));
        });
      }
      break;
    }
    case Shape::kParallel2WithSeries: {
      int top = sn;
      for (int x = AtLeast(pv, pn, lo_); x < pn; ++x) {
        const int a = First(x, P), b = Second(x, P);
        top = GallopAbove(sv, top, ParallelPartner(pv[x], hi_));
        ScanDown(S, top, ParallelPartner(pv[x], lo_), [&](int k) {
          Offer(shape, 4, FoldThree(v[a], v[b], sv[k], Parallel), a, b, First(k, S), Second(k, S));
        });
      }
      break;
    }
    case Shape::kSeriesWithParallel3: {
      // a + q, q = b || (c || d) with b the smallest of three: q within [b / 3, b].
      for (int a = 0; a < n && v[a] < hi_; ++a) {
        for (int b = AtLeast(v, n, lo_ - v[a]); b < n && v[b] <= 3 * (hi_ - v[a]); ++b) {
          const int top = P.IndexedAbove(ParallelPartner(v[b], hi_ - v[a]));
          ScanDown(P, top, std::max(ParallelPartner(v[b], lo_ - v[a]), v[b] / 2), [&](int k) {
            const int c = First(k, P), d = Second(k, P);
            if (c >= b)
              Offer(shape, 4, Sum(v[a], Parallel(Parallel(v[b], v[c]), v[d])), a, b, c, d);
          });
        }
      }
      break;
    }
    case Shape::kParallelWithSeries3: {
      // a || q, q = (b + c) + d with d the largest of three: q within [d, 3d].
      for (int a = AtLeast(v, n, lo_); a < n; ++a) {
        const double qlo = ParallelPartner(v[a], lo_);
        for (int d = AtLeast(v, n, qlo / 3); d < n; ++d) {
          const double qhi = ParallelPartner(v[a], hi_);
          if (!(v[d] <= qhi)) break;
          const int top = S.IndexedAbove(qhi - v[d]);
          ScanDown(S, top, ParallelPartner(v[a], lo_) - v[d], [&](int k) {
            const int b = First(k, S), c = Second(k, S);
            if (c <= d) Offer(shape, 4, Parallel(v[a], Sum(sv[k], v[d])), a, b, c, d);
          });
        }
      }
      break;
    }
    case Shape::kSeriesParallelSeries: {  // a + (b || y), y = c + d: b above q
      for (int a = 0; a < n && v[a] < hi_; ++a) {
        for (int b = static_cast<int>(std::upper_bound(v, v + n, lo_ - v[a]) - v); b < n; ++b) {
          const int top = S.IndexedAbove(ParallelPartner(v[b], hi_ - v[a]));
          ScanDown(S, top, ParallelPartner(v[b], lo_ - v[a]), [&](int k) {
            Offer(shape, 4, Sum(v[a], Parallel(v[b], sv[k])), a, b, First(k, S), Second(k, S));
          });
        }
      }
      break;
    }
    case Shape::kParallelSeriesParallel: {  // a || (b + y), y = c || d: b below q
      for (int a = AtLeast(v, n, lo_); a < n; ++a) {
        for (int b = 0; b < n && v[b] < ParallelPartner(v[a], hi_); ++b) {
          const int top = P.IndexedAbove(ParallelPartner(v[a], hi_) - v[b]);
          ScanDown(P, top, ParallelPartner(v[a], lo_) - v[b], [&](int k) {
            Offer(shape, 4, Parallel(v[a], Sum(v[b], pv[k])), a, b, First(k, P), Second(k, P));
          });
        }
      }
      break;
    }
  }
}

}  // namespace

int Search(const Tables& tables, double target, double tolerance, Connect connect,
           std::span<Network> out) noexcept {
  target = arith::Quiet(target);
  tolerance = arith::Quiet(tolerance);
  const int capacity = static_cast<int>(std::min<std::size_t>(out.size(), kMaxNetworks));
  if (capacity == 0 || !(std::isfinite(target) && target > 0) || !(tolerance >= 0)) return 0;
  const double lower = arith::Scaled(-tolerance, target);
  const double upper = arith::Scaled(tolerance, target);
  const Tables::Data& data = *tables.data_;
  Searcher searcher(data.values, data.series, data.parallel, data.spread, target, lower, upper,
                    capacity);
  searcher.Run(tables.parts(), connect);
  return searcher.Write(out);
}

}  // namespace engine::networks
