#include "viewer/gl/gl_batches.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "viewer/gl/gl_driver.h"
#include "viewer/gl/gl_errors.h"

namespace {

// The buffer entry points (OpenGL 1.5), which the library need not export:
// the functions below, named as the library's, call those the current
// context resolves (glDrawRangeElements, 1.2, is linked). Where the context
// gives no buffers, glGenBuffers names none and the callers keep the
// vertices in client memory; binding name 0 is then a no-op.
QOpenGLFunctions* BufferFunctions() {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  QOpenGLFunctions* f = context ? context->functions() : nullptr;
  return f && f->hasOpenGLFeature(QOpenGLFunctions::Buffers) ? f : nullptr;
}
void glGenBuffers(GLsizei n, GLuint* buffers) {
  if (QOpenGLFunctions* f = BufferFunctions()) f->glGenBuffers(n, buffers);
}
void glDeleteBuffers(GLsizei n, const GLuint* buffers) {
  if (QOpenGLFunctions* f = BufferFunctions()) f->glDeleteBuffers(n, buffers);
}
void glBindBuffer(GLenum target, GLuint buffer) {
  if (QOpenGLFunctions* f = BufferFunctions()) f->glBindBuffer(target, buffer);
}
void glBufferData(GLenum target, GLsizeiptr bytes, const void* data, GLenum usage) {
  if (QOpenGLFunctions* f = BufferFunctions()) f->glBufferData(target, bytes, data, usage);
}
void glBufferSubData(GLenum target, GLintptr at, GLsizeiptr bytes, const void* data) {
  if (QOpenGLFunctions* f = BufferFunctions()) f->glBufferSubData(target, at, bytes, data);
}

std::atomic<long> g_nLiveNames{0};
// The build in progress on this thread (a context is current on one thread).
thread_local CListBatches* t_pBuilding = nullptr;

// Vertices per buffer at most: 12 MB (shared quads: indices per buffer, 4 MB).
constexpr int kBufferVertices = 1 << 20;
// Vertices per draw of outlined quads where the driver needs short draws.
constexpr int kOutlineVertices = 1024;

// The two triangles of each of `n` four-vertex groups, from `indices`
// (grown as needed) split as `split` gives them.
const std::vector<GLuint>& SplitTriangles(std::vector<GLuint>& indices, int n, const GLuint (&split)[6]) {
  for (size_t q = indices.size() / 6; q < static_cast<size_t>(n); ++q) {
    const GLuint v = static_cast<GLuint>(4 * q);
    for (GLuint k : split) indices.push_back(v + k);
  }
  return indices;
}

// The two triangles of each of `n` quads or faces: (0, 1, 2), (0, 2, 3),
// or where the driver's list playback splits them otherwise, as it does.
const std::vector<GLuint>& PlainTriangles(int n) {
  static std::vector<GLuint> indices;
  return SplitTriangles(indices, n, {0, 1, 2, 0, 2, 3});
}

const std::vector<GLuint>& QuadTriangles(int quads) {
  static std::vector<GLuint> indices;
  if (!CGlDriver::Cures().playbackSplits) return PlainTriangles(quads);
  return SplitTriangles(indices, quads, {0, 1, 3, 1, 2, 3});
}

// A GL_POLYGON of four corners.
const std::vector<GLuint>& FaceTriangles(int faces) {
  static std::vector<GLuint> indices;
  if (!CGlDriver::Cures().playbackSplits) return PlainTriangles(faces);
  return SplitTriangles(indices, faces, {1, 2, 0, 2, 3, 0});
}

// Quads [first / 4, (first + count) / 4) of the vertex array, in the
// polygon mode set. Outlines go through the driver's primitive pipeline,
// whose cost grows with the vertices of one draw: small draws keep it flat.
void DrawOutlineQuads(int first, int count) {
  const int most = CGlDriver::Cures().cutOutlineDraws ? kOutlineVertices : count;
  for (int v = 0; v < count; v += most) glDrawArrays(GL_QUADS, first + v, std::min(most, count - v));
}

// A buffer holding `bytes` of `data` bound to `target`, or where `fill`
// is given, of what it writes into `chunk` (its size a call) at each offset;
// 0 when the driver has none.
GLuint NewBuffer(GLenum target, size_t bytes, const void* data,
                 const std::function<void(size_t at, size_t n)>& fill = {}, const void* chunk = nullptr,
                 size_t chunkBytes = 0) {
  DrainGlErrors("glBufferData");
  GLuint b = 0;
  glGenBuffers(1, &b);
  if (b == 0) return 0;
  glBindBuffer(target, b);
  glBufferData(target, static_cast<GLsizeiptr>(bytes), fill ? nullptr : data, GL_STATIC_DRAW);
  // A fill without room to write into would leave the buffer unwritten.
  bool ok = glGetError() == GL_NO_ERROR && (!fill || (chunk && chunkBytes > 0));
  for (size_t at = 0; ok && fill && at < bytes; at += chunkBytes) {
    const size_t n = std::min(chunkBytes, bytes - at);
    fill(at, n);
    glBufferSubData(target, static_cast<GLintptr>(at), static_cast<GLsizeiptr>(n), chunk);
    ok = glGetError() == GL_NO_ERROR;
  }
  glBindBuffer(target, 0);
  if (!ok) {
    glDeleteBuffers(1, &b);
    return 0;
  }
  ++g_nLiveNames;
  return b;
}

void DeleteBuffer(unsigned& b) {
  if (b == 0) return;
  glDeleteBuffers(1, &b);
  --g_nLiveNames;
  b = 0;
}

}  // namespace

