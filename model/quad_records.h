// Four-node shell elements ("/cquad"), shell surface loads ("/sufload") and
// curved line elements ("/cqline").
#pragma once
#include <string>

#include "model/fem_input.h"

class CIpNode;

// ---- "/cquad" ----

class CQuad : public CFemData {
 public:
  int m_nSecond = 0;
  int m_nInc = 0;
  int m_nRef = 0;  // reference (property) number
  int m_anNode[4] = {0, 0, 0, 0};
};

class CIpQuad : public CFemInput, public CQuad {
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

// ---- "/sufload" ----

class CSLd : public CFemData {
 public:
  int m_nKey = 0;
  int m_nLast = 0;
  int m_nInc = 0;
  double m_dValue1 = 0, m_dValue2 = 0, m_dValue3 = 0, m_dValue4 = 0;
};

// A generating record of two lines: the head line and values 2 to 4.
class CIpSLd : public CFemInput, public CSLd {
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

// ---- "/cqline" ----

class CQline : public CFemData {
 public:
  int m_nSecond = 0;
  int m_nInc = 0;
  int m_nRef = 0;  // reference (property) number
  int m_nNode1 = 0;
  int m_nNode2 = 0;
  int m_nThird = 0;
  // Set by the linking of the model; not owned, null until then.
  CIpNode* m_pNode1 = nullptr;
  CIpNode* m_pNode2 = nullptr;
};

class CIpQline : public CFemInput, public CQline {
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
