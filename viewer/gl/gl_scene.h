// The OpenGL state of one 3-D view: view settings, display lists, camera,
// the hits of the last pick and the axis triad. Each view embeds one CGlScene.
//
// The scene never makes a context current itself: the widget that hosts it
// (CGlView) calls the drawing members from inside its paint, or between
// makeCurrent() and doneCurrent(). The camera members (gl_camera.cpp) make
// no OpenGL call at all.
//
// Coordinates: the settings' eye and center are kept in model coordinates;
// everything handed to OpenGL is scaled = (model + offset) x scale, the
// document's normalisation, so the model fits a cube of edge 2.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "viewer/contour_bar.h"
#include "viewer/display_model.h"
#include "viewer/gl/gl_list_set.h"
#include "viewer/view_settings.h"

class CEyeList;
struct EyeRecord;

// Client rectangle in device pixels (left, top, right, bottom).
struct SceneRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Per-element values of a grid model (stresses, two lines of seven values
// per element) and the value ranges the contour bar is made from. The
// document owns the records; the scene only reads them.
struct SceneValues {
  const double* pRecords = nullptr;  // nRecords x 15: sequence number, 7 + 7 values
  int nRecords = 0;
  double valueMin[14] = {};
  double valueMax[14] = {};
  double modeMin[4] = {};  // per-node values dx, dy, dz, length: colour modes 14-17
  double modeMax[4] = {};
  // The same per-node values, one row per node in the order of the node
  // array the scene draws; the corners of modes 14-17 take their colour from
  // them so that they match the ranges above. Null: the nodes' own values.
  const std::array<double, 4>* pNodeValues = nullptr;
  int nNodeValues = 0;
};

// Where the view-settings files of a document are looked for.
struct SceneFiles {
  std::string programDir;  // folder of the program's "default.viw"
  std::string dataDir;     // folder of the data file
  std::string dataName;    // data file name without extension
};

// A text drawn over the picture after the OpenGL work of the frame.
struct OverlayText {
  enum HAlign { kLeft, kCenter, kRight };
  enum VAlign { kTop, kBottom, kBaseline };
  std::string text;  // UTF-8
  int x = 0, y = 0;  // device pixels from the top-left corner
  unsigned char r = 0, g = 0, b = 0;
  HAlign hAlign = kLeft;
  VAlign vAlign = kTop;
};

// What the last pick found.
struct PickResult {
  bool hit = false;
  unsigned name = 0;  // pick name of the nearest hit
  int elem = 0;       // element number
  int mat = 0;        // material number
};

// Pick names of the polygons a pick can hit.
enum : unsigned {
  kPickTria = 1,    // 10 x i + 1: 3-node element i
  kPickQuad = 2,    // 10 x i + 2: 4-node element i
  kPickFace = 3,    // 10 x i + 3: solid face i
  kPickNone = 999,  // geometry before the first element
};

// Sorts the hits by minimum depth, ascending; among equal depths the earlier
// hit stays first.
void SortHitsByDepth(std::vector<unsigned>& names, std::vector<unsigned>& depths);

// Element and material number of a pick name (0 and 0 for a name that
// names nothing of the model).
PickResult DecodePickName(unsigned name, const CDispModel& doc);
// The selection name of polygon `index` of a kind, 10 x index + kind,
// computed in 64 bits. Names are 32-bit words, as the hit records hold
// them: past kMaxPickIndex (429,496,728, about 4 x 10^8 polygons of a kind)
// no name is given (false), and a pick on such a model reports nothing
// rather than a wrong element.
constexpr long long kMaxPickIndex = (0xFFFFFFFFLL - 9) / 10;
bool EncodePickName(long long index, unsigned kind, unsigned& name);

// Window positions of the tip (a point token) and of the origin (the first
// vertex of a line token) in a feedback buffer of GL_3D_COLOR vertices
// (`floatsPerVertex` floats each, 7 in RGBA mode). Point, line, line-reset,
// polygon, bitmap, pixel and pass-through tokens are understood. False when
// either is missing.
bool ParseTriadFeedback(const float* buffer, int count, int floatsPerVertex, double tip[2],
                        double origin[2]);

// Text alignment of an axis label from its tip against the triad origin
// (window coordinates, y up).
void TriadLabelAlign(const double tip[2], const double origin[2], OverlayText::HAlign& h,
                     OverlayText::VAlign& v);

class CGlScene {
 public:
  // Results of Setup.
  enum { kSetupOk = 0, kSetupNoNodes = -1, kSetupNoContext = -2 };

  CGlScene();  // the model viewer's settings defaults, then Init
  ~CGlScene();
  CGlScene(const CGlScene&) = delete;
  CGlScene& operator=(const CGlScene&) = delete;

  // Initial values of every field but the settings.
  void Init();
  // Drops the contour bar and the hits of the last pick.
  void Free();

  // First-draw set-up: settings defaults (`initSettings`, the model
  // viewer's unless a program gives its own), settings files, camera fit,
  // contour bar, context state. kSetupNoNodes without nodes,
  // kSetupNoContext (reported in lastError) when no usable context is
  // current.
  int Setup(const CDispModel& doc, const SceneFiles& files, const SceneValues* values = nullptr,
            void (*initSettings)(CViewSettings&) = InitViewSettings);
  // Display lists and the context's fixed state; false (lastError) when no
  // context is current or the lists cannot be had. Later calls only apply
  // the state again.
  bool SetupContext(bool withStencil);
  // Forget everything tied to the old context: Qt made a new one.
  void ContextLost();
  // Deletes the display lists (context current).
  void DeleteLists();
  // The view's display lists. The scene's table is the model viewer's;
  // another program sets its own, with the background and the triad.
  CGlListSet& Lists() { return m_lists; }
  const CGlListSet& Lists() const { return m_lists; }
  // The model viewer's lists, and the two every program has.
  std::vector<CGlListSet::Entry> ModelViewerLists();
  CGlListSet::Entry BackgroundList();
  CGlListSet::Entry TriadList();
  // Lists compiled from the model are rebuilt at their next use.
  void InvalidateLists();

  // Viewport and projection; false when the client area is empty (the frame
  // is then skipped).
  bool SetProjection(const CDispModel& doc, int x, int y, double pickSize, const SceneRect& rect,
                     bool picking);
  // One frame. Overlay texts (axis labels) are left in `overlay`.
  void Draw(const CDispModel& doc, const SceneRect& rect, const SceneValues* values = nullptr);
  // Names the element under (x, y) (client pixels, y down) and adds its
  // label to `overlay`. Call after Draw, with the context current.
  PickResult Pick(const CDispModel& doc, const SceneRect& rect, int x, int y);

  // --- drawing helpers (context current; used by the lists and by picking)
  // The document the helpers below draw from (Draw and Pick bind it too).
  void BindModel(const CDispModel& doc, const SceneValues* values);
  void DrawBackground(const int top[3], const int bottom[3]);
  // build: compiles the triad list. Otherwise draws it in its corner and
  // leaves its model-view matrix pushed until the tips are projected.
  void DrawAxisTriad(bool build);
  // What the triad list holds: the three arrows.
  void DrawTriadArrows();
  // Window positions of the triad's three label anchors and its origin
  // (also of a tip outside the triad's viewport).
  void ProjectTriadTips(double tips[3][2], double origins[3][2]);
  void DrawAxisLabels(int windowHeight, const double tips[3][2], const double origins[3][2]);
  void DrawElements(int kind, int flagFilter, int colourMode, const CContourBar* bar, bool outlined);
  void DrawKindLines(int kind, int flagFilter, const CContourBar* bar);
  // Walks the line primitives of the document (one that runs past the array
  // is not drawn): `select` decides before each whether it is drawn, and
  // `colour` sets its colour inside glBegin/glEnd, where a display list keeps
  // it. Thick lines are three pixels wide.
  using LineSelect = std::function<bool(int first, const DispLine& head)>;
  using LineColour = std::function<void(int first, const DispLine& head)>;
  // With `key` (equal for lines that `colour` gives one colour), in the
  // scene's own lists, runs of segments of one colour and width are drawn
  // from a buffer with the colour set before them.
  using LineKey = std::function<int(const DispLine& head)>;
  void WalkLinePrimitives(const LineSelect& select, const LineColour& colour, const LineKey& key = {});
  void DrawLines(int flagFilter, const CContourBar* bar);
  // With `faceList` and `facePlaces` (for each face its number among the
  // faces that list drew from buffers, -1 for none; CFaceStaging::Add), the
  // faces' outlines are drawn from that list's buffers where it can.
  void DrawElementEdges(double displacementFactor, unsigned faceList = 0,
                        const std::vector<int>* facePlaces = nullptr);
  void DrawMaterialSurfaces(int colourMode, double displacementFactor);
  void DrawMaterialSurfacesOutlined(int colourMode, double displacementFactor);
  // Value column 0-6 of line 1 (or line 2) of an element's value record;
  // 0 for any other column or a missing record.
  double GetElementValue(int elementIndex, int column, bool secondLine) const;

  // --- camera (gl_camera.cpp): no OpenGL calls; a move that would leave a
  // non-finite camera, or the eye on the centre, changes nothing.
  void Zoom(int n);
  void Dolly(double n, bool fast);
  void Orbit(int a, int b, int c, int d);
  void Turn(int a, int b, int c, int d);
  void RotateDeg(double alphaDeg, double betaDeg);
  void Pan(int a, int b, int k, int c, int d);
  void RotateAxis(int kind, double angle, double P[3], const double Q[3]);
  void RotateEye(int kind, double angle);
  void RotateCentre(int kind, double angle);
  // The camera keys (Qt::Key values); false for any other key.
  bool OnKey(int key, bool ctrl, bool shift, int repeat);
  // Eye on a direction about the model's middle at the current distance;
  // the reverse form keeps the eye and turns the view.
  void SetAxisView(double elevation, double azimuth);
  void SetAxisViewReverse(double elevation, double azimuth);
  // Scaled <-> model coordinates with the scene's scale and offset.
  void ToScaled(const double model[3], double out[3]) const;
  // The shells and member-solid faces of a model in drawing order: 3-node
  // shells, 4-node shells moved by `factor` times their nodes' values, then
  // faces, each scaled and with its flat normal, as each(kind, i, corners,
  // p, n): kind 3 or 4 for the shells of that many nodes, 0 for a face, and
  // i its index in its array. A shell with a missing node is reported once
  // and left out.
  template <class Each>
  void ForEachSurfacePolygon(const CDispModel& d, const CDispNodeIndex& index, double factor, Each&& each) const;
  void ToModel(const double scaled[3], double out[3]) const;
  double DollyStep() const;
  // True when the camera can be drawn: eye, centre and up finite, eye and
  // centre within a million model sizes of the model, the eye off the
  // centre by a millionth of the model's size, and an up that orients the
  // line of sight. CameraUsable checks another camera the same way.
  bool CameraValid() const;
  bool CameraUsable(const CViewSettings& camera) const;
  // A registered viewpoint into the camera: one that is not usable
  // (EyeRecord::Usable) or that the moves would refuse changes nothing and
  // gives false. RecallViewpoint also makes viewpoint n the list's current
  // one; false when n is not registered.
  bool CanShowViewpoint(const EyeRecord& record) const;
  bool ShowViewpoint(const EyeRecord& record);
  bool RecallViewpoint(CEyeList& eyes, int n);
  // Home: viewpoint 0 (made current when `makeCurrent` and registered), or
  // the list's start camera when viewpoint 0 cannot be shown.
  void ShowHome(CEyeList& eyes, bool makeCurrent);

  // --- state (the fields of the scene) ------------------------------------
  int initialised = 0;
  int triadX = 20, triadY = 20;
  int triadSize = 80;
  double shaftRadius = 0.06;
  double shaftLength = 0.7;
  double headLength = 0.3;
  double labelDistance = 1.1;
  double target[3] = {0, 0, 0};
  int useExtentProjection = 0;
  std::unique_ptr<CContourBar> contourBar;
  CViewSettings settings;
  SceneRect clientRect;
  double viewWidth = 30.0;
  int flipped = 0;
  int contextCreated = 0;
  int hitCount = 0;
  std::vector<unsigned> hitNames;
  std::vector<unsigned> hitDepths;
  unsigned char orthographic = 0;
  double fovUsed = 90.0;
  unsigned char surfacesOn = 1;
  unsigned char kindVisible[4] = {1, 1, 1, 1};
  int displayMode = 0;
  double scale = 1.0;
  double offset[3] = {0, 0, 0};

  double modelMiddle[3] = {0, 0, 0};  // middle of the node box (model units)
  bool stencilAvailable = false;      // the context has a stencil buffer
  std::vector<OverlayText> overlay;   // texts of the frame in progress
  PickResult lastPick;
  std::string lastError;

  // Copies the document's scale and offset into the scene.
  void TakeNormalisation(const CDispModel& doc);

 private:
  struct CameraSnapshot;
  // Runs a move; a camera it leaves unusable is put back (false).
  template <class F>
  bool GuardedMove(F&& move);
  bool IsOrthographic() const;
  double EffectiveFactor() const;
  void ApplyContextState();
  void EdgeLayer(int flagFilter);
  void KindSurfaces(int kind, int flagFilter);
  void MaterialSurfaces();
  bool ElemCorners(const DispElem& e, int corners, double p[4][3]) const;
  bool ElemValues(const DispElem& e, double v[4][4]) const;
  void FaceCorners(const DispFace& f, double p[4][3]) const { FaceCorners(*m_pDoc, f, p); }
  // The four corners of a face of `d`, normalised: the floats the model
  // keeps where it normalises as the scene does, with no round trip.
  void FaceCorners(const CDispModel& d, const DispFace& f, double p[4][3]) const;
  // The same of the corner in `slot` of `d` (outside the array: the model's
  // origin, as CDispModel::Corner).
  void SlotCorner(const CDispModel& d, std::uint32_t slot, double p[3]) const;
  // The member-solid faces of a kind (negative: all), of a flag (negative:
  // any), from client arrays.
  void DrawFaces(int kind, int flagFilter);
  // Every polygon a pick can hit, in drawing order (3-node elements, 4-node
  // elements, member-solid faces), with its pick name; an element whose
  // nodes are missing is skipped. False, with none walked, when the model
  // has more polygons of a kind than names (EncodePickName).
  using PickPolygon = std::function<void(unsigned name, int corners, const double p[4][3])>;
  bool ForEachPickPolygon(const PickPolygon& each) const;
  // Face indices grouped by part kind (m_faceKindStart holds the groups),
  // made once per model and kept until the lists are invalidated.
  const std::vector<int>& FaceKindOrder();
  // Every face in the kind order as a shared quad of the model's corners,
  // shared by the lists that fill faces of a kind and the edge list that
  // outlines them (a triangle repeats its last corner); made again when
  // stale (context current, no list open). False without faces or buffers.
  bool ShareFaceCorners();
  // The list being built draws its faces from the shared corners.
  bool m_bFromSharedCorners = false;
  bool StencilWanted() const { return settings.stencil && stencilAvailable; }
  int NodeCount() const;
  const DispNode* NodeArray() const;

  const CDispModel* m_pDoc = nullptr;
  const SceneValues* m_pValues = nullptr;
  CDispNodeIndex m_nodeIndex;  // over the node array that is drawn
  std::uint64_t m_nodeIndexOf = 0;  // the model generation it was built of
  std::vector<int> m_faceOrder;
  std::vector<int> m_faceKindStart;
  std::uint64_t m_faceOrderOf = 0;  // the model generation it was made of (0: none)
  // The model generation the shared corners were made of (0: none or stale).
  std::uint64_t m_sharedFacesOf = 0;
  int m_nSharedFaces = 0;
  double m_sharedNorm[4] = {};  // scale and offset
  CGlListSet m_lists;
};

template <class Each>
void CGlScene::ForEachSurfacePolygon(const CDispModel& d, const CDispNodeIndex& index, double factor,
                                     Each&& each) const {
  double p[4][3], n[3];
  const int n3 = std::min(d.m_nElems3, static_cast<int>(d.m_aElems3.size()));
  for (int i = 0; i < n3; ++i) {
    const DispElem& e = d.m_aElems3[static_cast<size_t>(i)];
    if (!FindNodePos(p, 3, e.n, index)) {
      ReportElemMissingNode(3, i, n3, index);
      continue;
    }
    FlatNormal(p, n);
    each(3, i, 3, p, n);
  }
  const int n4 = std::min(d.m_nElems4, static_cast<int>(d.m_aElems4.size()));
  for (int i = 0; i < n4; ++i) {
    const DispElem& e = d.m_aElems4[static_cast<size_t>(i)];
    if (!DisplacedShellCorners(p, e.n, factor, index)) {
      ReportElemMissingNode(4, i, n4, index);
      continue;
    }
    FlatNormal(p, n);
    each(4, i, 4, p, n);
  }
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  for (int i = 0; i < nf; ++i) {
    const DispFace& f = d.m_aFaces[static_cast<size_t>(i)];
    FaceCorners(d, f, p);
    FlatNormal(p, n);
    each(0, i, f.nCorners == 3 ? 3 : 4, p, n);
  }
}
