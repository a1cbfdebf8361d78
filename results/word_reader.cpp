#include "results/word_reader.h"

#include <algorithm>
#include <cstdint>

#include "dataset/fb_resultset.h"

int64_t ResultWordReader::ByteOffset(int64_t w) const { return FbWordOffset(w, m_nRecWords); }

bool ResultWordReader::PastEnd(int64_t w) const {
  const int64_t off = ByteOffset(w);
  return off < 0 || off > m_file.Size();
}

void ResultWordReader::Plan(int64_t first, int64_t words) {
  m_planEnd = 0;
  if (words < 1 || first < 0 || first > INT64_MAX - words) return;
  const int64_t last = ByteOffset(first + words - 1);
  if (last >= 0 && last <= INT64_MAX - 4) m_planEnd = last + 4;
}

bool ResultWordReader::ReadRawSlow(int64_t w, uint32_t& raw) {
  const int64_t off = ByteOffset(w);
  const int64_t size = m_file.Size();
  if (off < 0 || off > size - 4) return false;
  // Later words of this record are found from here without dividing.
  m_recFirst = w - w % m_nRecWords;
  m_recOffset = off - 4 * (w - m_recFirst);
  if (off < m_bufStart || off + 4 > m_bufStart + m_bufLen) {
    int64_t n = std::min(kChunk, size - off);
    if (m_planEnd >= off + 4) n = std::min(n, m_planEnd - off);
    if (n > m_bufCap) {
      // Not value-initialised: only the bytes read are ever looked at.
      m_buf.reset(new unsigned char[static_cast<size_t>(n)]);
      m_bufCap = n;
    }
    if (!m_file.ReadAt(off, m_buf.get(), static_cast<size_t>(n))) {
      m_bufLen = 0;
      return false;
    }
    m_bufStart = off;
    m_bufLen = n;
  }
  raw = Decode(m_buf.get() + (off - m_bufStart));
  return true;
}

int64_t ResultWordReader::ReadWords(int64_t w, int64_t n, uint32_t* out) {
  int64_t done = 0;
  while (done < n) {
    // Locate (and buffer) the next word the slow way, then take the rest
    // of its record that the buffer holds.
    if (!ReadRaw(w + done, out[done])) break;
    ++done;
    const int64_t inRecord = w + done - m_recFirst;
    const int64_t at = m_recOffset + 4 * inRecord - m_bufStart;
    if (m_nRecWords < 1 || inRecord < 0 || at < 0) continue;
    const int64_t take =
        std::min({n - done, m_nRecWords - inRecord, (m_bufLen - at) / 4});
    for (int64_t i = 0; i < take; ++i) out[done + i] = Decode(m_buf.get() + at + 4 * i);
    done += std::max<int64_t>(take, 0);
  }
  return done;
}
