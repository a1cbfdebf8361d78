#include "model/support_type_records.h"

#include "model/columns.h"
#include "model/spring_records.h"
#include "platform/numbers.h"

namespace {
int Mode() { return g_nColumnMode ? 1 : 0; }

const char kFlag[] = "    1";
const char kFlagPccblNarrow[] = "                        1";  // 24 blanks, then "1"
const char kNoDirection[] = "                              ";  // thirty blanks
const char kBlankField[] = "          ";

// Bearing head line: number, code, type, values 1..8, direction flag.
constexpr int kHSupIntWidth[2] = {5, 10};
constexpr int kHSupValueStart[2] = {15, 30};
constexpr int kHSupFlagStart[2] = {95, 110};

// Cable head line: number, code, values 1..4, direction flag.
constexpr int kPccblIntWidth[2] = {5, 10};
constexpr int kPccblValueStart[2] = {10, 20};
constexpr int kPccblFlagStart[2] = {70, 60};

// Head line of "/gsupport" and "/rbcks": number, code, (type,) two or three
// blank fields, x, y, z, direction flag.
constexpr int kTwoLineIntWidth[2] = {5, 10};
constexpr int kTwoLineDirStart[2] = {25, 50};
constexpr int kTwoLineFlagStart[2] = {55, 80};

// Second line of "/rbcks": code 2, value 1, code 3, code 4, values 2..5.
constexpr int kRbcksStart[2][8] = {{0, 5, 15, 20, 25, 35, 45, 55}, {0, 10, 20, 30, 40, 50, 60, 70}};
constexpr int kRbcksWidth[2][8] = {{5, 10, 5, 5, 10, 10, 10, 10}, {10, 10, 10, 10, 10, 10, 10, 10}};

// Fields of a bearing that its type leaves out of the line (0-based values).
bool HSupValueBlank(int type, int k) {
  if (type == 2) return k == 1 || k >= 5;
  if (type == 3) return k == 3 || k == 4;
  return false;
}

// Reads the direction line that a head line's flag announces.
bool ReadDirection(CArchiveIn& ar, std::string& line, CVec& v) {
  std::string data;
  if (!ReadNextDataLine(ar, line, data)) return false;
  ParseDirectionLine(data, v);
  return true;
}

std::string DirectionOrBlanks(const CVec& v) {
  if (!IsDirectionSet(v)) return kNoDirection;
  return FormatReal10(v.m_dVx) + FormatReal10(v.m_dVy) + FormatReal10(v.m_dVz);
}

void ParseHeadDirection(const std::string& data, CVec& v) {
  const int s = kTwoLineDirStart[Mode()];
  v.m_dVx = CutReal(data, s, 10);
  v.m_dVy = CutReal(data, s + 10, 10);
  v.m_dVz = CutReal(data, s + 20, 10);
}
}  // namespace

// ---- CIpHSup ----

bool CIpHSup::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const bool dir = IsDirectionSet(*this);
  text += plat::Format(g_nColumnMode ? "%10d%10d%10d" : "%5d%5d%5d", m_nNo, m_nCode, m_nType);
  for (int k = 0; k < 8; ++k) text += HSupValueBlank(m_nType, k) ? kBlankField : FormatReal10(m_dValue[k]);
  if (dir) text += kFlag;
  text += "\r\n";
  if (dir) text += FormatDirectionLine(*this);
  return true;
}

bool CIpHSup::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = kHSupIntWidth[m];
  m_nNo = CutInt(data, 0, w);
  m_nCode = CutInt(data, w, w);
  m_nType = CutInt(data, 2 * w, w);
  for (int k = 0; k < 8; ++k) m_dValue[k] = CutReal(data, kHSupValueStart[m] + 10 * k, 10);
  if (CutInt(data, kHSupFlagStart[m], 5) != 0) return ReadDirection(ar, line, *this);
  return true;
}

void CIpHSup::CopyFrom(const CIpHSup& src) {
  m_strComment = src.m_strComment;
  m_nNo = src.m_nNo;
  m_nCode = src.m_nCode;
  m_nType = src.m_nType;
  for (int k = 0; k < 8; ++k) m_dValue[k] = src.m_dValue[k];
  m_dVx = src.m_dVx;
  m_dVy = src.m_dVy;
  m_dVz = src.m_dVz;
}

std::string CIpHSup::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
std::string CIpHSup::GetText(int /*col*/) { return GetTextDefault(); }
bool CIpHSup::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
int CIpHSup::GetCount() { return GetCountDefault(); }

bool CIpHSup::IsEmpty() {
  for (double v : m_dValue)
    if (v != 0) return false;
  return m_nNo == 0 && m_nCode == 0 && m_nType == 0 && !IsDirectionSet(*this) && m_strComment.empty();
}

// ---- CIpPccbl ----

bool CIpPccbl::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const bool dir = IsDirectionSet(*this);
  text += plat::Format(g_nColumnMode ? "%10d%10d" : "%5d%5d", m_nNo, m_nCode);
  for (double v : m_dValue) text += FormatReal10(v);
  if (dir) text += g_nColumnMode ? kFlag : kFlagPccblNarrow;
  text += "\r\n";
  if (dir) text += FormatDirectionLine(*this);
  return true;
}