long CListBatches::LiveNames() { return g_nLiveNames.load(); }

void CListBatches::Delete(Parts& p, unsigned name) {
  for (const Part& part : p.parts) {
    if (part.list != 0 && part.list != name) {
      glDeleteLists(part.list, 1);
      --g_nLiveNames;
    }
  }
  for (Block& b : p.blocks) Release(b.buffer);
  p = Parts();
}

void CListBatches::Release(unsigned& b) {
  const auto it = m_sharedUsers.find(b);
  if (it != m_sharedUsers.end()) {
    const bool current = b == m_sharedCorners || std::find(m_shared.begin(), m_shared.end(), b) != m_shared.end();
    if (--it->second > 0 || current) {
      b = 0;
      return;
    }
    m_sharedUsers.erase(it);
  }
  DeleteBuffer(b);
}

unsigned CListBatches::EndPart() {
  const GLuint next = glGenLists(1);
  if (next == 0) return 0;
  ++g_nLiveNames;
  glEndList();
  // Staged vertices first get their block: the blocks keep their places.
  Flush();
  return next;
}

int CListBatches::UserBlock(Parts& p, unsigned buffer, int owners) {
  int block = static_cast<int>(p.blocks.size()) - 1;
  while (block >= 0 && p.blocks[static_cast<size_t>(block)].buffer != buffer) --block;
  if (block >= 0) return block;
  p.blocks.emplace_back();
  p.blocks.back().buffer = buffer;
  ++m_sharedUsers.try_emplace(buffer, owners).first->second;
  return static_cast<int>(p.blocks.size()) - 1;
}

void CListBatches::RetireShared() {
  m_shared.push_back(m_sharedCorners);
  m_sharedCorners = 0;
  for (unsigned& b : m_shared) {
    const auto it = m_sharedUsers.find(b);
    if (it != m_sharedUsers.end() && it->second > 0) continue;  // the last list to go deletes it
    if (it != m_sharedUsers.end()) m_sharedUsers.erase(it);
    DeleteBuffer(b);
  }
  m_shared.clear();
  m_nShared = 0;
  m_nSharedCorners = 0;
}

void CListBatches::Drop(unsigned name) {
  const auto it = m_lists.find(name);
  if (it != m_lists.end() && &it->second != m_building) Delete(it->second, name);
}

void CListBatches::DeleteAll() {
  for (auto& [name, p] : m_lists) Delete(p, name);
  m_lists.clear();
  RetireShared();
  DeleteBuffer(m_indexBuffer);
  m_nIndexQuads = 0;
  DeleteBuffer(m_faceIndexBuffer);
  m_nIndexFaces = 0;
}

void CListBatches::Forget() {
  m_lists.clear();
  m_shared.clear();
  m_nShared = 0;
  m_sharedCorners = 0;
  m_nSharedCorners = 0;
  m_sharedUsers.clear();
  m_indexBuffer = 0;
  m_nIndexQuads = 0;
  m_faceIndexBuffer = 0;
  m_nIndexFaces = 0;
}

