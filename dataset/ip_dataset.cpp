#include "dataset/ip_dataset.h"

#include <functional>
#include <memory>
#include <unordered_set>

#include "model/beam_records.h"
#include "platform/bytestr.h"
#include "platform/numbers.h"

namespace {
void SetUp(CIpBlock& block, int id, const char* caption) {
  block.m_nNo = id;
  block.SetCaption(caption);
}

// A single-section record's text, when it has any.
void SaveRecord(CFemInput& rec, CArchiveOut& ar) {
  std::string text;
  if (rec.Write(text)) ar.WriteString(text);
}

// Written only when the file held its section (or it was filled since).
void SaveIfSet(CFemInput& rec, CArchiveOut& ar) {
  if (!rec.IsEmpty()) SaveRecord(rec, ar);
}

int WriteIfAny(CIpBlock& block, CArchiveOut& ar) { return block.GetCount() ? block.Write(ar) : 0; }
}  // namespace

CIpDataSet::CIpDataSet() {
  m_SetSpc.SetCaption("全体拘束");
  SetUp(m_Nodes, 1, "節点");
  SetUp(m_Elems, 2, "要素");
  SetUp(m_Sups, 3, "拘束条件");
  SetUp(m_NLds, 11, "節点荷重");
  m_EnDisps.m_strKeyword = "/endisp";
  SetUp(m_EnDisps, 12, "強制変位");
  SetUp(m_PLds, 13, "分布荷重");
  SetUp(m_Masses, 15, "質量");
  SetUp(m_DForcesOld, 16, "節点力");
  SetUp(m_DForces, 16, "節点力");
  SetUp(m_Mats, 4, "材料");
  m_Props.m_nNo = 0;
  SetUp(m_Secs, 5, "断面");
  SetUp(m_Scls, 6, "スカラー");
  // Both beam blocks are built in the new form; the old-form block is set
  // last, which leaves the records' line form at 0.
  m_Beams.SetBeamFormat(1);
  m_OldBeams.m_strKeyword = "/property";
  m_OldBeams.SetBeamFormat(0);
  SetUp(m_OldBeams, 0, "旧弾性ビーム要素");
  SetUp(m_Beams, 0, "弾性ビーム要素");
  SetUp(m_NSprs, 7, "非線型バネ");
  SetUp(m_NSpr2s, 8, "ゴム支承");
  SetUp(m_Gaps, 9, "ギャップ");
  SetUp(m_Quakes, 17, "地盤加速度");
  SetUp(m_PSts, 14, "初期応力");
  SetUp(m_Funcs, 0, "波形");
  SetUp(m_Crps, 28, "クリープ");
  SetUp(m_Strns, 29, "初期ひずみ");
  m_HSupRead.m_nNo = 30;
  SetUp(m_HSupTyped[0], 31, "可動支承");
  SetUp(m_HSupTyped[1], 32, "固定支承");
  SetUp(m_HSupTyped[2], 33, "衝突バネ");
  SetUp(m_Pccbls, 34, "PCｹｰﾌﾞﾙ");
  m_Pivots.m_strKeyword = "/pivot";
  SetUp(m_Pivots, 43, "ピボット支承");
  SetUp(m_Trusses, 48, "トラス要素");
  m_GSupRead.m_nNo = 35;
  SetUp(m_GSupTyped[0], 36, "ピンローラー支承");
  SetUp(m_GSupTyped[1], 37, "固定ピン支承");
  SetUp(m_GSupTyped[2], 38, "ピボット・ＢＰＢ支承");
  SetUp(m_Rbcks, 39, "落橋防止ケーブル・桁衝突");
  SetUp(m_Rigids, 40, "剛体");
  SetUp(m_NDEquals, 41, "二点拘束");
  SetUp(m_PSt2s, 42, "初期力");
  SetUp(m_SOutputs, 49, "出力間隔");
  SetUp(m_PShells, 44, "シェル特性");
  SetUp(m_Quads, 45, "シェル要素");
  SetUp(m_SLds, 46, "分布荷重(ｼｪﾙ要素)");
  SetUp(m_Qlines, 47, "曲要素");
  m_Gravity.SetCaption("重力加速度");
  m_Damping.SetCaption("レーリー減衰");
  m_Base.SetCaption("地震波伝播速度");
  m_Dynamic.SetCaption("動解析パラメータ");
  m_Ans.SetCaption("静解析パラメータ");
  SetUp(m_Ans.m_LoadList, 24, "荷重載荷リスト");
}

