// "/nspring", "/nsp2" and "/gap" lines: property records with a reference
// direction, read in the attached-comment style.
#pragma once
#include <string>
#include <vector>

#include "model/columns.h"
#include "model/fem_input.h"

// Direction line shared by the property records: x, y, z in three 10-column
// fields.
std::string FormatDirectionLine(const CVec& v);
void ParseDirectionLine(const std::string& data, CVec& v);
bool IsDirectionSet(const CVec& v);

class CNSpr : public CFemData, public CVec {
 public:
  int m_nCode = 0;
  double m_dValue1 = 0, m_dValue2 = 0, m_dValue3 = 0;
  // Curve lines of six values (two entries of three values each).
  std::vector<CValues6> m_aCurve;
};

class CIpNSpr : public CFemInput, public CNSpr {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  // Number of curve entries as written on the head line.
  int CurveEntryCount() const;
};

class CNSpr2 : public CFemData, public CVec {
 public:
  CNSpr2() { m_dVx = 1; }
  int m_nCode1 = 0, m_nCode2 = 0, m_nCode3 = 0, m_nCode4 = 0;
  double m_dValue1 = 0, m_dValue2 = 0;
};

class CIpNSpr2 : public CFemInput, public CNSpr2 {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};

class CGap : public CFemData, public CVec {
 public:
  double m_dValue1 = 0, m_dValue2 = 0;
};

class CIpGap : public CFemInput, public CGap {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};
