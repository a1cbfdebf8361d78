#include "viewer/color_table.h"

#include <string_view>
#include <vector>

#include "platform/paths.h"
#include "viewer/token_line.h"

namespace {

constexpr PaletteColor kNike3d[] = {
    {1, 230, 207, 115}, {1, 115, 230, 207}, {1, 207, 115, 230}, {1, 179, 89, 153},
    {1, 153, 179, 89},  {1, 89, 153, 179},  {1, 127, 127, 127}, {2, 153, 99, 76},
    {2, 76, 153, 99},   {2, 99, 76, 153},   {2, 127, 76, 76},   {2, 76, 127, 76},
    {2, 76, 76, 127},   {0, 0, 0, 0}};
constexpr PaletteColor kHakanashi[] = {
    {1, 184, 227, 183}, {1, 166, 221, 214}, {1, 140, 212, 223}, {1, 140, 210, 188},
    {1, 66, 147, 195},  {1, 150, 177, 118}, {1, 119, 170, 174}, {2, 190, 225, 246},
    {2, 117, 193, 221}, {2, 118, 166, 212}, {2, 190, 167, 180}, {2, 230, 230, 230},
    {2, 204, 204, 204}, {0, 0, 0, 0}};
constexpr PaletteColor kUtataka[] = {
    {1, 184, 227, 183}, {1, 166, 221, 214}, {1, 140, 212, 223}, {1, 127, 187, 210},
    {2, 190, 225, 246}, {2, 189, 209, 234}, {2, 188, 192, 221}, {2, 157, 180, 168},
    {2, 156, 181, 183}, {2, 230, 230, 230}, {0, 0, 0, 0}};
constexpr PaletteColor kHonoka[] = {
    {1, 166, 221, 214}, {1, 184, 228, 217}, {1, 221, 184, 126}, {1, 119, 170, 174},
    {1, 170, 211, 120}, {2, 255, 246, 199}, {2, 240, 241, 198}, {2, 190, 225, 246},
    {2, 189, 209, 234}, {2, 188, 192, 221}, {2, 209, 201, 223}, {2, 214, 189, 163},
    {2, 156, 181, 183}, {2, 255, 234, 154}, {2, 230, 230, 230}, {0, 0, 0, 0}};
constexpr PaletteColor kHashitanashi[] = {
    {1, 205, 144, 113}, {1, 221, 184, 126}, {1, 150, 177, 118}, {1, 119, 170, 174},
    {2, 255, 246, 199}, {2, 157, 180, 168}, {2, 154, 168, 187}, {2, 179, 179, 179},
    {2, 204, 204, 204}, {2, 230, 230, 230}, {0, 0, 0, 0}};
constexpr PaletteColor kKasumitatsu[] = {
    {1, 184, 227, 183}, {1, 166, 221, 214}, {1, 221, 184, 126}, {1, 150, 177, 118},
    {1, 119, 170, 174}, {2, 255, 246, 199}, {2, 240, 241, 198}, {2, 209, 201, 223},
    {2, 226, 191, 212}, {2, 230, 230, 230}, {-2, 255, 255, 255}, {0, 0, 0, 0}};
constexpr PaletteColor kMoyau[] = {
    {1, 253, 153, 13},  {1, 255, 242, 55},  {1, 166, 204, 50},  {1, 249, 109, 135},
    {1, 251, 154, 133}, {1, 109, 187, 129}, {1, 177, 104, 168}, {1, 249, 142, 173},
    {1, 240, 182, 148}, {1, 161, 129, 63},  {2, 117, 193, 221}, {2, 247, 197, 200},
    {2, 255, 246, 199}, {2, 240, 241, 198}, {2, 149, 169, 103}, {0, 0, 0, 0}};
constexpr PaletteColor kMoyu[] = {
    {1, 254, 18, 13},   {1, 255, 120, 0},   {1, 255, 217, 0},   {1, 36, 51, 148},
    {1, 252, 103, 57},  {1, 169, 12, 36},   {2, 247, 197, 200}, {2, 233, 133, 135},
    {2, 240, 154, 132}, {2, 219, 83, 90},   {2, 209, 107, 144}, {2, 0, 108, 93},
    {2, 38, 42, 94},    {2, 71, 31, 85},    {-2, 0, 0, 0},      {0, 0, 0, 0}};
constexpr PaletteColor kNagu[] = {
    {1, 251, 154, 133}, {1, 253, 217, 217}, {1, 254, 179, 55},  {1, 245, 235, 211},
    {1, 103, 127, 126}, {1, 127, 117, 86},  {2, 247, 197, 200}, {2, 255, 246, 199},
    {2, 240, 241, 198}, {2, 190, 225, 246}, {2, 154, 168, 187}, {2, 153, 153, 176},
    {2, 230, 230, 230}, {2, 204, 204, 204}, {-2, 255, 255, 255}, {0, 0, 0, 0}};
constexpr PaletteColor kTakumashii[] = {
    {1, 204, 0, 0},   {1, 169, 12, 36}, {1, 255, 102, 0}, {1, 72, 11, 2},
    {1, 76, 62, 20},  {1, 161, 129, 63}, {1, 126, 104, 75}, {2, 74, 0, 92},
    {2, 114, 0, 73},  {2, 127, 83, 70},  {2, 29, 29, 79},   {2, 58, 31, 70},
    {-2, 0, 0, 0},    {0, 0, 0, 0}};
constexpr PaletteColor kNagori[] = {
    {1, 140, 212, 223}, {1, 238, 164, 192}, {1, 184, 227, 183}, {1, 150, 177, 118},
    {1, 103, 127, 126}, {1, 102, 193, 155}, {1, 112, 94, 146},  {1, 66, 147, 195},
    {2, 255, 234, 154}, {2, 118, 166, 212}, {2, 255, 246, 199}, {2, 190, 225, 246},
    {2, 230, 230, 230}, {0, 0, 0, 0}};
constexpr PaletteColor kFuruuta[] = {
    {1, 70, 22, 66},   {1, 18, 28, 57},    {1, 74, 74, 47},   {1, 16, 46, 36},
    {1, 203, 186, 72}, {1, 112, 94, 146},  {1, 137, 59, 122}, {1, 204, 56, 88},
    {1, 57, 113, 69},  {1, 107, 119, 64},  {1, 127, 187, 210}, {1, 94, 94, 93},
    {2, 99, 141, 12},  {2, 191, 191, 191}, {-2, 0, 0, 0},     {0, 0, 0, 0}};
constexpr PaletteColor kKinuzure[] = {
    {1, 252, 251, 245}, {1, 184, 228, 217}, {1, 140, 212, 223}, {1, 253, 217, 217},
    {1, 254, 237, 189}, {1, 245, 235, 211}, {1, 250, 141, 148}, {1, 102, 193, 155},
    {2, 247, 197, 200}, {2, 216, 233, 214}, {2, 190, 225, 246}, {2, 189, 209, 234},
    {2, 209, 201, 223}, {2, 143, 143, 190}, {2, 230, 230, 230}, {-2, 255, 255, 255},
    {0, 0, 0, 0}};

}  // namespace