bool CListBatches::ShareQuads(long long corners, const std::function<void(float*, long long, int)>& fillCorners,
                              long long indices, const std::function<void(unsigned*, long long, int)>& fillIndices) {
  RetireShared();
  if (corners <= 0 || corners > (1LL << 32) || indices <= 0 || indices % 4 != 0 || m_building) return false;
  // The corners in one buffer, since any quad may index any of them.
  std::vector<float> chunk(static_cast<size_t>(std::min<long long>(kBufferVertices, corners)) * 3);
  const size_t cornerBytes = 3 * sizeof(float);
  m_sharedCorners = NewBuffer(
      GL_ARRAY_BUFFER, static_cast<size_t>(corners) * cornerBytes, nullptr,
      [&](size_t at, size_t n) {
        fillCorners(chunk.data(), static_cast<long long>(at / cornerBytes), static_cast<int>(n / cornerBytes));
      },
      chunk.data(), chunk.size() * sizeof(float));
  chunk = std::vector<float>();
  if (m_sharedCorners == 0) return false;
  m_nSharedCorners = corners;
  std::vector<GLuint> some;
  for (long long first = 0; first < indices; first += kBufferVertices) {
    const int n = static_cast<int>(std::min<long long>(kBufferVertices, indices - first));
    some.resize(static_cast<size_t>(n));
    fillIndices(some.data(), first, n);
    const bool within =
        std::all_of(some.begin(), some.end(), [&](GLuint i) { return static_cast<long long>(i) < corners; });
    const unsigned b = within ? NewBuffer(GL_ELEMENT_ARRAY_BUFFER, some.size() * sizeof(GLuint), some.data()) : 0;
    if (b == 0) {
      RetireShared();
      return false;
    }
    m_shared.push_back(b);
  }
  m_nShared = indices;
  return true;
}

void CListBatches::Build(unsigned name, const std::function<void()>& body, bool execute) {
  Parts& p = m_lists[name];
  Delete(p, name);
  p.parts.push_back({name});
  m_building = &p;
  m_bExecuting = execute;
  m_nFillQuads = 0;
  m_nBuildFaces = 0;
  CListBatches* outer = t_pBuilding;
  t_pBuilding = this;
  glNewList(name, ListMode());
  body();
  glEndList();
  t_pBuilding = outer;
  m_bExecuting = false;
  Flush();
  m_pending = std::vector<float>();
  m_building = nullptr;
  MakeIndices(m_nFillQuads);
  MakeFaceIndices(m_nBuildFaces);
}

unsigned CListBatches::ListMode() const { return m_bExecuting ? GL_COMPILE_AND_EXECUTE : GL_COMPILE; }

void CListBatches::Flush() {
  if (m_pending.empty()) return;
  Block block;
  block.buffer = NewBuffer(GL_ARRAY_BUFFER, m_pending.size() * sizeof(float), m_pending.data());
  if (block.buffer == 0) {
    std::fprintf(stderr, "OpenGL: no buffer object for %zu vertices, drawn from memory\n",
                 m_pending.size() / 3);
    block.host.swap(m_pending);
  }
  m_building->blocks.push_back(std::move(block));
  m_pending.clear();
}

void CListBatches::MakeIndices(int quads) { MakeIndexBuffer(m_indexBuffer, m_nIndexQuads, quads, QuadTriangles); }

void CListBatches::MakeFaceIndices(int faces) {
  MakeIndexBuffer(m_faceIndexBuffer, m_nIndexFaces, faces, FaceTriangles);
}

void CListBatches::MakeIndexBuffer(unsigned& buffer, int& have, int want,
                                   const std::vector<unsigned>& (*indicesOf)(int)) {
  if (want <= have) return;
  DeleteBuffer(buffer);
  have = 0;
  const std::vector<GLuint>& indices = indicesOf(want);
  buffer = NewBuffer(GL_ELEMENT_ARRAY_BUFFER, indices.size() * sizeof(GLuint), indices.data());
  // Without a buffer the indices are drawn from memory.
  if (buffer != 0) have = want;
}

