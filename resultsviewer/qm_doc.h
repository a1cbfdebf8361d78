// The results viewer's document: one run (an analysis input ".in" with the
// result files beside it), its display model and the result-valued geometry
// that the diagrams are drawn from. One document, reset at every open.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "dataset/fb_resultset.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "viewer/display_model.h"

class CFbOpBlock;
struct MemberFrame;
struct SolidBlock;

// Twelve doubles of one item: the six end values of end i, then of end j
// (elements), or the six values of a fibre (stress in 0-2, strain in 3-5).
constexpr int kValueBlock = 12;

// The value reference of a face (parallel to the faces built, and only as
// far as the last value face: a face beyond it carries none). A face
// appended by AddValueFace names the value block it is coloured from: block
// nRun + nIndex; its values are those of that block. A value that was never
// read (a fibre its table lacked) is NaN there.
struct FaceValue {
  int nRun = -1;   // first value block of the face's block (or element); -1 none
  int nIndex = 0;  // the face's fibre within that run (0 for an element)
};

// Rows of a result table that hold its items: a beam table (minMaxRows)
// always ends with its minimum and maximum rows; a fibre table ends with
// them only when it was read whole (a table cut short while it was read has
// neither), so its rows stop at min(count, items).
int ResultDataRows(const CFbOpBlock* table, long long items, bool minMaxRows);

class QmDoc : public CDispModel {
 public:
  QmDoc();
  ~QmDoc() override;

  // Empties everything of the last run (display data, result set, names).
  void ResetDocument();
  // Opens a run like File > Open: only ".in" (any case) is loaded; other
  // files leave the document empty. Messages of the loader go through the
  // message hook while opening goes on. True when the file was an input.
  // A file that cannot be opened is told, leaves the document untouched and
  // sets m_strOpenError (empty after every open that got the file).
  bool OnOpenDocument(const std::string& path);
  std::string m_strOpenError;

  // Fills the colour table from a built-in palette (n < 0: palette -n when
  // there is one, else the first; n >= 0: the palette with id n, else the
  // first) and colours the materials. Returns the number of colours.
  int SelectColorScheme(int n);

  // --- display arrays -------------------------------------------------------
  bool AllocDisplayArrays(const CModelStats& stats);
  void FreeDisplayArrays(bool bColorMap);
  // Box, shift and scale, node and material records (and the 4-node shells).
  void CalcModelBounds();
  // Line items of all elements at their (displaced) end positions.
  void BuildElemRecords(const CFbOpBlock* nodeTable, double scale);
  // Member solids at the displaced end positions.
  void BuildGeometry(const CFbOpBlock* nodeTable, double scale);
  // Value faces of every fibre: kind 0 stress, 1 strain.
  // A run of faces made one after another in one plane.
  struct FacePlane {
    long long count = 0;
    bool sorted = true;  // false: left in the order made
  };
  // Puts each run of the faces from `first` to the last one in the order of
  // their value `column` (valueless ones last), rising and falling by turns.
  void ArrangeFaces(int first, const std::vector<FacePlane>& planes, int column, bool& falling);
  // `component` (0-2, -1 none): the faces of each plane of a block follow
  // that value, so that faces of one colour come together in the drawing.
  void BuildFiberFaces(int kind, const CFbOpBlock* fiberTable, int component = -1);
  // Line items carrying the twelve end forces of their element.
  void BuildBeamForceItems(const CFbOpBlock* beamTable);
  // Member solids whose faces carry their element's twelve end forces.
  void SetBeamForceValues(const CFbOpBlock* beamTable);
  // Per 4-node shell: component `component` (0 normal, 1 and 2 the two
  // shears) of layer 0, averaged over the integration points; a shell the
  // table lacks has no value. (lo, hi) get the range over the shells; false
  // when no shell has a value.
  bool SetShellValues(const CFbOpBlock* shellTable, int component, double& lo, double& hi);
  // Drops the shell values (the other diagrams colour no shell).
  void ClearShellValues();

  // Appends a face coloured from value block run + index, or a line item;
  // false when the array cannot take it.
  bool AddValueFace(const DispFace& face, int run, int index);
  bool AddLineItem(const double p[3], int code, int colorClass, int mode1, int thick, int block);

  // The value block a face or a line item is coloured from; null for none.
  const double* FaceBlock(int face) const;
  const double* LineBlock(int line) const;
  // Value of a 4-node shell for the current diagram; false when it has none.
  bool ShellValue(int elem, double& v) const;

  // --- members --------------------------------------------------------------
  static int s_nSerial;     // rises at every reset
  int m_nDocSerial = 0;
  int m_bNewData = 0;       // 1 after an open; the view clears it
  double m_dDeformScale = 10.0;
  std::string m_strPath;      // the opened file ("" when none)
  std::string m_strTitle;     // its file name
  std::string m_szStemPath;  // folder + name without extension
  std::string m_szFolder;    // folder with its trailing '/'
  std::string m_szName;      // name without extension

  CIpDataSet m_dataSet;  // emptied at every reset; a run never fills it
  CFbResultSet m_resultSet;
  CModelStats m_stats;
  ArcCounts m_arcs;

  // Display flags: bit 1 shows displacements relative to the reference,
  // bit 2 takes the current displacements as the reference.
  int m_nDispFlags = 0;

  std::vector<FaceValue> m_aFaceValues;  // per face, up to the last value face
  std::vector<int> m_aLineBlock;         // value block per line item, -1 none
  // kValueBlock doubles per block; room made without writing it, as the
  // display arrays' (a fibre diagram asks for some 100 MB at once).
  std::vector<double, UninitAllocator<double>> m_aValueBlocks;
  int m_nElemBlocks = 0;                 // element blocks in front of the fibre blocks
  std::vector<std::array<double, 6>> m_aNodeRef;  // reference displacement per node slot
  std::vector<double> m_aShellValue;     // per 4-node shell; NaN: none

 private:
  // End positions of an element; false when the table lacks a node record.
  bool EndPosition(const CFbNode* node, const CFbOpBlock* table, double scale, double out[3]);
  // The current node array's further values: scale x displacement in
  // display units (zero without a table), so that the shells follow.
  void SetNodeDisplacements(const CFbOpBlock* table, double scale);
  // Room for n more faces / line items; the arrays grow as needed.
  void ReserveFaces(long long n);
  void ReserveLines(long long n);
  // Value blocks for every element (zero), keeping what follows them.
  bool EnsureElemBlocks();
  // Names `run` + `index` as the value block of faces [first, m_nFaces).
  void SetFaceValues(int first, int run, int index);
  void ClearFaces();
  void ClearLines();
  void AddSolidFaces(const MemberFrame& frame, const CFbFiberSec& sec, int run);
  void AddFiberBlockFaces(const MemberFrame& frame, const SolidBlock& block, int rows, int cols, int run);
  void AddArcFiberFaces(const MemberFrame& frame, const SolidBlock& block, int rows, int cols, int run);
};
