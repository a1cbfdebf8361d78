// View settings: every value a view-settings file (.viw) can set, with the
// built-in defaults and the reader. There is no writer: .viw files are
// written by hand.
#pragma once
#include <string>
#include <string_view>

// Plain structure, embedded by value in the scene. Members are named after
// their keywords; the camera (eye, center, up) is held in model coordinates
// once the scene is set up.
struct CViewSettings {
  // Values the viewers read and keep without drawing anything from them.
  std::string mat;
  double friction[4] = {0, 0, 0, 0};  // element 0 is never set
  double mass = 0;
  double cog[3] = {0, 0, 0};
  double inertia[6] = {0, 0, 0, 0, 0, 0};
  double hight = 0;
  double direction[3] = {0, 0, 0};
  double simtime = 0;
  double shrink = 0;
  int radioss = 0;
  double div = 0;
  std::string dt;  // kept as text
  int anim = 0;

  // Camera. The given flags are set whenever a file names the keyword. As
  // read from a file, `eye` is in scaled coordinates and `center` in model
  // coordinates; the scene's set-up turns the eye into model coordinates.
  double eye[3] = {0, 0, 0};
  bool eyeGiven = false;
  double center[3] = {0, 0, 0};
  bool centerGiven = false;
  double up[3] = {0, 0, 0};
  bool upGiven = false;

  int picsize[2] = {0, 0};
  int bcolor[3] = {0, 0, 0};  // clear colour
  int pcolor[3] = {0, 0, 0};
  int dcolor[3] = {0, 0, 0};  // surface colour
  int tcolor[3] = {0, 0, 0};
  double frmsize[2] = {0, 0};  // width, height of the fixed frame
  int pmodel[2] = {0, 0};      // surfaces, edges
  int dmodel[2] = {0, 0};
  double plane1[4] = {0, 0, 0, 0};
  bool plane1Given = false;
  double plane2[4] = {0, 0, 0, 0};
  bool plane2Given = false;
  int ccolor[6] = {0, 0, 0, 0, 0, 0};  // contour bar ends: two RGB triples
  double rangeMin = 0;
  double rangeMid = 0;  // set to 0 by every "range" line
  double rangeMax = 0;
  double factor = 0;
  double mag = 0;
  int contour = 0;  // contour colour scheme (1 grey)
  int oor = 0;
  int persp = 0;
  double anglex = 0;  // horizontal view angle, degrees
  int bcolor1[3] = {0, 0, 0};  // background top
  int bcolor2[3] = {0, 0, 0};  // background bottom
  double pofactor = 0;
  double pounits = 0;
  double near = 0;
  double far = 0;
  bool info = false;
  int lcolor[3] = {0, 0, 0};  // edge and outline colour
  bool stencil = false;
  bool showid = false;
  int matcolor = 0;  // id of a built-in palette

  // Derived camera values (UpdateEyeAngles), radians.
  double distance = 0;
  double azimuth = 0;
  double polar = 0;
  unsigned char flip = 0;  // toggled when an orbit passes over a pole
  double dollyStep[3] = {0, 0, 0};  // only its length is used

  int fileRead = 0;  // 1 once a file was read
  double cogCopy[3] = {0, 0, 0};  // cog as of the last file read

  // A range is given when its minimum is not greater than its maximum; the
  // default (0, -1) leaves the contour range to the data.
  bool RangeGiven() const { return rangeMin <= rangeMax; }
};

// Result codes of the reader.
constexpr int kViwOk = 0;
constexpr int kViwNoEquals = 6;
constexpr int kViwCannotOpen = 7;

// The model viewer's defaults and the derived values.
void InitViewSettings(CViewSettings& s);

// Reads one file, each keyword it names overriding the current value.
// Returns kViwOk, or kViwCannotOpen (settings unchanged).
int ReadViwFile(CViewSettings& s, const std::string& path);

// Parses one line; kViwNoEquals when it has no '=', else kViwOk (also for an
// unknown keyword).
int ParseViwLine(std::string_view line, CViewSettings& s);

// Blanks and tabs off the front; blanks, tabs, CR and LF off the back, never
// the first remaining character.
std::string_view TrimSpace(std::string_view text);

// distance, azimuth and polar angle of the eye about the centre.
void UpdateEyeAngles(CViewSettings& s);

// The horizontal view angle a zoom keeps (degrees, the bounds included for a
// stored camera, excluded for a zoom's result).
constexpr double kMinViewAngle = 1.0;
constexpr double kMaxViewAngle = 160.0;

// True when `up` gives a view along `sight` (eye - centre, any length) an
// orientation: neither of no length nor along the line of sight, as the
// single-precision look-at needs it.
bool UpOrientsSight(const double sight[3], const double up[3]);

// The reading order of a view: "default.viw" in the program's folder, then
// "default.viw" in the data file's folder, then <dataName>.viw there; the
// last file that names a keyword wins, a missing file is skipped. Each name
// is looked up exactly first, then case-insensitively. Folders may be given
// with or without their trailing '/'; an empty program folder is skipped, an
// empty data folder is the current one. Returns the number of files read.
int ReadViewSettingsFiles(CViewSettings& s, const std::string& programDir,
                          const std::string& dataDir, const std::string& dataName);
