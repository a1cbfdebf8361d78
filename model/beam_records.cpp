#include "model/beam_records.h"

#include "model/columns.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

thread_local int g_nBeamFormat = 1;

namespace {

int Mode() { return g_nColumnMode ? 1 : 0; }

}  // namespace

// ---- CIpScl ----

bool CIpScl::Read(CArchiveIn& ar, std::string& line) {
  std::string l1;
  bool parse = false;
  const int r = ReadAttached(ar, line, l1, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = m ? 10 : 5;
  const int rs = 2 * w;
  m_nNo = CutInt(l1, 0, w);
  m_nSclOpt = CutInt(l1, w, w);
  double* s[6] = {&m_dS1, &m_dS2, &m_dS3, &m_dS4, &m_dS5, &m_dS6};
  for (int i = 0; i < 6; ++i) *s[i] = CutReal(l1, rs + 10 * i, 10);
  if (CutInt(l1, rs + 60, 5) == 0) return true;

  std::string l2;
  if (!ReadNextDataLine(ar, line, l2)) return false;
  m_dVx = CutReal(l2, 0, 10);
  m_dVy = CutReal(l2, 10, 10);
  m_dVz = CutReal(l2, 20, 10);
  m_dR1 = CutReal(l2, 30, 10);
  m_dR2 = CutReal(l2, 40, 10);
  return true;
}

bool CIpScl::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += plat::Format(Mode() ? "%10d%10d" : "%5d%5d", m_nNo, m_nSclOpt);
  text += FormatReal10(m_dS1) + FormatReal10(m_dS2) + FormatReal10(m_dS3) + FormatReal10(m_dS4) +
          FormatReal10(m_dS5) + FormatReal10(m_dS6);
  if (m_dVx != 0 || m_dVy != 0 || m_dVz != 0 || m_dR1 != 0 || m_dR2 != 0) {
    text += "    1\r\n";
    text += FormatReal10(m_dVx) + FormatReal10(m_dVy) + FormatReal10(m_dVz) + FormatReal10(m_dR1) +
            FormatReal10(m_dR2);
  }
  text += "\r\n";
  return true;
}

bool CIpScl::IsEmpty() {
  return m_nNo == 0 && m_dVx == 0 && m_dVy == 0 && m_dVz == 0 && m_nSclOpt == 0 && m_dS1 == 0 && m_dS2 == 0 &&
         m_dS3 == 0 && m_dS4 == 0 && m_dS5 == 0 && m_dS6 == 0 && m_dR1 == 0 && m_dR2 == 0 && m_strComment.empty();
}

// ---- CIpBeam ----

bool CIpBeam::Write(std::string& text) { return g_nBeamFormat ? WriteGProperty(text) : WriteProperty(text); }

bool CIpBeam::Read(CArchiveIn& ar, std::string& line) {
  return g_nBeamFormat ? ReadGProperty(ar, line) : ReadProperty(ar, line);
}

bool CIpBeam::IsEmpty() {
  return m_nNo == 0 && m_dVx == 0 && m_dVy == 0 && m_dVz == 0 && m_nBeamOpt == 0 && m_dS1 == 0 && m_dS2 == 0 &&
         m_dS3 == 0 && m_dS4 == 0 && m_nFlags == 0 && m_nBeamInt == 0 && m_dR1 == 0 && m_dR2 == 0 && m_dR3 == 0 &&
         m_dR4 == 0 && m_dR5 == 0 && m_dR6 == 0 && m_dR7 == 0 && m_strComment.empty();
}