const BuiltinPalette g_BuiltinPalettes[] = {
    {0, "ＮＩＫＥ３Ｄ", kNike3d},
    {1, "はかなし（果無し）", kHakanashi},
    {2, "うたたか（泡沫）", kUtataka},
    {3, "ほのか（仄か）", kHonoka},
    {32, "はしたなし（端なし）", kHashitanashi},
    {33, "かすみたつ（霞立つ）", kKasumitatsu},
    {36, "もやう（舫う）", kMoyau},
    {51, "もゆ（燃ゆ）", kMoyu},
    {73, "なぐ（凪ぐ）", kNagu},
    {84, "たくましい（逞しい）", kTakumashii},
    {109, "なごり（名残）", kNagori},
    {123, "ふるうた（古歌）", kFuruuta},
    {136, "きぬずれ（衣擦れ）", kKinuzure},
    {-1, nullptr, nullptr},
};

void InitBuiltinPalettes() {}

int CountBuiltinPalettes() {
  int n = 0;
  while (g_BuiltinPalettes[n].name != nullptr) ++n;
  return n;
}

const BuiltinPalette* FindBuiltinPalette(int id) {
  for (const BuiltinPalette* p = g_BuiltinPalettes; p->name != nullptr; ++p) {
    if (p->id == id) return p;
  }
  return nullptr;
}

int ReadColorTable(plat::LineReader& in, CColorTable& table) {
  std::string line;
  if (!ReadTableLine(in, line)) return 1;
  int count = TokenInt(SplitTokens(line), 0);
  if (count < 0) count = 0;
  if (count > kMaxColors) count = kMaxColors;
  table.m_nColors = count;
  for (int i = 0; i < count; ++i) {
    if (!ReadTableLine(in, line)) {
      table.m_nColors = i;
      return 1;
    }
    const std::vector<std::string_view> t = SplitTokens(line);
    ColorEntry& e = table.m_aColors[static_cast<size_t>(i)];
    e.id = TokenInt(t, 0);
    e.r = TokenInt(t, 1);
    e.g = TokenInt(t, 2);
    e.b = TokenInt(t, 3);
  }
  return 0;
}

void FillColorsFromPalette(CColorTable& table, const PaletteColor* colors) {
  if (!colors) return;
  if (table.m_nColors < 0) table.m_nColors = 0;
  for (const PaletteColor* c = colors; c->flag != 0; ++c) {
    if (c->flag < 0) continue;
    if (table.m_nColors >= kMaxColors) return;
    ColorEntry& e = table.m_aColors[static_cast<size_t>(table.m_nColors)];
    e.r = c->r;
    e.g = c->g;
    e.b = c->b;
    ++table.m_nColors;
  }
}

int SetDefaultColorTable(CColorTable& table) {
  const int n = CountBuiltinPalettes();
  FillColorsFromPalette(table, g_BuiltinPalettes[n >= 2 ? 1 : 0].colors);
  return table.m_nColors;
}

int LoadColorTableOrDefault(const std::string& folder, CColorTable& table) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  const std::string path = plat::FindFileNoCase(dir + "color.txt");
  bool ok = false;
  table.m_nColors = 0;
  if (!path.empty()) {
    if (auto in = plat::LineReader::FromFile(path)) {
      ReadColorTable(*in, table);
      ok = table.m_nColors >= 1;
    }
  }
  if (!ok) {
    table.m_nColors = 0;
    SetDefaultColorTable(table);
  }
  return table.m_nColors;
}
