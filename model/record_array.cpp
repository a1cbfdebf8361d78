#include "model/record_array.h"

#include <algorithm>

CFemObj* CIpRecordArray::FindByNo(int no) const {
  for (int p = 0; p * kPageSize < m_nCount; ++p) {
    const auto& page = m_pages[static_cast<size_t>(p)];
    if (!page) continue;
    const int end = std::min(kPageSize, m_nCount - p * kPageSize);
    for (int k = 0; k < end; ++k) {
      CFemObj* r = page[static_cast<size_t>(k)];
      if (r && r->m_nNo == no) return r;
    }
  }
  return nullptr;
}

int CIpRecordArray::SetAt(int i, CFemObj* rec) {
  if (i < 0) return -1;
  const int p = i / kPageSize;
  if (p >= kPageCount) return 0;
  auto& page = m_pages[static_cast<size_t>(p)];
  if (!page) page.reset(new CFemObj*[kPageSize]());
  if (i >= m_nCount) m_nCount = i + 1;
  if (rec) rec->m_nIndex = i;
  page[static_cast<size_t>(i % kPageSize)] = rec;
  return 1;
}

int CIpRecordArray::RemoveAt(int start, int n) {
  // A negative range, or one whose end overflows, removes nothing instead of
  // shifting records the wrong way.
  if (n <= 0 || start < 0 || start >= m_nCount) return m_nCount;
  if (static_cast<long long>(start) + n > m_nCount) n = m_nCount - start;
  for (int j = start + n; j < m_nCount; ++j) SetAt(j - n, GetAt(j));
  for (int j = m_nCount - n; j < m_nCount; ++j) SetAt(j, nullptr);
  m_nCount -= n;
  return m_nCount;
}

void CIpRecordArray::RemoveAll() {
  for (int p = 0; p < kPageCount; ++p) m_pages[static_cast<size_t>(p)].reset();
  m_nCount = 0;
}
