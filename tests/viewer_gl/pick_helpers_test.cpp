// Hit order, pick names, triad feedback and the material
// colours: the parts of picking and drawing that need no window.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "gl_test_util.h"
#include "viewer/gl/gl_material.h"
#include "viewer/gl/gl_scene.h"

namespace {

TEST(HitRecords, SortByDepthKeepsTheFirstOfEqualDepths) {
  std::vector<unsigned> names = {1, 2, 3, 4, 5};
  std::vector<unsigned> depths = {50, 30, 50, 30, 10};
  SortHitsByDepth(names, depths);
  EXPECT_EQ(depths, (std::vector<unsigned>{10, 30, 30, 50, 50}));
  EXPECT_EQ(names, (std::vector<unsigned>{5, 2, 4, 1, 3}));
}

TEST(PickNames, DecodeEachKind) {
  CDispModel doc;
  BuildModel(doc, {{1, 0, 0, 0}, {2, 1, 0, 0}, {3, 1, 1, 0}, {4, 0, 1, 0}},
             {{101, 7, {1, 2, 3, 4}}, {102, 8, {1, 2, 3, 4}}}, {}, 1);
  doc.m_aFaces[0].nElem = 501;
  doc.m_aFaces[0].nMat = 12;
  doc.m_nFaces = 1;
  struct Case {
    unsigned name;
    int elem, mat;
  };
  const Case cases[] = {
      {2, 101, 7}, {12, 102, 8}, {3, 501, 12},  // 4-node 0 and 1, face 0
      {999, 0, 0}, {1, 0, 0},                   // before the first element; no 3-node element
      {22, 0, 0},  {13, 0, 0},   {5, 0, 0},     // past the arrays; unknown kind
  };
  for (const Case& c : cases) {
    const PickResult r = DecodePickName(c.name, doc);
    EXPECT_EQ(r.elem, c.elem) << c.name;
    EXPECT_EQ(r.mat, c.mat) << c.name;
  }
}

TEST(PickNames, EncodeNearTheLimitRoundTripsAndRefusesPastIt) {
  struct Case {
    long long index;
    unsigned kind;
    bool ok;
    unsigned name;
  };
  const Case cases[] = {
      {0, kPickTria, true, 1u},
      {214748364, kPickFace, true, 2147483643u},  // past where 10 x i overflowed an int
      {kMaxPickIndex, kPickFace, true, 4294967283u},
      {kMaxPickIndex, 9, true, 4294967289u},
      {kMaxPickIndex + 1, kPickTria, false, 0},
      {2147483647LL, kPickQuad, false, 0},  // the largest int index
      {-1, kPickTria, false, 0},
      {5, 10, false, 0},
  };
  for (const Case& c : cases) {
    unsigned name = 0;
    EXPECT_EQ(EncodePickName(c.index, c.kind, name), c.ok) << c.index;
    if (!c.ok) continue;
    EXPECT_EQ(name, c.name) << c.index;
    EXPECT_EQ(name % 10, c.kind) << c.index;
    EXPECT_EQ(name / 10, static_cast<unsigned long long>(c.index)) << c.index;
  }
}

TEST(TriadFeedback, TipFromThePointAndOriginFromTheLine) {
  const float buf[] = {
      static_cast<float>(GL_PASS_THROUGH_TOKEN),
      7,
      static_cast<float>(GL_POINT_TOKEN),
      80,
      90,
      0.5f,
      1,
      0,
      0,
      1,
      static_cast<float>(GL_LINE_RESET_TOKEN),
      70,
      70,
      0.5f,
      1,
      0,
      0,
      1,
      80,
      90,
      0.5f,
      1,
      0,
      0,
      1,
  };
  double tip[2], origin[2];
  ASSERT_TRUE(ParseTriadFeedback(buf, static_cast<int>(std::size(buf)), 7, tip, origin));
  EXPECT_DOUBLE_EQ(tip[0], 80);
  EXPECT_DOUBLE_EQ(tip[1], 90);
  EXPECT_DOUBLE_EQ(origin[0], 70);
  EXPECT_DOUBLE_EQ(origin[1], 70);
  // A polygon token is stepped over; a clipped point leaves no tip.
  const float clipped[] = {
      static_cast<float>(GL_POLYGON_TOKEN),
      3,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      static_cast<float>(GL_LINE_TOKEN),
      70,
      70,
      0.5f,
      1,
      0,
      0,
      1,
      120,
      70,
      0.5f,
      1,
      0,
      0,
      1,
  };
  EXPECT_FALSE(ParseTriadFeedback(clipped, static_cast<int>(std::size(clipped)), 7, tip, origin));
  // A truncated buffer is not read past its end.
  EXPECT_FALSE(ParseTriadFeedback(buf, 5, 7, tip, origin));
}

TEST(TriadFeedback, LabelAlignmentFromTipAndOrigin) {
  struct Case {
    double tx, ty;
    OverlayText::HAlign h;
    OverlayText::VAlign v;
  };
  const double origin[2] = {70, 70};
  const Case cases[] = {
      {80, 70, OverlayText::kLeft, OverlayText::kTop},
      {60, 80, OverlayText::kRight, OverlayText::kBottom},
      {72, 73, OverlayText::kCenter, OverlayText::kTop},  // within 3 pixels
      {67, 74, OverlayText::kCenter, OverlayText::kBottom},
  };
  for (const Case& c : cases) {
    const double tip[2] = {c.tx, c.ty};
    OverlayText::HAlign h;
    OverlayText::VAlign v;
    TriadLabelAlign(tip, origin, h, v);
    EXPECT_EQ(h, c.h) << c.tx << "," << c.ty;
    EXPECT_EQ(v, c.v) << c.tx << "," << c.ty;
  }
}

TEST(Materials, ColourTypes) {
  struct Case {
    int type;
    float r, g, b;
  };
  const Case cases[] = {
      {0, 51 / 255.0f, 102 / 255.0f, 1},
      {1, 0, 0, 1},
      {2, 1, 1, 0},
      {-1, 0, 0, 0},
      {3, 1, 0, 0},
      {7, 1, 0, 0},
  };
  for (const Case& c : cases) {
    float rgba[4];
    MaterialColorOf(c.type, 51, 102, 255, rgba);
    EXPECT_FLOAT_EQ(rgba[0], c.r) << c.type;
    EXPECT_FLOAT_EQ(rgba[1], c.g) << c.type;
    EXPECT_FLOAT_EQ(rgba[2], c.b) << c.type;
    EXPECT_FLOAT_EQ(rgba[3], 1.0f);
  }
}

TEST(ElementValues, ColumnsOfBothLinesAndOutOfRange) {
  TempDir dir;
  CDispModel doc;
  BuildModel(doc, {{1, 0, 0, 0}, {2, 1, 1, 0}}, {});
  double records[2][15];
  for (int i = 0; i < 2; ++i)
    for (int k = 0; k < 15; ++k) records[i][k] = 100 * i + k;
  SceneValues values;
  values.pRecords = &records[0][0];
  values.nRecords = 2;
  CGlScene s;
  s.Setup(doc, SceneFiles{"", dir.Path(), "m"}, &values);
  EXPECT_DOUBLE_EQ(s.GetElementValue(0, 0, false), 1);
  EXPECT_DOUBLE_EQ(s.GetElementValue(0, 6, false), 7);
  EXPECT_DOUBLE_EQ(s.GetElementValue(1, 0, true), 108);
  EXPECT_DOUBLE_EQ(s.GetElementValue(1, 6, true), 114);
  EXPECT_DOUBLE_EQ(s.GetElementValue(1, 7, false), 0);
  EXPECT_DOUBLE_EQ(s.GetElementValue(1, -1, false), 0);
  EXPECT_DOUBLE_EQ(s.GetElementValue(2, 0, false), 0);
  EXPECT_DOUBLE_EQ(s.GetElementValue(-1, 0, false), 0);
}

TEST(ContourBarOfTheScene, EachSetUpReplacesTheBar) {
  TempDir dir;
  CDispModel doc;
  BuildModel(doc, {{1, 0, 0, 0}, {2, 1, 1, 0}}, {});
  SceneValues values;
  values.valueMin[3] = -3.7;
  values.valueMax[3] = 8.2;
  values.modeMin[1] = 0;
  values.modeMax[1] = 4;
  CGlScene s;
  doc.m_nColorMode = 3;
  s.Setup(doc, SceneFiles{"", dir.Path(), "m"}, &values);
  ASSERT_NE(s.contourBar, nullptr);
  EXPECT_EQ(s.contourBar->m_nCount, 13);
  EXPECT_DOUBLE_EQ(s.contourBar->m_dLevels[0], -4);
  doc.m_nColorMode = 15;  // the second per-node range
  s.Setup(doc, SceneFiles{"", dir.Path(), "m"}, &values);
  ASSERT_NE(s.contourBar, nullptr);
  EXPECT_DOUBLE_EQ(s.contourBar->m_dLevels[0], 0);
  EXPECT_DOUBLE_EQ(s.contourBar->m_dLevels[s.contourBar->m_nCount], 4);
  // A range from the settings wins over the data.
  dir.Write("m.viw", "range = 0 1\n");
  s.Setup(doc, SceneFiles{"", dir.Path(), "m"}, &values);
  EXPECT_DOUBLE_EQ(s.contourBar->m_dLevels[s.contourBar->m_nCount], 1);
  doc.m_nColorMode = -1;
  s.Setup(doc, SceneFiles{"", dir.Path(), "m"}, &values);
  EXPECT_EQ(s.contourBar, nullptr);
}

}  // namespace