bool CIpBeam::ReadProperty(CArchiveIn& ar, std::string& line) {
  std::string l1;
  bool parse = false;
  const int r = ReadAttached(ar, line, l1, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = m ? 10 : 5;
  const int rs = 2 * w;
  m_nNo = CutInt(l1, 0, w);
  m_nBeamOpt = CutInt(l1, w, w);
  m_dS1 = CutReal(l1, rs, 10);
  m_dS2 = CutReal(l1, rs + 10, 10);
  m_dS3 = CutReal(l1, rs + 20, 10);
  m_dS4 = CutReal(l1, rs + 30, 10);
  m_nFlags = ParseFlags12(plat::Mid(l1, rs + 40, 12));
  if (CutInt(l1, m ? 75 : 70, 5) == 0) return true;

  std::string l2;
  if (!ReadNextDataLine(ar, line, l2)) return false;
  m_dVx = CutReal(l2, 0, 10);
  m_dVy = CutReal(l2, 10, 10);
  m_dVz = CutReal(l2, 20, 10);
  m_nBeamInt = CutInt(l2, 30, w);
  m_dR1 = CutReal(l2, 30 + w, w);
  m_dR2 = CutReal(l2, 30 + 2 * w, w);
  return true;
}

bool CIpBeam::WriteProperty(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const int m = Mode();
  text += plat::Format(m ? "%10d%10d" : "%5d%5d", m_nNo, m_nBeamOpt);
  text += FormatReal10(m_dS1) + FormatReal10(m_dS2) + FormatReal10(m_dS3) + FormatReal10(m_dS4);
  text += FormatFlags12(m_nFlags);
  // The second line also carries m_nBeamInt, m_dR1 and m_dR2: it is written
  // whenever any of its fields is set, not only the direction.
  if (m_dVx == 0 && m_dVy == 0 && m_dVz == 0 && m_nBeamInt == 0 && m_dR1 == 0 && m_dR2 == 0) {
    text += "\r\n";
    return true;
  }
  text += m ? "       1\r\n" : "            1\r\n";
  text += FormatReal10(m_dVx) + FormatReal10(m_dVy) + FormatReal10(m_dVz);
  if (m)
    text += plat::Format("%10d", m_nBeamInt) + FormatReal10(m_dR1) + FormatReal10(m_dR2) + "\r\n";
  else
    text += plat::Format("%5d%5.3f%5.3f\n", m_nBeamInt, m_dR1, m_dR2);
  return true;
}

bool CIpBeam::ReadGProperty(CArchiveIn& ar, std::string& line) {
  std::string l1;
  bool parse = false;
  const int r = ReadAttached(ar, line, l1, parse);
  if (!parse) return r != 0;
  const int m = Mode();
  const int w = m ? 10 : 5;
  const int rs = 2 * w;
  m_nNo = CutInt(l1, 0, w);
  m_nBeamOpt = CutInt(l1, w, w);
  double* v1[6] = {&m_dS1, &m_dS2, &m_dS3, &m_dS4, &m_dR5, &m_dR6};
  for (int i = 0; i < 6; ++i) *v1[i] = CutReal(l1, rs + 10 * i, 10);
  if (CutInt(l1, rs + 60, 5) == 0) return true;

  std::string l2;
  if (!ReadNextDataLine(ar, line, l2)) return false;
  m_dR7 = CutReal(l2, 0, 10);
  m_dR3 = CutReal(l2, 10, 10);
  m_dR4 = CutReal(l2, 20, 10);
  m_nBeamInt = CutInt(l2, 30, w);
  m_dR1 = CutReal(l2, 30 + w, w);
  m_dR2 = CutReal(l2, 30 + 2 * w, w);
  m_nFlags = ParseFlags12(plat::Mid(l2, m ? 60 : 50, 12));
  if (CutInt(l2, m ? 75 : 70, 5) == 0) return true;

  std::string l3;
  if (!ReadNextDataLine(ar, line, l3)) return false;
  m_dVx = CutReal(l3, 0, 10);
  m_dVy = CutReal(l3, 10, 10);
  m_dVz = CutReal(l3, 20, 10);
  return true;
}

bool CIpBeam::WriteGProperty(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const int m = Mode();
  text += plat::Format(m ? "%10d%10d" : "%5d%5d", m_nNo, m_nBeamOpt);
  text += FormatReal10(m_dS1) + FormatReal10(m_dS2) + FormatReal10(m_dS3) + FormatReal10(m_dS4) +
          FormatReal10(m_dR5) + FormatReal10(m_dR6) + "    1\r\n";
  text += FormatReal10(m_dR7) + FormatReal10(m_dR3) + FormatReal10(m_dR4);
  if (m)
    text += plat::Format("%10d", m_nBeamInt) + FormatReal10(m_dR1) + FormatReal10(m_dR2);
  else
    text += plat::Format("%5d%5.3f%5.3f", m_nBeamInt, m_dR1, m_dR2) + "     ";
  text += FormatFlags12(m_nFlags) + (m ? "   " : "        ") + "    1\r\n";
  text += FormatReal10(m_dVx) + FormatReal10(m_dVy) + FormatReal10(m_dVz) + "\r\n";
  return true;
}
