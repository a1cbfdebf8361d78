// Fixed-column fields, number formatting, flag strings and value lists.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "model/fem_input.h"

// A real as text of exactly 10 or 15 characters.
std::string FormatReal10(double x);
std::string FormatReal15(double x);

// Cuts a field at (start, width) of a data line; a field beyond the end of the
// line gives what exists (possibly nothing, which reads 0).
int CutInt(std::string_view line, int start, int width);
double CutReal(std::string_view line, int start, int width);

// Restraint mask of six characters ("1" = restrained).
int ParseFlags6(std::string_view text);
std::string FormatFlags6(int mask);
// Twelve-bit mask of a beam property (blank or "0" = off).
int ParseFlags12(std::string_view text);
std::string FormatFlags12(int mask);

// One (key, value) pair of a record's value list.
struct CValueNode {
  int key = 0;
  double value = 0;
};
bool AppendValueNode(int key, double value, std::vector<CValueNode>& list);

// One line of six reals.
struct CValues6 {
  double v[6] = {0, 0, 0, 0, 0, 0};
};
bool FormatValues6(std::string& text, const CValues6& node);
// Reads one line of six reals (10 columns each). Returns 1 with `values` set
// (all zero for an empty line), or 0 at end of input or a keyword line, which
// stays in `line`. After a data line `line` holds the comment lines met before
// it, joined.
bool ReadValues6(CArchiveIn& ar, double values[6], std::string& line);
bool AppendValues6Node(const double values[6], std::vector<CValues6>& list);
int CountValues6Nodes(const std::vector<CValues6>& list);

// 2 to the power n; 0 for a negative n.
int Pow2(int n);

// Generation of numbered series (first, first + inc, ... not passing last),
// computed in 64 bits: 10-column fields hold values past the 32-bit range.
int GenCount(int first, int last, int inc);
// The number of the item-th member of a series, clamped to 32 bits.
int GenNumber(int first, int inc, int item);

// Cell texts: "%d" of an integer, empty when 0; a real in the cell format of
// the current column mode ("%10.4f" narrow, "%15.4f" wide).
std::string CellInt(int v);
std::string CellReal(double v);

// Reads the next line of a multi-line record, skipping "$" lines. False at end
// of input (`line` cleared) or at a keyword line (kept in `line`); otherwise
// true with the line, possibly empty, in `data`.
bool ReadNextDataLine(CArchiveIn& ar, std::string& line, std::string& data);
