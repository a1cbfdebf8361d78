#include "viewer/view_settings.h"

#include <cmath>
#include <vector>

#include "platform/bytestr.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/text_lines.h"
#include "viewer/token_line.h"

namespace {

// The reader takes a line this long at most; the rest of a longer line is
// read as a further line.
constexpr size_t kLineLimit = 254;

template <size_t N>
void Set3(double (&dst)[N], double a, double b, double c) {
  static_assert(N >= 3);
  dst[0] = a;
  dst[1] = b;
  dst[2] = c;
}

template <size_t N>
void Set3(int (&dst)[N], int a, int b, int c) {
  static_assert(N >= 3);
  dst[0] = a;
  dst[1] = b;
  dst[2] = c;
}

// The separators between the values of a settings line.
constexpr std::string_view kValueSeparators = " \t\r\n,();:/[]|";

// Stores the values present, in order, and leaves the rest.
template <size_t N>
void Reals(const std::vector<std::string_view>& tok, double (&dst)[N], size_t n = N) {
  for (size_t i = 0; i < n && i < N && i < tok.size(); ++i) dst[i] = plat::AtoF(tok[i]);
}
template <size_t N>
void Ints(const std::vector<std::string_view>& tok, int (&dst)[N], size_t n = N) {
  for (size_t i = 0; i < n && i < N && i < tok.size(); ++i) dst[i] = plat::AtoI(tok[i]);
}
void Real(const std::vector<std::string_view>& tok, double& dst) {
  if (!tok.empty()) dst = plat::AtoF(tok[0]);
}
void Int(const std::vector<std::string_view>& tok, int& dst) {
  if (!tok.empty()) dst = plat::AtoI(tok[0]);
}
void Bool(const std::vector<std::string_view>& tok, bool& dst) {
  if (!tok.empty()) dst = plat::AtoI(tok[0]) != 0;
}

std::string WithSlash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + '/';
}

}  // namespace

void InitViewSettings(CViewSettings& s) {
  s.mat.clear();
  s.friction[0] = 0;
  s.friction[1] = s.friction[2] = s.friction[3] = 0.1;
  s.mass = 10.0;
  Set3(s.cog, 0, 0, 0);
  for (double& v : s.inertia) v = 1.0;
  s.hight = 10.0;
  Set3(s.direction, 0, -1.0, 0);
  s.simtime = 0.3;
  s.shrink = -1.0;
  s.radioss = 41;
  s.div = 0.0;
  s.dt = "0.0";
  s.anim = 1;
  Set3(s.eye, 1, 1, 1);
  s.eyeGiven = false;
  Set3(s.center, 0, 0, 0);
  s.centerGiven = false;
  Set3(s.up, 0, 0, 1);
  s.upGiven = false;
  s.picsize[0] = 640;
  s.picsize[1] = 480;
  Set3(s.bcolor, 0, 0, 0);
  Set3(s.pcolor, 150, 150, 150);
  Set3(s.dcolor, 100, 100, 100);
  Set3(s.tcolor, 200, 200, 200);
  s.frmsize[0] = -1.0;
  s.frmsize[1] = 450.0;
  s.pmodel[0] = s.pmodel[1] = 1;
  s.dmodel[0] = s.dmodel[1] = 1;
  for (double& v : s.plane1) v = 0;
  s.plane1Given = false;
  for (double& v : s.plane2) v = 0;
  s.plane2Given = false;
  const int cc[6] = {240, 240, 240, 80, 80, 80};
  for (int i = 0; i < 6; ++i) s.ccolor[i] = cc[i];
  s.rangeMin = 0;
  s.rangeMid = 0;
  s.rangeMax = -1.0;
  s.factor = 1.0;
  s.mag = 10.0;
  s.contour = 2;
  s.oor = 1;
  s.persp = 1;
  s.anglex = 30.0;
  Set3(s.bcolor1, 128, 128, 128);
  Set3(s.bcolor2, 128, 128, 128);
  s.pofactor = -0.5;
  s.pounits = -0.5;
  s.near = 0.001;
  s.far = 20.0;
  s.info = false;
  Set3(s.lcolor, 0, 0, 0);
  s.stencil = false;
  s.showid = true;
  s.matcolor = 109;

  s.flip = 0;
  Set3(s.dollyStep, 0.02, 0, 0);
  s.fileRead = 0;
  Set3(s.cogCopy, 0, 0, 0);
  UpdateEyeAngles(s);
}

std::string_view TrimSpace(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && (text[b] == ' ' || text[b] == '\t')) ++b;
  text.remove_prefix(b);
  // The first remaining character always stays.
  while (text.size() > 1) {
    const char c = text.back();
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
    text.remove_suffix(1);
  }
  return text;
}

