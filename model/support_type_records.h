// "/hsupport", "/pccable" ("/pivot"), "/gsupport" and "/rbcks" lines: bearing,
// support and cable records with a reference direction, read in the
// attached-comment style.
#pragma once
#include <string>

#include "model/fem_input.h"

class CHSup : public CFemData, public CVec {
 public:
  CHSup() { m_dVx = 1; }
  int m_nCode = 0;
  int m_nType = 0;
  double m_dValue[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

class CIpHSup : public CFemInput, public CHSup {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  // Copies comment, number, code, type, values and direction (not the slot).
  void CopyFrom(const CIpHSup& src);
};

class CPccbl : public CFemData, public CVec {
 public:
  CPccbl() { m_dVx = 1; }
  int m_nCode = 0;
  double m_dValue[4] = {0, 0, 0, 0};
};

class CIpPccbl : public CFemInput, public CPccbl {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};

class CGSup : public CFemData, public CVec {
 public:
  CGSup() { m_dVx = 1; }
  int m_nCode = 0;
  int m_nType = 0;
  double m_dValue[4] = {0, 0, 0, 0};
};

class CIpGSup : public CFemInput, public CGSup {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};

class CRbcks : public CFemData, public CVec {
 public:
  CRbcks() { m_dVx = 1; }
  int m_nCode = 0;
  double m_dValue[5] = {0, 0, 0, 0, 0};
  int m_nCode2 = 0, m_nCode3 = 0, m_nCode4 = 0;
};

class CIpRbcks : public CFemInput, public CRbcks {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};