// Every block of the data set, the "/prop" block first: its records point
// into the property blocks.
#define OV_ALL_BLOCKS(X)                                                                                     \
  X(m_Props) X(m_Nodes) X(m_Elems) X(m_Sups) X(m_NLds) X(m_EnDisps) X(m_PLds) X(m_Masses) X(m_DForcesOld)    \
  X(m_DForces) X(m_Mats) X(m_Secs) X(m_Scls) X(m_OldBeams) X(m_Beams) X(m_NSprs) X(m_NSpr2s) X(m_Gaps)        \
  X(m_Quakes) X(m_PSts) X(m_Funcs) X(m_Crps) X(m_Strns) X(m_HSupRead) X(m_HSupTyped[0]) X(m_HSupTyped[1])     \
  X(m_HSupTyped[2]) X(m_Pccbls) X(m_Pivots) X(m_Trusses) X(m_GSupRead) X(m_GSupTyped[0]) X(m_GSupTyped[1])    \
  X(m_GSupTyped[2]) X(m_Rbcks) X(m_Rigids) X(m_NDEquals) X(m_PSt2s) X(m_SOutputs) X(m_PShells) X(m_Quads)     \
  X(m_SLds) X(m_Qlines) X(m_Ans.m_LoadList)

void CIpDataSet::RemoveAll() {
  // The property references go first and with the rest: they point into
  // the property blocks, and a re-read must not link to freed records.
#define OV_DELETE(b) b.DeleteAll();
  OV_ALL_BLOCKS(OV_DELETE)
#undef OV_DELETE
  m_Title.Reset();
  // The global restraint is emptied too, so that a file without it does not
  // keep the restraint of the file read before.
  m_SetSpc.Reset();
  m_Gravity.Reset();
  m_Damping.Reset();
  m_Base.Reset();
  for (auto& r : m_InitCond) r.Reset();
  for (auto& r : m_Restart) r.Reset();
  for (auto& r : m_Ckpoint) r.Reset();
  m_Dynamic.Reset();
  m_Ans.Reset();
  m_Output.Reset();
  m_Modal.Reset();
  m_aMessages.clear();
}

