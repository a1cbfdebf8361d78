// The keyword data set: every block and single-section record of one keyword
// data file (.dat / .da_), its reader, writer and linking.
#pragma once
#include <string>
#include <vector>

#include "dataset/ip_ans.h"
#include "dataset/ip_blocks.h"
#include "model/single_records.h"

class CIpDataSet {
 public:
  CIpDataSet();
  CIpDataSet(const CIpDataSet&) = delete;
  CIpDataSet& operator=(const CIpDataSet&) = delete;

  // Empties the model.
  void RemoveAll();
  // Reads a keyword data file into the (emptied) data set in the current
  // column layout; the file is read to its end and regrouped. What could not
  // be kept is listed in Messages().
  void Read(CArchiveIn& ar);
  // Writes the data set as keyword data file text in the current column layout.
  void Write(CArchiveOut& ar);
  // Writes the whole file: a temporary file beside it is renamed over it only
  // when every byte was written. False with `error` (the system's reason)
  // otherwise; the old file is then untouched.
  bool WriteFile(const std::string& path, std::string* error = nullptr);

  // Linking after reading, in this order.
  void LinkNodes();
  void BuildPropList();
  void CalcElemAxes();

  // Reports (UTF-8) of the last Read: records dropped because a block was
  // full, a read error of the file and a line too long.
  const std::vector<std::string>& Messages() const { return m_aMessages; }
  // True when the last Read kept no record and no section at all.
  bool HoldsNoRecord();

  CIpTitle m_Title;
  CIpSetSpc m_SetSpc;
  CIpNodeBlock m_Nodes;
  CIpElemBlock m_Elems;
  CIpSupBlock m_Sups;
  CIpNLdBlock m_NLds;
  CIpNLdBlock m_EnDisps;  // "/endisp"
  CIpPLdBlock m_PLds;
  CIpMassBlock m_Masses;
  CIpDForceOldBlock m_DForcesOld;
  CIpDForceBlock m_DForces;
  CIpMatBlock m_Mats;
  CIpPropBlock m_Props;
  CIpSecBlock m_Secs;
  CIpSclBlock m_Scls;
  CIpBeamBlock m_OldBeams;  // "/property", old line form; empty after reading
  CIpBeamBlock m_Beams;     // "/gproperty"
  CIpNSprBlock m_NSprs;
  CIpNSpr2Block m_NSpr2s;
  CIpGapBlock m_Gaps;
  CIpQuakeBlock m_Quakes;
  CIpPStBlock m_PSts;
  CIpFuncBlock m_Funcs;
  CIpCrpBlock m_Crps;
  CIpStrnBlock m_Strns;
  CIpHSupBlock m_HSupRead;      // "/hsupport" as read
  CIpHSupBlock m_HSupTyped[3];  // by type 1, 2, 3
  CIpPccblBlock m_Pccbls;
  CIpPccblBlock m_Pivots;  // "/pivot"
  CIpTrussBlock m_Trusses;
  CIpGSupBlock m_GSupRead;      // "/gsupport" as read
  CIpGSupBlock m_GSupTyped[3];  // by type 1, 2, 3
  CIpRbcksBlock m_Rbcks;
  CIpRigidBlock m_Rigids;
  CIpNDEqualBlock m_NDEquals;
  CIpPSt2Block m_PSt2s;
  CIpSOutputBlock m_SOutputs;
  CIpPShellBlock m_PShells;
  CIpQuadBlock m_Quads;
  CIpSLdBlock m_SLds;
  CIpQlineBlock m_Qlines;
  CIpGravity m_Gravity;
  CIpDamping m_Damping;
  CIpBase m_Base;
  CIpInitialCondition m_InitCond[2];
  CIpRestart m_Restart[2];
  CIpCkpoint m_Ckpoint[2];
  CIpCkpoint m_CkpointBuf;  // reading buffer of "/ckpoint" sections
  CIpDynamic m_Dynamic;
  CIpAns m_Ans;
  CIpOutput m_Output;
  CIpModal m_Modal;

 private:
  void Regroup();
  void CollectMessages(const CArchiveIn& ar);

  std::vector<std::string> m_aMessages;
};
