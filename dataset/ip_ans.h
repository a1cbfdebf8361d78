// The "/analysis" section: static analysis parameters and the load
// application list, packed several entries to a line.
#pragma once
#include <string>

#include "dataset/ip_blocks.h"
#include "model/fem_input.h"

class CIpAns : public CFemInput, public CSingleList {
 public:
  CIpAns();

  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int, int) override { return {}; }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return false; }
  // Empty while the list has no entry to write.
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }
  void Reset() override;

  int m_nParam1 = 16;
  int m_nParam2 = 0;
  double m_dParam1 = 0.0;
  double m_dParam2 = 0.0;
  CIpAnsSubBlock m_LoadList;
};