void CIpDataSet::Read(CArchiveIn& ar) {
  m_HSupRead.DeleteAll();
  m_GSupRead.DeleteAll();
  m_CkpointBuf.Reset();
  m_aMessages.clear();

  struct Section {
    std::function<bool(const std::string&)> accepts;
    std::function<bool(std::string&)> read;
  };
  std::vector<Section> sections;
  auto block = [&](auto& b) {
    sections.push_back({[&b](const std::string& l) { return b.IsKeyword(l); },
                        [&b, &ar](std::string& l) { return b.ReadBlock(ar, l); }});
  };
  auto single = [&](auto& r) {
    sections.push_back({[&r](const std::string& l) { return r.MatchKeyword(l); },
                        [&r, &ar](std::string& l) { return r.Read(ar, l); }});
  };
  // The order of the tests decides between keywords that share their first
  // five characters: "/pres" lines are initial stresses, "/prop" lines old
  // beam properties.
  single(m_Title);
  block(m_Nodes);
  block(m_Elems);
  block(m_Sups);
  block(m_NLds);
  block(m_EnDisps);
  block(m_PLds);
  block(m_Masses);
  block(m_DForces);
  block(m_Mats);
  block(m_Secs);
  block(m_Scls);
  block(m_NSprs);
  block(m_NSpr2s);
  block(m_Gaps);
  block(m_OldBeams);
  block(m_Beams);
  block(m_Quakes);
  block(m_PSts);
  block(m_Funcs);
  single(m_Damping);
  single(m_Gravity);
  single(m_Base);
  single(m_InitCond[0]);
  single(m_Restart[0]);
  sections.push_back({[this](const std::string& l) { return m_CkpointBuf.MatchKeyword(l); },
                      [this, &ar](std::string& l) {
                        // A fresh buffer for every section, so that one section
                        // never inherits another's comment or data.
                        m_CkpointBuf.Reset();
                        const bool ok = m_CkpointBuf.Read(ar, l);
                        if (ok) m_Ckpoint[m_CkpointBuf.m_nCk2 != 0 ? 1 : 0] = m_CkpointBuf;
                        return ok;
                      }});
  single(m_Dynamic);
  single(m_Output);
  single(m_Modal);
  single(m_Ans);
  block(m_Crps);
  block(m_Strns);
  single(m_SetSpc);
  block(m_HSupRead);
  block(m_Pccbls);
  block(m_Pivots);
  block(m_PShells);
  block(m_Quads);
  block(m_GSupRead);
  block(m_Rbcks);
  block(m_Rigids);
  block(m_NDEquals);
  block(m_SLds);
  block(m_Qlines);
  block(m_Trusses);

  std::string line;
  bool more = ar.ReadString(line);
  while (more) {
    // Blank lines between sections are passed over; a blank line would
    // otherwise pass the title's keyword test and end the read there.
    if (plat::Trim(line).empty()) {
      more = ar.ReadString(line);
      continue;
    }
    const Section* found = nullptr;
    for (const Section& s : sections) {
      if (s.accepts(line)) {
        found = &s;
        break;
      }
    }
    if (!found) {
      more = ar.ReadString(line);
      continue;
    }
    const unsigned long long before = ar.Position();
    found->read(line);
    // Whatever the reader returned, the line it left is taken up next: a
    // keyword line opens its section, other lines are passed over. Only an
    // empty buffer at the end of the input ends the read.
    if (line.empty() || ar.Position() == before) more = ar.ReadString(line);
  }
  Regroup();
  CollectMessages(ar);
}

void CIpDataSet::Regroup() {
  // Old-form beam properties join the new-form ones unless a new-form
  // property with their number was read.
  std::unordered_set<int> taken;
  const int nBeams = m_Beams.GetCount();
  for (int i = 0; i < nBeams; ++i) {
    CIpBeam* b = m_Beams.GetRecord(i);
    if (b && !b->IsEmpty() && b->m_strComment.empty()) taken.insert(b->m_nNo);
  }
  const int nOld = m_OldBeams.GetCount();
  for (int i = 0; i < nOld; ++i) {
    const CIpBeam* p = m_OldBeams.GetRecord(i);
    if (!p || taken.count(p->m_nNo)) continue;
    m_Beams.Append(std::make_unique<CIpBeam>(*p));
  }
  m_OldBeams.DeleteAll();

  const int nHSup = m_HSupRead.GetCount();
  for (int i = 0; i < nHSup; ++i) {
    const CIpHSup* h = m_HSupRead.GetRecord(i);
    if (!h || h->m_nType < 1 || h->m_nType > 3) continue;
    auto copy = std::make_unique<CIpHSup>();
    copy->CopyFrom(*h);
    m_HSupTyped[h->m_nType - 1].Append(std::move(copy));
  }
  const int nGSup = m_GSupRead.GetCount();
  for (int i = 0; i < nGSup; ++i) {
    const CIpGSup* g = m_GSupRead.GetRecord(i);
    if (!g || g->m_nType < 1 || g->m_nType > 3) continue;
    m_GSupTyped[g->m_nType - 1].Append(std::make_unique<CIpGSup>(*g));
  }
}

void CIpDataSet::CollectMessages(const CArchiveIn& ar) {
  auto report = [this](const CIpBlock& b) {
    if (b.GetRefused() <= 0) return;
    const std::string& name = b.m_strCaption.empty() ? b.m_strKeyword : b.m_strCaption;
    m_aMessages.push_back(plat::Format("%s: 上限の%d件を超えた%d件のデータを読み込めませんでした", name.c_str(),
                                       CIpRecordArray::kMaxRecords, b.GetRefused()));
  };
#define OV_REPORT(b) report(b);
  OV_ALL_BLOCKS(OV_REPORT)
#undef OV_REPORT
  if (ar.Failed()) m_aMessages.push_back("ファイルの読み込み中にエラーが発生しました。途中までのデータを読み込みました");
  if (!ar.Refusal().empty()) m_aMessages.push_back(ar.Refusal() + "。途中までのデータを読み込みました");
}

