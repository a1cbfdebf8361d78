// Sequential access to the payload words of a result file: positions come
// from the record length alone, and reads go through a large buffer so that
// a step is read at the speed of the disk, not one seek per word.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/binary_file.h"

class ResultWordReader {
 public:
  // `recWords`: payload words per record (d).
  ResultWordReader(plat::BinaryFile& file, int64_t recWords) : m_file(file), m_nRecWords(recWords) {}

  // Byte offset of word `w`, or -1 when it cannot be located.
  int64_t ByteOffset(int64_t w) const;
  // False when the word does not lie wholly inside the file.
  bool ReadRaw(int64_t w, uint32_t& raw);
  bool ReadFloat(int64_t w, float& v);
  bool ReadInt(int64_t w, int32_t& v);
  // True when word `w` starts beyond the end of the file (or cannot be
  // located at all); a word that starts inside the file but is cut is not.
  bool PastEnd(int64_t w) const;

  int64_t FileSize() const { return m_file.Size(); }

 private:
  static constexpr int64_t kChunk = 1 << 20;
  plat::BinaryFile& m_file;
  int64_t m_nRecWords;
  std::vector<unsigned char> m_buf;
  int64_t m_bufStart = 0;
};
