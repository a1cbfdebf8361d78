// Paged pointer array of the result set's lists and of a result table's
// records: 1024 pages of 1024 item pointers, pages made on first use. It never
// writes into an item, never replaces one, and never deletes one: the owner
// of the items decides what they are and frees them.
#pragma once
#include <memory>
#include <string>

template <class T>
class CPageArray {
 public:
  static constexpr int kPageSize = 1024;
  static constexpr int kPageCount = 1024;
  static constexpr int kMaxItems = kPageSize * kPageCount;

  CPageArray() = default;
  ~CPageArray() = default;
  CPageArray(const CPageArray&) = delete;
  CPageArray& operator=(const CPageArray&) = delete;

  // The item at `index`, or null past the count, past the last page or in a
  // page that was never made.
  T* GetAt(int index) const {
    if (index < 0 || index >= m_nCount) return nullptr;
    const auto& page = m_pages[static_cast<size_t>(index / kPageSize)];
    return page ? page[static_cast<size_t>(index % kPageSize)] : nullptr;
  }

  // -1 for a negative index or one past the last page; otherwise the count
  // rises to cover `index`, and 0 is returned when the slot already holds an
  // item (which stays), else the item is stored and 1 returned.
  int SetAt(int index, T* item) {
    if (index < 0 || index / kPageSize >= kPageCount) return -1;
    auto& page = m_pages[static_cast<size_t>(index / kPageSize)];
    if (!page) page.reset(new T*[kPageSize]());
    if (index >= m_nCount) m_nCount = index + 1;
    T*& slot = page[static_cast<size_t>(index % kPageSize)];
    if (slot) return 0;
    slot = item;
    return 1;
  }

  // Count 0 and every page freed; the items are not deleted.
  void RemoveAll() {
    for (int p = 0; p < kPageCount; ++p) m_pages[static_cast<size_t>(p)].reset();
    m_nCount = 0;
  }

  int GetCount() const { return m_nCount; }

  // The number the owner gives its next item.
  int m_nNextId = 1;
  std::string m_strName;

 private:
  std::unique_ptr<std::unique_ptr<T*[]>[]> m_pages{new std::unique_ptr<T*[]>[kPageCount]};
  int m_nCount = 0;
};
