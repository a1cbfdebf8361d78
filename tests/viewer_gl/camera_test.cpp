// Camera moves: eye and centre after each move, checked against values
// worked out by hand for a model whose node box is x 0-10, y 0-4, z 0-1
// (scale 0.2, offset (-5, -2, -0.5), default eye (15, 12, 10.5)).
#include <gtest/gtest.h>

#include <Qt>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "gl_test_util.h"
#include "platform/binary_file.h"
#include "viewer/eye_file.h"
#include "viewer/gl/gl_scene.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTol = 1e-9;

void ExpectVec(const double v[3], double x, double y, double z, const char* what) {
  EXPECT_NEAR(v[0], x, kTol) << what;
  EXPECT_NEAR(v[1], y, kTol) << what;
  EXPECT_NEAR(v[2], z, kTol) << what;
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildModel(doc_, {{1, 0, 0, 0}, {2, 10, 4, 1}, {3, 5, 2, 0}}, {});
    SetUpScene(scene_);
  }
  // Without a current context the set-up stops at the context, after the
  // camera has been fitted.
  void SetUpScene(CGlScene& s) {
    const int r = s.Setup(doc_, SceneFiles{"", dir_.Path(), "model"});
    ASSERT_EQ(r, CGlScene::kSetupNoContext);
    s.clientRect = SceneRect{0, 0, 600, 400};
    s.viewWidth = 6.0;
  }

  TempDir dir_;
  CDispModel doc_;
  CGlScene scene_;
};

TEST_F(CameraTest, DefaultCameraOfThreeNodes) {
  EXPECT_DOUBLE_EQ(scene_.scale, 0.2);
  ExpectVec(scene_.offset, -5, -2, -0.5, "offset");
  ExpectVec(scene_.settings.center, 5, 2, 0.5, "center");
  ExpectVec(scene_.settings.eye, 15, 12, 10.5, "eye");
  ExpectVec(scene_.settings.up, 0, 0, 1, "up");
  EXPECT_NEAR(scene_.settings.distance, std::sqrt(300.0), kTol);
  EXPECT_NEAR(scene_.settings.azimuth, kPi / 4, kTol);
  EXPECT_NEAR(scene_.settings.polar, std::atan(std::sqrt(2.0)), kTol);
  double e[3];
  scene_.ToScaled(scene_.settings.eye, e);
  ExpectVec(e, 2, 2, 2, "scaled eye");
  ExpectVec(scene_.modelMiddle, 5, 2, 0.5, "middle");
  EXPECT_TRUE(scene_.useExtentProjection);
  EXPECT_EQ(scene_.contourBar, nullptr);
}

TEST_F(CameraTest, OrthographicDefaultEyeIsFiveExtentsAway) {
  dir_.Write("model.viw", "persp = 0\n");
  CGlScene s;
  SetUpScene(s);
  ExpectVec(s.settings.eye, 55, 52, 50.5, "eye");
}

TEST_F(CameraTest, GivenEyeIsScaledAndGivenCentreIsModel) {
  dir_.Write("model.viw", "eye = 1, 0, 0\ncenter = 1 2 3\nup = 0 1 0\n");
  CGlScene s;
  SetUpScene(s);
  ExpectVec(s.settings.eye, 10, 2, 0.5, "eye");
  ExpectVec(s.settings.center, 1, 2, 3, "center");
  ExpectVec(s.settings.up, 0, 1, 0, "up");
}

TEST_F(CameraTest, ProgramDefaultsComeBeforeTheFiles) {
  dir_.Write("model.viw", "dcolor = 1 2 3\n");
  CGlScene s;
  const int r = s.Setup(doc_, SceneFiles{"", dir_.Path(), "model"}, nullptr, [](CViewSettings& v) {
    InitViewSettings(v);
    v.bcolor1[0] = 255;
    v.persp = 0;
  });
  EXPECT_EQ(r, CGlScene::kSetupNoContext);
  EXPECT_EQ(s.settings.bcolor1[0], 255);
  EXPECT_EQ(s.settings.dcolor[2], 3);
  ExpectVec(s.settings.eye, 55, 52, 50.5, "eye");
}

TEST_F(CameraTest, FactorOfZeroOrLessIsIgnored) {
  for (const char* text : {"factor = 0\n", "factor = -2\n", "factor = 3\n"}) {
    dir_.Write("model.viw", text);
    CGlScene s;
    SetUpScene(s);
    EXPECT_DOUBLE_EQ(s.settings.factor, text[9] == '3' ? 3.0 : 1.0) << text;
  }
}