void CListBatches::Stage(const float* vertices, int count, Part& part) {
  const size_t floats = static_cast<size_t>(count) * 3;
  if (m_pending.size() + floats > static_cast<size_t>(kBufferVertices) * 3) Flush();
  if (m_pending.capacity() == 0) m_pending.reserve(static_cast<size_t>(kBufferVertices) * 3);
  part.block = static_cast<int>(m_building->blocks.size());
  part.first = static_cast<int>(m_pending.size() / 3);
  part.count = count;
  m_pending.insert(m_pending.end(), vertices, vertices + floats);
}

bool CListBatches::BuildDraws(const float* vertices, int first, int count, bool filled, bool lines) {
  CListBatches* self = t_pBuilding;
  if (!self || !self->m_building || count <= 0 || count % (lines ? 2 : 4) != 0 || count > kBufferVertices)
    return false;
  // The next part's name first: without one the draw stays in this part.
  const GLuint next = glGenLists(1);
  if (next == 0) return false;
  ++g_nLiveNames;
  glEndList();
  Parts& p = *self->m_building;
  Part& part = p.parts.back();
  self->Stage(vertices + static_cast<size_t>(first) * 3, count, part);
  part.filled = filled && !lines;
  part.lines = lines;
  if (part.filled && count / 4 > self->m_nFillQuads) self->m_nFillQuads = count / 4;
  if (self->m_bExecuting) {
    // The part's vertices get their buffer now, to be drawn now.
    self->Flush();
    self->DrawPart(p, part);
  }
  p.parts.push_back({next});
  glNewList(next, self->ListMode());
  return true;
}

bool CListBatches::BuildDrawsShared(const std::vector<Range>& ranges, bool filled) {
  CListBatches* self = t_pBuilding;
  if (!self || !self->m_building || self->m_nShared == 0 || ranges.empty()) return false;
  for (const Range& r : ranges) {
    if (r.first < 0 || r.count <= 0 || r.first % 4 != 0 || r.count % 4 != 0 ||
        r.count > self->m_nShared - r.first)
      return false;
  }
  const GLuint next = self->EndPart();
  if (next == 0) return false;
  Parts& p = *self->m_building;
  const int corners = self->UserBlock(p, self->m_sharedCorners, 0);
  // The first draw follows the part that just ended, each further one (a
  // further range, or the rest of one past a buffer's end) is a part of its
  // own without a list.
  bool first = true;
  for (const Range& r : ranges) {
    for (long long v = r.first; v < r.first + r.count;) {
      const size_t chunk = static_cast<size_t>(v / kBufferVertices);
      const int at = static_cast<int>(v % kBufferVertices);
      const int n = static_cast<int>(std::min<long long>(kBufferVertices - at, r.first + r.count - v));
      const int block = self->UserBlock(p, self->m_shared[chunk], 0);
      if (!first) p.parts.push_back({0});
      first = false;
      Part& part = p.parts.back();
      part.block = block;
      part.corners = corners;
      part.lastCorner = static_cast<unsigned>(self->m_nSharedCorners - 1);
      part.first = at;
      part.count = n;
      part.filled = filled;
      if (self->m_bExecuting) self->DrawPart(p, part);
      v += n;
    }
  }
  p.parts.push_back({next});
  glNewList(next, self->ListMode());
  return true;
}

bool CListBatches::BuildDrawsFaces(const float* vertices, int faces, bool coloured, const float colour[3],
                             const float normal[3]) {
  CListBatches* self = t_pBuilding;
  if (!self || !self->m_building || faces <= 0 || faces > kBufferVertices / 4) return false;
  const GLuint next = self->EndPart();
  if (next == 0) return false;
  const int floats = coloured ? kFaceFloats : kPlainFaceFloats;
  const size_t n = static_cast<size_t>(faces) * 4 * static_cast<size_t>(floats);
  Parts& p = *self->m_building;
  Block block;
  block.buffer = NewBuffer(GL_ARRAY_BUFFER, n * sizeof(float), vertices);
  if (block.buffer == 0) {
    std::fprintf(stderr, "OpenGL: no buffer object for %d faces, drawn from memory\n", faces);
    block.host.assign(vertices, vertices + n);
  }
  p.blocks.push_back(std::move(block));
  Part& part = p.parts.back();
  part.block = static_cast<int>(p.blocks.size()) - 1;
  part.count = 4 * faces;
  part.faceFloats = floats;
  std::copy(colour, colour + 3, part.colour);
  std::copy(normal, normal + 3, part.normal);
  self->m_nBuildFaces = std::max(self->m_nBuildFaces, faces);
  if (self->m_bExecuting) self->DrawPart(p, part);
  p.parts.push_back({next});
  glNewList(next, self->ListMode());
  return true;
}

