// Records by number in one flat open-addressing table: no node per entry,
// so a lookup repeated for every element end costs about one cache line.
// Numbers that are compact (most of a range, as a model's numbering usually
// is) go into a plain array indexed by number instead, so that a lookup is
// one load however large the model. The first value added for a number
// stays (first in file order wins).
#pragma once
#include <cstddef>
#include <cstdint>
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

  // Room for `count` numbers without growing.
  void Reserve(size_t count) {
    size_t cap = 16;
    while (cap < 2 * count) cap *= 2;
    if (cap > m_slots.size()) Rehash(cap);
  }

  // Adds the number with its value unless the number is there already.
  void Add(int number, V value) {
    if (value == m_none) return;
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
    if (m_slots.empty()) return m_none;
    for (size_t k = Slot(number);; k = (k + 1) & (m_slots.size() - 1)) {
      const auto& s = m_slots[k];
      if (s.second == m_none) return m_none;
      if (s.first == number) return s.second;
    }
  }

  size_t Size() const { return m_used + m_denseUsed; }

 private:
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
  std::vector<std::pair<int, V>> m_slots;  // (number, value); value `none`: free
  unsigned m_shift = 32;
  size_t m_used = 0;
  V m_none;
};