int ParseViwLine(std::string_view line, CViewSettings& s) {
  const size_t hash = line.find('#');
  if (hash != std::string_view::npos) line = line.substr(0, hash);
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return kViwNoEquals;

  const std::string key = plat::ToLowerAscii(TrimSpace(line.substr(0, eq)));
  const std::string_view rest = line.substr(eq + 1);
  if (key == "mat") {
    s.mat = std::string(TrimSpace(rest));
    return kViwOk;
  }
  if (key == "dt") {
    s.dt = std::string(TrimSpace(rest));
    return kViwOk;
  }
  const std::vector<std::string_view> t = SplitTokens(rest, kValueSeparators);

  if (key == "friction") {
    if (t.size() >= 2) {
      const int i = plat::AtoI(t[0]);
      if (i >= 1 && i <= 3) s.friction[i] = plat::AtoF(t[1]);
    }
  } else if (key == "mass") {
    Real(t, s.mass);
  } else if (key == "cog") {
    Reals(t, s.cog);
  } else if (key == "inertia") {
    Reals(t, s.inertia);
  } else if (key == "hight") {
    Real(t, s.hight);
  } else if (key == "direction") {
    Reals(t, s.direction);
  } else if (key == "simtime") {
    Real(t, s.simtime);
  } else if (key == "shrink") {
    Real(t, s.shrink);
  } else if (key == "radioss") {
    Int(t, s.radioss);
  } else if (key == "div") {
    Real(t, s.div);
  } else if (key == "anim") {
    Int(t, s.anim);
  } else if (key == "eye") {
    Reals(t, s.eye);
    s.eyeGiven = true;
  } else if (key == "center") {
    Reals(t, s.center);
    s.centerGiven = true;
  } else if (key == "up") {
    Reals(t, s.up);
    s.upGiven = true;
  } else if (key == "picsize") {
    Ints(t, s.picsize);
  } else if (key == "bcolor") {
    Ints(t, s.bcolor);
  } else if (key == "pcolor") {
    Ints(t, s.pcolor);
  } else if (key == "dcolor") {
    Ints(t, s.dcolor);
  } else if (key == "tcolor") {
    Ints(t, s.tcolor);
  } else if (key == "frmsize") {
    Reals(t, s.frmsize);
  } else if (key == "pmodel") {
    Ints(t, s.pmodel);
  } else if (key == "dmodel") {
    Ints(t, s.dmodel);
  } else if (key == "plane1") {
    Reals(t, s.plane1);
    s.plane1Given = true;
  } else if (key == "plane2") {
    Reals(t, s.plane2);
    s.plane2Given = true;
  } else if (key == "ccolor") {
    Ints(t, s.ccolor);
  } else if (key == "range") {
    if (!t.empty()) s.rangeMin = plat::AtoF(t[0]);
    s.rangeMid = 0;
    if (t.size() >= 2) s.rangeMax = plat::AtoF(t[1]);
  } else if (key == "factor") {
    Real(t, s.factor);
  } else if (key == "mag") {
    Real(t, s.mag);
  } else if (key == "contour") {
    Int(t, s.contour);
  } else if (key == "oor") {
    Int(t, s.oor);
  } else if (key == "persp") {
    Int(t, s.persp);
  } else if (key == "anglex") {
    Real(t, s.anglex);
  } else if (key == "bcolor1") {
    Ints(t, s.bcolor1);
  } else if (key == "bcolor2") {
    Ints(t, s.bcolor2);
  } else if (key == "pofactor") {
    Real(t, s.pofactor);
  } else if (key == "pounits") {
    Real(t, s.pounits);
  } else if (key == "near") {
    Real(t, s.near);
  } else if (key == "far") {
    Real(t, s.far);
  } else if (key == "info") {
    Bool(t, s.info);
  } else if (key == "lcolor") {
    Ints(t, s.lcolor);
  } else if (key == "stencil") {
    Bool(t, s.stencil);
  } else if (key == "showid") {
    Bool(t, s.showid);
  } else if (key == "matcolor") {
    Int(t, s.matcolor);
  }
  return kViwOk;
}

int ReadViwFile(CViewSettings& s, const std::string& path) {
  auto in = plat::LineReader::FromFile(path);
  if (!in) return kViwCannotOpen;
  std::string line;
  while (in->ReadString(line)) {
    std::string_view rest = line;
    do {
      const std::string_view piece = rest.substr(0, kLineLimit);
      rest.remove_prefix(piece.size());
      ParseViwLine(piece, s);
    } while (!rest.empty());
  }
  for (int i = 0; i < 3; ++i) s.cogCopy[i] = s.cog[i];
  s.fileRead = 1;
  return kViwOk;
}

void UpdateEyeAngles(CViewSettings& s) {
  const double dx = s.eye[0] - s.center[0];
  const double dy = s.eye[1] - s.center[1];
  const double dz = s.eye[2] - s.center[2];
  s.distance = std::sqrt(dx * dx + dy * dy + dz * dz);
  s.azimuth = std::atan2(dy, dx);
  s.polar = std::atan2(std::sqrt(dx * dx + dy * dy), dz);
}

bool UpOrientsSight(const double sight[3], const double up[3]) {
  const double n = std::sqrt(sight[0] * sight[0] + sight[1] * sight[1] + sight[2] * sight[2]);
  const double u = std::sqrt(up[0] * up[0] + up[1] * up[1] + up[2] * up[2]);
  if (!(n > 0) || !std::isfinite(n) || !(u < 1e18)) return false;
  const double f[3] = {sight[0] / n, sight[1] / n, sight[2] / n};
  const double side[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0]};
  // The side vector is normalised in floats: its squares must stay normal.
  // A view straight down an axis (cos 90 degrees, about 6e-17) is kept.
  return std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]) > 1e-18;
}

int ReadViewSettingsFiles(CViewSettings& s, const std::string& programDir,
                          const std::string& dataDir, const std::string& dataName) {
  std::vector<std::string> paths;
  if (!programDir.empty()) paths.push_back(WithSlash(programDir) + "default.viw");
  paths.push_back(WithSlash(dataDir) + "default.viw");
  if (!dataName.empty()) paths.push_back(WithSlash(dataDir) + dataName + ".viw");
  int read = 0;
  for (const std::string& p : paths) {
    const std::string found = plat::FindFileNoCase(p);
    if (!found.empty() && ReadViwFile(s, found) == kViwOk) ++read;
  }
  return read;
}
