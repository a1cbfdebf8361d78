// Records by number in one flat open-addressing table: no node per entry,
// so a lookup repeated for every element end costs about one cache line.
// Numbers that are compact (most of a range, as a model's numbering usually
// is) go into a plain array indexed by number instead, so that a lookup is
// one load however large the model. Numbers that come in long stretches of
// consecutive numbers with consecutive values (slots, or records placed one
// after another), as storey x 10^6 + point numbering does, are kept as those
// stretches: a few bytes per stretch instead of a table slot per number.
// The first value added for a number stays (first in file order wins).
#pragma once
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

template <class V>
class CNumberIndex {
 public:
  // `none` is what Find gives for a number that is not there; a value equal
  // to it is never stored.
  explicit CNumberIndex(V none = V{}) : m_none(none) {}

  // Room for `count` numbers whose range is lo..hi: an array by number
  // when the range is at most a few times the count, else the table.
  void Reserve(size_t count, int lo, int hi) {
    const long long span = static_cast<long long>(hi) - lo + 1;
    if (count > 0 && span > 0 && span <= 4 * static_cast<long long>(count) + 64) {
      m_denseLo = lo;
      m_dense.assign(static_cast<size_t>(span), m_none);
      return;
    }
    Reserve(count);
  }

  // Adds every number with its value that `each(f)` passes to `f(number,
  // value)`, in the order given (at most `most` of them), choosing the
  // form: stretches when there are few of them, else the array by number or
  // the table. `each` is called once or twice.
  template <class ForEach>
  void Build(size_t most, ForEach each) {
    size_t count = 0;
    int lo = 0, hi = -1;
    bool stretches = true;
    std::vector<Stretch> found;
    each([&](int number, V value) {
      if (value == m_none) return;
      lo = count == 0 ? number : std::min(lo, number);
      hi = count == 0 ? number : std::max(hi, number);
      ++count;
      if (!stretches) return;
      if (!found.empty()) {
        Stretch& b = found.back();
        if (static_cast<long long>(number) == static_cast<long long>(b.first) + b.length && Nth(b.value, b.length) == value) {
          ++b.length;
          return;
        }
      }
      // Not worth it past one stretch per eight numbers.
      if (8 * found.size() > most + 64) {
        stretches = false;
        std::vector<Stretch>().swap(found);
        return;
      }
      found.push_back({number, 1, value});
    });
    if (stretches && count > 0 && 8 * found.size() <= count + 64 && SetStretches(std::move(found))) return;
    Reserve(count, lo, hi);
    each([&](int number, V value) { Add(number, value); });
  }

  // Room for `count` numbers without growing.
  void Reserve(size_t count) {
    size_t cap = 16;
    while (cap < 2 * count) cap *= 2;
    if (cap > m_slots.size()) Rehash(cap);
  }

  // Adds the number with its value unless the number is there already.
  void Add(int number, V value) {
    if (value == m_none) return;
    if (InStretch(number) != m_stretches.end()) return;
    if (V* d = Dense(number)) {
      if (*d == m_none) {
        *d = value;
        ++m_denseUsed;
      }
      return;
    }
    if (2 * (m_used + 1) > m_slots.size()) Rehash(m_slots.empty() ? 16 : 2 * m_slots.size());
    for (size_t k = Slot(number);; k = (k + 1) & (m_slots.size() - 1)) {
      auto& s = m_slots[k];
      if (s.second == m_none) {
        s = {number, value};
        ++m_used;
        return;
      }
      if (s.first == number) return;
    }
  }

  V Find(int number) const {
    if (const V* d = Dense(number)) return *d;
    if (!m_stretches.empty()) {
      const auto it = InStretch(number);
      if (it != m_stretches.end()) return Nth(it->value, static_cast<int>(static_cast<long long>(number) - it->first));
    }
    if (m_slots.empty()) return m_none;
    for (size_t k = Slot(number);; k = (k + 1) & (m_slots.size() - 1)) {
      const auto& s = m_slots[k];
      if (s.second == m_none) return m_none;
      if (s.first == number) return s.second;
    }
  }

  size_t Size() const { return m_used + m_denseUsed + m_stretchUsed; }

 private:
  // Numbers first .. first + length - 1 with values value, value + 1, ...
  struct Stretch {
    int first;
    int length;
    V value;
  };

  // The value `k` after `v`: the next slot, or the record placed next.
  static V Nth(V v, int k) {
    if constexpr (std::is_pointer_v<V>)
      return reinterpret_cast<V>(reinterpret_cast<uintptr_t>(v) + static_cast<uintptr_t>(k) * sizeof(*v));
    else
      return static_cast<V>(static_cast<long long>(v) + k);
  }

