#include "model/single_records.h"

#include "model/columns.h"
#include "model/load_records.h"
#include "platform/bytestr.h"
#include "platform/cp932.h"
#include "platform/numbers.h"

using linerec::IntField;
using linerec::IntRun;
using linerec::Mode;

namespace {

bool ReadOrEnd(CArchiveIn& ar, std::string& line) {
  if (ar.ReadString(line)) return true;
  line.clear();
  return false;
}

// The section reader of the records that keep a comment: the first "$" line
// gives the comment, further ones are dropped. Returns the value for Read to
// return, or -1 when `line` holds the data line (an empty line directly after
// the comment counts as a data line of zeros).
int ReadSingleData(CArchiveIn& ar, std::string& line, CComment& comment) {
  if (!ReadOrEnd(ar, line)) return 0;
  if (line.empty()) return 1;
  if (line[0] == '/') return 0;
  if (line[0] == '$') {
    comment = line.substr(1);
    if (!ReadOrEnd(ar, line)) return 0;
    if (!line.empty()) {
      while (line[0] == '$') {
        if (!ReadOrEnd(ar, line)) return 0;
        if (line.empty()) return 1;
      }
      if (line[0] == '/') return 0;
    }
  }
  return -1;
}

// The reader of the title and the global restraint: every "$" line is dropped.
int ReadSingleDataNoComment(CArchiveIn& ar, std::string& line) {
  for (;;) {
    if (!ReadOrEnd(ar, line)) return 0;
    if (line.empty()) return 1;
    if (line[0] != '$') break;
  }
  return line[0] == '/' ? 0 : -1;
}

// Keyword line and comment line that open the text of a section.
std::string Head(const CFemInput& rec, const CSingleList& sec) {
  std::string text = sec.m_strKeyword + "\r\n";
  if (!rec.m_strComment.empty()) text += "$" + rec.m_strComment + "\r\n";
  return text;
}

}  // namespace

// ---- CIpTitle ----

CIpTitle::CIpTitle() { m_strKeyword = "/title"; }

bool CIpTitle::Write(std::string& text) {
  if (m_strTitle.empty()) return false;
  text = m_strKeyword + "\r\n" + m_strTitle + "\r\n";
  return true;
}

bool CIpTitle::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleDataNoComment(ar, line);
  if (r >= 0) return r != 0;
  m_strTitle = line;
  return true;
}

bool CIpTitle::IsEmpty() { return m_strTitle.empty(); }

void CIpTitle::Reset() {
  m_strTitle.clear();
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpSetSpc ----

CIpSetSpc::CIpSetSpc() { m_strKeyword = "/setspc"; }

bool CIpSetSpc::Write(std::string& text) {
  text = m_strKeyword + "\r\n" + plat::Format("%06d", m_nCode) + "\r\n";
  return true;
}

bool CIpSetSpc::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleDataNoComment(ar, line);
  if (r >= 0) return r != 0;
  m_nCode = 0;
  for (size_t i = 0; i < 6; ++i) {
    m_nCode *= 10;
    if (i < line.size() && line[i] != ' ' && line[i] != '0') m_nCode += 1;
  }
  m_bEmpty = 0;
  return true;
}

bool CIpSetSpc::IsEmpty() { return m_nCode == 0; }

void CIpSetSpc::Reset() {
  m_nCode = 0;
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpDamping ----

CIpDamping::CIpDamping() { m_strKeyword = "/damping"; }

bool CIpDamping::Write(std::string& text) {
  text = Head(*this, *this) + FormatReal10(m_dDamp1) + FormatReal10(m_dDamp2) + FormatReal10(m_dDamp3) +
         FormatReal10(m_dDamp4) + "\r\n";
  return true;
}

bool CIpDamping::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  m_dDamp1 = CutReal(line, 0, 10);
  m_dDamp2 = CutReal(line, 10, 10);
  m_dDamp3 = CutReal(line, 20, 10);
  m_dDamp4 = CutReal(line, 30, 10);
  m_bEmpty = 0;
  return true;
}

bool CIpDamping::IsEmpty() { return m_dDamp1 == 0 && m_dDamp2 == 0 && m_dDamp3 == 0 && m_dDamp4 == 0; }

void CIpDamping::Reset() {
  m_dDamp1 = m_dDamp2 = m_dDamp3 = m_dDamp4 = 0;
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpGravity ----

CIpGravity::CIpGravity() { m_strKeyword = "/gravity"; }

bool CIpGravity::Write(std::string& text) {
  text = Head(*this, *this) + FormatReal10(m_dGravity) + "\r\n";
  return true;
}

bool CIpGravity::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  m_dGravity = CutReal(line, 0, 10);
  m_bEmpty = 0;
  return true;
}

bool CIpGravity::IsEmpty() { return IsEmptyDefault(); }

void CIpGravity::Reset() {
  m_dGravity = 0;
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpBase ----

CIpBase::CIpBase() { m_strKeyword = "/base"; }

bool CIpBase::Write(std::string& text) {
  text = Head(*this, *this) + FormatReal10(m_dBase1) + FormatReal10(m_dBase2) + FormatReal10(m_dBase3) +
         IntField(m_nBaseOpt) + "\r\n";
  return true;
}

bool CIpBase::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  m_dBase1 = CutReal(line, 0, 10);
  m_dBase2 = CutReal(line, 10, 10);
  m_dBase3 = CutReal(line, 20, 10);
  m_nBaseOpt = CutInt(line, 30, Mode() ? 10 : 5);
  m_bEmpty = 0;
  return true;
}

