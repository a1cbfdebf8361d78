// Keyword blocks: the records that follow one keyword line of the keyword
// data file, owned in a paged record array.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "model/fem_input.h"
#include "model/record_array.h"
#include "model/record_pool.h"
#include "platform/text_lines.h"

// Where written text goes: a string in memory or a file being written.
class CArchiveOut {
 public:
  explicit CArchiveOut(std::string& text) : m_pText(&text) {}
  explicit CArchiveOut(plat::LineWriter& file) : m_pFile(&file) {}
  void WriteString(std::string_view text) {
    if (m_pFile)
      m_pFile->WriteString(text);
    else
      m_pText->append(text);
  }

 private:
  std::string* m_pText = nullptr;
  plat::LineWriter* m_pFile = nullptr;
};

class CIpBlock : public CFemObj {
 public:
  CIpBlock() = default;
  virtual ~CIpBlock() = default;
  CIpBlock(const CIpBlock&) = delete;
  CIpBlock& operator=(const CIpBlock&) = delete;

  void SetCaption(std::string caption) { m_strCaption = std::move(caption); }
  // True when the trimmed line begins with the keyword (its first five
  // characters when it is longer).
  bool IsKeyword(const std::string& line) const;
  // Writes the keyword line (when there is a keyword) and every record's
  // text; returns the number of records written.
  int Write(CArchiveOut& ar);

  virtual int RemoveRecords(int start, int n, bool bDelete) = 0;
  virtual void DeleteAll() = 0;
  virtual bool SetCell(int row, int col, std::string text) = 0;
  // The record in slot i as a record, or null.
  virtual CFemInput* GetInput(int i) const = 0;

  int GetCount() const { return m_aRecords.GetCount(); }
  // First record in index order whose number is `no`; null when none. A
  // small block is scanned, so that records edited in place are always seen;
  // a larger one is indexed, and the index follows every change made through
  // the block and every change of the record count.
  CFemObj* FindByNo(int no) const;

  // Blocks of at most this many records are scanned instead of indexed.
  static constexpr int kScanLimit = 64;

  // Records refused since the last DeleteAll because the block was full.
  int GetRefused() const { return m_nRefused; }

  std::string m_strCaption;
  std::string m_strKeyword = "?";
  CIpRecordArray m_aRecords;

 protected:
  // Every change of the records goes through here so that lookups built over
  // them are dropped.
  virtual void Changed() { m_noIndex.reset(); }

  int m_nRefused = 0;

 private:
  mutable std::unique_ptr<std::unordered_map<int, CFemObj*>> m_noIndex;
  mutable int m_nIndexedCount = 0;
};

// A block over one record class: the class's records are created, read,
// edited and destroyed here.
template <class TRec>
class CIpBlockT : public CIpBlock {
 public:
  ~CIpBlockT() override { ReleaseAll(); }

  TRec* GetRecord(int i) const { return static_cast<TRec*>(m_aRecords.GetAt(i)); }
  CFemInput* GetInput(int i) const override { return GetRecord(i); }
  TRec* FindRecord(int no) const { return static_cast<TRec*>(FindByNo(no)); }

  // Stores a record at the count. When the block is full the record is
  // destroyed and counted as refused; null is returned then.
  TRec* Append(std::unique_ptr<TRec> rec) { return Store(rec.release()); }

  // Reads the records of one section; true when it stopped at a keyword
  // line, which is then in `line`.
  bool ReadBlock(CArchiveIn& ar, std::string& line) {
    for (;;) {
      Fresh rec = NewRecord();
      if (!rec->Read(ar, line)) break;
      Append(std::move(rec));
    }
    TrimPool();
    return !line.empty() && line[0] == '/';
  }

  int RemoveRecords(int start, int n, bool bDelete) override {
    const int count = m_aRecords.GetCount();
    // A negative or empty range, or one past the records, removes nothing.
    if (start < 0 || n <= 0 || start >= count) return count;
    if (static_cast<long long>(start) + n > count) n = count - start;
    for (int i = start; i < start + n; ++i) {
      if (bDelete) Destroy(GetRecord(i));
      m_aRecords.SetAt(i, nullptr);
    }
    Changed();
    return m_aRecords.RemoveAt(start, n);
  }

  void DeleteAll() override { ReleaseAll(); }

  bool SetCell(int row, int col, std::string text) override {
    if (row < 0 || row >= CIpRecordArray::kMaxRecords) return false;
    TRec* rec = GetRecord(row);
    if (!rec) {
      Fresh created = NewRecord();
      if (m_aRecords.SetAt(row, created.get()) != 1) return false;
      rec = created.release();
    }
    Changed();
    const bool result = rec->SetText(col, std::move(text));
    if (rec->IsEmpty()) {
      Destroy(rec);
      m_aRecords.SetAt(row, nullptr);
    }
    return result;
  }

 protected:
  // Destroys a record of this block: in place when it lies in the pool,
  // through `delete` otherwise.
  void Destroy(TRec* rec) { m_pool.Destroy(rec); }
  struct Disposer {
    CIpBlockT* block;
    void operator()(TRec* rec) const { block->Destroy(rec); }
  };
  // A record made in the block's pool and not stored yet.
  using Fresh = std::unique_ptr<TRec, Disposer>;

  // A record with the block's defaults, made in the block's pool.
  Fresh NewRecord() { return Fresh(m_pool.Make<TRec>(), Disposer{this}); }

  TRec* Append(Fresh rec) { return Store(rec.release()); }

  // After a section is read: the pool keeps no room past its records.
  void TrimPool() { m_pool.Trim(); }

 private:
  TRec* Store(TRec* raw) {
    if (m_aRecords.SetAt(m_aRecords.GetCount(), raw) != 1) {
      ++m_nRefused;
      Destroy(raw);
      return nullptr;
    }
    Changed();
    return raw;
  }

  void ReleaseAll() {
    const int count = m_aRecords.GetCount();
    for (int i = 0; i < count; ++i) Destroy(GetRecord(i));
    m_aRecords.RemoveAll();
    m_pool.Release();
    m_nRefused = 0;
    Changed();
  }

  CRecordPool m_pool{sizeof(TRec), alignof(TRec)};
};
