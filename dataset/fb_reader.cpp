// Reading the analysis input (".in"): four header lines, then the sections in
// a fixed order, every count given by the header. Fields are fixed columns:
// 8-column integers (5 on line 1), 15-column reals (16 on the step and wave
// lines); references are 1-based positions in file order.
#include <algorithm>
#include <memory>
#include <new>

#include "dataset/fb_model.h"
#include "model/columns.h"
#include "platform/bytestr.h"
#include "platform/cp932.h"
#include "platform/numbers.h"

namespace {

// Only the first 255 characters of a line are used; the rest of a longer
// line is dropped, never taken as the next line.
constexpr size_t kLineLimit = 255;

bool ReadLine(CArchiveIn& ar, std::string& line) {
  if (!ar.ReadString(line)) return false;
  if (line.size() > kLineLimit) line.resize(kLineLimit);
  return true;
}

void SetMsg(std::string* msg, std::string text) {
  if (msg) *msg = std::move(text);
}

int NonNegative(int v) { return v < 0 ? 0 : v; }

// Lines needed for `count` values, `perLine` a line.
int LinesFor(int count, int perLine) { return count <= 0 ? 0 : (count - 1) / perLine + 1; }

constexpr double kDegPerRad = 180.0 / 3.141592653589793;

// The line CutColumn cuts when it is given none.
thread_local std::string g_cutLine;

std::string CutRemembered(int width, int start) {
  const int w = std::max(0, width);
  if (start >= static_cast<int>(g_cutLine.size())) return std::string(static_cast<size_t>(w), ' ');
  return plat::Mid(g_cutLine, start, w);
}

}  // namespace

std::string CutColumn(const char* line, int width, int start) {
  if (line) g_cutLine = line;
  return CutRemembered(width, start);
}

std::string CutColumn(const std::string& line, int width, int start) {
  g_cutLine = line;
  return CutRemembered(width, start);
}

int CFbModel::SerializeHeader(CArchiveIn& ar, std::string* msg) {
  std::string line;
  if (!ReadLine(ar, line)) {
    SetMsg(msg, "1行目");
    return 0;
  }
  m_nFirst = CutInt(line, 0, 5);
  m_nVersion = CutInt(line, 5, 5);
  const std::string name = plat::LowerCp932(plat::TrimCp932(plat::Mid(line, 10)));
  if (name == "zqn7s") {
    m_nAnaType = 1;
  } else if (name == "zqn7d") {
    m_nAnaType = 2;
  } else if (name == "zqn7m") {
    m_nAnaType = 3;
  } else {
    SetMsg(msg, "ﾌﾟﾛｸﾞﾗﾑ名" + plat::Cp932ToUtf8(name) + "が不明です");
    return -1;
  }

  if (!ReadLine(ar, line)) {
    SetMsg(msg, "2行目");
    return 0;
  }
  // Counts size lists and loops: a negative count is 0.
  m_nNodes = NonNegative(CutInt(line, 0, 8));
  m_nElems = NonNegative(CutInt(line, 8, 8));
  m_nSups = NonNegative(CutInt(line, 16, 8));
  m_nFibers = NonNegative(CutInt(line, 24, 8));
  m_nSecInfo = NonNegative(CutInt(line, 32, 8));
  m_nSecs = NonNegative(CutInt(line, 40, 8));
  m_nMatReals = NonNegative(CutInt(line, 48, 8));
  m_nMats = NonNegative(CutInt(line, 56, 8));
  m_nHead29 = CutInt(line, 64, 8);
  m_nHead210 = CutInt(line, 72, 8);

  if (!ReadLine(ar, line)) {
    SetMsg(msg, "3行目");
    return 0;
  }
  m_nSecParams = CutInt(line, 0, 8);
  if (m_nSecParams < 1) m_nSecParams = 9;
  m_nQuads = NonNegative(CutInt(line, 8, 8));
  m_nLayers = CutInt(line, 16, 8) / 24;
  m_nHead34 = CutInt(line, 24, 8);
  m_nHead35 = CutInt(line, 32, 8);
  m_nElems2 = m_bResultsReader ? NonNegative(CutInt(line, 40, 8)) : 0;
  m_nShells = m_nLayers > 0 ? plat::ClampToInt(static_cast<long long>(m_nQuads) * m_nLayers) : 0;

  if (!ReadLine(ar, line)) {
    SetMsg(msg, "4行目");
    return 0;
  }
  m_strTitle = plat::TrimCp932(line);
  return 1;
}

