// Records that are a whole section of the keyword data file by themselves:
// title, global restraint, damping, gravity, wave propagation, initial
// condition and restart files, checkpoints, dynamic, output and eigen
// parameters. None of them has table cells.
#pragma once
#include <string>

#include "model/fem_input.h"

// Cell slots shared by every single-section record: no cells, no editing.
#define OV_SINGLE_SECTION_CELLS                                             \
  std::string GetGenText(int, int) override { return {}; }                  \
  std::string GetText(int) override { return GetTextDefault(); }            \
  bool SetText(int, std::string) override { return false; }                 \
  int GetCount() override { return GetCountDefault(); }

class CTitle : public CFemData {
 public:
  std::string m_strTitle;
};

// "/title": the whole data line, unchanged; comment lines are dropped.
class CIpTitle : public CFemInput, public CTitle, public CSingleList {
 public:
  CIpTitle();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS
};

class CSetSpc : public CFemData {
 public:
  // Six decimal digits, each 0 or 1, one per degree of freedom.
  int m_nCode = 0;
};

// "/setspc": global restraint; comment lines are dropped.
class CIpSetSpc : public CFemInput, public CSetSpc, public CSingleList {
 public:
  CIpSetSpc();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS
};

class CDamping : public CFemData {
 public:
  double m_dDamp1 = 0, m_dDamp2 = 0, m_dDamp3 = 0, m_dDamp4 = 0;
};

class CIpDamping : public CFemInput, public CDamping, public CSingleList {
 public:
  CIpDamping();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS
};

class CGravity : public CFemData {
 public:
  double m_dGravity = 9.8;
};

class CIpGravity : public CFemInput, public CGravity, public CSingleList {
 public:
  CIpGravity();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS
};

class CBase : public CFemData {
 public:
  int m_nBaseOpt = 0;
  double m_dBase1 = 0, m_dBase2 = 0, m_dBase3 = 0;
};

// "/base": wave propagation velocity.
class CIpBase : public CFemInput, public CBase, public CSingleList {
 public:
  CIpBase();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS
};

class CInitialCondition {
 public:
  std::string m_strFile;
};

// "/initial condition": a file name.
class CIpInitialCondition : public CFemInput, public CInitialCondition, public CSingleList {
 public:
  CIpInitialCondition();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS
};

// "/restart": the same record under its own keyword.
class CIpRestart : public CIpInitialCondition {
 public:
  CIpRestart();
};

class CCkpoint {
 public:
  int m_nCk1 = 0;
  int m_nCk2 = 0;
  std::string m_strFile;
};

// "/ckpoint": two numbers and a file name.
class CIpCkpoint : public CFemInput, public CCkpoint, public CSingleList {
 public:
  CIpCkpoint();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS
};

// "/dynamic": dynamic analysis parameters.
class CIpDynamic : public CFemInput, public CSingleList {
 public:
  CIpDynamic();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS

  int m_nDyn1 = 0, m_nDyn2 = 8, m_nDyn3 = 0;
  double m_dDyn1 = 0, m_dDyn2 = 0, m_dDyn3 = 0, m_dDyn4 = 0, m_dDyn5 = 0;
};

// "/output": output parameters.
class CIpOutput : public CFemInput, public CSingleList {
 public:
  CIpOutput();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS

  int m_nOut1 = 10000, m_nOut2 = 1;
};

// "/eigen": number of eigen modes.
class CIpModal : public CFemInput, public CSingleList {
 public:
  CIpModal();
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  bool IsEmpty() override;
  void Reset() override;
  OV_SINGLE_SECTION_CELLS

  int m_nModes = 5;
  // Second value of the line: 2 while the data set holds a second initial
  // condition. 0 leaves it off the line.
  int m_nModalOpt = 0;
};

#undef OV_SINGLE_SECTION_CELLS
