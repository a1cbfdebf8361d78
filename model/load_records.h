// Load and mass records: nodal loads and forced displacements ("/forces",
// "/endisp"), distributed loads ("/pload"), masses ("/mass"), nodal forces
// ("/dforce") and ground acceleration ("/quake"). Also the small helpers that
// the generating line records of this library share.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/fem_input.h"

// ---- Helpers shared by the line records ----

namespace linerec {

// 0 narrow, 1 wide.
int Mode();
// Integers each in "%5d" (narrow) or "%10d" (wide), in the given order.
std::string IntRun(std::initializer_list<int> values);
// One integer in "%5d" / "%10d".
std::string IntField(int v);
// A real cell of the load tables: "%10.4f" in both layouts.
std::string RealCell(double v);
// "%d" of a number that is always shown, also 0.
std::string IntText(int v);
// The first-number cell of the item-th member of a series: blank when the
// first number is 0.
std::string GenNoCell(int first, int inc, int item);
// "1" when bit `bit` of the mask is set, else "0".
std::string FlagCell(int mask, int bit);
// Sets bit `bit` when the text begins with "1", clears it otherwise.
void SetFlagBit(int& mask, int bit, const std::string& text);
// Directions written as decimal digits ("135" = directions 1, 3 and 5): each
// digit k from 1 to 9 sets bit k-1; the sign is ignored.
int DigitsToMask(int digits);
// The set directions 1 to 6 as digits in increasing order; 0 when none.
int MaskToDigits(int mask);
// Writes "$" + comment + "\r\n" as the whole text of a comment record; false
// when the record has no comment.
bool WriteCommentRecord(const CFemInput& rec, std::string& text);
// A record whose continuation lines were cut short by a keyword line or the end
// of input keeps what it has read: the keyword line goes back to the reader for
// the next record, which then ends the section. Returns what Read returns.
bool KeepCutRecord(CArchiveIn& ar, std::string& line);

}  // namespace linerec

// ---- "/forces", "/endisp" ----

class CNLd : public CFemData {
 public:
  int m_nKey = 0;
  int m_nCode = 0;
  double m_dValue = 0;
  int m_nLast = 0;
  int m_nInc = 0;
};

class CIpNLd : public CFemInput, public CNLd {
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

// ---- "/pload" ----

class CPLd : public CFemData {
 public:
  int m_nKey = 0;
  int m_nCode = 0;
  double m_dValue1 = 0, m_dValue2 = 0, m_dValue3 = 0, m_dValue4 = 1.0;
  int m_nLast = 0;
  int m_nInc = 0;
};

class CIpPLd : public CFemInput, public CPLd {
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

// ---- "/mass" ----

class CMass : public CFemData {
 public:
  int m_nDir = 0;  // bit d-1 = direction d, d = 1..6
  double m_dValue = 0;
  int m_nLast = 0;
  int m_nInc = 0;
};

// Writes one line per direction; the "/mass" block merges them back on reading.
class CIpMass : public CFemInput, public CMass {
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

// ---- "/dforce" ----

class CDForce : public CFemData {
 public:
  int m_nFirst = 0;  // first number; m_nNo stays 0
  int m_nCodeB = 0;
  int m_nCodeA = 0;
  double m_dValue = 0;
  int m_nLast = 0;
  int m_nInc = 0;
};

class CIpDForce : public CFemInput, public CDForce {
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

// ---- "/quake" ----

class CQuake : public CFemData {
 public:
  int m_nKey = 0;
  int m_nSecond = 1;
  int m_nCodeA = 0;
  int m_nCodeB = 0;
  double m_dFactor = 1.0;
};

class CIpQuake : public CFemInput, public CQuake {
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
