// Entries of the "/analysis" load list, initial stresses ("/prestress"),
// initial forces ("/pres") and output intervals ("/soutput").
#pragma once
#include <string>
#include <vector>

#include "model/columns.h"
#include "model/fem_input.h"

// ---- one entry of the "/analysis" load list ----

class CAnsSub : public CFemData {
 public:
  int m_nValue1 = 0;
  int m_nFlag = 0;  // 0 or 1
  int m_nValue2 = 0;
};

// Not a line of its own: "/analysis" hands each cell of its lines to Read and
// joins the texts of Write into its own lines.
class CIpAnsSub : public CFemInput, public CAnsSub {
 public:
  bool Write(std::string& text) override;
  // Cuts the fields from `line` itself; the archive is not used.
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  void ParseCell(const std::string& cell);
};

// ---- "/prestress" ----

class CPSt : public CFemData {
 public:
  int m_nKey = 0;
  int m_nCount = 0;  // item count as read; its sign is kept on writing
  std::vector<CValueNode> m_lstItems;  // (item number, value), in file order
  int m_nLast = 0;
  int m_nInc = 0;
  double m_dValue = 0;
};

// A head line whose (value, item number) list runs on over continuation lines.
class CIpPSt : public CFemInput, public CPSt {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};

// ---- "/pres" ----

class CPSt2 : public CFemData {
 public:
  int m_nKey = 0;
  int m_nLast = 0;
  int m_nInc = 0;
  double m_adValue[6] = {0, 0, 0, 0, 0, 0};  // values 1 to 6
};

// Up to six values, each written with its position.
class CIpPSt2 : public CFemInput, public CPSt2 {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};

// ---- "/soutput" ----

class CSOutput : public CFemData {
 public:
  int m_nValue1 = 0;
  int m_nValue2 = 0;
};

class CIpSOutput : public CFemInput, public CSOutput {
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