TEST_F(CameraTest, ZoomChangesAngleOrFactorWithinLimits) {
  struct Case {
    int persp;
    double angle;
    int notch;
    double wantAngle, wantFactor;
  };
  const Case cases[] = {
      {1, 30, 1, 15, 1},    {1, 30, -1, 60, 1},  {1, 2, 1, 2, 1},    // 1 is not above 1
      {1, 80, -1, 80, 1},   {1, 79, -1, 158, 1}, {0, 30, 1, 30, 2},  // 160 is not below 160
      {0, 30, -1, 30, 0.5},
  };
  for (const Case& c : cases) {
    CGlScene s;
    SetUpScene(s);
    s.settings.persp = c.persp;
    s.settings.anglex = c.angle;
    s.Zoom(c.notch);
    EXPECT_DOUBLE_EQ(s.settings.anglex, c.wantAngle) << c.angle << " " << c.notch;
    EXPECT_DOUBLE_EQ(s.settings.factor, c.wantFactor) << c.angle << " " << c.notch;
  }
}

TEST_F(CameraTest, DollyMovesEyeAndCentreTogether) {
  scene_.Dolly(1, false);
  const double d = 0.1 / std::sqrt(3.0);  // 0.02 scaled units along the diagonal
  ExpectVec(scene_.settings.eye, 15 - d, 12 - d, 10.5 - d, "eye");
  ExpectVec(scene_.settings.center, 5 - d, 2 - d, 0.5 - d, "center");
  EXPECT_NEAR(scene_.settings.distance, std::sqrt(300.0), kTol);
  scene_.Dolly(-1, true);  // ten steps back
  ExpectVec(scene_.settings.eye, 15 + 9 * d, 12 + 9 * d, 10.5 + 9 * d, "eye");
}

TEST_F(CameraTest, OrbitTurnsTheEyeAboutTheCentre) {
  scene_.Orbit(0, 0, 0, -100);  // azimuth step pi/6
  const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
  ExpectVec(scene_.settings.eye, 5 + 10 * c - 10 * s, 2 + 10 * c + 10 * s, 10.5, "eye");
  ExpectVec(scene_.settings.center, 5, 2, 0.5, "center");
  EXPECT_NEAR(scene_.settings.azimuth, kPi / 4 + kPi / 6, kTol);
}

TEST_F(CameraTest, OrbitOverThePoleFlipsAndComesBack) {
  scene_.Orbit(200, 0, 0, 0);  // elevation step pi/3 carries the eye over the top
  EXPECT_EQ(scene_.settings.flip, 1);
  ExpectVec(scene_.settings.up, 0, 0, -1, "up");
  const double h = 5 - 5 * std::sqrt(1.5);  // signed horizontal offset per axis
  ExpectVec(scene_.settings.eye, 5 + h, 2 + h, 0.5 + 5 + 5 * std::sqrt(6.0), "eye");
  scene_.Orbit(-200, 0, 0, 0);  // back over the top
  EXPECT_EQ(scene_.settings.flip, 0);
  ExpectVec(scene_.settings.up, 0, 0, 1, "up");
  ExpectVec(scene_.settings.eye, 15, 12, 10.5, "eye");
}

TEST_F(CameraTest, TurnMovesTheCentreAboutTheEye) {
  scene_.Turn(0, 0, -100, 0);  // pi/6 about the eye's vertical
  const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
  ExpectVec(scene_.settings.eye, 15, 12, 10.5, "eye");
  ExpectVec(scene_.settings.center, 15 - 10 * c + 10 * s, 12 - 10 * c - 10 * s, 0.5, "center");
  // The angles are left as seen from the eye: azimuth moved by pi, polar negated.
  EXPECT_NEAR(scene_.settings.azimuth, 5 * kPi / 12 + kPi, kTol);
  EXPECT_NEAR(scene_.settings.polar, -std::atan(std::sqrt(2.0)), kTol);
}

TEST_F(CameraTest, RotateDegLooksTheOtherWayAndBack) {
  scene_.RotateDeg(180, 0);
  ExpectVec(scene_.settings.center, 25, 22, 0.5, "center");
  ExpectVec(scene_.settings.eye, 15, 12, 10.5, "eye");
  scene_.RotateDeg(180, 0);
  ExpectVec(scene_.settings.center, 5, 2, 0.5, "center");
  EXPECT_EQ(scene_.flipped, 0);
}

