// Bases of the model's data classes and the abstract input record.
#pragma once
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

// The record interface: reads, writes and edits one kind of data line.
class CFemInput {
 public:
  CFemInput() = default;
  virtual ~CFemInput() = default;

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

  std::string m_strComment;

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
