// The per-element colour map (".clr" beside a keyword data file): fixed
// columns, element number in 1-10, colour class A in 11-20, mode-1 flag B in
// 31-40. The first row whose columns 1-10 hold no digit, or a number above
// 999999, ends the map.
#pragma once
#include <string>
#include <vector>

#include "platform/text_lines.h"
#include "viewer/display_records.h"

// Fills `map` (replacing what it held) and returns the number of rows whose
// B is 1.
int ReadElemColorFile(plat::LineReader& in, std::vector<ElemColorEntry>& map);

// The map file at `path` (exact name first, then any case). A missing file
// leaves an empty map and returns 0.
int LoadElemColorFile(const std::string& path, std::vector<ElemColorEntry>& map);
