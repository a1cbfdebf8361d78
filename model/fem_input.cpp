#include "model/fem_input.h"

#include <ostream>

#include "platform/bytestr.h"

thread_local int g_nColumnMode = 0;

const std::string& CComment::Empty() {
  static const std::string empty;
  return empty;
}

std::ostream& operator<<(std::ostream& os, const CComment& c) { return os << c.str(); }

void CFemInput::SaveTo(CFemInput& record, std::string& out) {
  std::string text;
  if (record.Write(text)) out += text;
}

void CFemInput::SaveTo(CFemInput& record, plat::LineWriter& ar) {
  std::string text;
  if (record.Write(text)) ar.WriteString(text);
}

bool CFemInput::IsEmptyDefault() const {
  const auto* single = dynamic_cast<const CSingleList*>(this);
  return single && single->m_bEmpty != 0;
}

CFemInput::LineKind CFemInput::ReadLine(CArchiveIn& ar, std::string& line) {
  if (!ar.ReadString(line)) {
    line.clear();
    return LineKind::End;
  }
  if (line.empty()) return LineKind::Empty;
  if (line[0] == '/') return LineKind::Keyword;
  if (line[0] == '$') return LineKind::Comment;
  return LineKind::Data;
}

int CFemInput::ReadCommentRecord(CArchiveIn& ar, std::string& line) {
  switch (ReadLine(ar, line)) {
    case LineKind::End:
    case LineKind::Keyword:
      return 0;
    case LineKind::Empty:
      return 1;
    case LineKind::Comment:
      // A bare "$" keeps one blank so that the record stays a comment record.
      m_strComment = line.size() > 1 ? line.substr(1) : std::string(" ");
      return 1;
    case LineKind::Data:
      break;
  }
  return -1;
}

int CFemInput::ReadAttached(CArchiveIn& ar, std::string& line, std::string& data, bool& parse) {
  parse = false;
  switch (ReadLine(ar, line)) {
    case LineKind::End:
    case LineKind::Keyword:
      return 0;
    case LineKind::Empty:
      return 1;
    case LineKind::Data:
      data = line;
      parse = true;
      return 1;
    case LineKind::Comment:
      break;
  }
  std::string work = line;
  line.clear();
  while (!work.empty() && work[0] == '$') {
    line += work;
    if (!ar.ReadString(work)) {
      line.clear();
      return 0;
    }
  }
  if (!line.empty() && line[0] == '$') m_strComment = line.substr(1);
  if (!work.empty() && work[0] == '/') {
    line = work;
    return 0;
  }
  data = work;
  parse = true;
  return 1;
}

void CFemInput::AppendCommentLine(std::string& text) const {
  if (!m_strComment.empty()) {
    text += '$';
    text += m_strComment;
    text += "\r\n";
  }
}

bool CSingleList::MatchKeyword(const std::string& line) const {
  // A leading part of the keyword matches; an empty or blank line names no
  // section.
  // Views, not copies: a long line costs no more than its blank ends.
  const std::string_view t = plat::TrimView(line);
  return !t.empty() && plat::StartsWith(m_strKeyword, t);
}

int CFemInput::SetTextComment(int col, const std::string& text, int maxCol) {
  if (col == -1) {
    if (text == m_strComment) return 0;
    m_strComment = text;
    return 1;
  }
  if (col >= 1 && !m_strComment.empty()) return 0;
  if (col == 0 && !text.empty() && text[0] == '$') {
    const size_t end = text.find_first_of("\r\n", 1);
    m_strComment = text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    return 1;
  }
  // Refuse before touching anything: a refused edit changes nothing.
  if (col < 0 || col > maxCol) return 0;
  m_strComment.clear();
  return -1;
}
