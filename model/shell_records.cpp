#include "model/shell_records.h"

#include "model/columns.h"
#include "platform/numbers.h"

namespace {
int Mode() { return g_nColumnMode ? 1 : 0; }
}  // namespace

// ---- CIpLayer ----

bool CIpLayer::Read(CArchiveIn& ar, std::string& line) {
  std::string data;
  bool parse = false;
  const int r = ReadAttached(ar, line, data, parse);
  if (!parse) return r != 0;
  m_dLay1 = CutReal(data, 0, 10);
  m_dLay2 = CutReal(data, 10, 10);
  m_nLay = CutInt(data, 20, 10);
  return true;
}

bool CIpLayer::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  text += FormatReal10(m_dLay1) + FormatReal10(m_dLay2) + plat::Format("%10d", m_nLay) + "\r\n";
  return true;
}

bool CIpLayer::IsEmpty() { return m_dLay1 == 0 && m_dLay2 == 0 && m_nLay == 0 && m_strComment.empty(); }

// ---- CIpPShell ----

bool CIpPShell::AddLayer(const CIpLayer& layer) {
  auto p = std::make_unique<CIpLayer>();
  p->m_dLay1 = layer.m_dLay1;
  p->m_dLay2 = layer.m_dLay2;
  p->m_nLay = layer.m_nLay;
  m_pLayerList.push_back(std::move(p));
  return true;
}

bool CIpPShell::Read(CArchiveIn& ar, std::string& line) {
  std::string l1;
  bool parse = false;
  const int r = ReadAttached(ar, line, l1, parse);
  if (!parse) return r != 0;
  const int w = Mode() ? 10 : 5;
  m_nNo = CutInt(l1, 0, w);
  m_nPsOpt = CutInt(l1, w, w);
  m_dPs0 = CutReal(l1, 2 * w, 10);
  m_nLayers = CutInt(l1, 2 * w + 10, w);
  m_nShellType = CutInt(l1, 3 * w + 10, w);

  std::string l2;
  if (!ReadNextDataLine(ar, line, l2)) return false;
  m_dPs1 = CutReal(l2, 0, 10);
  m_dPs2 = CutReal(l2, 10, 10);
  m_dPs3 = CutReal(l2, 20, 10);
  m_dPs4 = CutReal(l2, 30, 10);
  m_dPs5 = CutReal(l2, 40, 10);

  m_pLayerList.clear();
  if (m_nShellType != kLayeredType) return true;
  // The declared count only bounds the loop. Fewer layer lines than declared:
  // keep those read and hand the keyword line that ended them back to the
  // reader. A fresh work layer per line, so an empty line adds a zero layer.
  for (int i = 0; i < m_nLayers; ++i) {
    CIpLayer work;
    std::string local;
    if (!work.Read(ar, local)) {
      if (!local.empty()) ar.PushBack(local);
      break;
    }
    AddLayer(work);
  }
  return true;
}

bool CIpPShell::Write(std::string& text) {
  text.clear();
  AppendCommentLine(text);
  const char* f = Mode() ? "%10d" : "%5d";
  text += plat::Format(f, m_nNo) + plat::Format(f, m_nPsOpt) + FormatReal10(m_dPs0) + plat::Format(f, m_nLayers) +
          plat::Format(f, m_nShellType) + "\r\n";
  text += FormatReal10(m_dPs1) + FormatReal10(m_dPs2) + FormatReal10(m_dPs3) + FormatReal10(m_dPs4) +
          FormatReal10(m_dPs5) + "\r\n";
  std::string sub;
  for (auto& l : m_pLayerList)
    if (l->Write(sub)) text += sub;
  return true;
}

std::string CIpPShell::GetText(int col) {
  auto real = [](double v) { return v == 0 ? std::string() : plat::Format("%8.4f", v); };
  switch (col) {
    case 0: return CellInt(m_nNo);
    case 1: return CellInt(m_nPsOpt);
    case 2: return real(m_dPs0);
    case 3: return CellInt(m_nLayers);
    case 4: return CellInt(m_nShellType);
    case 5: return real(m_dPs5);
    case 6: return real(m_dPs1);
    case 7: return real(m_dPs2);
    case 8: return real(m_dPs3);
    case 9: return real(m_dPs4);
    default: return {};
  }
}

std::string CIpPShell::GetGenText(int col, int /*item*/) { return GetText(col); }

bool CIpPShell::SetText(int col, std::string text) {
  if (col == -1) {
    if (text == m_strComment) return false;
    m_strComment = std::move(text);
    return true;
  }
  // Refuse before touching anything: a refused edit changes nothing.
  if (col < 0 || col > 9) return false;
  m_strComment.clear();
  switch (col) {
    case 0: m_nNo = plat::AtoI(text); break;
    case 1: m_nPsOpt = plat::AtoI(text); break;
    case 2: m_dPs0 = plat::AtoF(text); break;
    case 3: m_nLayers = plat::AtoI(text); break;
    case 4: m_nShellType = plat::AtoI(text); break;
    case 5: m_dPs5 = plat::AtoF(text); break;
    case 6: m_dPs1 = plat::AtoF(text); break;
    case 7: m_dPs2 = plat::AtoF(text); break;
    case 8: m_dPs3 = plat::AtoF(text); break;
    case 9: m_dPs4 = plat::AtoF(text); break;
    default: return false;
  }
  return true;
}

bool CIpPShell::IsEmpty() {
  return m_nNo == 0 && m_nPsOpt == 0 && m_dPs0 == 0 && m_nLayers == 0 && m_nShellType == 0 && m_dPs1 == 0 &&
         m_dPs2 == 0 && m_dPs3 == 0 && m_dPs4 == 0 && m_dPs5 == 0 && m_strComment.empty();
}
