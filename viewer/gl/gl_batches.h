// Display lists whose large quad draws keep their vertices in buffer
// objects. The driver compiles a glDrawArrays inside a list vertex by vertex
// and keeps a copy of every vertex: at a million elements that is seconds of
// compiling and a second copy of the geometry. Here a list is built as
// parts: the state commands (colours, modes, stencil) stay in display lists,
// and each staged quad draw ends the part so far, is copied once into a
// buffer object, and is drawn from it between the parts when the list is
// called.
//
// Vertices that several lists draw, such as the corners of faces that one
// list fills and another outlines, can be shared: kept once in buffers and
// drawn by each list from its own ranges.
//
// The pictures are those of the compiled list: its playback (Mesa 22.3,
// as its pictures show) draws a filled quad as the triangles (0, 1, 3) and
// (1, 2, 3), and an outlined one (polygon mode GL_LINE) as the quad; the
// buffer draws do the same. A plain GL_QUADS draw of filled quads splits
// them otherwise and moves pixels along the diagonals.
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
  void Build(unsigned name, const std::function<void()>& body);
  // Plays list `name`: its parts and the draws between them.
  void Call(unsigned name) const;
  // Deletes the extra parts and the buffers (context current).
  void DeleteAll();
  // The context went with its names: they are forgotten, and stay counted.
  void Forget();

  // Called by a staged quad draw: inside a Build, the vertices [first,
  // first + count) of `vertices` (three floats each, whole quads) go to a
  // buffer and a new part begins; `filled` tells that the polygon mode is
  // GL_FILL where the draw happens; `lines`: the vertices are pairs drawn as
  // GL_LINES instead. False when no Build is in progress: the caller then
  // draws from its client arrays.
  static bool Take(const float* vertices, int first, int count, bool filled, bool lines = false);
  // The shared vertices (three floats each, whole quads) are replaced by
  // `count` new ones, written by `fill(out, first, n)` (vertices [first,
  // first + n) into `out`) a buffer at a time (context current, no Build in
  // progress). Buffers of the old ones that a list still draws stay until
  // that list goes. False, with none shared, when the driver gives no buffer.
  bool ShareVertices(long long count,
                     const std::function<void(float* out, long long first, int n)>& fill);
  // Inside a Build, like Take: the quads of the shared vertices [first,
  // first + count) of each range are drawn there. False when no Build is in
  // progress or nothing is shared: the caller then draws them itself.
  struct Range {
    long long first = 0, count = 0;
  };
  static bool TakeShared(const std::vector<Range>& ranges, bool filled);
  // The parts of list `name` go (context current): a list about to be
  // built again no longer holds on to what it drew.
  void Drop(unsigned name);
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
  void Flush();
  void MakeIndices(int quads);
  void Delete(Parts& p, unsigned name);
  // Buffer `b` no longer drawn by a list: deleted unless shared and still
  // drawn by another or still the shared vertices.
  void Release(unsigned& b);
  void RetireShared();

  std::map<unsigned, Parts> m_lists;
  Parts* m_building = nullptr;
  std::vector<float> m_pending;  // vertices of the build's next block
  int m_nFillQuads = 0;          // largest filled draw of the build
  unsigned m_indexBuffer = 0;    // triangles of m_nIndexQuads quads
  int m_nIndexQuads = 0;
  std::vector<unsigned> m_shared;  // buffers of the shared vertices, in order
  long long m_nShared = 0;         // shared vertices
  // Lists drawing from each shared buffer (current or replaced).
  std::unordered_map<unsigned, int> m_sharedUsers;
};
