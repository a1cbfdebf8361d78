#include "dataset/ip_block.h"

#include "platform/bytestr.h"

bool CIpBlock::IsKeyword(const std::string& line) const {
  // Only the first five characters of a longer keyword count, so "/pres"
  // opens "/prestress" and "/prop" opens "/property". The test looks at the
  // start of the line only, however long the line is.
  const std::string_view key = std::string_view(m_strKeyword).substr(0, 5);
  return plat::StartsWith(plat::TrimLeftView(line), key);
}

int CIpBlock::Write(CArchiveOut& ar) {
  if (!m_strKeyword.empty()) {
    ar.WriteString(m_strKeyword);
    ar.WriteString("\r\n");
  }
  int written = 0;
  std::string text;
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    CFemInput* rec = GetInput(i);
    if (!rec) continue;
    text.clear();
    if (rec->Write(text)) {
      ar.WriteString(text);
      ++written;
    }
  }
  return written;
}

CFemObj* CIpBlock::FindByNo(int no) const {
  const int count = GetCount();
  if (count <= kScanLimit) return m_aRecords.FindByNo(no);
  auto lookup = [&]() -> CFemObj* {
    const auto it = m_noIndex->find(no);
    return it == m_noIndex->end() ? nullptr : it->second;
  };
  // Records stored straight into the array change the count, and a record
  // renumbered in place no longer carries the number it was indexed under.
  if (m_noIndex && m_nIndexedCount == count) {
    CFemObj* rec = lookup();
    if (!rec || rec->m_nNo == no) return rec;
  }
  // The first record in index order keeps its number.
  auto index = std::make_unique<std::unordered_map<int, CFemObj*>>();
  index->reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    if (CFemObj* rec = m_aRecords.GetAt(i)) index->emplace(rec->m_nNo, rec);
  m_noIndex = std::move(index);
  m_nIndexedCount = count;
  return lookup();
}
