#include "results/word_reader.h"

#include <algorithm>
#include <cstring>

#include "dataset/fb_resultset.h"

int64_t ResultWordReader::ByteOffset(int64_t w) const { return FbWordOffset(w, m_nRecWords); }

bool ResultWordReader::PastEnd(int64_t w) const {
  const int64_t off = ByteOffset(w);
  return off < 0 || off > m_file.Size();
}

bool ResultWordReader::ReadRaw(int64_t w, uint32_t& raw) {
  const int64_t off = ByteOffset(w);
  const int64_t size = m_file.Size();
  if (off < 0 || off > size - 4) return false;
  if (off < m_bufStart || off + 4 > m_bufStart + static_cast<int64_t>(m_buf.size())) {
    const int64_t n = std::min(kChunk, size - off);
    m_buf.resize(static_cast<size_t>(n));
    if (!m_file.ReadAt(off, m_buf.data(), m_buf.size())) {
      m_buf.clear();
      return false;
    }
    m_bufStart = off;
  }
  const unsigned char* p = m_buf.data() + (off - m_bufStart);
  raw = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
        (static_cast<uint32_t>(p[3]) << 24);
  return true;
}

bool ResultWordReader::ReadFloat(int64_t w, float& v) {
  uint32_t raw;
  if (!ReadRaw(w, raw)) return false;
  std::memcpy(&v, &raw, 4);
  return true;
}

bool ResultWordReader::ReadInt(int64_t w, int32_t& v) {
  uint32_t raw;
  if (!ReadRaw(w, raw)) return false;
  v = static_cast<int32_t>(raw);
  return true;
}