int CFbModel::SerializeNodes(CArchiveIn& ar, std::string* msg) {
  std::string line;
  for (int i = 1; i <= m_nNodes; ++i) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("節点ﾃﾞｰﾀ(%d/%d)", i, m_nNodes));
      return 0;
    }
    CFbNode* n = m_aNodes.AppendNew();
    if (!n) {
      SetMsg(msg, plat::Format("節点配列(%d/%d)", i, m_nNodes));
      return -1;
    }
    n->m_nNo = CutInt(line, 0, 8);
    n->m_dX = CutReal(line, 8, 15);
    n->m_dY = CutReal(line, 23, 15);
    n->m_dZ = CutReal(line, 38, 15);
  }
  return 1;
}

int CFbModel::ReadElemList(CArchiveIn& ar, std::string* msg, int count, bool threeNodes,
                           CFbRecordList<CFbElem>& list) {
  std::string line;
  for (int i = 1; i <= count; ++i) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("要素ﾃﾞｰﾀ(%d/%d)", i, count));
      return 0;
    }
    CFbElem* e = list.AppendNew();
    if (!e) {
      SetMsg(msg, plat::Format("要素配列(%d/%d)", i, count));
      return -1;
    }
    e->m_nNo = CutInt(line, 0, 8);
    e->m_nNodeI = CutInt(line, 8, 8);
    e->m_nNodeJ = CutInt(line, 16, 8);
    if (threeNodes) {
      e->m_nNodeK = CutInt(line, 24, 8);
      e->m_nSec = CutInt(line, 32, 8);
      e->m_nExtra = CutInt(line, 40, 8);
    } else {
      e->m_nSec = CutInt(line, 24, 8);
      e->m_nExtra = CutInt(line, 32, 8);
    }
  }
  return 1;
}

int CFbModel::SerializeElems(CArchiveIn& ar, std::string* msg) {
  return ReadElemList(ar, msg, m_nElems, false, m_aElems);
}

int CFbModel::SerializeElems2(CArchiveIn& ar, std::string* msg) {
  return ReadElemList(ar, msg, m_nElems2, true, m_aElems2);
}

int CFbModel::SerializeQuads(CArchiveIn& ar, std::string* msg) {
  std::string line;
  for (int i = 1; i <= m_nQuads; ++i) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("要素ﾃﾞｰﾀ(%d/%d)", i, m_nQuads));
      return 0;
    }
    CFbQuad* q = m_aQuads.AppendNew();
    if (!q) {
      SetMsg(msg, plat::Format("要素配列(%d/%d)", i, m_nQuads));
      return -1;
    }
    q->m_nNo = CutInt(line, 0, 8);
    q->m_nSec = CutInt(line, 8, 8);
    for (int k = 0; k < 4; ++k) q->m_anNodes[k] = CutInt(line, 16 + 8 * k, 8);
  }
  return 1;
}

int CFbModel::SerializeSups(CArchiveIn& ar, std::string* msg) {
  std::string line;
  if (m_nSups == 0) {
    // An empty support section still has its one line.
    if (!ReadLine(ar, line)) {
      SetMsg(msg, "支持条件");
      return 0;
    }
    return 1;
  }
  int s = 0;
  while (s < m_nSups) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("支持条件(%d/%d)", s + 1, m_nSups));
      return 0;
    }
    for (int g = 0; g < 5 && s < m_nSups; ++g, ++s) {
      auto rec = std::make_unique<CFbSup>();
      CFbSup* sup = rec.get();
      if (m_aSups.Append(std::move(rec)) != 1) {
        SetMsg(msg, plat::Format("支持配列(%d/%d)", s + 1, m_nSups));
        return -1;
      }
      const int start = 16 * g;
      sup->m_nNo = CutInt(line, start, 8);
      sup->m_nMask = ParseFlags6(plat::Format("%06d", CutInt(line, start + 10, 6)));
    }
  }
  return 1;
}

