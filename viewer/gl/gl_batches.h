// Display lists whose large quad draws keep their vertices in buffer
// objects. A glDrawArrays inside a list is compiled vertex by vertex, with
// a copy of every vertex kept in the list. Here a list is built as parts:
// the state commands (colours, modes, stencil) stay in display lists, and
// each staged quad draw ends the part so far, is copied once into a buffer
// object, and is drawn from it between the parts when the list is called.
//
// Quads that several lists draw, such as the faces that one list fills and
// another outlines, can be shared: their corners kept once in a buffer,
// each corner once however many quads meet at it, and the quads as four
// corner indices each, drawn by each list from its own ranges of the
// indices (so that the driver transforms a corner shared by the quads of a
// draw once).
//
// Filled quads and faces are drawn as triangles: (0, 1, 2), (0, 2, 3), or,
// where the driver's list playback splits them otherwise (CGlDriver's
// playbackSplits), as it does, so that their pixels are those of the
// compiled list; shared quads are drawn as quads, which the driver splits
// as its list playback does. Faces with a colour each (staged by CFaceStaging) carry
// their colours beside the positions, as bytes: the colour is a vertex
// attribute that feeds the material (GL_COLOR_MATERIAL), so that no glMaterial stands
// between the faces of a list. They carry no normals: the scenes light with
// the global ambient light alone (no lamp is ever enabled), where a normal
// changes no pixel; each draw leaves the last face's normal current.
#pragma once
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

class CListBatches {
 public:
  CListBatches() = default;
  CListBatches(const CListBatches&) = delete;
  CListBatches& operator=(const CListBatches&) = delete;

  // Compiles `body` into list `name` (context current, no list open),
  // replacing what `name` held; the first part is `name` itself, so a body
  // without staged draws is the one plain list as before.
  // With `execute`, the list is drawn as it is compiled
  // (GL_COMPILE_AND_EXECUTE), its staged draws too.
  void Build(unsigned name, const std::function<void()>& body, bool execute = false);
  // Plays list `name`: its parts and the draws between them.
  void Call(unsigned name) const;
  // Deletes the extra parts and the buffers (context current).
  void DeleteAll();
  // The context went with its names: they are forgotten, and stay counted.
  void Forget();

  // Whether the list being built draws the vertices [first, first + count)
  // of `vertices` (three floats each, whole quads) from a buffer: true
  // inside a Build (a new part begins); false when no Build is in progress,
  // and the caller draws them itself. `filled` tells that the polygon mode
  // is GL_FILL where the draw happens; `lines`: the vertices are pairs
  // drawn as GL_LINES instead.
  static bool BuildDraws(const float* vertices, int first, int count, bool filled, bool lines = false);
  // The shared quads are replaced by `indices` / 4 new ones: `corners`
  // corners (three floats each), written by `fillCorners(out, first, n)`
  // (corners [first, first + n) into `out`), and four corner indices a
  // quad, written by `fillIndices(out, first, n)` (indices [first, first +
  // n)), each a buffer at a time (context current, no Build in progress).
  // Buffers of the old ones that a list still draws stay until that list
  // goes. False, with none shared, when the driver gives no buffer or an
  // index is not a corner.
  bool ShareQuads(long long corners, const std::function<void(float* out, long long first, int n)>& fillCorners,
                  long long indices, const std::function<void(unsigned* out, long long first, int n)>& fillIndices);
  // Whether the list being built draws the shared quads of the indices
  // [first, first + count) of each range, as BuildDraws; false when no
  // Build is in progress or nothing is shared: the caller draws them.
  struct Range {
    long long first = 0, count = 0;
  };
  static bool BuildDrawsShared(const std::vector<Range>& ranges, bool filled);
  // The parts of list `name` go (context current): a list about to be
  // built again no longer holds on to what it drew.
  void Drop(unsigned name);
  // Floats of a staged face vertex: the position and, in the fourth, the
  // colour as four bytes (RGBA, opaque; PutFaceColour), or the position
  // alone where one colour serves the whole draw.
  static constexpr int kFaceFloats = 4;
  static constexpr int kPlainFaceFloats = 3;
  // Writes `rgb` into the colour slot of a coloured vertex as bytes, each
  // rounded from its component over 255: the colour tables are whole bytes,
  // which GL reads back as the same floats.
  static void PutFaceColour(const float rgb[3], float* slot);
  // Whether the list being built draws `faces` filled faces of four
  // vertices each from a buffer (a new part begins), as BuildDraws: false
  // when no Build is in progress, and the caller draws them. kFaceFloats
  // floats a vertex when `coloured`, else kPlainFaceFloats; `colour` (the
  // material's ambient and diffuse colour) and `normal` are what the draw
  // leaves current, and `colour` is that of every face of a draw not
  // `coloured`.
  static bool BuildDrawsFaces(const float* vertices, int faces, bool coloured, const float colour[3], const float normal[3]);
  // Whether the list being built outlines (as quads in the polygon mode
  // where the draw happens) the faces [first, first + count) of each range
  // from the buffers that list `faces` drew them from: faces numbered in the
  // order that list's BuildDrawsFaces gave them, all drawn from buffers.
  // The buffers stay while either list draws them. False when no Build is
  // in progress or a range is not there: the caller draws them.
  static bool BuildDrawsFaceOutlines(unsigned faces, const std::vector<Range>& ranges);
  // Draws such faces from client memory, leaving the state as BuildDrawsFaces's
  // draw does.
  static void DrawFaceArrays(const float* vertices, int faces, bool coloured, const float colour[3],
                             const float normal[3]);
  // Extra list names and buffer names held in this process (generated and
  // not yet deleted): a closed view must bring the count back.
  static long LiveNames();