bool CListBatches::BuildDrawsFaceOutlines(unsigned faces, const std::vector<Range>& ranges) {
  CListBatches* self = t_pBuilding;
  if (!self || !self->m_building || ranges.empty()) return false;
  const auto it = self->m_lists.find(faces);
  if (it == self->m_lists.end() || &it->second == self->m_building) return false;
  const Parts& from = it->second;
  // The face draws of that list in order, each with its first face.
  struct Draw {
    const Part* part;
    long long first;
  };
  std::vector<Draw> draws;
  long long total = 0;
  for (const Part& part : from.parts) {
    if (part.faceFloats == 0 || part.outline || part.block < 0) continue;
    if (from.blocks[static_cast<size_t>(part.block)].buffer == 0) return false;
    draws.push_back({&part, total});
    total += part.count / 4;
  }
  for (const Range& r : ranges)
    if (r.first < 0 || r.count <= 0 || r.count > total - r.first) return false;
  const GLuint next = self->EndPart();
  if (next == 0) return false;
  Parts& p = *self->m_building;
  bool first = true;
  for (const Range& r : ranges) {
    // The draw holding face r.first, then the next ones up to the range's end.
    auto d = std::upper_bound(draws.begin(), draws.end(), r.first,
                              [](long long f, const Draw& x) { return f < x.first; }) - 1;
    for (long long f = r.first; f < r.first + r.count; ++d) {
      const Part& src = *d->part;
      const long long end = std::min(r.first + r.count, d->first + src.count / 4);
      // The owner of a face buffer counts as one of its users.
      const int block = self->UserBlock(p, from.blocks[static_cast<size_t>(src.block)].buffer, 1);
      if (!first) p.parts.push_back({0});
      first = false;
      Part& part = p.parts.back();
      part.block = block;
      part.first = src.first + static_cast<int>(4 * (f - d->first));
      part.count = static_cast<int>(4 * (end - f));
      part.faceFloats = src.faceFloats;
      part.outline = true;
      if (self->m_bExecuting) self->DrawPart(p, part);
      f = end;
    }
  }
  p.parts.push_back({next});
  glNewList(next, self->ListMode());
  return true;
}

void CListBatches::PutFaceColour(const float rgb[3], float* slot) {
  unsigned char bytes[4] = {0, 0, 0, 255};
  for (int c = 0; c < 3; ++c) {
    const float x = rgb[c] > 0 ? std::min(rgb[c], 1.0f) : 0.0f;  // NaN too
    bytes[c] = static_cast<unsigned char>(std::lround(x * 255.0f));
  }
  // Copied as bytes: as a float the pattern may be a NaN, which a float
  // copy need not keep.
  std::memcpy(slot, bytes, sizeof bytes);
}

void CListBatches::DrawFaceArrays(const float* vertices, int faces, bool coloured, const float colour[3],
                                  const float normal[3]) {
  if (faces <= 0) return;
  DrawFacesAt(reinterpret_cast<const char*>(vertices), faces, coloured ? kFaceFloats : kPlainFaceFloats, 0, colour,
              normal);
}

void CListBatches::DrawFacesAt(const char* at, int faces, int faceFloats, unsigned indexBuffer, const float colour[3],
                               const float normal[3]) {
  const GLsizei stride = faceFloats * static_cast<GLsizei>(sizeof(float));
  const bool coloured = faceFloats == kFaceFloats;
  const float rgba[4] = {colour[0], colour[1], colour[2], 1.0f};
  static_assert(sizeof(float) == 4, "a coloured vertex's colour bytes fill one float");
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, stride, at);
  if (coloured) {
    // The draw changes the current colour, which the list's polygons did
    // not, and the colour-material mode and enable: all come back after it
    // (push and pop are also what a list being compiled keeps).
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, at + 3 * sizeof(float));
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
  } else {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, rgba);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, rgba);
  }
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
  glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(4 * faces - 1), 6 * faces, GL_UNSIGNED_INT,
                      indexBuffer ? nullptr : FaceTriangles(faces).data());
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  if (coloured) {
    glDisableClientState(GL_COLOR_ARRAY);
    glPopAttrib();
    // As the list left it: the last face's material colour.
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, rgba);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, rgba);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glNormal3fv(normal);
}