TEST_F(CameraTest, PanSidewaysAndUpFollowsTheFlipByte) {
  const double side = 0.06 / (2 * std::sqrt(2.0)) * 2 / 0.2;  // 0.2121... model units
  const double upZ = 0.06 * std::sqrt(8.0) / std::sqrt(12.0) / 0.2;
  const double upXY = -2 / std::sqrt(12.0) * 0.06 * 2 / std::sqrt(8.0) / 0.2;
  struct Case {
    unsigned char flip;
    int a, b, c, d;
    double dx, dy, dz;
  };
  const Case cases[] = {
      {0, 0, 0, -20, 0, side, -side, 0},   // left key
      {1, 0, 0, -20, 0, -side, side, 0},   // mirrored after an orbit over the top
      {0, 0, -20, 0, 0, upXY, upXY, upZ},  // Shift+Up
      {1, 0, -20, 0, 0, -upXY, -upXY, -upZ},
  };
  for (const Case& k : cases) {
    CGlScene s;
    SetUpScene(s);
    s.settings.flip = k.flip;
    s.flipped = 0;  // the scene's own word does not decide the sign
    s.Pan(k.a, k.b, 1, k.c, k.d);
    ExpectVec(s.settings.eye, 15 + k.dx, 12 + k.dy, 10.5 + k.dz, "eye");
    ExpectVec(s.settings.center, 5 + k.dx, 2 + k.dy, 0.5 + k.dz, "center");
  }
}

TEST_F(CameraTest, AxisViewsPutTheEyeOnTheAxis) {
  const double d = std::sqrt(300.0);
  struct Case {
    double e, a;
    double x, y, z;
  };
  const Case cases[] = {
      {0, 0, 5 + d, 2, 0.5},
      {0, kPi, 5 - d, 2, 0.5},
      {0, kPi / 2, 5, 2 + d, 0.5},
      {0, -kPi / 2, 5, 2 - d, 0.5},
      {kPi / 2, -kPi / 2, 5, 2, 0.5 + d},
      {-kPi / 2, -kPi / 2, 5, 2, 0.5 - d},
  };
  for (const Case& c : cases) {
    CGlScene s;
    SetUpScene(s);
    s.SetAxisView(c.e, c.a);
    ExpectVec(s.settings.center, 5, 2, 0.5, "center");
    ExpectVec(s.settings.eye, c.x, c.y, c.z, "eye");
    EXPECT_EQ(s.settings.flip, 0);
    EXPECT_NEAR(s.settings.distance, d, kTol);
  }
}

TEST_F(CameraTest, ReverseAxisViewKeepsTheEye) {
  const double d = std::sqrt(300.0);
  struct Case {
    double e, a;
    double dx, dy, dz;  // centre - eye
  };
  const Case cases[] = {
      {0, 0, -d, 0, 0},       {0, kPi, d, 0, 0},      {0, kPi / 2, 0, -d, 0},
      {kPi / 2, 0, 0, 0, -d}, {-kPi / 2, 0, 0, 0, d},
  };
  for (const Case& c : cases) {
    CGlScene s;
    SetUpScene(s);
    s.SetAxisViewReverse(c.e, c.a);
    ExpectVec(s.settings.eye, 15, 12, 10.5, "eye");
    ExpectVec(s.settings.center, 15 + c.dx, 12 + c.dy, 10.5 + c.dz, "center");
  }
}

// The angles of a reverse axis view are those of the level view before the
// elevation step, turned round: azimuth moved by pi, polar angle negated.
TEST_F(CameraTest, ReverseAxisViewAnglesAreTakenBeforeTheElevation) {
  const double d = std::sqrt(300.0);
  struct Case {
    double e, a;
    double azimuth;
  };
  const Case cases[] = {
      {0, 0, kPi},          {kPi / 2, 0, kPi},          {-kPi / 2, 0, kPi},
      {0.3, -kPi / 2, kPi / 2}, {kPi / 2, kPi / 2, 3 * kPi / 2},
  };
  for (const Case& c : cases) {
    CGlScene s;
    SetUpScene(s);
    s.SetAxisViewReverse(c.e, c.a);
    EXPECT_NEAR(s.settings.distance, d, kTol) << c.e << " " << c.a;
    EXPECT_NEAR(s.settings.azimuth, c.azimuth, kTol) << c.e << " " << c.a;
    EXPECT_NEAR(s.settings.polar, -kPi / 2, kTol) << c.e << " " << c.a;
  }
}