bool CIpDataSet::HoldsNoRecord() {
  bool none = true;
#define OV_NONE(b) none = none && b.GetCount() == 0;
  OV_ALL_BLOCKS(OV_NONE)
#undef OV_NONE
  for (CFemInput* r : std::initializer_list<CFemInput*>{
           &m_Title, &m_SetSpc, &m_Gravity, &m_Damping, &m_Base, &m_InitCond[0], &m_InitCond[1], &m_Restart[0],
           &m_Restart[1], &m_Ckpoint[0], &m_Ckpoint[1], &m_Dynamic, &m_Ans, &m_Output, &m_Modal})
    none = none && r->IsEmpty();
  return none;
}

void CIpDataSet::Write(CArchiveOut& ar) {
  SaveIfSet(m_Title, ar);
  SaveIfSet(m_SetSpc, ar);
  for (CIpBlock* b : std::initializer_list<CIpBlock*>{&m_Nodes, &m_Elems, &m_Sups, &m_NLds, &m_EnDisps, &m_PLds,
                                                      &m_Masses, &m_DForces, &m_Mats, &m_Secs, &m_Scls, &m_Gaps,
                                                      &m_Crps, &m_Strns, &m_PShells, &m_Quads, &m_SLds, &m_Qlines})
    WriteIfAny(*b, ar);

  // The beam properties are always written in the new form, also when the
  // block is empty (the keyword line alone).
  m_Beams.m_strKeyword = "/gproperty";
  m_Beams.SetBeamFormat(1);
  m_Beams.Write(ar);
  m_Beams.m_strKeyword = "/gproperty";
  m_Beams.SetBeamFormat(1);

  WriteIfAny(m_NSprs, ar);
  WriteIfAny(m_NSpr2s, ar);
  const int nPSt = WriteIfAny(m_PSts, ar);
  if (m_PSt2s.GetCount()) {
    // Initial forces follow the initial stresses under their keyword.
    if (nPSt > 0) m_PSt2s.m_strKeyword.clear();
    m_PSt2s.Write(ar);
    m_PSt2s.m_strKeyword = "/pres";
  }
  WriteIfAny(m_Quakes, ar);
  SaveIfSet(m_Damping, ar);
  SaveIfSet(m_Base, ar);
  SaveIfSet(m_Gravity, ar);
  for (CIpBlock* b : std::initializer_list<CIpBlock*>{
           &m_HSupTyped[0], &m_HSupTyped[1], &m_HSupTyped[2], &m_Pccbls, &m_Pivots, &m_GSupTyped[0],
           &m_GSupTyped[1], &m_GSupTyped[2], &m_Rbcks, &m_Trusses, &m_Rigids, &m_NDEquals})
    WriteIfAny(*b, ar);
  SaveRecord(m_Output, ar);
  SaveIfSet(m_Ckpoint[1], ar);
  SaveIfSet(m_Restart[1], ar);
  // A second initial condition is announced by the eigen line's second value.
  if (!m_InitCond[1].IsEmpty()) m_Modal.m_nModalOpt = 2;
  SaveIfSet(m_Modal, ar);
  SaveIfSet(m_InitCond[1], ar);
  SaveIfSet(m_Ckpoint[0], ar);
  SaveIfSet(m_Restart[0], ar);
  SaveIfSet(m_InitCond[0], ar);
  SaveIfSet(m_Dynamic, ar);
  SaveIfSet(m_Ans, ar);
  WriteIfAny(m_Funcs, ar);
}

bool CIpDataSet::WriteFile(const std::string& path, std::string* error) {
  plat::LineWriter file(path);
  if (!file.Open(error)) return false;
  CArchiveOut ar(file);
  Write(ar);
  return file.Commit(error);
}
