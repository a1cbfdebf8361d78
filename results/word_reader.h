// Sequential access to the payload words of a result file: positions come
// from the record length alone, and reads go through a large buffer so that
// a step is read at the speed of the disk, not one seek per word.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/binary_file.h"

class ResultWordReader {
 public:
  // `recWords`: payload words per record (d).
  ResultWordReader(plat::BinaryFile& file, int64_t recWords)
      : m_file(file), m_nRecWords(recWords), m_nRecSpan(recWords > 0 ? static_cast<uint64_t>(recWords) : 0) {}

  // The words [first, first + words) are the ones to be read: the file is
  // then read no further than the last of them (a small step of a long file
  // is not read a megabyte at a time). Words outside are still read.
  void Plan(int64_t first, int64_t words);

  // Byte offset of word `w`, or -1 when it cannot be located.
  int64_t ByteOffset(int64_t w) const;
  // False when the word does not lie wholly inside the file.
  bool ReadRaw(int64_t w, uint32_t& raw) {
    // Words of the record last located and already in the buffer: no
    // division, no file call. Everything else takes the full path.
    const uint64_t inRecord = static_cast<uint64_t>(w) - static_cast<uint64_t>(m_recFirst);
    if (inRecord < m_nRecSpan) {
      const int64_t at = m_recOffset + 4 * static_cast<int64_t>(inRecord) - m_bufStart;
      if (at >= 0 && at + 4 <= m_bufLen) {
        raw = Decode(m_buf.get() + at);
        return true;
      }
    }
    return ReadRawSlow(w, raw);
  }
  // Words w .. w + n - 1 into out, as ReadRaw reads them one by one: the
  // words of one record that are in the buffer are taken together. Returns
  // how many were read before the first that cannot be.
  int64_t ReadWords(int64_t w, int64_t n, uint32_t* out);
  bool ReadFloat(int64_t w, float& v) {
    uint32_t raw;
    if (!ReadRaw(w, raw)) return false;
    std::memcpy(&v, &raw, 4);
    return true;
  }
  bool ReadInt(int64_t w, int32_t& v) {
    uint32_t raw;
    if (!ReadRaw(w, raw)) return false;
    v = static_cast<int32_t>(raw);
    return true;
  }
  // True when word `w` starts beyond the end of the file (or cannot be
  // located at all); a word that starts inside the file but is cut is not.
  bool PastEnd(int64_t w) const;

  int64_t FileSize() const { return m_file.Size(); }

 private:
  static constexpr int64_t kChunk = 1 << 20;
  static uint32_t Decode(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
  }
  bool ReadRawSlow(int64_t w, uint32_t& raw);

  plat::BinaryFile& m_file;
  int64_t m_nRecWords;
  uint64_t m_nRecSpan;  // words a record, 0 when unknown
  std::unique_ptr<unsigned char[]> m_buf;
  int64_t m_bufCap = 0;
  int64_t m_bufStart = 0;
  int64_t m_bufLen = 0;
  int64_t m_planEnd = 0;  // byte after the last planned word; 0: no plan
  // The record of the word last located: its first word and that word's
  // byte offset (no record yet: a first word no call can match).
  int64_t m_recFirst = INT64_MIN;
  int64_t m_recOffset = 0;
};