int CFbModel::SerializeSecs(CArchiveIn& ar, std::string* msg) {
  std::string line;
  for (int i = 1; i <= m_nSecs; ++i) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("断面(%d/%d)", i, m_nSecs));
      return 0;
    }
    auto rec = std::make_unique<CFbSec>();
    CFbSec* sec = rec.get();
    if (m_aSecs.Append(std::move(rec)) != 1) {
      SetMsg(msg, plat::Format("断面配列(%d/%d)", i, m_nSecs));
      return -1;
    }
    sec->m_nNo = CutInt(line, 0, 8);
    sec->m_nInfoCount = m_nSecInfo;
    const int stored = std::min(m_nSecInfo, CFbSec::kMaxStoredInfo);
    sec->m_pInfo.resize(static_cast<size_t>(stored));
    for (int k = 0; k < stored; ++k) sec->m_pInfo[static_cast<size_t>(k)] = CutInt(line, 8 * (k + 1), 8);

    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("断面(%d/%d)Vﾍﾞｸﾄﾙ", i, m_nSecs));
      return 0;
    }
    CVec v;
    v.m_dVx = static_cast<float>(CutReal(line, 0, 15));
    v.m_dVy = static_cast<float>(CutReal(line, 15, 15));
    v.m_dVz = static_cast<float>(CutReal(line, 30, 15));

    // Parameter lines of a non-fibre section: six values a line, header
    // value 3.1 values in all; `first` keeps the first line's six reals.
    auto readParams = [&](double* first, const char* what) {
      const int lines = std::max(1, LinesFor(m_nSecParams, 6));
      for (int l = 0; l < lines; ++l) {
        if (!ReadLine(ar, line)) {
          SetMsg(msg, plat::Format("断面の%d個目の%s", i, what));
          return false;
        }
        if (l == 0 && first)
          for (int k = 0; k < 6; ++k) first[k] = CutReal(line, 15 * k, 15);
      }
      return true;
    };

    const int type = sec->Type();
    if (type == 0) {
      auto f = std::make_unique<CFbFiberSec>();
      f->m_vRef = v;
      f->m_nBlocks = NonNegative(sec->Info(0));
      f->m_nDecks = NonNegative(sec->Info(1));
      for (int b = 1; b <= f->m_nBlocks; ++b) {
        if (!ReadLine(ar, line)) {
          SetMsg(msg, plat::Format("断面%d個目%d/%dのﾌﾞﾛｯｸ座標", i, b, f->m_nBlocks));
          return 0;
        }
        double c[6];
        for (int k = 0; k < 6; ++k) c[k] = CutReal(line, 15 * k, 15);
        if (!ReadLine(ar, line)) {
          SetMsg(msg, plat::Format("断面%d個目%d/%dのﾌﾞﾛｯｸ情報", i, b, f->m_nBlocks));
          return 0;
        }
        CFbSecBlock blk;
        blk.m_nCols = CutInt(line, 0, 8);
        blk.m_nRows = CutInt(line, 8, 8);
        blk.m_nI16 = CutInt(line, 16, 8);
        const int i24 = CutInt(line, 24, 8);
        blk.m_dC0 = c[0];
        blk.m_dC30 = c[2];
        blk.m_dC75 = c[5];
        blk.m_dC60 = c[4];
        if (i24 / 1000000 != 0) {
          blk.m_nMat = i24 % 1000000;
          blk.m_nShape = -1;
          blk.m_dC15 = c[1] * kDegPerRad;
          blk.m_dC45 = c[3] * kDegPerRad;
          blk.m_dCy = c[4];
          blk.m_dCz = c[5];
        } else {
          blk.m_nMat = i24;
          blk.m_nShape = 0;
          blk.m_dC15 = c[1];
          blk.m_dC45 = c[3];
        }
        f->m_aBlocks.push_back(blk);
      }
      for (int d = 1; d <= f->m_nDecks; ++d) {
        if (!ReadLine(ar, line)) {
          SetMsg(msg, plat::Format("断面%d個目%d/%dのﾃﾞｯｷ座標", i, d, f->m_nDecks));
          return 0;
        }
        double c[6];
        for (int k = 0; k < 6; ++k) c[k] = CutReal(line, 15 * k, 15);
        if (!ReadLine(ar, line)) {
          SetMsg(msg, plat::Format("断面%d個目%d/%dのﾃﾞｯｷ情報", i, d, f->m_nDecks));
          return 0;
        }
        CFbDeck dk;
        dk.m_nCols = CutInt(line, 0, 8);
        dk.m_nRows = CutInt(line, 8, 8);
        dk.m_nJ16 = CutInt(line, 16, 8);
        const int j24 = CutInt(line, 24, 8);
        dk.m_dD0 = c[0];
        dk.m_dD75 = c[5];
        if (j24 / 1000000 != 0) {
          dk.m_nMat = j24 % 1000000;
          dk.m_nShape = -1;
          dk.m_dD30 = c[0];
          dk.m_dD15 = c[1] * kDegPerRad;
          dk.m_dD45 = c[2] * kDegPerRad;
          dk.m_dCy = c[3];
          dk.m_dCz = c[4];
        } else {
          dk.m_nMat = j24;
          dk.m_nShape = 0;
          dk.m_dD30 = c[2];
          dk.m_dD15 = c[1];
          dk.m_dD45 = c[3];
        }
        f->m_aDecks.push_back(dk);
      }
      sec->m_pFiber = std::move(f);
    } else if (type == 3) {
      auto p = std::make_unique<CFbSpringSec>();
      p->m_vRef = v;
      sec->m_pSpring = std::move(p);
      if (!readParams(nullptr, "非線形バネ")) return 0;
    } else if (type == 4) {
      auto p = std::make_unique<CFbScalarSec>();
      p->m_vRef = v;
      p->m_nKind = 3;
      sec->m_pScalar = std::move(p);
      if (!readParams(nullptr, "ｽｶﾗｰ")) return 0;
    } else if (type == 6 || type == 10) {
      auto p = std::make_unique<CFbGapSec>();
      p->m_vRef = v;
      sec->m_pGap = std::move(p);
      if (!readParams(nullptr, "ギャップ")) return 0;
    } else if (type == 20) {
      auto p = std::make_unique<CFbShellSec>();
      for (int k = 0; k < 3; ++k) p->m_anInfo[k] = sec->Info(k);
      CFbShellSec* shell = p.get();
      sec->m_pShell = std::move(p);
      if (!readParams(shell->m_adParams, "シェル特性")) return 0;
    } else {
      auto p = std::make_unique<CFbScalarSec>();
      p->m_vRef = v;
      p->m_nKind = type - 1;
      CFbScalarSec* scl = p.get();
      sec->m_pScalar = std::move(p);
      if (!readParams(scl->m_adParams, "ｽｶﾗｰ")) return 0;
    }
  }
  return 1;
}