TEST_F(CameraTest, KeysMoveAsTheirOperations) {
  const double step = 0.1;  // the dolly step in model units
  const double f = 0.25 / std::sqrt(3.0);
  struct Case {
    int key;
    bool ctrl, shift;
    double dx, dy, dz;  // both eye and centre
  };
  const Case cases[] = {
      {Qt::Key_X, false, false, step, 0, 0}, {Qt::Key_X, false, true, -step, 0, 0},
      {Qt::Key_Y, true, false, 0, step, 0},  {Qt::Key_Z, false, true, 0, 0, -step},
      {Qt::Key_A, false, false, step, 0, 0}, {Qt::Key_S, false, false, -step, 0, 0},
      {Qt::Key_F, false, false, f, f, f},
  };
  for (const Case& c : cases) {
    CGlScene s;
    SetUpScene(s);
    EXPECT_TRUE(s.OnKey(c.key, c.ctrl, c.shift, 1));
    ExpectVec(s.settings.eye, 15 + c.dx, 12 + c.dy, 10.5 + c.dz, "eye");
    ExpectVec(s.settings.center, 5 + c.dx, 2 + c.dy, 0.5 + c.dz, "center");
  }
  CGlScene s;
  SetUpScene(s);
  EXPECT_TRUE(s.OnKey(Qt::Key_C, false, false, 1));
  ExpectVec(s.settings.center, 5, 2, 0.5, "C centre");
  ExpectVec(s.settings.eye, 10, 7, 3, "C eye");
}

// Each key does what its operation does when called directly.
TEST_F(CameraTest, KeysCallTheirOperations) {
  using Op = void (*)(CGlScene&);
  struct Case {
    int key;
    bool ctrl, shift;
    int repeat;
    Op op;
  };
  const Case cases[] = {
      {Qt::Key_Left, false, false, 2, [](CGlScene& s) { s.Pan(0, 0, 1, -40, 0); }},
      {Qt::Key_Left, false, true, 1, [](CGlScene& s) { s.Pan(0, 0, 1, -40, 0); }},
      {Qt::Key_Left, true, false, 1, [](CGlScene& s) { s.Turn(0, 0, -10, 0); }},
      {Qt::Key_Right, false, false, 1, [](CGlScene& s) { s.Pan(0, 0, 1, 20, 0); }},
      {Qt::Key_Right, true, false, 3, [](CGlScene& s) { s.Turn(0, 0, 30, 0); }},
      {Qt::Key_Up, false, false, 3, [](CGlScene& s) { s.Dolly(3, false); }},
      {Qt::Key_Up, false, true, 1, [](CGlScene& s) { s.Pan(0, -20, 1, 0, 0); }},
      {Qt::Key_Up, true, false, 1, [](CGlScene& s) { s.Turn(0, 0, 0, -10); }},
      {Qt::Key_Down, false, false, 1, [](CGlScene& s) { s.Dolly(-1, false); }},
      {Qt::Key_Down, true, true, 1, [](CGlScene& s) { s.Pan(0, 20, 1, 0, 0); }},
      {Qt::Key_D, false, true, 1, [](CGlScene& s) { s.Dolly(-1, false); }},
      {Qt::Key_H, false, false, 1, [](CGlScene& s) { s.RotateEye(0, -kPi / 18); }},
      {Qt::Key_J, false, false, 1, [](CGlScene& s) { s.RotateEye(0, kPi / 18); }},
      {Qt::Key_I, false, true, 1, [](CGlScene& s) { s.Orbit(10, 0, 0, 0); }},
      {Qt::Key_K, false, false, 1, [](CGlScene& s) { s.Orbit(0, 0, 0, 10); }},
      {Qt::Key_L, false, true, 1, [](CGlScene& s) { s.Turn(0, 0, -10, 0); }},
      {Qt::Key_O, false, false, 1, [](CGlScene& s) { s.Turn(0, 0, 0, 10); }},
      {Qt::Key_R, false, false, 1, [](CGlScene& s) { s.RotateDeg(180, 0); }},
  };
  for (const Case& c : cases) {
    CGlScene byKey, direct;
    SetUpScene(byKey);
    SetUpScene(direct);
    EXPECT_TRUE(byKey.OnKey(c.key, c.ctrl, c.shift, c.repeat));
    c.op(direct);
    ExpectVec(byKey.settings.eye, direct.settings.eye[0], direct.settings.eye[1],
              direct.settings.eye[2], "eye");
    ExpectVec(byKey.settings.center, direct.settings.center[0], direct.settings.center[1],
              direct.settings.center[2], "center");
    // and the move did move something
    EXPECT_FALSE(byKey.settings.eye[0] == 15 && byKey.settings.eye[1] == 12 &&
                 byKey.settings.eye[2] == 10.5 && byKey.settings.center[0] == 5 &&
                 byKey.settings.center[1] == 2 && byKey.settings.center[2] == 0.5)
        << c.key;
  }
}

