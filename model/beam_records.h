// "/scalar" and "/gproperty" / "/property" records: property lines with a
// reference direction, continued by a "1" in the line's last field.
#pragma once
#include "model/fem_input.h"

// Line form of beam property records: 1 the "/gproperty" form (start value),
// 0 the older "/property" form. Per thread, like the column mode.
extern thread_local int g_nBeamFormat;

// Sets the beam line form for a scope and puts the previous value back.
class BeamFormatScope {
 public:
  explicit BeamFormatScope(int form) : m_old(g_nBeamFormat) { g_nBeamFormat = form; }
  ~BeamFormatScope() { g_nBeamFormat = m_old; }
  BeamFormatScope(const BeamFormatScope&) = delete;
  BeamFormatScope& operator=(const BeamFormatScope&) = delete;

 private:
  int m_old;
};

class CScl : public CFemData, public CVec {
 public:
  int m_nSclOpt = 0;
  double m_dS1 = 0, m_dS2 = 0, m_dS3 = 0, m_dS4 = 0, m_dS5 = 0, m_dS6 = 0;
  // The fourth and fifth reals of the second line.
  double m_dR1 = 0, m_dR2 = 0;
};

class CIpScl : public CFemInput, public CScl {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return SetTextDefault(); }
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }
};

class CBeam : public CFemData, public CVec {
 public:
  int m_nBeamOpt = 0;
  double m_dS1 = 0, m_dS2 = 0, m_dS3 = 0, m_dS4 = 0;
  // Twelve beam flags, bits 0 to 11.
  int m_nFlags = 0;
  int m_nBeamInt = 0;
  double m_dR1 = 0, m_dR2 = 0;
  double m_dR3 = 0, m_dR4 = 0;
  double m_dR5 = 0, m_dR6 = 0;
  double m_dR7 = 0;
};

class CIpBeam : public CFemInput, public CBeam {
 public:
  // Both choose their line form from g_nBeamFormat.
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return SetTextDefault(); }
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }

 private:
  bool WriteGProperty(std::string& text);
  bool WriteProperty(std::string& text);
  bool ReadGProperty(CArchiveIn& ar, std::string& line);
  bool ReadProperty(CArchiveIn& ar, std::string& line);
};
