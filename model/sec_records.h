// "/sections" records: a head line followed by the section's plate-block and
// deck lines, all of the attached-comment style.
#pragma once
#include <memory>
#include <vector>

#include "model/fem_input.h"

class CBlk : public CFemData {
 public:
  int m_nDiv1 = 0;
  int m_nDiv2 = 0;
  // 0 or negative: the section's material.
  int m_nMat = 0;
  // Negative: arc block (ring sector); otherwise a straight strip.
  int m_nType = 0;
  // Straight: start (y1, z1) and end (y2, z2). Arc: radii r1, r2 in m_dY1,
  // m_dY2 and the start and end angles in degrees in m_dZ1, m_dZ2.
  double m_dY1 = 0, m_dY2 = 0, m_dZ1 = 0, m_dZ2 = 0;
  // Straight: thickness; arc: 0.
  double m_dThick = 0;
  // Arc centre (wide files only).
  double m_dYc = 0, m_dZc = 0;
};

class CIpBlk : public CFemInput, public CBlk {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return SetTextDefault(); }
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }

  // Straight: the strip's length; arc: the mean arc length.
  double GetLength() const;
  // The four corners of the strip (straight) or the bounding rectangle of the
  // outer arc (arc); all 0 for a straight block of length 0.
  void GetCorners(double y[4], double z[4]) const;
};

class CDck : public CFemData {
 public:
  int m_nCount = 0;
  int m_nDiv2 = 0;
  // Read from narrow lines only; 1 for a deck read from a wide file.
  int m_nMat = 0;
  double m_dY1 = 0, m_dY2 = 0, m_dZ1 = 0, m_dZ2 = 0;
  double m_dValue = 0;
  // Negative: arc deck.
  int m_nType = 0;
  double m_dYc = 0, m_dZc = 0;
};

class CIpDck : public CFemInput, public CDck {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return SetTextDefault(); }
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }
};

class CSec : public CFemData, public CVec {
 public:
  // Material of every block whose own material is 0 or negative.
  int m_nMat = 0;
  int m_nSecOpt2 = 0;
  int m_nSecOpt1 = 0;
  double m_dSecVal1 = 0, m_dSecVal2 = 0, m_dSecVal3 = 0;
  // Twelve section flags, bits 0 to 11.
  int m_nFlags = 0;
  double m_dCoef1 = 0, m_dCoef2 = 0;
  // The section's blocks and decks in file order, owned.
  std::vector<std::unique_ptr<CIpBlk>> m_pBlkList;
  std::vector<std::unique_ptr<CIpDck>> m_pDckList;
};

class CIpSec : public CFemInput, public CSec {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return SetTextDefault(); }
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }

  void RemoveAll();
  // Append a copy of the data fields (not the comment).
  bool AddBlk(const CIpBlk& blk);
  bool AddDck(const CIpDck& dck);
  int GetBlkCount() const;
  int GetDckCount() const;
  // The flag field: twelve characters, "1" for a set bit, else a blank.
  void SetFlags(const std::string& text);
  std::string GetFlags() const;
};