bool CIpBase::IsEmpty() { return IsEmptyDefault(); }

void CIpBase::Reset() {
  m_nBaseOpt = 0;
  m_dBase1 = m_dBase2 = m_dBase3 = 0;
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpInitialCondition, CIpRestart ----

CIpInitialCondition::CIpInitialCondition() { m_strKeyword = "/initial condition"; }

CIpRestart::CIpRestart() { m_strKeyword = "/restart"; }

bool CIpInitialCondition::Write(std::string& text) {
  text = Head(*this, *this) + m_strFile + "          \r\n";
  return true;
}

bool CIpInitialCondition::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  m_strFile = plat::TrimCp932(line);
  m_bEmpty = 0;
  return true;
}

bool CIpInitialCondition::IsEmpty() { return IsEmptyDefault(); }

void CIpInitialCondition::Reset() {
  m_strFile.clear();
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpCkpoint ----

CIpCkpoint::CIpCkpoint() { m_strKeyword = "/ckpoint"; }

bool CIpCkpoint::Write(std::string& text) {
  text = Head(*this, *this) + std::string(10, ' ');
  if (Mode()) {
    text += plat::Format("%10d%10d", m_nCk2, m_nCk1) + m_strFile;
  } else {
    if (m_strFile.size() < 8) text.append(8 - m_strFile.size(), ' ');
    text += m_strFile + plat::Format("  %5d%5d", m_nCk2, m_nCk1);
  }
  text += "\r\n";
  return true;
}

bool CIpCkpoint::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  if (Mode()) {
    m_nCk2 = CutInt(line, 10, 10);
    m_nCk1 = CutInt(line, 20, 10);
    // The writer puts the whole name here, so take the rest of the line.
    m_strFile = plat::TrimCp932(plat::Mid(line, 30));
  } else {
    m_strFile = plat::TrimCp932(plat::Mid(line, 10, 8));
    m_nCk2 = CutInt(line, 20, 5);
    m_nCk1 = CutInt(line, 25, 5);
  }
  m_bEmpty = 0;
  return true;
}

bool CIpCkpoint::IsEmpty() { return IsEmptyDefault(); }

void CIpCkpoint::Reset() {
  m_nCk1 = m_nCk2 = 0;
  m_strFile.clear();
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpDynamic ----

CIpDynamic::CIpDynamic() { m_strKeyword = "/dynamic"; }

bool CIpDynamic::Write(std::string& text) {
  text = Head(*this, *this) + IntRun({m_nDyn1, m_nDyn2}) + FormatReal10(m_dDyn1) + FormatReal10(m_dDyn2) +
         FormatReal10(m_dDyn3) + FormatReal10(m_dDyn4) + FormatReal10(m_dDyn5) + IntField(m_nDyn3) + "\r\n";
  return true;
}

bool CIpDynamic::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  const int w = Mode() ? 10 : 5;
  const int reals = 2 * w;
  m_nDyn1 = CutInt(line, 0, w);
  m_nDyn2 = CutInt(line, w, w);
  m_dDyn1 = CutReal(line, reals, 10);
  m_dDyn2 = CutReal(line, reals + 10, 10);
  m_dDyn3 = CutReal(line, reals + 20, 10);
  m_dDyn4 = CutReal(line, reals + 30, 10);
  m_dDyn5 = CutReal(line, reals + 40, 10);
  m_nDyn3 = CutInt(line, reals + 50, w);
  return true;
}

bool CIpDynamic::IsEmpty() { return m_nDyn1 == 0; }

void CIpDynamic::Reset() {
  m_nDyn1 = 0;
  m_nDyn2 = 8;
  m_nDyn3 = 0;
  m_dDyn1 = m_dDyn2 = m_dDyn3 = m_dDyn4 = m_dDyn5 = 0;
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpOutput ----

CIpOutput::CIpOutput() { m_strKeyword = "/output"; }

bool CIpOutput::Write(std::string& text) {
  text = Head(*this, *this) + IntRun({m_nOut1, m_nOut2}) + "\r\n";
  return true;
}

bool CIpOutput::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  const int w = Mode() ? 10 : 5;
  m_nOut1 = CutInt(line, 0, w);
  m_nOut2 = CutInt(line, w, w);
  return true;
}

bool CIpOutput::IsEmpty() { return m_nOut1 == 10000 && m_nOut2 < 2; }

void CIpOutput::Reset() {
  m_nOut1 = 10000;
  m_nOut2 = 1;
  m_strComment.clear();
  m_bEmpty = 1;
}

// ---- CIpModal ----

CIpModal::CIpModal() { m_strKeyword = "/eigen"; }

bool CIpModal::Write(std::string& text) {
  text = Head(*this, *this) + (m_nModalOpt != 0 ? IntRun({m_nModes, m_nModalOpt}) : IntField(m_nModes)) + "\r\n";
  return true;
}

bool CIpModal::Read(CArchiveIn& ar, std::string& line) {
  const int r = ReadSingleData(ar, line, m_strComment);
  if (r >= 0) return r != 0;
  const int w = Mode() ? 10 : 5;
  m_nModes = CutInt(line, 0, w);
  // The second value is read back too, so that a written line survives.
  m_nModalOpt = CutInt(line, w, w);
  return true;
}

bool CIpModal::IsEmpty() { return m_nModes == 0; }

void CIpModal::Reset() {
  m_nModes = 0;
  m_nModalOpt = 0;
  m_strComment.clear();
  m_bEmpty = 1;
}