int CFbModel::SerializeMats(CArchiveIn& ar, std::string* msg) {
  std::string line;
  for (int i = 1; i <= m_nMats; ++i) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("材料(%d/%d)", i, m_nMats));
      return 0;
    }
    auto rec = std::make_unique<CFbMat>();
    CFbMat* mat = rec.get();
    if (m_aMats.Append(std::move(rec)) != 1) {
      SetMsg(msg, plat::Format("材料配列(%d/%d)", i, m_nMats));
      return -1;
    }
    mat->m_nNo = CutInt(line, 0, 8);
    if (line.size() < 9) {
      mat->m_nKind = CFbMat::kNoKind;
      m_bMatKind = 0;
    } else {
      mat->m_nKind = CutInt(line, 8, 8);
    }
    // The values grow with the lines read, so a huge count in a short file
    // reserves nothing.
    mat->m_adValues.reserve(static_cast<size_t>(std::min(m_nMatReals, 4096)));
    while (static_cast<int>(mat->m_adValues.size()) < m_nMatReals) {
      if (!ReadLine(ar, line)) {
        SetMsg(msg, plat::Format("材料ﾃﾞｰﾀなし(%d/%d)", i, m_nMats));
        return 0;
      }
      for (int k = 0; k < 6 && static_cast<int>(mat->m_adValues.size()) < m_nMatReals; ++k)
        mat->m_adValues.push_back(CutReal(line, 15 * k, 15));
    }
    if (mat->m_nKind == CFbMat::kNoKind && m_nMatReals >= 9 && mat->m_adValues[8] > 1e-99) mat->m_nKind = 1;
  }
  return 1;
}