TEST_F(CameraTest, DisplayKeysAndUnknownKeys) {
  EXPECT_TRUE(scene_.OnKey(Qt::Key_F9, false, false, 1));
  EXPECT_EQ(scene_.surfacesOn, 0);
  EXPECT_TRUE(scene_.OnKey(Qt::Key_F3, false, false, 1));
  EXPECT_EQ(scene_.kindVisible[1], 0);
  EXPECT_EQ(scene_.surfacesOn, 1);
  EXPECT_TRUE(scene_.OnKey(Qt::Key_F3, false, false, 1));
  EXPECT_EQ(scene_.kindVisible[1], 1);
  EXPECT_FALSE(scene_.OnKey(Qt::Key_Q, false, false, 1));
  ExpectVec(scene_.settings.eye, 15, 12, 10.5, "eye");
}

TEST_F(CameraTest, EmptyClientAreaMovesNothing) {
  scene_.clientRect = SceneRect{};
  scene_.Orbit(10, 20, 30, 40);
  scene_.Turn(10, 20, 30, 40);
  scene_.Pan(0, 0, 1, -20, 0);
  ExpectVec(scene_.settings.eye, 15, 12, 10.5, "eye");
  ExpectVec(scene_.settings.center, 5, 2, 0.5, "center");
}

TEST(CameraDegenerate, CoincidentNodesKeepTheEyeOffTheCentre) {
  TempDir dir;
  CDispModel doc;
  BuildModel(doc, {{1, 3, 3, 3}, {2, 3, 3, 3}}, {});
  CGlScene s;
  ASSERT_EQ(s.Setup(doc, SceneFiles{"", dir.Path(), "m"}), CGlScene::kSetupNoContext);
  s.clientRect = SceneRect{0, 0, 600, 400};
  EXPECT_TRUE(s.CameraValid());
  EXPECT_GT(s.settings.distance, 1.0);
  s.Dolly(5, true);
  s.Orbit(200, 0, 0, 50);
  s.Pan(0, 0, 1, 40, 20);
  EXPECT_TRUE(s.CameraValid());
  EXPECT_TRUE(std::isfinite(s.settings.azimuth) && std::isfinite(s.settings.polar));
}

TEST(CameraDegenerate, AMoveThatWouldLeaveNaNDoesNothing) {
  TempDir dir;
  CDispModel doc;
  BuildModel(doc, {{1, 0, 0, 0}, {2, 10, 4, 1}}, {});
  CGlScene s;
  s.Setup(doc, SceneFiles{"", dir.Path(), "m"});
  s.clientRect = SceneRect{0, 0, 600, 400};
  // An eye given on the centre is moved off it by the set-up...
  EXPECT_TRUE(s.CameraValid());
  // ...and a view direction that would be undefined is refused.
  double eye[3] = {s.settings.eye[0], s.settings.eye[1], s.settings.eye[2]};
  s.settings.dollyStep[0] = std::nan("");
  s.Dolly(1, false);
  ExpectVec(s.settings.eye, eye[0], eye[1], eye[2], "eye");
  s.settings.center[0] = s.settings.eye[0];
  s.settings.center[1] = s.settings.eye[1];
  s.settings.center[2] = s.settings.eye[2];
  s.SetAxisView(0, 0);  // distance 0: nothing to place the eye by
  ExpectVec(s.settings.eye, eye[0], eye[1], eye[2], "eye");
}

