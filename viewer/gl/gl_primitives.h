// Small drawing steps shared by the scene and the results viewer's
// diagrams: a vertex, a flat normal, and a filled polygon with its stencil
// outline.
#pragma once
#include <functional>
#include <vector>

#include "viewer/display_model.h"  // FlatNormal

void Vertex(const double p[3]);

// Whether a colour of a primitive in a list is set inside glBegin/glEnd,
// where the driver's list keeps it (CGlDriver), rather than before it.
bool MaterialInsidePrimitive();

// Quads staged in float client arrays and drawn from them, for the large
// display lists: a list compiled from glDrawArrays keeps its vertices
// compactly, where glBegin/glVertex per quad made the driver build and zero
// far more. The staging holds one chunk and is reused; the caller draws
// (and clears) it whenever it is full.
//
// The pictures are those of glBegin(GL_QUADS) with glVertex3d (and
// glNormal3dv when normals are staged): the same primitive, vertex order
// and per-vertex values (the driver rounds doubles to these same floats).
// Colours are set outside the draw. After a draw the arrays are disabled
// again and, with normals, the current normal is set to the last quad's, as
// the immediate drawing left it. Inside a list build, quads without normals
// go to the list's buffer objects (CListBatches) instead.
class CQuadStaging {
 public:
  static constexpr int kChunkQuads = 1 << 15;  // 3 MB with normals
  // The polygon mode the quads are drawn in.
  enum Mode { kFilled, kOutlined };
  explicit CQuadStaging(Mode mode, bool withNormals = false)
      : m_bFilled(mode == kFilled), m_bNormals(withNormals) {}

  // Stages a quad: four corners (display coordinates) and, with normals,
  // its normal for each corner.
  void Add(const double p[4][3], const double n[3] = nullptr);
  int Count() const { return m_nQuads; }
  bool Full() const { return m_nQuads >= kChunkQuads; }
  // GL_QUADS of the staged quads [first, first + count).
  void Draw(int first, int count) const;
  void Clear() { m_nQuads = 0; }

 private:
  bool m_bFilled;
  bool m_bNormals;
  int m_nQuads = 0;
  std::vector<float> m_aVertices;
  std::vector<float> m_aNormals;
};

// Filled faces of 3 or 4 corners, each with its flat normal and its opaque
// colour (the material's ambient and diffuse colour), staged in float
// arrays and drawn as the triangles the list playback makes of a GL_POLYGON
// drawn with that material set before it: the same pixels, and no state
// change between faces. Inside a list build they go to the list's buffer
// objects (CListBatches). A face of three corners is staged with its third
// corner twice; its second triangle has no area and draws nothing. A draw
// whose faces share one colour keeps no colour per vertex; where they
// differ, each keeps its colour as bytes (CListBatches::PutFaceColour),
// so colours are whole bytes over 255, as the colour tables give them
// (others are rounded to the nearest). After a draw the
// material colour and the current normal are the last face's, as the
// polygons left them. The staging holds one chunk: the caller draws it
// whenever it is full, and at the end.
class CFaceStaging {
 public:
  static constexpr int kChunkFaces = 1 << 15;  // 2 MB

  // Stages a face; gives its number among the faces staged so far, or -1
  // for one that draws nothing.
  long long Add(const double p[4][3], int corners, const double n[3], const float rgb[3]);
  bool Full() const { return m_nFaces >= kChunkFaces; }
  // Draws the staged faces and clears the staging.
  void Draw();
  // Whether every face drawn so far went to the buffers of the list being
  // built, in the order of their numbers (CListBatches::BuildDrawsFaceOutlines).
  bool AllInBuffers() const { return m_bAllInBuffers; }

 private:
  int m_nFaces = 0;
  long long m_nStaged = 0;
  bool m_bAllInBuffers = true;
  bool m_bOneColour = true;  // every staged face has the first one's colour
  float m_firstColour[3] = {};
  float m_lastColour[3] = {};  // left current after a draw, as given
  float m_lastNormal[3] = {};  // left current after a draw; no vertex keeps one
  std::vector<float> m_aVertices;
};

// Filled polygons of a display list, each a GL_POLYGON. Where the driver
// keeps memory for good of a run of polygons between two state changes
// (CGlDriver's breakPolygonRuns), a line of one vertex (which draws nothing)
// follows every few of them and comes before every state change that ends a
// run of two or more: the pixels are the same.
class CPolygonRun {
 public:
  // One polygon of 3 or 4 corners.
  void Polygon(const double p[4][3], int corners, const double n[3]);
  // Counts a polygon the caller drew itself (`corner` is one of its
  // corners): one with more corners, or its colour set inside it.
  void Drawn(const double corner[3]);
  // Ends the run: before a state change outside a primitive, and at the end.
  void End();

 private:
  static constexpr int kLineEvery = 64;
  int m_nPolygons = 0;
  double m_last[3] = {};
};

// One filled polygon, plain or, when `outlined`, in the three stencil
// passes: its edges into the stencil, the fill inside them, the edges again
// in the outline colour. `fill` and `outline` set their colours inside the
// primitive, where a display list keeps them; `cornerColour`, when given,
// sets the fill's colour at each corner (by its number) as well.
void DrawOutlinedPolygon(const double p[4][3], int corners, const double n[3], bool outlined,
                         const std::function<void()>& fill, const std::function<void()>& outline,
                         const std::function<void(int)>& cornerColour = {});
