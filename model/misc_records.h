// Creep ("/creep") and initial strain ("/strain") lines, truss properties
// ("/gtruss"), rigid bodies ("/rigid") and two-point constraints ("/ndequal").
#pragma once
#include <string>

#include "model/fem_input.h"

// ---- "/creep" and "/strain": one layout, one cell behaviour ----

class CCrpFields : public CFemData {
 public:
  int m_nKey = 0;
  int m_nCode = 0;
  double m_dValue1 = 0, m_dValue2 = 0;
  int m_nLast = 0;
  int m_nInc = 0;
};

class CCrp : public CCrpFields {};
class CStrn : public CCrpFields {};

// The shared body of both records; `Data` is CCrp or CStrn.
template <class Data>
class CIpCrpLine : public CFemInput, public Data {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  void ParseLine(const std::string& line);
};

extern template class CIpCrpLine<CCrp>;
extern template class CIpCrpLine<CStrn>;

class CIpCrp : public CIpCrpLine<CCrp> {};
class CIpStrn : public CIpCrpLine<CStrn> {};

// ---- "/gtruss" ----

class CTruss : public CFemData, public CVec {
 public:
  int m_nCode1 = 0, m_nCode2 = 0, m_nCode3 = 0;
  double m_dValue1 = 0;
  int m_nCode4 = 0;
  double m_dValue2 = 0, m_dValue3 = 0, m_dValue4 = 0, m_dValue5 = 0;
};

// A truss property of two lines: the head line and the direction line.
class CIpTruss : public CFemInput, public CTruss {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  // Parses the head line; returns the flag that announces the second line.
  int ParseHead(const std::string& line);
  void ParseSecond(const std::string& line);
};

// ---- "/rigid" ----

class CRigid : public CFemData {
 public:
  int m_nCode = 0;
};

class CIpRigid : public CFemInput, public CRigid {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  void ParseLine(const std::string& line);
};

// ---- "/ndequal" ----

class CNDEqual : public CFemData {
 public:
  int m_nSecond = 0;
  int m_nInc = 0;
  int m_nThird = 0;
  int m_nDir = 0;  // bit d-1 = direction d, d = 1..6
};

class CIpNDEqual : public CFemInput, public CNDEqual {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  void ParseLine(const std::string& line);
};