// A settings file that puts the eye on the centre, or gives an up of no
// length, would look nowhere: the set-up puts the default in its place.
TEST(CameraDegenerate, EyeOnTheCentreOrNoUpGivenIsRefused) {
  struct Case {
    const char* viw;
    double eye[3], up[3];
  };
  const Case cases[] = {{"eye = 0 0 0\n", {15, 12, 10.5}, {0, 0, 1}},  // scaled origin: the middle
                        {"up = 0 0 0\n", {15, 12, 10.5}, {0, 0, 1}},
                        {"up = 1 0 0\n", {15, 12, 10.5}, {1, 0, 0}}};
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("m.viw", c.viw);
    CDispModel doc;
    BuildModel(doc, {{1, 0, 0, 0}, {2, 10, 4, 1}}, {});
    CGlScene s;
    s.Setup(doc, SceneFiles{"", dir.Path(), "m"});
    EXPECT_TRUE(s.CameraValid()) << c.viw;
    ExpectVec(s.settings.eye, c.eye[0], c.eye[1], c.eye[2], c.viw);
    ExpectVec(s.settings.up, c.up[0], c.up[1], c.up[2], c.viw);
  }
}

// Viewpoints the list holds but no camera can look from: recalling one, by
// number, by step or without making it current, leaves camera and current
// viewpoint as they were.
TEST_F(CameraTest, ARecalledViewpointTheMovesRefuseChangesNothing) {
  CEyeList eyes;
  eyes.Register(scene_.settings);
  auto bad = [&](auto&& spoil) {
    CViewSettings c = scene_.settings;
    spoil(c);
    eyes.Register(c, false);
  };
  bad([](CViewSettings& c) { c.eye[0] = c.center[0] + 1e-300; c.eye[1] = c.center[1]; c.eye[2] = c.center[2]; });
  bad([](CViewSettings& c) { c.up[0] = c.up[1] = 0; c.up[2] = 1e-200; });
  bad([](CViewSettings& c) { c.eye[0] = 1e308; c.center[0] = -1e308; });
  bad([](CViewSettings& c) { c.up[1] = std::nan(""); });
  bad([](CViewSettings& c) { c.polar = INFINITY; });
  scene_.Orbit(0, 0, 0, 40);
  const CViewSettings before = scene_.settings;
  for (int n = 1; n < eyes.Count(); ++n) {
    EXPECT_FALSE(scene_.RecallViewpoint(eyes, n)) << n;
    EXPECT_FALSE(scene_.ShowViewpoint(eyes.At(n))) << n;
    EXPECT_EQ(eyes.Current(), 0);
    ExpectVec(scene_.settings.eye, before.eye[0], before.eye[1], before.eye[2], "eye");
    ExpectVec(scene_.settings.up, before.up[0], before.up[1], before.up[2], "up");
    EXPECT_EQ(scene_.settings.polar, before.polar);
  }
  EXPECT_FALSE(scene_.RecallViewpoint(eyes, eyes.Count()));
  EXPECT_TRUE(scene_.RecallViewpoint(eyes, 0));
  ExpectVec(scene_.settings.eye, 15, 12, 10.5, "eye");
}