int CFbModel::SerializeLoads(CArchiveIn& ar, std::string* msg) {
  std::string line;
  if (!ReadLine(ar, line)) {
    SetMsg(msg, "荷重なし");
    return 0;
  }
  m_nLoadCases = NonNegative(CutInt(line, 0, 8));
  for (int k = 0; k < 3; ++k) m_anLoadHead[k] = CutInt(line, 8 * (k + 1), 8);

  for (int c = 1; c <= m_nLoadCases; ++c) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("荷重条件(%d/%d)", c, m_nLoadCases));
      return 0;
    }
    auto rec = std::make_unique<CFbLoadCase>();
    CFbLoadCase* lc = rec.get();
    if (m_aLoadCases.Append(std::move(rec)) != 1) {
      SetMsg(msg, plat::Format("荷重配列(%d/%d)", c, m_nLoadCases));
      return -1;
    }
    lc->m_nKey = CutInt(line, 0, 8);
    lc->m_nSteps = NonNegative(CutInt(line, 8, 8));
    lc->m_nNodal = NonNegative(CutInt(line, 16, 8));
    lc->m_nForced = NonNegative(CutInt(line, 24, 8));
    lc->m_nDist = NonNegative(CutInt(line, 32, 8));
    lc->m_nPre = NonNegative(CutInt(line, 40, 8));
    lc->m_nFifth = NonNegative(CutInt(line, 48, 8));

    auto readPoints = [&](int count, const char* what, std::vector<CFbPointLoad>& out) {
      for (int k = 1; k <= count; ++k) {
        if (!ReadLine(ar, line)) {
          SetMsg(msg, plat::Format("ｹｰｽ%d:%s読込(%d/%d)", c, what, k, count));
          return false;
        }
        CFbPointLoad p;
        p.m_nNo = CutInt(line, 0, 8);
        p.m_nCase = lc->m_nKey;
        p.m_nDof = CutInt(line, 8, 8);
        p.m_dValue = CutReal(line, 16, 15);
        out.push_back(p);
      }
      return true;
    };
    if (!readPoints(lc->m_nNodal, "節点荷重", lc->m_aNodal)) return 0;
    if (!readPoints(lc->m_nForced, "強制変位", lc->m_aForced)) return 0;
    for (int k = 1; k <= lc->m_nDist; ++k) {
      if (!ReadLine(ar, line)) {
        SetMsg(msg, plat::Format("ｹｰｽ%d:分布荷重読込(%d/%d)", c, k, lc->m_nDist));
        return 0;
      }
      CFbDistLoad d;
      d.m_nNo = CutInt(line, 0, 8);
      d.m_nCase = lc->m_nKey;
      d.m_nI8 = CutInt(line, 8, 8);
      d.m_adValues[0] = CutReal(line, 46, 15);
      d.m_adValues[1] = CutReal(line, 61, 15);
      d.m_adValues[2] = CutReal(line, 16, 15);
      d.m_adValues[3] = CutReal(line, 31, 15);
      lc->m_aDist.push_back(d);
    }
    for (int p = 1; p <= lc->m_nPre; ++p) {
      if (!ReadLine(ar, line)) {
        SetMsg(msg, plat::Format("ｹｰｽ%d:ﾌﾟﾚｽﾄﾚｽ読込(%d/%d)", c, p, lc->m_nPre));
        return 0;
      }
      CFbPrestress pre;
      pre.m_nCase = lc->m_nKey;
      pre.m_nPoints = NonNegative(plat::AtoI(line));
      for (int l = 1; l <= pre.m_nPoints; ++l) {
        if (!ReadLine(ar, line)) {
          lc->m_aPre.push_back(std::move(pre));
          SetMsg(msg, plat::Format("ｹｰｽ%d:ﾌﾟﾚｽﾄﾚｽ荷重(%d/%d)-%d", c, p, lc->m_nPre, l));
          return 0;
        }
        pre.m_nNo = CutInt(line, 0, 8);
        pre.m_aPoints.push_back({CutInt(line, 8, 8), CutReal(line, 16, 15)});
      }
      lc->m_aPre.push_back(std::move(pre));
    }
    for (int k = 1; k <= lc->m_nFifth; ++k) {
      if (!ReadLine(ar, line)) {
        SetMsg(msg, plat::Format("ｹｰｽ%d:分布荷重読込(%d/%d)", c, k, lc->m_nFifth));
        return 0;
      }
      CFbFifthEntry f;
      f.m_nNo = CutInt(line, 0, 8);
      f.m_nCase = lc->m_nKey;
      for (int v = 0; v < 4; ++v) f.m_adValues[v] = CutReal(line, 8 + 15 * v, 15);
      lc->m_aFifth.push_back(f);
    }
  }
  return 1;
}

