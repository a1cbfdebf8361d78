// "/materials" records: a first line and the continuation lines of the
// material type, of the attached-comment style.
#pragma once
#include "model/fem_input.h"

class CMat : public CFemData {
 public:
  static constexpr int kParamCount = 20;
  // Material type; 999 stands for a material without continuation line and
  // is written as -1.
  int m_nType = 0;
  double m_dVal1 = 0, m_dVal2 = 0, m_dVal3 = 0;
  // Written only for types 10, 11 and 999.
  double m_dVal4 = 0;
  // The continuation lines' values in file order.
  double m_aParam[kParamCount] = {};
};

class CIpMat : public CFemInput, public CMat {
 public:
  static constexpr int kNoContinuation = 999;

  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return false; }
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }
};
