// "/nodes" and "/support" lines: generating records of the comment-line style.
#pragma once
#include "model/fem_input.h"

class CNode : public CFemData {
 public:
  double m_dX = 0, m_dY = 0, m_dZ = 0;
  int m_nLast = 0;
  int m_nInc = 0;
  double m_dDX = 0, m_dDY = 0, m_dDZ = 0;
};

class CIpNode : public CFemInput, public CNode {
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
};

class CSup : public CFemData {
 public:
  int m_nCode = 0;
  int m_nLast = 0;
  int m_nInc = 0;
};

class CIpSup : public CFemInput, public CSup {
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