bool CIpPccbl::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = kPccblIntWidth[m];
  m_nNo = CutInt(data, 0, w);
  m_nCode = CutInt(data, w, w);
  for (int k = 0; k < 4; ++k) m_dValue[k] = CutReal(data, kPccblValueStart[m] + 10 * k, 10);
  if (CutInt(data, kPccblFlagStart[m], 5) != 0) return ReadDirection(ar, line, *this);
  return true;
}

std::string CIpPccbl::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
std::string CIpPccbl::GetText(int /*col*/) { return GetTextDefault(); }
bool CIpPccbl::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
int CIpPccbl::GetCount() { return GetCountDefault(); }

bool CIpPccbl::IsEmpty() {
  for (double v : m_dValue)
    if (v != 0) return false;
  return m_nNo == 0 && m_nCode == 0 && !IsDirectionSet(*this) && m_strComment.empty();
}

// ---- CIpGSup ----

bool CIpGSup::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += plat::Format(g_nColumnMode ? "%10d%10d%10d%10s%10s" : "%5d%5d%5d%5s%5s", m_nNo, m_nCode, m_nType, "", "");
  // The head line always carries the flag, so the second line is always read.
  text += DirectionOrBlanks(*this) + kFlag + "\n";
  const int nValues = (m_nType == 1 || m_nType == 3) ? 4 : m_nType == 2 ? 3 : 0;
  for (int k = 0; k < nValues; ++k) text += FormatReal10(m_dValue[k]);
  text += "\r\n";
  return true;
}

bool CIpGSup::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = kTwoLineIntWidth[m];
  m_nNo = CutInt(data, 0, w);
  m_nCode = CutInt(data, w, w);
  m_nType = CutInt(data, 2 * w, w);
  ParseHeadDirection(data, *this);
  for (double& v : m_dValue) v = 0;
  if (CutInt(data, kTwoLineFlagStart[m], 5) == 0) return true;
  if (!ReadNextDataLine(ar, line, data)) return false;
  for (int k = 0; k < 3; ++k) m_dValue[k] = CutReal(data, 10 * k, 10);
  if (m_nType == 1 || m_nType == 3) m_dValue[3] = CutReal(data, 30, 10);
  return true;
}

std::string CIpGSup::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
std::string CIpGSup::GetText(int /*col*/) { return GetTextDefault(); }
bool CIpGSup::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
int CIpGSup::GetCount() { return GetCountDefault(); }

bool CIpGSup::IsEmpty() {
  for (double v : m_dValue)
    if (v != 0) return false;
  return m_nNo == 0 && m_nCode == 0 && m_nType == 0 && !IsDirectionSet(*this) && m_strComment.empty();
}

// ---- CIpRbcks ----

bool CIpRbcks::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += plat::Format(g_nColumnMode ? "%10d%10d%10s%10s%10s" : "%5d%5d%5s%5s%5s", m_nNo, m_nCode, "", "", "");
  text += DirectionOrBlanks(*this) + kFlag + "\n";
  const char* fi = g_nColumnMode ? "%10d" : "%5d";
  text += plat::Format(fi, m_nCode2) + FormatReal10(m_dValue[0]) + plat::Format(fi, m_nCode3) +
          plat::Format(fi, m_nCode4);
  for (int k = 1; k < 5; ++k) text += FormatReal10(m_dValue[k]);
  text += "\r\n";
  return true;
}

bool CIpRbcks::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = kTwoLineIntWidth[m];
  m_nNo = CutInt(data, 0, w);
  m_nCode = CutInt(data, w, w);
  ParseHeadDirection(data, *this);
  for (double& v : m_dValue) v = 0;
  m_nCode2 = m_nCode3 = m_nCode4 = 0;
  if (CutInt(data, kTwoLineFlagStart[m], 5) == 0) return true;
  if (!ReadNextDataLine(ar, line, data)) return false;
  const int* s = kRbcksStart[m];
  const int* wd = kRbcksWidth[m];
  m_nCode2 = CutInt(data, s[0], wd[0]);
  m_dValue[0] = CutReal(data, s[1], wd[1]);
  m_nCode3 = CutInt(data, s[2], wd[2]);
  m_nCode4 = CutInt(data, s[3], wd[3]);
  for (int k = 1; k < 5; ++k) m_dValue[k] = CutReal(data, s[3 + k], wd[3 + k]);
  return true;
}

std::string CIpRbcks::GetGenText(int col, int item) { return GetGenTextDefault(col, item); }
std::string CIpRbcks::GetText(int /*col*/) { return GetTextDefault(); }
bool CIpRbcks::SetText(int /*col*/, std::string /*text*/) { return SetTextDefault(); }
int CIpRbcks::GetCount() { return GetCountDefault(); }

bool CIpRbcks::IsEmpty() {
  for (double v : m_dValue)
    if (v != 0) return false;
  return m_nNo == 0 && m_nCode == 0 && m_nCode2 == 0 && m_nCode3 == 0 && m_nCode4 == 0 && !IsDirectionSet(*this) &&
         m_strComment.empty();
}
