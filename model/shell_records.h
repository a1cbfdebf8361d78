// "/pshell" records: a shell property of two lines and, for a layered shell,
// its layer lines; both of the attached-comment style.
#pragma once
#include <memory>
#include <vector>

#include "model/fem_input.h"

class CLayer : public CFemData {
 public:
  double m_dLay1 = 0, m_dLay2 = 0;
  int m_nLay = 0;
};

class CIpLayer : public CFemInput, public CLayer {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override { return GetGenTextDefault(col, item); }
  std::string GetText(int) override { return GetTextDefault(); }
  bool SetText(int, std::string) override { return SetTextDefault(); }
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }
};

class CPShell : public CFemData {
 public:
  static constexpr int kLayeredType = 3;
  int m_nPsOpt = 0;
  double m_dPs0 = 0;
  // Number of layer lines that follow a layered shell.
  int m_nLayers = 0;
  int m_nShellType = 0;
  double m_dPs1 = 0, m_dPs2 = 0, m_dPs3 = 0, m_dPs4 = 0, m_dPs5 = 0;
  // The layers in file order, owned.
  std::vector<std::unique_ptr<CIpLayer>> m_pLayerList;
};

// Cell columns: 0 number, 1 option, 2 first-line real, 3 layers, 4 shell
// type, 5 fifth real of the second line, 6 to 9 its first to fourth reals.
class CIpPShell : public CFemInput, public CPShell {
 public:
  bool Write(std::string& text) override;
  bool Read(CArchiveIn& ar, std::string& line) override;
  std::string GetGenText(int col, int item) override;
  std::string GetText(int col) override;
  bool SetText(int col, std::string text) override;
  bool IsEmpty() override;
  int GetCount() override { return GetCountDefault(); }

  // Appends a copy of the layer's fields (not its comment).
  bool AddLayer(const CIpLayer& layer);
};
