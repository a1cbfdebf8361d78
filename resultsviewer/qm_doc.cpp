// The document of a run: reset, opening and the colour scheme.
#include "resultsviewer/qm_doc.h"

#include <algorithm>

#include "platform/heap.h"
#include "platform/paths.h"
#include "platform/text_lines.h"
#include "resultsviewer/ui_hooks.h"
#include "viewer/color_table.h"

int QmDoc::s_nSerial = 0;

QmDoc::QmDoc() {
  // The results viewer's own messages reach the user through the message
  // box, as the loader's do.
  m_resultSet.m_fnShowMessage = [](const std::string& text) { varnek::MessageBox(nullptr, text); };
  ResetDocument();
}

QmDoc::~QmDoc() { FreeDisplayArrays(true); }

void QmDoc::ResetDocument() {
  FreeDisplayArrays(true);
  m_nDocSerial = s_nSerial++;
  m_bNewData = 0;
  m_nColorMode = 0;
  m_dDispScale = 0.0;
  m_strPath.clear();
  m_strTitle.clear();
  m_szStemPath.clear();
  m_szFolder.clear();
  m_szName.clear();
  m_colorTable.m_nColors = 0;
  m_dScale = 1.0;
  m_vCenter[0] = m_vCenter[1] = m_vCenter[2] = 0.0;
  ResetModelCounts();
  m_stats.Clear();
  m_arcs = ArcCounts{};
  m_nDispFlags = 0;
  m_dataSet.RemoveAll();
  m_resultSet.Reset();
  m_resultSet.m_strLastError.clear();
  m_resultSet.m_strLastMessage.clear();
  m_dDeformScale = 10.0;
  // The run that went leaves its pages to the system, not resident for
  // reuse: the next run may be far smaller.
  plat::ReturnFreeHeap();
}

int QmDoc::SelectColorScheme(int n) {
  const int c = CountBuiltinPalettes();
  const BuiltinPalette* palette = nullptr;
  if (n < 0) {
    palette = -static_cast<long long>(n) < c ? &g_BuiltinPalettes[-n] : &g_BuiltinPalettes[0];
  } else {
    palette = FindBuiltinPalette(n);
    if (!palette) palette = &g_BuiltinPalettes[0];
  }
  if (c > 0 && palette->colors) FillColorsFromPalette(m_colorTable, palette->colors);
  const int nColors = std::clamp(m_colorTable.m_nColors, 0, kMaxColors);
  const int nMats = std::min(m_nMats, static_cast<int>(m_aMats.size()));
  if (nColors > 0) {
    for (int j = 0; j < nMats; ++j) {
      const ColorEntry& e = m_colorTable.m_aColors[static_cast<size_t>(j % nColors)];
      DispMaterial& m = m_aMats[static_cast<size_t>(j)];
      m.r = e.r;
      m.g = e.g;
      m.b = e.b;
    }
  }
  return m_colorTable.m_nColors;
}

bool QmDoc::OnOpenDocument(const std::string& path) {
  // The file is opened before anything of the run on show goes: a file that
  // cannot be opened is told and leaves the document as it was.
  m_strOpenError.clear();
  std::string error;
  auto ar = plat::LineReader::FromFile(path, &error);
  if (!ar) {
    m_strOpenError = path + "：ファイルオープンエラー\r\n" + error;
    varnek::MessageBox(nullptr, m_strOpenError);
    return false;
  }

  ResetDocument();
  m_strPath = path;
  m_strTitle = plat::FileNameOf(path);
  const plat::SplitPathResult parts = plat::SplitPath(path);
  if (plat::LowerExtension(path) != ".in") return false;

  // A run copied from Windows may name its colour table in any case.
  const std::string colorPath = plat::FindFileNoCase(parts.dir + "color.txt");
  if (!colorPath.empty()) {
    if (auto in = plat::LineReader::FromFile(colorPath)) ReadColorTable(*in, m_colorTable);
  }
  if (m_colorTable.m_nColors < 1) {
    m_colorTable.m_nColors = 0;
    SelectColorScheme(-1);
  }

  m_szFolder = parts.dir;
  m_szStemPath = parts.dir + parts.name;
  m_szName = parts.name;

  std::string msg;
  const int code = LoadAnalysisInput(*ar, path, m_resultSet, &msg);
  if (code != 1) varnek::MessageBox(nullptr, msg);

  CFbModel& model = m_resultSet.m_model;
  model.LinkElemNodes();
  model.LinkElemSecs();
  model.CalcElemAxes();
  model.LinkQuadSecs();
  if (!m_stats.CountFb(model)) varnek::MessageBox(nullptr, m_stats.m_strError);

  AllocDisplayArrays(m_stats);
  CalcModelBounds();
  BuildElemRecords(nullptr, 0.0);
  WarmBuildRoom();
  BuildGeometry(nullptr, 0.0);
  m_bNewData = 1;
  return true;
}