void CListBatches::Call(unsigned name) const {
  const auto it = m_lists.find(name);
  if (it == m_lists.end()) {
    glCallList(name);
    return;
  }
  const Parts& p = it->second;
  for (const Part& part : p.parts) {
    if (part.list != 0) glCallList(part.list);
    DrawPart(p, part);
  }
}

void CListBatches::DrawSharedQuads(const Part& part, unsigned corners, unsigned indices) {
  glBindBuffer(GL_ARRAY_BUFFER, corners);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, nullptr);
  // Filled ones as quads, which a driver that splits them (playbackSplits)
  // splits as its list playback does. Outlines as BuildDraws's.
  const int most = !part.filled && CGlDriver::Cures().cutOutlineDraws ? kOutlineVertices : part.count;
  for (int v = 0; v < part.count; v += most) {
    const auto at = static_cast<uintptr_t>(part.first + v) * sizeof(GLuint);
    glDrawRangeElements(GL_QUADS, 0, part.lastCorner, std::min(most, part.count - v), GL_UNSIGNED_INT,
                        reinterpret_cast<const void*>(at));
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void CListBatches::DrawPart(const Parts& p, const Part& part) const {
  {  // the part's block
    const int blocks = static_cast<int>(p.blocks.size());
    if (part.block < 0 || part.block >= blocks || part.corners >= blocks) return;
    const Block& b = p.blocks[static_cast<size_t>(part.block)];
    if (part.corners >= 0) {
      DrawSharedQuads(part, p.blocks[static_cast<size_t>(part.corners)].buffer, b.buffer);
      return;
    }
    if (part.faceFloats > 0 && part.outline) {
      glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
      glEnableClientState(GL_VERTEX_ARRAY);
      glVertexPointer(3, GL_FLOAT, part.faceFloats * static_cast<GLsizei>(sizeof(float)), nullptr);
      DrawOutlineQuads(part.first, part.count);
      glDisableClientState(GL_VERTEX_ARRAY);
      glBindBuffer(GL_ARRAY_BUFFER, 0);
      return;
    }
    if (part.faceFloats > 0) {
      const int faces = part.count / 4;
      const size_t first = static_cast<size_t>(part.first) * static_cast<size_t>(part.faceFloats);
      glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
      const char* at = b.buffer == 0 ? reinterpret_cast<const char*>(b.host.data() + first)
                                     : reinterpret_cast<const char*>(first * sizeof(float));
      DrawFacesAt(at, faces, part.faceFloats, faces <= m_nIndexFaces ? m_faceIndexBuffer : 0, part.colour, part.normal);
      glBindBuffer(GL_ARRAY_BUFFER, 0);
      return;
    }
    // Vertex `first` of the part: an offset into the buffer, or an address.
    const auto at = [&](int first) -> const void* {
      if (b.buffer == 0) return b.host.data() + static_cast<size_t>(first) * 3;
      return reinterpret_cast<const void*>(static_cast<uintptr_t>(first) * 3 * sizeof(float));
    };
    glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (part.lines) {
      glVertexPointer(3, GL_FLOAT, 0, at(0));
      glDrawArrays(GL_LINES, part.first, part.count);
    } else if (part.filled) {
      const int quads = part.count / 4;
      const bool indexBuffer = quads <= m_nIndexQuads;
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer ? m_indexBuffer : 0);
      glVertexPointer(3, GL_FLOAT, 0, at(part.first));
      // The range spares the driver a scan of the indices at each draw.
      glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(4 * quads - 1), 6 * quads,
                          GL_UNSIGNED_INT, indexBuffer ? nullptr : QuadTriangles(quads).data());
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    } else {
      glVertexPointer(3, GL_FLOAT, 0, at(0));
      DrawOutlineQuads(part.first, part.count);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  }
}