int CFbModel::SerializeSteps(CArchiveIn& ar, std::string* msg) {
  std::string line;
  if (m_nVersion < 20) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, "ｽﾃｯﾌﾟ");
      return 0;
    }
    m_nSteps = NonNegative(plat::AtoI(line));
    m_anStep2[5] = 1;
    return 1;
  }
  if (!ReadLine(ar, line)) {
    SetMsg(msg, "ｽﾃｯﾌﾟ");
    return 0;
  }
  m_nSteps = NonNegative(plat::AtoI(CutColumn(line, 8, 0)));
  m_anStep1[0] = plat::AtoI(CutColumn(line, 8, 8));
  m_anStep1[1] = plat::AtoI(CutColumn(line, 8, 16));
  for (int k = 0; k < 5; ++k) m_adStep1[k] = plat::AtoF(CutColumn(line, 16, 24 + 16 * k));
  if (!ReadLine(ar, line)) {
    SetMsg(msg, "ｽﾃｯﾌﾟ");
    return 0;
  }
  static const int kStarts[6] = {0, 8, 16, 24, 32, 64};
  for (int k = 0; k < 6; ++k) m_anStep2[k] = plat::AtoI(CutColumn(line, 8, kStarts[k]));
  m_nGroundAccs = NonNegative(m_anStep2[1]);
  m_nWaves = NonNegative(m_anStep2[2]);
  return 1;
}

int CFbModel::SerializeGroundAcc(CArchiveIn& ar, std::string* msg) {
  std::string line;
  for (int i = 1; i <= m_nGroundAccs; ++i) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("地盤加速度(%d/%d)", i, m_nGroundAccs));
      return 0;
    }
    auto rec = std::make_unique<CFbGroundAcc>();
    CFbGroundAcc* g = rec.get();
    if (m_aGroundAccs.Append(std::move(rec)) != 1) {
      SetMsg(msg, plat::Format("地盤加速度配列(%d/%d)", i, m_nGroundAccs));
      return -1;
    }
    for (int k = 0; k < 3; ++k) g->m_anValues[k] = CutInt(line, 8 * k, 8);
    g->m_dValue = CutReal(line, 24, 16);
  }
  return 1;
}

