// Grid models: a shell model with one set of nodal displacements and one set
// of element stresses, in six text files that share a stem:
//   .grid   node coordinates        .egno   node numbers
//   .qddef  4-node elements         .color  colour table
//   .disp   nodal displacements     .qdstre element stresses (two lines each)
// Line 1 of every file holds the record count in its first token; values are
// the tokens between any run of " ,:;/\t". The readers fill the display
// arrays of a CDispModel and the grid's own values below, and report
// problems on standard output only.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "platform/text_lines.h"
#include "viewer/display_model.h"

// One element's stresses: [0] its sequence number from 1, [1..7] the seven
// values of its first line, [8..14] those of its second.
struct GridStressRecord {
  double v[15] = {};
};

struct GridValueRange {
  double min = 0.0;
  double max = 0.0;
};

// Colour modes: 0-6 column m of the stress record's first line, 7-13 column
// m - 7 of its second, 14-17 the nodal values dx, dy, dz and length; -1 none.
constexpr int kGridColorModeNone = -1;
constexpr int kGridColorModeLast = 17;
constexpr int kGridFirstNodalMode = 14;

// What a grid model adds to the display model.
struct CGridModel {
  // Drive + folder (with its '/'), file name, and the two joined.
  std::string m_szFolder;
  std::string m_szName;
  std::string m_szStemPath;
  // The six files.
  std::string m_szGridPath, m_szEgnoPath, m_szQddefPath;
  std::string m_szDispPath, m_szQdstrePath, m_szColorPath;

  std::vector<GridStressRecord> m_aStress;
  // Raw dx, dy, dz and length of each current node (the display array holds
  // dx, dy, dz times the model scale, to move corners by).
  std::vector<std::array<double, 4>> m_aNodeValues;

  // The displacement scale the caller named (the document's own factor is
  // 0: the current nodes are displaced already, see ReadGridResultSet).
  double m_dAskedScale = 0.0;

  GridValueRange m_aNodeRange[4];     // dx, dy, dz, length over the .disp nodes
  GridValueRange m_aStressRange[14];  // the 14 values over the .qdstre records

  // Lines too long that ended the reading of a file (path, line, reason),
  // for the document to tell.
  std::vector<std::string> m_aRefusals;

  void Clear();
};

// Reader results.
constexpr int kGridOk = 0;
constexpr int kGridShort = 1;      // a single-file reader: ended early / no line 1
constexpr int kGridNotOpened = 2;  // fem / femsol: a file did not open
constexpr int kGridBadComponent = -1;

// The menu's entry: args = {"pro", path of the .grid file, stress component
// 1-18 as text, displacement scale as text}; missing arguments read as empty.
// The current nodes hold base + displacement x model scale, where every
// display draws the model: the document's displacement factor is 0.
// Returns 0, or -1 (after " bad qdstre# : <arg>\n") for a component outside
// 1-18, "0" meaning no stress colouring; a bad component changes nothing.
// The document's m_nGridStatus is femsol's result, which replaces fem's
// (a geometry file that did not open is reported on standard output).
int ReadGridResultSet(const std::vector<std::string>& args, CDispModel& doc, CGridModel& grid);

// Geometry: .grid, .egno, .qddef (each reported when it does not open) and
// .color (silently optional). Returns 0, or 2 when one of the three model
// files did not open.
// Lines too long are added to `refusals` when given.
int fem(CDispModel& doc, const std::string& gridPath, const std::string& egnoPath,
        const std::string& qddefPath, const std::string& colorPath,
        std::vector<std::string>* refusals = nullptr);

// Results: .disp and .qdstre, displacements times `factor`. Returns 0, or 2
// when one of them did not open.
int femsol(const std::string& dispPath, const std::string& qdstrePath, double factor,
           CDispModel& doc, CGridModel& grid, std::vector<std::string>* refusals = nullptr);

// The single-file readers: 0 when every announced record was read, 1 when
// the input ended early, its first line is missing, or its count was refused
// as larger than the input could hold (with a message naming `path`). A
// short .grid leaves its nodes in raw coordinates and the scale and centre
// as they were; a short .qdstre keeps its complete records but leaves the
// stress ranges as they were.
int ReadGridNodeFile(plat::LineReader& in, const std::string& path, CDispModel& doc);
int ReadGridNodeNumberFile(plat::LineReader& in, const std::string& path, CDispModel& doc);
int ReadGridElementFile(plat::LineReader& in, const std::string& path, CDispModel& doc);
int ReadGridDisplacementFile(plat::LineReader& in, const std::string& path, double factor,
                             CDispModel& doc, CGridModel& grid);
int ReadGridStressFile(plat::LineReader& in, const std::string& path, CGridModel& grid);

// Column 0-6 of line 1 (or of line 2 when `secondLine`) of element i's
// stress record; 0 for any other column or an element without a record.
double GetElementValue(int elementIndex, const CGridModel& grid, int column, bool secondLine);

// The value of element i in colour mode 0-13; 0 otherwise.
double GridElementModeValue(int elementIndex, const CGridModel& grid, int colorMode);

// The value of current node i in colour mode 14-17; 0 otherwise.
double GridNodeModeValue(int curNodeIndex, const CGridModel& grid, int colorMode);

// The data range of a colour mode (stress ranges for 0-13, nodal ranges for
// 14-17); false for any other mode.
bool GridColorModeRange(const CGridModel& grid, int colorMode, double& min, double& max);
