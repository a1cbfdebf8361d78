// Property reference records ("/prop", built after loading) and time
// functions ("/functions") with their waveform part.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "model/fem_input.h"

// The reference slots of a property reference, numbered from 1 as the linker
// fills them.
enum PropSlot : int {
  kPropSlotSec = 1,      // CIpSec
  kPropSlotScl = 2,      // CIpScl
  kPropSlotNSpr = 3,     // CIpNSpr
  kPropSlotGap = 4,      // CIpGap
  kPropSlotNSpr2 = 5,    // CIpNSpr2
  kPropSlotBeam = 6,     // CIpBeam of "/gproperty"
  kPropSlotRigid = 15,   // CIpRigid
  kPropSlotTruss = 16,   // CIpTruss
  kPropSlotCount = 16,
};

class CProp : public CFemData {
 public:
  // Sixteen non-owning references to property records, all null when new.
  // Every property record is a CFemInput; its direction part (CVec) and its
  // concrete class are reached from it by dynamic_cast.
  std::array<CFemInput*, kPropSlotCount> m_apRef{};
};

class CIpProp : public CFemInput, public CProp {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;

  // Slot 1..16; out-of-range slots read as null and are not stored.
  CFemInput* GetRef(int slot) const;
  void SetRef(int slot, CFemInput* rec);
  // The record in `slot` as its concrete class, or null.
  template <class T>
  T* GetRefAs(int slot) const {
    return dynamic_cast<T*>(GetRef(slot));
  }

  // The reference direction of the element local axes: the direction of the
  // first filled slot (1, 2, 3, 4, 6, 5, 7 .. 14, 15 = (1, 1, 1), 16);
  // (0, 0, 0) when every slot is empty.
  void GetRefVector(double& x, double& y, double& z) const;
};

// The waveform part of a time function.
class CWave {
 public:
  // 0 values inline; 1 outside file named on the head line; 2 outside file
  // with a separator; 3 with a column text; 4 with a column-format text.
  int m_nMode = 0;
  int m_nTimeFlag = 0;      // not 0: the values are (time, value) pairs
  double m_dInterval = 0.01;
  double m_dFactor = 0.01;
  std::vector<double> m_adValues;
  std::string m_strFileName;
  std::string m_strSeparator;  // separator (mode 2) or column text (3, 4)
  int m_nStartLine = 0;
  double m_dMax = 0;
  double m_dMin = 0;

  int ValueCount() const;
  // Minimum and maximum of the values (the value members of pairs).
  void UpdateRange();
  // The separator as written on its comment line (code page 932 bytes).
  std::string GetSeparatorLabel() const;
  void SetSeparatorFromLabel(const std::string& text);
};

class CIpFunc : public CFemInput, public CFemData, public CWave {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override;
};
