#include "viewer/view_settings.h"

#include <gtest/gtest.h>

#include "viewer/test_folder.h"
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/text_lines.h"

namespace fs = std::filesystem;

namespace {

CViewSettings Defaults() {
  CViewSettings s;
  InitViewSettings(s);
  return s;
}

TEST(ViewSettings, DefaultsOfTheModelViewer) {
  const CViewSettings s = Defaults();
  // Those that decide what the first frame shows.
  EXPECT_EQ(s.friction[0], 0.0);
  EXPECT_EQ(s.friction[3], 0.1);
  EXPECT_EQ(s.dt, "0.0");
  EXPECT_FALSE(s.eyeGiven || s.centerGiven || s.upGiven || s.plane1Given || s.plane2Given);
  EXPECT_EQ(s.up[2], 1.0);
  EXPECT_EQ(s.frmsize[0], -1.0);
  EXPECT_EQ(s.ccolor[0], 240);
  EXPECT_EQ(s.ccolor[5], 80);
  EXPECT_FALSE(s.RangeGiven());
  EXPECT_EQ(s.contour, 2);
  EXPECT_EQ(s.anglex, 30.0);
  EXPECT_EQ(s.near, 0.001);
  EXPECT_EQ(s.far, 20.0);
  EXPECT_TRUE(s.showid);
  EXPECT_EQ(s.matcolor, 109);
  EXPECT_EQ(s.dollyStep[0], 0.02);
  // Eye (1, 1, 1) about the origin.
  EXPECT_DOUBLE_EQ(s.distance, std::sqrt(3.0));
  EXPECT_DOUBLE_EQ(s.azimuth, M_PI / 4);
  EXPECT_DOUBLE_EQ(s.polar, std::atan2(std::sqrt(2.0), 1.0));
}

struct KeywordCase {
  const char* line;
  std::function<bool(const CViewSettings&)> check;
};

TEST(ViewSettings, EveryKeywordSetsItsMember) {
  const KeywordCase cases[] = {
      {"mat = steel plate ", [](auto& s) { return s.mat == "steel plate"; }},
      {"friction = 3 0.25", [](auto& s) { return s.friction[3] == 0.25 && s.friction[1] == 0.1; }},
      {"mass = 2.5", [](auto& s) { return s.mass == 2.5; }},
      {"cog = 1 2 3", [](auto& s) { return s.cog[0] == 1 && s.cog[1] == 2 && s.cog[2] == 3; }},
      {"inertia = 1 2 3 4 5 6", [](auto& s) { return s.inertia[0] == 1 && s.inertia[5] == 6; }},
      {"hight = 7", [](auto& s) { return s.hight == 7; }},
      {"direction = 0 0 -1", [](auto& s) { return s.direction[1] == 0 && s.direction[2] == -1; }},
      {"simtime = 1.5", [](auto& s) { return s.simtime == 1.5; }},
      {"shrink = 0.9", [](auto& s) { return s.shrink == 0.9; }},
      {"radioss = 44", [](auto& s) { return s.radioss == 44; }},
      {"div = 4", [](auto& s) { return s.div == 4; }},
      {"dt = 1.0e-3 s", [](auto& s) { return s.dt == "1.0e-3 s"; }},
      {"anim = 0", [](auto& s) { return s.anim == 0; }},
      {"eye = 4 5 6", [](auto& s) { return s.eyeGiven && s.eye[0] == 4 && s.eye[2] == 6; }},
      {"center = 1 1 2", [](auto& s) { return s.centerGiven && s.center[2] == 2; }},
      {"up = 0 1 0", [](auto& s) { return s.upGiven && s.up[1] == 1 && s.up[2] == 0; }},
      {"picsize = 800 600", [](auto& s) { return s.picsize[0] == 800 && s.picsize[1] == 600; }},
      {"bcolor = 1 2 3", [](auto& s) { return s.bcolor[0] == 1 && s.bcolor[2] == 3 && s.bcolor1[0] == 128; }},
      {"pcolor = 4 5 6", [](auto& s) { return s.pcolor[2] == 6; }},
      {"dcolor = 7 8 9", [](auto& s) { return s.dcolor[0] == 7; }},
      {"tcolor = 10 11 12", [](auto& s) { return s.tcolor[1] == 11; }},
      {"frmsize = 0 300", [](auto& s) { return s.frmsize[0] == 0 && s.frmsize[1] == 300; }},
      {"pmodel = 0 1", [](auto& s) { return s.pmodel[0] == 0 && s.pmodel[1] == 1; }},
      {"dmodel = 1 0", [](auto& s) { return s.dmodel[1] == 0; }},
      {"plane1 = 1 0 0 5", [](auto& s) { return s.plane1Given && s.plane1[3] == 5 && !s.plane2Given; }},
      {"plane2 = 0 1 0 6", [](auto& s) { return s.plane2Given && s.plane2[3] == 6; }},
      {"ccolor = 1 2 3 4 5 6", [](auto& s) { return s.ccolor[0] == 1 && s.ccolor[5] == 6; }},
      {"range = -2 3", [](auto& s) { return s.rangeMin == -2 && s.rangeMax == 3 && s.RangeGiven(); }},
      {"factor = 2", [](auto& s) { return s.factor == 2; }},
      {"mag = 50", [](auto& s) { return s.mag == 50; }},
      {"contour = 1", [](auto& s) { return s.contour == 1; }},
      {"oor = 0", [](auto& s) { return s.oor == 0; }},
      {"persp = 0", [](auto& s) { return s.persp == 0; }},
      {"anglex = 45", [](auto& s) { return s.anglex == 45; }},
      {"bcolor1 = 9 9 9", [](auto& s) { return s.bcolor1[1] == 9 && s.bcolor[0] == 0; }},
      {"bcolor2 = 8 8 8", [](auto& s) { return s.bcolor2[2] == 8; }},
      {"pofactor = 1.5", [](auto& s) { return s.pofactor == 1.5; }},
      {"pounits = 2.5", [](auto& s) { return s.pounits == 2.5; }},
      {"near = 0.5", [](auto& s) { return s.near == 0.5; }},
      {"far = 99", [](auto& s) { return s.far == 99; }},
      {"info = 1", [](auto& s) { return s.info; }},
      {"lcolor = 255 0 0", [](auto& s) { return s.lcolor[0] == 255; }},
      {"stencil = 2", [](auto& s) { return s.stencil; }},
      {"showid = 0", [](auto& s) { return !s.showid; }},
      {"matcolor = 36", [](auto& s) { return s.matcolor == 36; }},
  };
  for (const auto& c : cases) {
    CViewSettings s = Defaults();
    EXPECT_EQ(ParseViwLine(c.line, s), kViwOk) << c.line;
    EXPECT_TRUE(c.check(s)) << c.line;
  }
}

TEST(ViewSettings, LineSyntax) {
  const KeywordCase cases[] = {
      // Keyword in capitals, commas and a comment.
      {"EYE = 1,2,3 # from the north",
       [](auto& s) { return s.eyeGiven && s.eye[0] == 1 && s.eye[1] == 2 && s.eye[2] == 3; }},
      // Every separator of the value list.
      {" center=(1;2:3)", [](auto& s) { return s.center[0] == 1 && s.center[1] == 2 && s.center[2] == 3; }},
      {"ccolor = [1|2/3]\t4,5,6\r", [](auto& s) { return s.ccolor[2] == 3 && s.ccolor[5] == 6; }},
      // Only friction element 2; an index outside 1-3 changes nothing.
      {"friction = 2 0.5",
       [](auto& s) { return s.friction[2] == 0.5 && s.friction[1] == 0.1 && s.friction[3] == 0.1; }},
      {"friction = 4 0.5", [](auto& s) { return s.friction[1] == 0.1 && s.friction[3] == 0.1; }},
      {"friction = 0 0.5", [](auto& s) { return s.friction[0] == 0.0; }},
      // Equal ends are a given range; a reversed one is automatic.
      {"range = 5 5", [](auto& s) { return s.RangeGiven(); }},
      {"range = 5 1", [](auto& s) { return !s.RangeGiven(); }},
      // A commented-out line and a line without '=' change nothing.
      {"#eye = 1 2 3", [](auto& s) { return !s.eyeGiven && s.eye[0] == 1 && s.eye[1] == 1; }},
      {"eye 4 5 6", [](auto& s) { return !s.eyeGiven && s.eye[0] == 1; }},
      // Fewer values than the keyword takes: those present, in order.
      {"eye = 7", [](auto& s) { return s.eyeGiven && s.eye[0] == 7 && s.eye[1] == 1 && s.eye[2] == 1; }},
      {"bcolor = 9", [](auto& s) { return s.bcolor[0] == 9 && s.bcolor[1] == 0; }},
      {"range = -4", [](auto& s) { return s.rangeMin == -4 && s.rangeMax == -1 && s.rangeMid == 0; }},
      {"up =", [](auto& s) { return s.upGiven && s.up[2] == 1; }},
      // Numbers as the old runtime reads them.
      {"mass = 1.5d2", [](auto& s) { return s.mass == 150.0; }},
      {"factor = abc", [](auto& s) { return s.factor == 0.0; }},
      {"contour = 3.9", [](auto& s) { return s.contour == 3; }},
      // Keywords match whole: neither a prefix nor a longer word.
      {"bcol = 1 1 1", [](auto& s) { return s.bcolor[0] == 0; }},
      {"eyes = 3 3 3", [](auto& s) { return !s.eyeGiven; }},
      // Text values keep double-byte characters and inner blanks.
      {"MAT =  \x8d\x7c\x8d\xde A\t", [](auto& s) { return s.mat == "\x8d\x7c\x8d\xde A"; }},
      {"dt = # nothing", [](auto& s) { return s.dt.empty(); }},
  };
  for (const auto& c : cases) {
    CViewSettings s = Defaults();
    ParseViwLine(c.line, s);
    EXPECT_TRUE(c.check(s)) << c.line;
  }
}

TEST(ViewSettings, ParseResults) {
  CViewSettings s = Defaults();
  EXPECT_EQ(ParseViwLine("eye 1 2 3", s), kViwNoEquals);
  EXPECT_EQ(ParseViwLine("# eye = 1", s), kViwNoEquals);
  EXPECT_EQ(ParseViwLine("", s), kViwNoEquals);
  EXPECT_EQ(ParseViwLine("unknown = 1", s), kViwOk);
  EXPECT_EQ(ParseViwLine("=", s), kViwOk);
}

TEST(ViewSettings, TrimSpace) {
  EXPECT_EQ(TrimSpace(" \t abc \t\r\n"), "abc");
  EXPECT_EQ(TrimSpace("a b"), "a b");
  EXPECT_EQ(TrimSpace("   "), "");
  // The first remaining character is never cut.
  EXPECT_EQ(TrimSpace("\r\n"), "\r");
  EXPECT_EQ(TrimSpace(""), "");
}

TEST(ViewSettings, UpdateEyeAngles) {
  struct Case {
    double eye[3], center[3];
    double distance, azimuth, polar;
  };
  const Case cases[] = {
      {{0, 0, 5}, {0, 0, 0}, 5, 0, 0},
      {{1, 2, 3}, {1, 2, 1}, 2, 0, 0},
      {{0, -2, 0}, {0, 0, 0}, 2, -M_PI / 2, M_PI / 2},
      {{-3, 0, -4}, {0, 0, 0}, 5, M_PI, std::atan2(3.0, -4.0)},
  };
  for (const Case& c : cases) {
    CViewSettings s = Defaults();
    for (int i = 0; i < 3; ++i) {
      s.eye[i] = c.eye[i];
      s.center[i] = c.center[i];
    }
    UpdateEyeAngles(s);
    EXPECT_DOUBLE_EQ(s.distance, c.distance);
    EXPECT_DOUBLE_EQ(s.azimuth, c.azimuth);
    EXPECT_DOUBLE_EQ(s.polar, c.polar);
  }
}

TEST(ViewSettings, ReadFile) {
  TestFolder dir;
  CViewSettings s = Defaults();
  EXPECT_EQ(ReadViwFile(s, dir.Dir() + "none.viw"), kViwCannotOpen);
  EXPECT_EQ(s.fileRead, 0);
  EXPECT_EQ(s.mass, 10.0);

  // CRLF lines, a line without '=', and lines longer than the reader takes:
  // the rest is read as a further line, so a keyword at column 255 or 509
  // counts while one cut in two is lost as a whole.
  const std::string longLine = "persp = 0" + std::string(245, ' ') + "anglex = 99" + std::string(243, ' ') +
                               "oor = 5";
  const std::string cutLine = "info = 1" + std::string(242, ' ') + "contour = 7";
  const std::string p =
      dir.Write("a.viw", "cog = 1 2 3\r\nnonsense\r\n" + longLine + "\r\n" + cutLine + "\r\nmass=4");
  EXPECT_EQ(ReadViwFile(s, p), kViwOk);
  EXPECT_EQ(s.fileRead, 1);
  EXPECT_EQ(s.mass, 4.0);
  EXPECT_EQ(s.persp, 0);
  EXPECT_EQ(s.anglex, 99.0);
  EXPECT_EQ(s.oor, 5);
  EXPECT_TRUE(s.info);
  EXPECT_EQ(s.contour, 2);
  EXPECT_EQ(s.cogCopy[0], 1.0);
  EXPECT_EQ(s.cogCopy[2], 3.0);
}

TEST(ViewSettings, ThreeFilesOverrideInOrder) {
  TestFolder prog("prog"), data("data");
  prog.Write("default.viw", "bcolor = 10 10 10\nmass = 1\nfactor = 1.5\nanglex = 20\n");
  data.Write("default.viw", "mass = 2\nfactor = 2.5\n");
  // Copied from Windows: the name differs in case.
  data.Write("MODEL.VIW", "bcolor = 30 30 30\n");

  CViewSettings s = Defaults();
  EXPECT_EQ(ReadViewSettingsFiles(s, prog.Dir(), data.Dir(), "model"), 3);
  EXPECT_EQ(s.bcolor[0], 30);   // the data's own file
  EXPECT_EQ(s.mass, 2.0);       // the data folder's default
  EXPECT_EQ(s.factor, 2.5);
  EXPECT_EQ(s.anglex, 20.0);    // the program folder's default
  EXPECT_EQ(s.contour, 2);      // nobody's: the built-in default

  // Missing files are skipped; folders without their '/' work too.
  CViewSettings t = Defaults();
  std::string progNoSlash = prog.Dir();
  progNoSlash.pop_back();
  EXPECT_EQ(ReadViewSettingsFiles(t, progNoSlash, data.Dir() + "nowhere/", "model"), 1);
  EXPECT_EQ(t.bcolor[0], 10);
  EXPECT_EQ(t.mass, 1.0);
}

TEST(ViewSettings, AFolderIsNoSettingsFile) {
  // A folder named like a settings file does not open: result 7, nothing
  // changes, and the search goes on with the next file.
  TestFolder prog("prog"), data("data");
  prog.Write("default.viw", "mass = 1\n");
  fs::create_directories(data.Dir() + "default.viw");
  fs::create_directories(data.Dir() + "MODEL.VIW");
  struct Case {
    std::string path;
    int result;
  };
  const Case cases[] = {{data.Dir() + "default.viw", kViwCannotOpen},
                        {data.Dir() + "MODEL.VIW", kViwCannotOpen},
                        {prog.Dir() + "default.viw", kViwOk}};
  for (const Case& c : cases) {
    CViewSettings s = Defaults();
    EXPECT_EQ(ReadViwFile(s, c.path), c.result) << c.path;
    EXPECT_EQ(s.fileRead, c.result == kViwOk ? 1 : 0) << c.path;
  }
  CViewSettings s = Defaults();
  EXPECT_EQ(ReadViewSettingsFiles(s, prog.Dir(), data.Dir(), "model"), 1);
  EXPECT_EQ(s.mass, 1.0);
}

}  // namespace