int CFbModel::SerializeWaves(CArchiveIn& ar, std::string* msg) {
  std::string line;
  int prevEnd = 0;
  for (int w = 1; w <= m_nWaves; ++w) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("波形(%d/%d)", w, m_nWaves));
      return 0;
    }
    auto rec = std::make_unique<CFbWave>();
    CFbWave* wave = rec.get();
    if (m_aWaves.Append(std::move(rec)) != 1) {
      SetMsg(msg, plat::Format("波形配列(%d/%d)", w, m_nWaves));
      return -1;
    }
    wave->m_nHead = CutInt(line, 8, 8);
    const int end = CutInt(line, 16, 8);
    // End indexes are cumulative: one that goes back cannot be a count.
    if (end < prevEnd) {
      SetMsg(msg, plat::Format("波形ﾃﾞｰﾀ(%d/%d)", w, m_nWaves));
      return -1;
    }
    wave->m_nValues = end - prevEnd;
    prevEnd = end;
  }

  const int skipLines = LinesFor(m_anStep2[3], 5);
  for (int l = 1; l <= skipLines; ++l) {
    if (!ReadLine(ar, line)) {
      SetMsg(msg, plat::Format("波形(%d/%d/%d)", 0, l, skipLines));
      return 0;
    }
  }

  // One stream of five values a line; a wave starts where the last ended.
  int inLine = 5;
  for (int w = 1; w <= m_aWaves.GetCount(); ++w) {
    CFbWave* wave = m_aWaves.GetAt(w - 1);
    std::vector<double>& values = wave->m_wave.m_adValues;
    values.clear();
    values.reserve(static_cast<size_t>(std::min(wave->m_nValues, 1 << 16)));
    for (int j = 1; j <= wave->m_nValues; ++j) {
      if (inLine == 5) {
        if (!ReadLine(ar, line)) {
          SetMsg(msg, plat::Format("波形(%d/%d/%d)", w, j, wave->m_nValues));
          return 0;
        }
        inLine = 0;
      }
      values.push_back(CutReal(line, 16 * inLine, 16));
      ++inLine;
    }
    wave->m_wave.UpdateRange();
  }
  return 1;
}

int CFbModel::SerializeModes(CArchiveIn& ar, std::string* msg) {
  std::string line;
  if (!ReadLine(ar, line)) {
    SetMsg(msg, "モードなし");
    return 0;
  }
  m_nModeCount = NonNegative(plat::AtoI(plat::Left(line, 8)));
  return 1;
}

int CFbModel::Serialize(CArchiveIn& ar, std::string* msg) {
  RemoveAll();
  using Reader = int (CFbModel::*)(CArchiveIn&, std::string*);
  static const Reader kSections[] = {&CFbModel::SerializeHeader, &CFbModel::SerializeNodes,
                                     &CFbModel::SerializeElems,  &CFbModel::SerializeElems2,
                                     &CFbModel::SerializeQuads,  &CFbModel::SerializeSups,
                                     &CFbModel::SerializeSecs,   &CFbModel::SerializeMats};
  for (Reader r : kSections) {
    const int code = (this->*r)(ar, msg);
    if (code < 1) {
      RemoveAll();
      return code;
    }
    m_aNodes.Trim();
    m_aElems.Trim();
    m_aElems2.Trim();
    m_aQuads.Trim();
  }
  // A failed renumbering leaves what was read; every user of the links
  // checks its pointers.
  const int renumbered = Renumber(msg);
  if (renumbered < 1) return renumbered;
  RenumberSecMaterials();

  switch (m_nAnaType) {
    case 1: {
      const int code = SerializeLoads(ar, msg);
      if (code < 0) {
        RemoveAll();
        return code;
      }
      // A file that ends inside the load cases keeps the cases read so far.
      BuildLCaseList();
      break;
    }
    case 2: {
      int code = SerializeSteps(ar, msg);
      if (code < 0) {
        RemoveAll();
        return code;
      }
      if (m_nVersion >= 20) {
        code = SerializeGroundAcc(ar, msg);
        if (code >= 1) code = SerializeWaves(ar, msg);
        if (code < 1) {
          RemoveAll();
          return code;
        }
      }
      break;
    }
    case 3: {
      if (!m_bResultsReader) break;
      const int code = SerializeModes(ar, msg);
      if (code < 1) {
        RemoveAll();
        return code;
      }
      break;
    }
    default:
      SetMsg(msg, "解析ﾀｲﾌﾟが不明です");
      return -15;
  }
  BuildFiberIDList();
  m_bLoaded = 1;
  return 1;
}