 private:
  struct Part {
    unsigned list = 0;  // display list of the part (0: none)
    int block = -1;     // then a draw from blocks[block] (-1: none)
    int first = 0, count = 0;  // vertices
    bool filled = false;
    bool lines = false;  // GL_LINES rather than quads
    // Shared quads: `block` holds their indices, this block the corners
    // they index, the last of which is `lastCorner` (-1: not shared quads).
    int corners = -1;
    unsigned lastCorner = 0;
    bool outline = false;  // faces' vertices drawn as quads, not filled
    // Faces: the floats of their vertices (0: not faces), and the material
    // colour and the normal left after them.
    int faceFloats = 0;
    float colour[3] = {};
    float normal[3] = {};
  };
  // One buffer of vertices; where the driver gives no buffer, they are
  // kept here and drawn from client memory instead.
  struct Block {
    unsigned buffer = 0;
    std::vector<float> host;
  };
  struct Parts {
    std::vector<Part> parts;
    std::vector<Block> blocks;
  };
  void Stage(const float* vertices, int count, Part& part);
  // Draws what `part` draws after its list (its vertices in a block).
  void DrawPart(const Parts& p, const Part& part) const;
  unsigned ListMode() const;
  void Flush();
  void MakeIndices(int quads);
  void Delete(Parts& p, unsigned name);
  // Buffer `b` no longer drawn by a list: deleted unless shared and still
  // drawn by another or still one of the shared quads'.
  void Release(unsigned& b);
  // Ends the part being compiled, for a draw from blocks after it (the
  // vertices staged so far get theirs first): the name of the part that
  // follows, 0 (nothing ended) when the driver gives none.
  unsigned EndPart();
  // The block of `p` that draws `buffer`, added when there is none: the
  // buffer then has one user more (`owners` users when it had none counted),
  // and the last of them to go deletes it.
  int UserBlock(Parts& p, unsigned buffer, int owners);
  void RetireShared();
  // Draws the shared quads of `part` by their indices.
  static void DrawSharedQuads(const Part& part, unsigned corners, unsigned indices);
  void MakeFaceIndices(int faces);
  // Draws `faces` faces at `at` (an offset into the bound array buffer, or
  // an address), by the indices of `indexBuffer` (0: from memory).
  static void DrawFacesAt(const char* at, int faces, int faceFloats, unsigned indexBuffer, const float colour[3],
                          const float normal[3]);
  static void MakeIndexBuffer(unsigned& buffer, int& have, int want, const std::vector<unsigned>& (*indicesOf)(int));

  std::map<unsigned, Parts> m_lists;
  Parts* m_building = nullptr;
  bool m_bExecuting = false;     // the build draws as it compiles
  std::vector<float> m_pending;  // vertices of the build's next block
  int m_nFillQuads = 0;          // largest filled draw of the build
  unsigned m_indexBuffer = 0;    // triangles of m_nIndexQuads quads
  int m_nIndexQuads = 0;
  std::vector<unsigned> m_shared;  // buffers of the shared quads' indices, in order
  long long m_nShared = 0;         // shared indices
  unsigned m_sharedCorners = 0;    // buffer of the corners they index
  long long m_nSharedCorners = 0;
  // Lists drawing from each shared buffer (current or replaced).
  std::unordered_map<unsigned, int> m_sharedUsers;
  int m_nBuildFaces = 0;           // largest face draw of the build
  unsigned m_faceIndexBuffer = 0;  // triangles of m_nIndexFaces faces
  int m_nIndexFaces = 0;
};
