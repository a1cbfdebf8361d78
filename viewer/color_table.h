// Colour tables of materials ("color.txt", a grid model's ".color") and the
// built-in palettes that stand in when there is no table.
#pragma once
#include <array>
#include <string>

#include "platform/text_lines.h"

constexpr int kMaxColors = 1000;

struct ColorEntry {
  int id = 0;
  double r = 0, g = 0, b = 0;  // 0..255 as read
};

struct CColorTable {
  int m_nColors = 0;
  std::array<ColorEntry, kMaxColors> m_aColors{};
};

// One record of a built-in palette: flag > 0 a colour (1 and 2 mark two
// groups), flag < 0 not a colour, flag 0 ends the list.
struct PaletteColor {
  int flag;
  int r, g, b;
};

struct BuiltinPalette {
  int id;
  const char* name;            // UTF-8; null on the descriptor that ends the table
  const PaletteColor* colors;  // null on the end descriptor
};

// 13 palettes followed by the end descriptor {-1, null, null}.
extern const BuiltinPalette g_BuiltinPalettes[];

// The palettes are constant data; kept for the start-up sequence.
void InitBuiltinPalettes();

// Number of descriptors before the first one without a name (13).
int CountBuiltinPalettes();

// The palette with that id (ids are 0-3 and 32-136, not indexes), or null.
const BuiltinPalette* FindBuiltinPalette(int id);

// Reads a colour table: line 1 holds the entry count, every further line
// "id r g b" (separators blank, tab, comma, colon, semicolon, slash). At most
// kMaxColors entries are read; missing tokens read 0. Returns 0 when every
// announced entry was read (or the table is full), 1 when the input ended
// early (count = entries read) or was empty (count unchanged). A negative
// count reads as 0.
int ReadColorTable(plat::LineReader& in, CColorTable& table);

// Appends the colours (positive flags) of a palette's record list at the
// table's count, never past kMaxColors; ids are left alone.
void FillColorsFromPalette(CColorTable& table, const PaletteColor* colors);

// The fallback when there is no usable table: palette 1 (palette 0 when
// there is only one) appended to the table. Returns the colour count.
int SetDefaultColorTable(CColorTable& table);

// "color.txt" in `folder` (exact name first, then any case); when it is
// missing or yields no entry, the table is emptied and the default palette
// taken. Returns the colour count.
int LoadColorTableOrDefault(const std::string& folder, CColorTable& table);