// Damaged viewpoints of every kind, finite ones included: none is shown or
// kept from a file, the camera stays drawable, and Home brings back the
// start camera whatever viewpoint 0 holds.
TEST_F(CameraTest, DamagedViewpointsOfEveryKindAreRefused) {
  using Spoil = std::function<void(CViewSettings&)>;
  auto at = [](CViewSettings& c, double x, double y, double z) {
    c.eye[0] = x;
    c.eye[1] = y;
    c.eye[2] = z;
  };
  const struct {
    const char* what;
    Spoil spoil;
  } cases[] = {
      {"NaN view angle", [](CViewSettings& c) { c.anglex = std::nan(""); }},
      {"view angle 0", [](CViewSettings& c) { c.anglex = 0; }},
      {"view angle 400", [](CViewSettings& c) { c.anglex = 400; }},
      {"flip byte 9", [](CViewSettings& c) { c.flip = 9; }},
      {"azimuth 1e9", [](CViewSettings& c) { c.azimuth = 1e9; }},
      {"polar -7", [](CViewSettings& c) { c.polar = -7; }},
      {"distance -5", [](CViewSettings& c) { c.distance = -5; }},
      {"eye at 1e300", [&](CViewSettings& c) { at(c, 1e300, 12, 10.5); }},
      {"eye and centre at 1e300", [&](CViewSettings& c) {
         at(c, 1e300, 0, 0);
         c.center[0] = 1e300 - 1e285;
       }},
      {"eye a million sizes off", [&](CViewSettings& c) { at(c, 5e7, 2, 0.5); }},
      {"eye 1e-13 from the centre", [&](CViewSettings& c) { at(c, 5 + 1e-13, 2, 0.5); }},
      {"up along the sight", [](CViewSettings& c) {
         for (int i = 0; i < 3; ++i) c.up[i] = c.eye[i] - c.center[i];
       }},
      {"up against the sight", [](CViewSettings& c) {
         for (int i = 0; i < 3; ++i) c.up[i] = 3 * (c.center[i] - c.eye[i]);
       }},
      {"up of 1e-30", [](CViewSettings& c) { c.up[2] = 1e-30; }},
      {"up of 1e30", [](CViewSettings& c) { c.up[2] = 1e30; }},
  };
  const CViewSettings start = scene_.settings;
  auto expectStart = [&](const char* what) {
    ExpectVec(scene_.settings.eye, start.eye[0], start.eye[1], start.eye[2], what);
    ExpectVec(scene_.settings.center, start.center[0], start.center[1], start.center[2], what);
    EXPECT_EQ(scene_.settings.anglex, start.anglex) << what;
  };
  std::vector<EyeRecord> records;
  for (const auto& c : cases) {
    CViewSettings cam = start;
    c.spoil(cam);
    EyeRecord r;
    r.Set(cam);
    records.push_back(r);
  }
  // Random bytes that all decode as finite numbers.
  std::mt19937_64 random(32);
  for (int n = 0; n < 200; ++n) {
    unsigned char bytes[EyeRecord::kSize];
    for (int i = 0; i < EyeRecord::kSize; i += 8) {
      double d;
      do {
        const uint64_t bits = random();
        std::memcpy(&d, &bits, 8);
      } while (!std::isfinite(d));
      std::memcpy(bytes + i, &d, 8);
    }
    EyeRecord r;
    r.Decode(bytes);
    records.push_back(r);
  }
  TempDir files;
  for (size_t k = 0; k < records.size(); ++k) {
    const std::string what = k < std::size(cases) ? cases[k].what : "random " + std::to_string(k);
    const EyeRecord& r = records[k];
    EXPECT_FALSE(scene_.CanShowViewpoint(r)) << what;
    EXPECT_FALSE(scene_.ShowViewpoint(r)) << what;
    EXPECT_TRUE(scene_.CameraValid()) << what;
    expectStart(what.c_str());

    // The file's only viewpoint: left out, the start camera is viewpoint 0.
    unsigned char file[4 + EyeRecord::kSize];
    plat::EncodeInt32LE(1, file);
    r.Encode(file + 4);
    files.Write("m.eye", std::string(reinterpret_cast<const char*>(file), sizeof file));
    const std::string path = files.Path() + "/m.eye";
    CEyeList eyes;
    EXPECT_EQ(eyes.StartFromFile(path, start, [&](const EyeRecord& e) { return scene_.CanShowViewpoint(e); }), 1)
        << what;
    EXPECT_EQ(eyes.Count(), 1) << what;
    EXPECT_TRUE(scene_.CanShowViewpoint(eyes.At(0))) << what;
  }
}

TEST_F(CameraTest, HomeBringsBackTheStartCameraWhateverWasRecalled) {
  const CViewSettings start = scene_.settings;
  CEyeList eyes;
  eyes.StartFromFile(dir_.Path() + "/none.eye", start);
  // Viewpoint 0 that no check stood in front of: far off the model.
  CViewSettings far = start;
  far.eye[0] = 1e300;
  eyes.Clear();
  eyes.Register(far);
  CViewSettings side = start;
  side.eye[1] = -12;
  UpdateEyeAngles(side);
  eyes.Register(side);
  for (bool current : {true, false}) {
    ASSERT_TRUE(scene_.RecallViewpoint(eyes, 1));
    scene_.Orbit(0, 0, 0, 40);
    scene_.ShowHome(eyes, current);
    ExpectVec(scene_.settings.eye, start.eye[0], start.eye[1], start.eye[2], "eye");
    ExpectVec(scene_.settings.up, start.up[0], start.up[1], start.up[2], "up");
    EXPECT_TRUE(scene_.CameraValid());
  }
  // A usable viewpoint 0 is Home's, and becomes current when asked.
  eyes.Clear();
  eyes.Register(side);
  eyes.Register(start);
  scene_.ShowHome(eyes, true);
  ExpectVec(scene_.settings.eye, 15, -12, 10.5, "eye");
  EXPECT_EQ(eyes.Current(), 0);
}

}  // namespace
