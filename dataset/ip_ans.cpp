#include "dataset/ip_ans.h"

#include <memory>

#include "model/columns.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

namespace {
// Data line fields: param1, param2, real1, real2, count; then the first cell.
constexpr int kStart[2][5] = {{0, 5, 10, 20, 30}, {0, 10, 20, 30, 40}};
constexpr int kWidth[2][5] = {{5, 5, 10, 10, 5}, {10, 10, 10, 10, 10}};
constexpr int kFirstCell[2] = {35, 50};
constexpr int kCellWidth[2] = {10, 20};
// Cells on the data line, and on each continuation line.
constexpr int kCellsOnDataLine = 3;
constexpr int kCellsPerLine = 7;

int Mode() { return g_nColumnMode ? 1 : 0; }

// True after the entry that fills a line: the 3rd, 10th, 17th, ...
bool EndsLine(long long entry) {
  return entry >= kCellsOnDataLine && (entry - kCellsOnDataLine) % kCellsPerLine == 0;
}
}  // namespace

CIpAns::CIpAns() { m_strKeyword = "/analysis"; }

void CIpAns::Reset() {
  m_nParam1 = 16;
  m_nParam2 = 0;
  m_dParam1 = 0.0;
  m_dParam2 = 0.0;
  m_strComment.clear();
  m_LoadList.DeleteAll();
}

bool CIpAns::IsEmpty() { return m_LoadList.CountWritable() == 0; }

bool CIpAns::Read(CArchiveIn& ar, std::string& line) {
  if (!ar.ReadString(line)) {
    line.clear();
    return false;
  }
  if (!line.empty() && line[0] == '/') return false;
  if (!line.empty() && line[0] == '$') {
    m_strComment = line.substr(1);
    // The line after the comment is the data line, whatever it begins
    // with; a keyword line gives zeros and stays in `line`, where the data
    // set's reader takes it up as the next section.
    if (!ar.ReadString(line)) {
      line.clear();
      return false;
    }
  }
  const int m = Mode();
  m_nParam1 = CutInt(line, kStart[m][0], kWidth[m][0]);
  m_nParam2 = CutInt(line, kStart[m][1], kWidth[m][1]);
  m_dParam1 = CutReal(line, kStart[m][2], kWidth[m][2]);
  m_dParam2 = CutReal(line, kStart[m][3], kWidth[m][3]);
  const long long count = CutInt(line, kStart[m][4], kWidth[m][4]);

  // The count comes from the file: the entries are taken from the lines that
  // are there, so a count larger than its cells ends at the next keyword
  // line or at the end of the file.
  long long pos = kFirstCell[m];
  for (long long entry = 1; entry <= count; ++entry) {
    auto sub = std::make_unique<CIpAnsSub>();
    sub->ParseCell(plat::Mid(line, pos, kCellWidth[m]));
    m_LoadList.Append(std::move(sub));
    if (entry == count) break;
    if (EndsLine(entry)) {
      if (!ar.ReadString(line)) {
        line.clear();
        return false;
      }
      if (!line.empty() && line[0] == '/') return true;
      pos = 0;
    } else {
      pos += kCellWidth[m];
    }
  }
  return true;
}

bool CIpAns::Write(std::string& text) {
  const int m = Mode();
  text = m_strKeyword + "\r\n";
  AppendCommentLine(text);
  text += plat::Format(m ? "%10d%10d" : "%5d%5d", m_nParam1, m_nParam2);
  text += FormatReal10(m_dParam1);
  text += FormatReal10(m_dParam2);
  text += plat::Format(m ? "%10d" : "%5d", m_LoadList.CountWritable());
  long long added = 0;
  std::string cell;
  const int count = m_LoadList.GetCount();
  for (int i = 0; i < count; ++i) {
    CIpAnsSub* sub = m_LoadList.GetRecord(i);
    if (!sub || sub->IsEmpty() || !sub->m_strComment.empty()) continue;
    cell.clear();
    if (!sub->Write(cell)) continue;
    text += cell;
    if (EndsLine(++added)) text += "\r\n";
  }
  if (!plat::EndsWith(text, "\n")) text += "\r\n";
  return true;
}