  // Takes the stretches unless two share a number (the first value of that
  // number would then depend on the order kept). A directory by
  // (number - lo) >> shift, about two buckets per stretch, gives the
  // stretches that reach each bucket.
  bool SetStretches(std::vector<Stretch> found) {
    std::stable_sort(found.begin(), found.end(), [](const Stretch& a, const Stretch& b) { return a.first < b.first; });
    for (size_t i = 1; i < found.size(); ++i)
      if (static_cast<long long>(found[i - 1].first) + found[i - 1].length > found[i].first) return false;
    const long long lo = found.front().first;
    const unsigned long long span = static_cast<unsigned long long>(Last(found.back()) - lo + 1);
    unsigned shift = 0;
    while ((span >> shift) > 2 * found.size() + 16) ++shift;
    m_stretchDir.assign(static_cast<size_t>((span >> shift) + 2), 0);
    size_t r = 0;
    for (size_t b = 0; b < m_stretchDir.size(); ++b) {
      const long long start = lo + static_cast<long long>(static_cast<unsigned long long>(b) << shift);
      while (r < found.size() && Last(found[r]) < start) ++r;
      m_stretchDir[b] = static_cast<uint32_t>(r);
    }
    for (const Stretch& f : found) m_stretchUsed += static_cast<size_t>(f.length);
    m_stretchLo = lo;
    m_stretchSpan = span;
    m_stretchShift = shift;
    m_stretches = std::move(found);
    return true;
  }

  static long long Last(const Stretch& s) { return static_cast<long long>(s.first) + s.length - 1; }

  // The stretch holding the number, or end().
  typename std::vector<Stretch>::const_iterator InStretch(int number) const {
    const unsigned long long k = static_cast<unsigned long long>(number - m_stretchLo);
    if (k >= m_stretchSpan) return m_stretches.end();
    const size_t b = static_cast<size_t>(k >> m_stretchShift);
    // Those reaching the bucket: from the first that ends in it or later to
    // the first that ends past it, which may begin in it.
    const auto begin = m_stretches.begin() + m_stretchDir[b];
    const auto end = m_stretches.begin() + std::min<size_t>(m_stretchDir[b + 1] + 1, m_stretches.size());
    auto it = std::upper_bound(begin, end, number, [](int n, const Stretch& s) { return n < s.first; });
    if (it == begin) return m_stretches.end();
    --it;
    return Last(*it) >= number ? it : m_stretches.end();
  }

  V* Dense(int number) {
    const unsigned long long k = static_cast<unsigned long long>(static_cast<long long>(number) - m_denseLo);
    return k < m_dense.size() ? &m_dense[static_cast<size_t>(k)] : nullptr;
  }
  const V* Dense(int number) const { return const_cast<CNumberIndex*>(this)->Dense(number); }

  // Runs of eight numbers share one cache line of slots, placed by
  // Fibonacci hashing (the top bits of number / 8 x 2^32 / golden ratio):
  // elements that follow each other mostly name nearby nodes, so that
  // their lookups hit lines already loaded.
  size_t Slot(int number) const {
    const uint32_t run = static_cast<uint32_t>(number >> 3);
    return (static_cast<size_t>((run * 2654435769u) >> (m_shift + 3)) << 3) | static_cast<size_t>(number & 7);
  }

  // `cap`: a power of two of at least 16.
  void Rehash(size_t cap) {
    std::vector<std::pair<int, V>> old(cap, {0, m_none});
    old.swap(m_slots);
    m_shift = 32;
    for (size_t c = cap; c > 1; c /= 2) --m_shift;
    m_used = 0;
    // Numbers are unique in the table, so their order does not matter here.
    for (const auto& s : old)
      if (s.second != m_none) Add(s.first, s.second);
  }

  std::vector<V> m_dense;  // value by number - m_denseLo; `none`: free
  long long m_denseLo = 0;
  size_t m_denseUsed = 0;
  std::vector<Stretch> m_stretches;    // sorted by number, disjoint
  std::vector<uint32_t> m_stretchDir;  // first stretch ending at or after each bucket
  long long m_stretchLo = 0;
  unsigned long long m_stretchSpan = 0;  // numbers m_stretchLo .. + span - 1
  unsigned m_stretchShift = 0;
  size_t m_stretchUsed = 0;
  std::vector<std::pair<int, V>> m_slots;  // (number, value); value `none`: free
  unsigned m_shift = 32;
  size_t m_used = 0;
  V m_none;
};
