// What the scene draws, with the context current: the background, the
// elements and the member-solid faces of a part kind (plain, outlined
// through the stencil, or coloured by values), the line primitives, the
// edge layer, the material display and the axis triad with its labels.
// Called by the display lists as they are built, by the frame for what is
// drawn directly, and by the results viewer's own lists.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "viewer/gl/gl_material.h"
#include "viewer/gl/gl_primitives.h"
#include "viewer/gl/gl_scene.h"

namespace {

// Part kind of a colour class: above 3 counts as 3; a negative class (black,
// or "keep the material") is not one of the first three kinds either.
int KindOf(int colourClass) { return (colourClass > 3 || colourClass < 0) ? 3 : colourClass; }

bool KindMatches(int kind, int colourClass) { return kind < 0 || KindOf(colourClass) == kind; }

// Ambient and diffuse of an edge or outline colour, alpha 1, both faces.
void SetLineColour(const int rgb[3]) {
  const float c[4] = {static_cast<float>(rgb[0] / 255.0), static_cast<float>(rgb[1] / 255.0),
                      static_cast<float>(rgb[2] / 255.0), 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
}

// Consecutive quads of one colour class go into one GL_QUADS primitive, not
// one primitive a quad. The colour is set with the primitive, as for single
// polygons (inside it where the driver needs that: MaterialInsidePrimitive).
class QuadRun {
 public:
  static constexpr int kNoColour = -99999;  // the material stays as it is
  explicit QuadRun(const int rgb[3]) : m_rgb(rgb) {}
  ~QuadRun() { End(); }
  QuadRun(const QuadRun&) = delete;
  QuadRun& operator=(const QuadRun&) = delete;

  // A flat quad of this colour class: a new run unless the open one has it.
  void Add(int colourClass, const double n[3], const double p[4][3]) {
    if (!m_open || colourClass != m_class) {
      End();
      const bool inside = MaterialInsidePrimitive();
      if (colourClass != kNoColour && !inside) SetGLMaterialColor(colourClass, m_rgb);
      glBegin(GL_QUADS);
      m_open = true;
      m_class = colourClass;
      if (colourClass != kNoColour && inside) SetGLMaterialColor(colourClass, m_rgb);
    }
    glNormal3dv(n);
    for (int k = 0; k < 4; ++k) Vertex(p[k]);
  }
  void End() {
    if (m_open) glEnd();
    m_open = false;
  }

 private:
  const int* m_rgb;
  bool m_open = false;
  int m_class = kNoColour;
};

// One filled polygon of the material display; outlines in the edge colour.
// Plain ones count in `run`; the state changes of an outlined one end it.
void MaterialPolygon(CPolygonRun& run, const double p[4][3], int corners, const double n[3],
                     bool outlined, const int lcolor[3], const std::function<void()>& material) {
  if (outlined) run.End();
  DrawOutlinedPolygon(p, corners, n, outlined, material, [&] { SetLineColour(lcolor); });
  if (!outlined) run.Drawn(p[0]);
}

}  // namespace

bool ParseTriadFeedback(const float* buffer, int count, int floatsPerVertex, double tip[2],
                        double origin[2]) {
  bool haveTip = false, haveOrigin = false;
  int i = 0;
  auto vertexFits = [&](int at, int vertices) {
    return at + static_cast<long long>(vertices) * floatsPerVertex <= count;
  };
  while (i < count) {
    const int token = static_cast<int>(buffer[i++]);
    switch (token) {
      case GL_POINT_TOKEN:
      case GL_BITMAP_TOKEN:
      case GL_DRAW_PIXEL_TOKEN:
      case GL_COPY_PIXEL_TOKEN:
        if (!vertexFits(i, 1)) return haveTip && haveOrigin;
        if (token == GL_POINT_TOKEN && !haveTip) {
          tip[0] = buffer[i];
          tip[1] = buffer[i + 1];
          haveTip = true;
        }
        i += floatsPerVertex;
        break;
      case GL_LINE_TOKEN:
      case GL_LINE_RESET_TOKEN:
        if (!vertexFits(i, 2)) return haveTip && haveOrigin;
        if (!haveOrigin) {
          origin[0] = buffer[i];
          origin[1] = buffer[i + 1];
          haveOrigin = true;
        }
        i += 2 * floatsPerVertex;
        break;
      case GL_POLYGON_TOKEN: {
        if (i >= count) return haveTip && haveOrigin;
        const int n = static_cast<int>(buffer[i++]);
        if (n < 0 || !vertexFits(i, n)) return haveTip && haveOrigin;
        i += n * floatsPerVertex;
        break;
      }
      case GL_PASS_THROUGH_TOKEN:
        ++i;
        break;
      default:
        return haveTip && haveOrigin;  // not a token: the buffer is not understood
    }
  }
  return haveTip && haveOrigin;
}

void TriadLabelAlign(const double tip[2], const double origin[2], OverlayText::HAlign& h,
                     OverlayText::VAlign& v) {
  if (tip[0] > origin[0] + 3)
    h = OverlayText::kLeft;
  else if (tip[0] < origin[0] - 3)
    h = OverlayText::kRight;
  else
    h = OverlayText::kCenter;
  v = tip[1] > origin[1] + 3 ? OverlayText::kBottom : OverlayText::kTop;
}

void CGlScene::DrawBackground(const int top[3], const int bottom[3]) {
  glClear(GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, 0.001, 1000);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(0, 0, 1, 0, 0, 0, 0, 1, 0);
  glBegin(GL_QUADS);
  glNormal3d(0, 0, 1);
  SetFlatMaterial(bottom);
  glVertex3d(-1, -1, 0);
  glVertex3d(1, -1, 0);
  SetFlatMaterial(top);
  glVertex3d(1, 1, 0);
  glVertex3d(-1, 1, 0);
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

bool CGlScene::ElemCorners(const DispElem& e, int corners, double p[4][3]) const {
  return FindNodePos(p, corners, e.n, m_nodeIndex) != 0;
}

bool CGlScene::ElemValues(const DispElem& e, double v[4][4]) const {
  if (!m_pValues || !m_pValues->pNodeValues) return FindElemNodePos(v, e.n, m_nodeIndex) != 0;
  for (int i = 0; i < 4; ++i) {
    const int k = m_nodeIndex.Find(e.n[i]);
    if (k < 0 || k >= m_pValues->nNodeValues) return false;
    for (int j = 0; j < 4; ++j) v[i][j] = m_pValues->pNodeValues[k][static_cast<size_t>(j)];
  }
  return true;
}

void CGlScene::FaceCorners(const CDispModel& d, const DispFace& f, double p[4][3]) const {
  for (int k = 0; k < 4; ++k) SlotCorner(d, f.c[k], p[k]);
}

void CGlScene::SlotCorner(const CDispModel& d, std::uint32_t slot, double p[3]) const {
  if (const float* kept = d.KeptCorner(slot, offset, scale))
    std::copy(kept, kept + 3, p);
  else
    ToScaled(d.Corner(slot).data(), p);
}

double CGlScene::GetElementValue(int elementIndex, int column, bool secondLine) const {
  if (!m_pValues || !m_pValues->pRecords) return 0.0;
  if (elementIndex < 0 || elementIndex >= m_pValues->nRecords) return 0.0;
  if (column < 0 || column > 6) return 0.0;
  const double* rec = m_pValues->pRecords + static_cast<size_t>(elementIndex) * 15;
  return rec[1 + column + (secondLine ? 7 : 0)];
}

void CGlScene::DrawElements(int kind, int flagFilter, int colourMode, const CContourBar* bar,
                            bool outlined) {
  if (!m_pDoc) return;
  const CDispModel& d = *m_pDoc;
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  SetGLMaterialColor(kind <= 0 ? 0 : kind, settings.dcolor);
  double p[4][3], n[3];

  const int n3 = std::min(d.m_nElems3, static_cast<int>(d.m_aElems3.size()));
  for (int i = 0; i < n3; ++i) {
    const DispElem& e = d.m_aElems3[static_cast<size_t>(i)];
    if (!ElemCorners(e, 3, p)) {
      ReportElemMissingNode(3, i, n3, m_nodeIndex);
      continue;
    }
    FlatNormal(p, n);
    glBegin(GL_POLYGON);
    glNormal3dv(n);
    for (int k = 0; k < 3; ++k) Vertex(p[k]);
    glEnd();
  }

  const bool perCorner = bar && colourMode >= 14 && colourMode <= 17;
  const bool perElement = bar && colourMode >= 0 && colourMode <= 13;
  // Outlines and value colours need their own primitives: only plain class-coloured quads are batched.
  const bool batched = !outlined && !perCorner && !perElement;
  QuadRun run(settings.dcolor);
  const int n4 = std::min(d.m_nElems4, static_cast<int>(d.m_aElems4.size()));
  for (int i = 0; i < n4; ++i) {
    const DispElem& e = d.m_aElems4[static_cast<size_t>(i)];
    if (!KindMatches(kind, e.nColorClass)) continue;
    if (flagFilter >= 0 && e.nMode1 != flagFilter) continue;
    double vals[4][4] = {};
    if (!ElemCorners(e, 4, p) || (perCorner && !ElemValues(e, vals))) {
      ReportElemMissingNode(4, i, n4, m_nodeIndex);
      continue;
    }
    FlatNormal(p, n);
    if (batched) {
      run.Add(!bar ? e.nColorClass : QuadRun::kNoColour, n, p);
      continue;
    }
    const std::function<void()> colour = [&] {
      if (perElement) {
        const double v = colourMode <= 6 ? GetElementValue(i, colourMode, false)
                                         : GetElementValue(i, colourMode - 7, true);
        SetGLMaterial(*bar, v);
      } else if (!bar && e.nColorClass != -99999) {
        SetGLMaterialColor(e.nColorClass, settings.dcolor);
      }
    };
    std::function<void(int)> cornerColour;
    if (perCorner) cornerColour = [&](int k) { SetGLMaterial(*bar, vals[k][colourMode - 14]); };
    DrawOutlinedPolygon(p, 4, n, outlined, colour, [&] { SetLineColour(settings.lcolor); }, cornerColour);
  }

  run.End();
  DrawFaces(kind, flagFilter);
}

const std::vector<int>& CGlScene::FaceKindOrder() {
  const CDispModel& d = *m_pDoc;
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  if (m_faceKindStart.size() != 5 || m_faceOrderOf != d.Generation() ||
      static_cast<int>(m_faceOrder.size()) != nf) {
    GroupByKey(nf, 4, [&](int i) { return KindOf(d.m_aFaces[static_cast<size_t>(i)].nColorClass); },
               m_faceOrder, m_faceKindStart);
    m_faceOrderOf = d.Generation();
  }
  return m_faceOrder;
}

void CGlScene::DrawFaces(int kind, int flagFilter) {
  const CDispModel& d = *m_pDoc;
  double p[4][3], n[3];
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  // Faces carry no value records: they keep their class colour.
  const bool inside = MaterialInsidePrimitive();
  auto polygon = [&](const DispFace& f, int corners) {
    const bool coloured = f.nColorClass != QuadRun::kNoColour;
    if (coloured && !inside) SetGLMaterialColor(f.nColorClass, settings.dcolor);
    glBegin(GL_POLYGON);
    glNormal3dv(n);
    if (coloured && inside) SetGLMaterialColor(f.nColorClass, settings.dcolor);
    for (int k = 0; k < corners; ++k) Vertex(p[k]);
    glEnd();
  };
  // The faces of one kind come from its group of the kind order, in array
  // order; runs of one colour class are one draw each. No normals: the
  // scene has no lamp (the global ambient alone lights it), so a normal
  // changes no pixel.
  const int* order = nullptr;
  int count = nf;
  if (kind >= 0) {
    order = FaceKindOrder().data() + m_faceKindStart[static_cast<size_t>(kind)];
    count = m_faceKindStart[static_cast<size_t>(kind) + 1] - m_faceKindStart[static_cast<size_t>(kind)];
  }
  CQuadStaging staged(CQuadStaging::kFilled);
  int runStart = 0, runClass = 0;
  bool open = false;
  if (m_bFromSharedCorners && kind >= 0 && flagFilter < 0) {
    // The same runs, drawn from the shared corners: position t of the kind
    // order is face t of the shared copy.
    const int base = m_faceKindStart[static_cast<size_t>(kind)];
    auto drawRun = [&](int end) {
      if (!open || end <= runStart) return;
      const long long first = 4LL * (base + runStart), n = 4LL * (end - runStart);
      if (CListBatches::BuildDrawsShared({{first, n}}, true)) return;
      for (int t = runStart; t < end; ++t) {
        if (staged.Full()) {
          staged.Draw(0, staged.Count());
          staged.Clear();
        }
        FaceCorners(d.m_aFaces[static_cast<size_t>(order[t])], p);
        staged.Add(p);
      }
      staged.Draw(0, staged.Count());
      staged.Clear();
    };
    for (int t = 0; t < count; ++t) {
      const DispFace& f = d.m_aFaces[static_cast<size_t>(order[t])];
      if (f.nCorners == 3) {
        drawRun(t);
        open = false;
        FaceCorners(f, p);
        FlatNormal(p, n);
        polygon(f, 3);
        continue;
      }
      if (!open || f.nColorClass != runClass) {
        drawRun(t);
        open = true;
        runStart = t;
        runClass = f.nColorClass;
        if (runClass != QuadRun::kNoColour) SetGLMaterialColor(runClass, settings.dcolor);
      }
    }
    drawRun(count);
    return;
  }
  auto flush = [&] {
    staged.Draw(runStart, staged.Count() - runStart);
    runStart = staged.Count();
  };
  for (int t = 0; t < count; ++t) {
    const int i = order ? order[t] : t;
    const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
    if (flagFilter >= 0 && f.nMode1 != flagFilter) continue;
    FaceCorners(f, p);
    if (f.nCorners == 3) {
      flush();
      open = false;
      FlatNormal(p, n);
      polygon(f, 3);
      continue;
    }
    if (!open || f.nColorClass != runClass) {
      flush();
      open = true;
      runClass = f.nColorClass;
      if (runClass != QuadRun::kNoColour) SetGLMaterialColor(runClass, settings.dcolor);
    }
    if (staged.Full()) {
      flush();
      staged.Clear();
      runStart = 0;
    }
    staged.Add(p);
  }
  flush();
}

void CGlScene::DrawLines(int flagFilter, const CContourBar* bar) {
  DrawKindLines(-2, flagFilter, bar);
}

void CGlScene::DrawKindLines(int kind, int flagFilter, const CContourBar* bar) {
  // kind -2: every line (DrawLines), flagged ones in dcolor, the rest in
  // lcolor; otherwise the lines of that kind (negative: all) in dcolor.
  const bool allLines = kind == -2;
  auto flagMatch = [&](const DispLine& l) { return flagFilter >= 0 && l.nMode1 == flagFilter; };
  WalkLinePrimitives(
      [&](int, const DispLine& l) {
        return allLines || (KindMatches(kind, l.nColorClass) && (flagFilter < 0 || flagMatch(l)));
      },
      [&](int, const DispLine& l) {
        if (bar)
          SetGLMaterialColor(l.nColorClass, settings.dcolor);
        else
          SetLineColour(!allLines || flagMatch(l) ? settings.dcolor : settings.lcolor);
      },
      [&](const DispLine& l) { return bar ? l.nColorClass : (!allLines || flagMatch(l)) ? 1 : 0; });
}

void CGlScene::WalkLinePrimitives(const LineSelect& select, const LineColour& colour,
                                  const LineKey& key) {
  if (!m_pDoc) return;
  const CDispModel& d = *m_pDoc;
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glLineWidth(1.0f);
  int width = 1;
  const bool inside = MaterialInsidePrimitive();
  CPolygonRun run;  // closed outlines are polygons in line mode
  const int nl = std::min(d.m_nLines, static_cast<int>(d.m_aLines.size()));
  // Segments staged for a buffer draw: their first line and colour key.
  const bool staging = key && m_bFromSharedCorners;
  constexpr size_t kMostStaged = 3 * (1 << 16);
  std::vector<float> staged;
  int stagedFirst = -1, stagedKey = 0;
  auto drawStaged = [&] {
    if (staged.empty()) return;
    run.End();
    const DispLine& head = d.m_aLines[static_cast<size_t>(stagedFirst)];
    colour(stagedFirst, head);
    const int count = static_cast<int>(staged.size() / 3);
    if (!CListBatches::BuildDraws(staged.data(), 0, count, false, true)) {
      glBegin(GL_LINES);
      if (inside) colour(stagedFirst, head);
      for (int v = 0; v < count; ++v) glVertex3fv(staged.data() + 3 * v);
      glEnd();
    }
    staged.clear();
  };
  for (int i = 0; i < nl;) {
    const DispLine& l = d.m_aLines[static_cast<size_t>(i)];
    const int code = l.nCode;
    if (code <= 0) {
      ++i;
      continue;
    }
    const long long last = static_cast<long long>(i) + code;
    if (last >= nl) break;  // a primitive that runs past the array is not drawn
    if (select(i, l)) {
      const int w = l.nThick ? 3 : 1;
      if (staging && (w != width || code > 1 || key(l) != stagedKey || staged.size() >= kMostStaged))
        drawStaged();
      if (w != width) {
        run.End();
        glLineWidth(static_cast<float>(w));
        width = w;
      }
      double p[3];
      if (staging && code == 1) {
        if (staged.empty()) {
          stagedFirst = i;
          stagedKey = key(l);
        }
        for (int k = i; k <= i + 1; ++k) {
          ToScaled(d.m_aLines[static_cast<size_t>(k)].p, p);
          for (double c : p) staged.push_back(static_cast<float>(c));
        }
        i += 2;
        continue;
      }
      if (!inside) colour(i, l);
      glBegin(code == 1 ? GL_LINES : GL_POLYGON);
      if (inside) colour(i, l);
      for (long long k = i; k <= last; ++k) {
        ToScaled(d.m_aLines[static_cast<size_t>(k)].p, p);
        Vertex(p);
      }
      glEnd();
      if (code > 1) run.Drawn(p);
    }
    i = static_cast<int>(last) + 1;
  }
  drawStaged();
  run.End();
  glLineWidth(1.0f);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void CGlScene::DrawElementEdges(double displacementFactor, unsigned faceList, const std::vector<int>* facePlaces) {
  if (!m_pDoc) return;
  const CDispModel& d = *m_pDoc;
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  double p[4][3];

  const bool inside = MaterialInsidePrimitive();
  // Inside or before each primitive: the colour stays in the list.
  auto begin = [&](GLenum mode) {
    if (!inside) SetLineColour(settings.lcolor);
    glBegin(mode);
    if (inside) SetLineColour(settings.lcolor);
  };
  const int n3 = std::min(d.m_nElems3, static_cast<int>(d.m_aElems3.size()));
  begin(GL_TRIANGLES);
  for (int i = 0; i < n3; ++i) {
    if (!ElemCorners(d.m_aElems3[static_cast<size_t>(i)], 3, p)) continue;
    for (int k = 0; k < 3; ++k) Vertex(p[k]);
  }
  glEnd();

  const int n4 = std::min(d.m_nElems4, static_cast<int>(d.m_aElems4.size()));
  begin(GL_QUADS);
  for (int i = 0; i < n4; ++i) {
    // Edges move by the nodes' own further values, whatever colours the corners.
    if (!DisplacedShellCorners(p, d.m_aElems4[static_cast<size_t>(i)].n, displacementFactor, m_nodeIndex)) continue;
    for (int k = 0; k < 4; ++k) glVertex3dv(p[k]);
  }
  glEnd();

  // The outlines of the faces along the members, as quads in line mode (a
  // triangle repeats its last corner) from client arrays.
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  if (inside) {
    glBegin(GL_QUADS);  // an empty primitive: the colour alone
    SetLineColour(settings.lcolor);
    glEnd();
  } else {
    SetLineColour(settings.lcolor);
  }
  if (m_bFromSharedCorners && nf > 0) {
    // From the shared corners, in their order: the outlines are all of one
    // colour and state, so the order they are drawn in changes no pixel.
    const std::vector<int>& order = FaceKindOrder();
    std::vector<CListBatches::Range> ranges;
    for (int t = 0; t < nf; ++t) {
      if (d.m_aFaces[static_cast<size_t>(order[static_cast<size_t>(t)])].nSide <= 0) continue;
      if (!ranges.empty() && ranges.back().first + ranges.back().count == 4LL * t)
        ranges.back().count += 4;
      else
        ranges.push_back({4LL * t, 4});
    }
    if (!ranges.empty()) SetLineColour(settings.lcolor);
    if (ranges.empty() || CListBatches::BuildDrawsShared(ranges, false)) {
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
      return;
    }
  }
  // From the buffers the face list drew them from: the same floats in the
  // same order, kept once.
  bool fromFaceList = false;
  if (faceList != 0 && facePlaces && facePlaces->size() == static_cast<size_t>(nf)) {
    std::vector<CListBatches::Range> ranges;
    for (int i = 0; i < nf; ++i) {
      const int at = (*facePlaces)[static_cast<size_t>(i)];
      if (at < 0 || d.m_aFaces[static_cast<size_t>(i)].nSide <= 0) continue;
      if (!ranges.empty() && ranges.back().first + ranges.back().count == at)
        ++ranges.back().count;
      else
        ranges.push_back({at, 1});
    }
    if (!ranges.empty()) SetLineColour(settings.lcolor);
    fromFaceList = !ranges.empty() && CListBatches::BuildDrawsFaceOutlines(faceList, ranges);
  }
  CQuadStaging staged(CQuadStaging::kOutlined);
  for (int i = 0; i < nf; ++i) {
    const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
    if (f.nSide <= 0 || (fromFaceList && (*facePlaces)[static_cast<size_t>(i)] >= 0)) continue;
    if (staged.Count() == 0) SetLineColour(settings.lcolor);
    FaceCorners(f, p);
    if (f.nCorners == 3)
      for (int j = 0; j < 3; ++j) p[3][j] = p[2][j];
    staged.Add(p);
    if (staged.Full()) {
      staged.Draw(0, staged.Count());
      staged.Clear();
    }
  }
  staged.Draw(0, staged.Count());
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

static void DrawMaterialImpl(CGlScene& s, const CDispModel& d, const CDispNodeIndex& index,
                             int colourMode, double factor, bool outlined) {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  CPolygonRun run;
  // Outlined polygons end in the outline colour, so their material is set
  // again for every polygon; plain ones only when the material changes.
  bool haveMat = false;
  int lastMat = 0;
  auto material = [&](int mat) {
    if (colourMode >= 14) return;
    if (!outlined && haveMat && mat == lastMat) return;
    SetGLMaterialByMatNo(d, mat);
    haveMat = true;
    lastMat = mat;
  };
  s.ForEachSurfacePolygon(d, index, factor, [&](int kind, int i, int corners, const double p[4][3], const double n[3]) {
    // 3-node shells keep the current material and have no outline.
    if (kind == 3) {
      MaterialPolygon(run, p, 3, n, false, s.settings.lcolor, [] {});
      return;
    }
    const int mat = kind == 4 ? d.m_aElems4[static_cast<size_t>(i)].nMat : d.m_aFaces[static_cast<size_t>(i)].nMat;
    MaterialPolygon(run, p, corners, n, outlined, s.settings.lcolor, [&] { material(mat); });
  });
  run.End();
}

void CGlScene::DrawMaterialSurfaces(int colourMode, double displacementFactor) {
  if (m_pDoc) DrawMaterialImpl(*this, *m_pDoc, m_nodeIndex, colourMode, displacementFactor, false);
}

void CGlScene::DrawMaterialSurfacesOutlined(int colourMode, double displacementFactor) {
  if (m_pDoc) DrawMaterialImpl(*this, *m_pDoc, m_nodeIndex, colourMode, displacementFactor, true);
}

void CGlScene::DrawTriadArrows() {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  const float specular[4] = {0.4f, 0.4f, 0.4f, 0.4f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 14.0f);
  GLUquadric* q = gluNewQuadric();
  if (q) {
    gluQuadricNormals(q, GLU_SMOOTH);
    gluQuadricDrawStyle(q, GLU_FILL);
    auto arrow = [&](const float colour[4]) {
      const float black[4] = {0, 0, 0, 1};
      glPushMatrix();
      glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
      glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, black);
      gluCylinder(q, shaftRadius, shaftRadius, shaftLength, 16, 2);
      glTranslated(0, 0, shaftLength);
      glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, colour);
      glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, colour);
      gluCylinder(q, 2 * shaftRadius, 0, headLength, 16, 2);
      glPopMatrix();
    };
    const float zc[4] = {0, 0, 0.8f, 1}, yc[4] = {0, 0.8f, 0, 1}, xc[4] = {0.8f, 0, 0, 1};
    arrow(zc);
    glPushMatrix();
    glRotated(90, -1, 0, 0);
    arrow(yc);
    glPopMatrix();
    glPushMatrix();
    glRotated(90, 0, 1, 0);
    arrow(xc);
    glPopMatrix();
    gluDeleteQuadric(q);
  }
}

void CGlScene::DrawAxisTriad(bool build) {
  if (build) {
    m_lists.Compile(kListTriad);
    return;
  }
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const int size = triadX + triadSize;  // 100 x 100 with the defaults
  glViewport(triadX, triadY, size, triadY + triadSize);
  glScissor(triadX, triadY, size, triadY + triadSize);
  glEnable(GL_SCISSOR_TEST);
  glClear(GL_DEPTH_BUFFER_BIT);
  // Only the depth clear needs the scissor; it must not clip the next frame.
  glDisable(GL_SCISSOR_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, 0.0001, 1000);
  glMatrixMode(GL_MODELVIEW);
  double e[3], t[3], dir[3];
  ToScaled(settings.eye, e);
  ToScaled(target, t);
  for (int i = 0; i < 3; ++i) dir[i] = e[i] - t[i];
  // The direction alone matters to the orthographic triad; at a fixed
  // distance the near plane never cuts an arrow of a close-up view.
  const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
  if (len > 0 && std::isfinite(len))
    for (double& v : dir) v = v / len * 10.0;
  gluLookAt(dir[0], dir[1], dir[2], 0, 0, 0, settings.up[0], settings.up[1], settings.up[2]);
  if (m_lists.Built(kListTriad)) m_lists.Call(kListTriad);
}

void CGlScene::ProjectTriadTips(double tips[3][2], double origins[3][2]) {
  // Projected with gluProject, not through feedback mode: the driver keeps
  // half a megabyte of every context that ever entered feedback mode. The
  // window positions are those feedback gives, to float rounding.
  GLdouble mv[16], pr[16];
  GLint vp[4];
  glGetDoublev(GL_PROJECTION_MATRIX, pr);
  glGetIntegerv(GL_VIEWPORT, vp);
  for (int a = 0; a < 3; ++a) {  // z, y, x
    glPushMatrix();
    if (a == 1) glRotated(90, -1, 0, 0);
    if (a == 2) glRotated(90, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    double z;
    gluProject(0, 0, labelDistance, mv, pr, vp, &tips[a][0], &tips[a][1], &z);
    gluProject(0, 0, 0, mv, pr, vp, &origins[a][0], &origins[a][1], &z);
    glPopMatrix();
  }
}

void CGlScene::DrawAxisLabels(int windowHeight, const double tips[3][2],
                              const double origins[3][2]) {
  static const char* const kNames[3] = {"Z", "Y", "X"};
  static const unsigned char kColours[3][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
  for (int a = 2; a >= 0; --a) {  // X, Y, Z
    // A camera without a direction (a broken viewpoint) projects no tip.
    if (!std::isfinite(tips[a][0]) || !std::isfinite(tips[a][1]) ||
        !std::isfinite(origins[a][0]) || !std::isfinite(origins[a][1]))
      continue;
    OverlayText t;
    t.text = kNames[a];
    TriadLabelAlign(tips[a], origins[a], t.hAlign, t.vAlign);
    const int x = static_cast<int>(std::lround(tips[a][0]));
    const int y = windowHeight - static_cast<int>(std::lround(tips[a][1]));
    static const int kShadow[3][2] = {{1, 1}, {0, 1}, {1, 0}};
    for (const auto& s : kShadow) {
      t.x = x + s[0];
      t.y = y + s[1];
      t.r = t.g = t.b = 0;
      overlay.push_back(t);
    }
    t.x = x;
    t.y = y;
    t.r = kColours[a][0];
    t.g = kColours[a][1];
    t.b = kColours[a][2];
    overlay.push_back(t);
  }
}
