// Paged array of record pointers: 1024 pages of 1024 slots, allocated on
// first store, so records keep their slots while a file is read.
#pragma once
#include <memory>
#include <string>

#include "model/fem_input.h"

class CIpRecordArray {
 public:
  static constexpr int kPageSize = 1024;
  static constexpr int kPageCount = 1024;
  static constexpr int kMaxRecords = kPageSize * kPageCount;

  CIpRecordArray() = default;
  ~CIpRecordArray() { RemoveAll(); }
  CIpRecordArray(const CIpRecordArray&) = delete;
  CIpRecordArray& operator=(const CIpRecordArray&) = delete;

  // Inline: linking and counting a large model call it per record.
  CFemObj* GetAt(int i) const {
    if (i < 0 || i >= m_nCount) return nullptr;
    const auto& page = m_pages[static_cast<size_t>(i / kPageSize)];
    return page ? page[static_cast<size_t>(i % kPageSize)] : nullptr;
  }
  // First record in index order whose number is `no`; null when none.
  CFemObj* FindByNo(int no) const;
  // -1 for a negative slot, 0 past the last page (nothing stored), else 1.
  int SetAt(int i, CFemObj* rec);
  // Removes n slots from `start` and closes the gap; returns the new count.
  int RemoveAt(int start, int n);
  void RemoveAll();
  int GetCount() const { return m_nCount; }
  // Appends at the count; false when the array is full.
  bool Add(CFemObj* rec) { return SetAt(m_nCount, rec) == 1; }

  std::string m_strName;

 private:
  std::unique_ptr<std::unique_ptr<CFemObj*[]>[]> m_pages{new std::unique_ptr<CFemObj*[]>[kPageCount]};
  int m_nCount = 0;
};
