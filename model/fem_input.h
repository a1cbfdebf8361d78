// Bases of the model's data classes and the abstract input record.
#pragma once
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/text_lines.h"

// Column layout of every record: 0 narrow (start value), 1 wide. Per thread so
// that a load on a worker never changes how the UI thread formats cells.
extern thread_local int g_nColumnMode;

// Sets the column mode for a scope and puts the previous value back.
class ColumnModeScope {
 public:
  explicit ColumnModeScope(int mode) : m_old(g_nColumnMode) { g_nColumnMode = mode; }
  ~ColumnModeScope() { g_nColumnMode = m_old; }
  ColumnModeScope(const ColumnModeScope&) = delete;
  ColumnModeScope& operator=(const ColumnModeScope&) = delete;

 private:
  int m_old;
};

// Root of every model datum.
class CFemObj {
 public:
  int m_nNo = 0;
  int m_nIndex = -1;
};

class CFemData : public CFemObj {};

// A reference direction.
class CVec {
 public:
  double m_dVx = 0, m_dVy = 0, m_dVz = 0;
};

using CArchiveIn = plat::LineReader;

// The comment of a record. Most records carry none, so an empty comment is a
// null pointer and costs a record eight bytes instead of a whole string; it
// reads and compares like the text it holds.
class CComment {
 public:
  CComment() = default;
  CComment(const CComment& o) : m_p(o.m_p ? std::make_unique<std::string>(*o.m_p) : nullptr) {}
  CComment(CComment&&) noexcept = default;
  CComment(std::string s) { Assign(std::move(s)); }  // NOLINT: reads like a string
  CComment(const char* s) { Assign(s); }            // NOLINT
  CComment& operator=(const CComment& o) {
    if (this != &o) Assign(o.str());
    return *this;
  }
  CComment& operator=(CComment&&) noexcept = default;
  CComment& operator=(std::string s) {
    Assign(std::move(s));
    return *this;
  }
  CComment& operator=(const char* s) {
    Assign(s);
    return *this;
  }

  bool empty() const { return !m_p; }
  size_t size() const { return m_p ? m_p->size() : 0; }
  void clear() { m_p.reset(); }
  const std::string& str() const { return m_p ? *m_p : Empty(); }
  operator const std::string&() const { return str(); }  // NOLINT
  const char* c_str() const { return str().c_str(); }
  std::string substr(size_t pos, size_t n = std::string::npos) const { return str().substr(pos, n); }

  friend bool operator==(const CComment& a, const CComment& b) { return a.str() == b.str(); }
  friend bool operator==(const CComment& a, const std::string& b) { return a.str() == b; }
  friend bool operator==(const CComment& a, const char* b) { return a.str() == b; }
  friend std::string operator+(const std::string& a, const CComment& b) { return a + b.str(); }
  friend std::string operator+(const char* a, const CComment& b) { return a + b.str(); }
  friend std::string operator+(const CComment& a, const std::string& b) { return a.str() + b; }
  friend std::string operator+(const CComment& a, const char* b) { return a.str() + b; }
  friend std::ostream& operator<<(std::ostream& os, const CComment& c);

 private:
  static const std::string& Empty();
  void Assign(std::string s) {
    if (s.empty())
      m_p.reset();
    else if (m_p)
      *m_p = std::move(s);
    else
      m_p = std::make_unique<std::string>(std::move(s));
  }

  std::unique_ptr<std::string> m_p;
};

// The record interface: reads, writes and edits one kind of data line.
class CFemInput {
 public:
  CFemInput() = default;
  virtual ~CFemInput() = default;
  // Records may live in a block's record pool (model/record_pool.h). A
  // `delete` of one there counts its room off the pool's chunk and leaves it
  // unused until the chunk is freed (`CRecordPool::FreeDeleted`); a `delete`
  // of any other frees it to the heap.
  static void* operator new(size_t size);
  static void operator delete(void* p, size_t size);

  virtual bool Write(std::string& text) = 0;
  virtual bool Read(CArchiveIn& ar, std::string& line) = 0;
  virtual std::string GetGenText(int col, int item) = 0;
  virtual std::string GetText(int col) = 0;
  virtual bool SetText(int col, std::string text) = 0;
  virtual bool IsEmpty() = 0;
  virtual int GetCount() = 0;

  std::string GetComment() const { return m_strComment; }
  void SetComment(std::string s) { m_strComment = std::move(s); }

  // Writes the record's text to `out` when it has any (single-section records).
  static void SaveTo(CFemInput& record, std::string& out);
  static void SaveTo(CFemInput& record, plat::LineWriter& ar);

  CComment m_strComment;

 protected:
  // Shared slot bodies.
  std::string GetGenTextDefault(int col, int /*item*/) { return GetText(col); }
  static std::string GetTextDefault() { return {}; }
  static bool SetTextDefault() { return true; }
  static int GetCountDefault() { return 1; }
  // The section's own empty flag, for single-section records that have no
  // better test; false for a record that is no section by itself.
  bool IsEmptyDefault() const;

  enum class LineKind { End, Empty, Keyword, Comment, Data };
  // Reads the next line into `line` and tells what it is.
  static LineKind ReadLine(CArchiveIn& ar, std::string& line);

  // The comment-line style: a "$" line is a record by itself. Returns the
  // value `Read` is to return when the line was no data line, or -1 when
  // `line` holds a data line for the caller to parse.
  int ReadCommentRecord(CArchiveIn& ar, std::string& line);

  // The attached-comment style: "$" lines belong to the data line after them.
  // Returns 0 or 1 for `Read` to return, with `data` holding the data line to
  // parse when `parse` is set (an empty `data` parses as all zeros).
  int ReadAttached(CArchiveIn& ar, std::string& line, std::string& data, bool& parse);

  // The first steps of SetText of the comment-line records: the comment
  // column, edits of a comment record, and a "$" text in column 0. Returns 0
  // or 1 for SetText to return, or -1 when the caller is to set column `col`
  // (the comment has then been cleared; `col` is within 0..maxCol).
  int SetTextComment(int col, const std::string& text, int maxCol);

  // Writes "$" + comment + "\r\n" when the comment is not empty.
  void AppendCommentLine(std::string& text) const;
};

// Records that are a whole section of the file by themselves.
class CSingleList {
 public:
  CSingleList() = default;
  virtual ~CSingleList() = default;
  virtual void Reset() = 0;
  void SetCaption(std::string caption) { m_strCaption = std::move(caption); }
  // True when the trimmed line equals the keyword or is a leading part of it.
  bool MatchKeyword(const std::string& line) const;

  std::string m_strKeyword;
  std::string m_strCaption;
  int m_bEmpty = 1;
};
