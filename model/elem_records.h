// "/elements" lines: line members between two nodes, generating records of the
// comment-line style, with the local axes the display model draws along.
#pragma once
#include "model/fem_input.h"
#include "model/node_records.h"

class CIpProp;

class CElem : public CFemData {
 public:
  int m_nNodeI = 0;
  int m_nNodeJ = 0;
  int m_nProp = 0;
  int m_nLast = 0;
  int m_nInc = 0;
  // 1 when the three axes below are valid unit vectors. Kept beside the
  // integers, where it fills what would be padding before the pointers.
  int m_bAxis = 0;
  // Filled by linking after the whole file is read; not owned.
  CIpNode* m_pNodeI = nullptr;
  CIpNode* m_pNodeJ = nullptr;
  double m_vAxisX[3] = {0, 0, 0};
  double m_vAxisY[3] = {0, 0, 0};
  double m_vAxisZ[3] = {0, 0, 0};
  CIpProp* m_pProp = nullptr;
};

// Cell columns: 0 number, 1 property, 2 start node, 3 end node, 4 last, 5 increment.
class CIpElem : public CFemInput, public CElem {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  // Parses a data line in the current column mode.
  void ParseLine(const std::string& line);

  // Local axes from the linked nodes and the reference direction of the
  // linked property (CIpProp::GetRefVector).
  void CalcLocalAxis();
  // The same with the reference direction given; null stands for a property
  // that is not linked. Users test m_bAxis before the axes.
  void CalcLocalAxisFrom(const CVec* ref);
};
