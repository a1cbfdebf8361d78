// Shared quads and segments of buffered lists: drawn as if they were
// compiled into the lists (shared ranges also across a buffer's end), and a replaced
// shared buffer goes when the last list drawing it goes; so do face buffers
// that another list outlines.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "offscreen_gl.h"
#include "support/pinned_renderer.h"
#include "viewer/gl/gl_batches.h"
#include "viewer/gl/gl_errors.h"

namespace {

constexpr int kSize = 128;
// More quads than one buffer holds: the last visible ones lie past its end.
constexpr long long kQuads = (1 << 18) + 64;

// Quad q: small and visible near the ends of the array, degenerate between.
void Corners(long long q, float out[12]) {
  const bool shown = q < 40 || q > kQuads - 120;
  const double cx = std::sin(q * 1.3) * 0.8, cy = std::cos(q * 0.7) * 0.8, r = shown ? 0.12 : 0.0;
  for (int k = 0; k < 4; ++k) {
    const double a = k * 1.5708 + 0.3 * std::sin(q + k);
    out[3 * k] = static_cast<float>(cx + r * std::cos(a));
    out[3 * k + 1] = static_cast<float>(cy + r * std::sin(a));
    out[3 * k + 2] = static_cast<float>(0.3 * std::sin(q * 0.5 + k));
  }
}

std::vector<unsigned char> Pixels() {
  std::vector<unsigned char> px(static_cast<size_t>(kSize) * kSize * 4);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

void Clear() {
  glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Segments 3 pixels wide through the corners of quads 0-39.
std::vector<float> Segments() {
  std::vector<float> v(40 * 12);
  for (int q = 0; q < 40; ++q) Corners(q, v.data() + 12 * q);
  return v;
}

// Some quads filled, some outlined, and segments, each in its colour.
void Body(const std::function<void(long long, long long, bool)>& quads,
          const std::function<void(const std::vector<float>&)>& segments) {
  glColor3f(0.9f, 0.6f, 0.1f);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  quads(0, 40, true);
  quads(kQuads - 120, 120, true);
  glColor3f(0.0f, 0.0f, 0.0f);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  quads(10, 20, false);
  quads(kQuads - 100, 100, false);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glColor3f(0.1f, 0.9f, 0.3f);
  glLineWidth(3.0f);
  segments(Segments());
  glLineWidth(1.0f);
}

TEST(ListBatches, SharedRangesAndSegmentsDrawAsCompiledAndSharedBuffersGoWithTheLastList) {
  OffscreenGl gl(kSize);
  const CuresOn cures;
  ASSERT_TRUE(gl.Ok());
  {
    glEnable(GL_DEPTH_TEST);
    const long before = CListBatches::LiveNames();
    const GLuint base = glGenLists(3);

    // The compiled quads, as the lists held them before.
    glNewList(base, GL_COMPILE);
    Body([](long long first, long long count, bool) {
      glBegin(GL_QUADS);
      float c[12];
      for (long long q = first; q < first + count; ++q) {
        Corners(q, c);
        for (int k = 0; k < 4; ++k) glVertex3fv(c + 3 * k);
      }
      glEnd();
    }, [](const std::vector<float>& v) {
      glBegin(GL_LINES);
      for (size_t i = 0; i < v.size(); i += 3) glVertex3fv(v.data() + i);
      glEnd();
    });
    glEndList();
    Clear();
    glCallList(base);
    const auto compiled = Pixels();

    CListBatches batches;
    EXPECT_FALSE(CListBatches::BuildDrawsShared({{0, 4}}, true));  // no build in progress
    // The corners of quad q kept at the far end, quad 0's last, each quad
    // drawn by its indices.
    const auto reversed = [](long long q) { return 4 * (kQuads - 1 - q); };
    const auto corners = [&](float* out, long long first, int n) {
      float c[12];
      for (long long v = first; v < first + n; ++v, out += 3) {
        Corners(kQuads - 1 - v / 4, c);
        std::copy(c + 3 * (v % 4), c + 3 * (v % 4) + 3, out);
      }
    };
    ASSERT_TRUE(batches.ShareQuads(4 * kQuads, corners, 4 * kQuads, [&](unsigned* out, long long first, int n) {
      for (long long i = first; i < first + n; ++i) *out++ = static_cast<unsigned>(reversed(i / 4) + i % 4);
    }));
    EXPECT_EQ(CListBatches::LiveNames(), before + 3);  // the corners, two buffers of indices
    bool taken = true;
    auto shared = [&](long long first, long long count, bool filled) {
      taken = CListBatches::BuildDrawsShared({{4 * first, 4 * count}}, filled) && taken;
    };
    auto segments = [&](const std::vector<float>& v) {
      taken = CListBatches::BuildDraws(v.data(), 0, static_cast<int>(v.size() / 3), false, true) && taken;
    };
    batches.Build(base + 1, [&] { Body(shared, segments); });
    // Past the end of the shared vertices nothing is taken.
    batches.Build(base + 2, [&] { EXPECT_FALSE(CListBatches::BuildDrawsShared({{0, 4 * kQuads + 4}}, false)); });
    EXPECT_TRUE(taken);
    Clear();
    batches.Call(base + 1);
    EXPECT_TRUE(SamePicture(compiled, Pixels(), kSize, kSize));

    // Replaced while two lists draw them: the old buffers stay until the
    // second list is built again.
    batches.Build(base + 2, [&] { Body(shared, segments); });
    const long drawing = CListBatches::LiveNames();
    // An index past the corners shares nothing.
    const auto indices = [](unsigned past) {
      return [past](unsigned* out, long long, int n) {
        for (int i = 0; i < n; ++i) out[i] = static_cast<unsigned>(i) + past;
      };
    };
    EXPECT_FALSE(batches.ShareQuads(4, corners, 4, indices(1)));
    EXPECT_EQ(CListBatches::LiveNames(), drawing);
    ASSERT_TRUE(batches.ShareQuads(4, corners, 4, indices(0)));
    EXPECT_EQ(CListBatches::LiveNames(), drawing + 2);
    batches.Build(base + 1, [] {});
    Clear();
    batches.Call(base + 2);
    EXPECT_TRUE(SamePicture(compiled, Pixels(), kSize, kSize));
    batches.Drop(base + 2);
    EXPECT_EQ(CListBatches::LiveNames(), before + 2);  // the new corners and indices
    batches.DeleteAll();
    EXPECT_EQ(CListBatches::LiveNames(), before);
    glDeleteLists(base, 3);
  }
}

TEST(ListBatches, FaceOutlinesDrawFromAnotherListsFaceBuffersAsCompiledAndTheBuffersGoWithTheLastList) {
  OffscreenGl gl(kSize);
  const CuresOn cures;
  ASSERT_TRUE(gl.Ok());
  glEnable(GL_DEPTH_TEST);
  const long before = CListBatches::LiveNames();
  const GLuint base = glGenLists(3);
  const GLuint faces = base + 1, edges = base + 2;
  // Outlines across both face draws of the face list: within the first,
  // over the end of the first into the second, and the second's last.
  const std::vector<CListBatches::Range> ranges = {{5, 10}, {18, 12}, {35, 5}};
  auto outlineState = [] {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor3f(0.0f, 0.0f, 0.0f);
  };
  glNewList(base, GL_COMPILE);
  outlineState();
  glBegin(GL_QUADS);
  for (const CListBatches::Range& r : ranges)
    for (long long q = r.first; q < r.first + r.count; ++q) {
      float c[12];
      Corners(q, c);
      for (int k = 0; k < 4; ++k) glVertex3fv(c + 3 * k);
    }
  glEnd();
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEndList();
  Clear();
  glCallList(base);
  const auto compiled = Pixels();

  // Faces 0-19 with a colour a vertex, 20-39 of one colour.
  const float colour[3] = {0.5f, 0.2f, 0.9f}, normal[3] = {0, 0, 1};
  std::vector<float> coloured, plain;
  for (int q = 0; q < 40; ++q) {
    float c[12];
    Corners(q, c);
    for (int k = 0; k < 4; ++k) {
      std::vector<float>& v = q < 20 ? coloured : plain;
      v.insert(v.end(), c + 3 * k, c + 3 * k + 3);
      if (q < 20) {
        v.push_back(0.0f);
        CListBatches::PutFaceColour(colour, &v.back());
      }
    }
  }
  CListBatches batches;
  EXPECT_FALSE(CListBatches::BuildDrawsFaceOutlines(faces, ranges));  // no build in progress
  bool taken = true;
  batches.Build(faces, [&] {
    taken = CListBatches::BuildDrawsFaces(coloured.data(), 20, true, colour, normal) &&
            CListBatches::BuildDrawsFaces(plain.data(), 20, false, colour, normal);
    EXPECT_FALSE(CListBatches::BuildDrawsFaceOutlines(faces, ranges));  // its own
  });
  struct Refused {
    unsigned list;
    std::vector<CListBatches::Range> ranges;
  };
  for (const Refused& r : {Refused{base, {{0, 1}}}, Refused{faces, {{30, 11}}}, Refused{faces, {{-1, 2}}}})
    batches.Build(edges, [&] { EXPECT_FALSE(CListBatches::BuildDrawsFaceOutlines(r.list, r.ranges)); });
  batches.Build(edges, [&] {
    outlineState();
    taken = CListBatches::BuildDrawsFaceOutlines(faces, ranges) && taken;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  });
  EXPECT_TRUE(taken);
  Clear();
  batches.Call(edges);
  EXPECT_TRUE(SamePicture(compiled, Pixels(), kSize, kSize));

  // The face list made again: its old buffers stay while the edges draw them.
  batches.Build(faces, [] {});
  EXPECT_EQ(CListBatches::LiveNames(), before + 4);  // the edges' second part, two buffers, the index buffer
  Clear();
  batches.Call(edges);
  EXPECT_TRUE(SamePicture(compiled, Pixels(), kSize, kSize));
  batches.Drop(edges);
  EXPECT_EQ(CListBatches::LiveNames(), before + 1);
  batches.DeleteAll();
  EXPECT_EQ(CListBatches::LiveNames(), before);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glDeleteLists(base, 3);
}

// What a face draw may not leave changed.
struct FaceDrawState {
  GLboolean colourMaterial, lighting, vertexArray, normalArray, colourArray;
  GLint face, parameter;
  bool operator==(const FaceDrawState&) const = default;
};

FaceDrawState ReadFaceDrawState() {
  FaceDrawState s{};
  s.colourMaterial = glIsEnabled(GL_COLOR_MATERIAL);
  s.lighting = glIsEnabled(GL_LIGHTING);
  s.vertexArray = glIsEnabled(GL_VERTEX_ARRAY);
  s.normalArray = glIsEnabled(GL_NORMAL_ARRAY);
  s.colourArray = glIsEnabled(GL_COLOR_ARRAY);
  glGetIntegerv(GL_COLOR_MATERIAL_FACE, &s.face);
  glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &s.parameter);
  return s;
}

TEST(ListBatches, FaceDrawsLeaveTheColourMaterialAsTheyFoundIt) {
  OffscreenGl gl(kSize);
  ASSERT_TRUE(gl.Ok());
  // Two faces, position and colour a vertex.
  const float colour[3] = {0.5f, 0.2f, 0.9f}, normal[3] = {0, 0, 1};
  std::vector<float> v;
  for (int q = 0; q < 2; ++q) {
    float c[12];
    Corners(q, c);
    for (int k = 0; k < 4; ++k) {
      v.insert(v.end(), {c[3 * k], c[3 * k + 1], c[3 * k + 2], 0.0f});
      CListBatches::PutFaceColour(colour, &v.back());
    }
  }
  std::vector<float> plain;
  for (size_t i = 0; i < v.size(); i += CListBatches::kFaceFloats)
    plain.insert(plain.end(), v.begin() + static_cast<long>(i),
                 v.begin() + static_cast<long>(i) + CListBatches::kPlainFaceFloats);
  struct Before {
    bool enabled;
    GLenum face, parameter;
  };
  const Before befores[] = {{false, GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE},
                            {true, GL_FRONT, GL_DIFFUSE},
                            {false, GL_BACK, GL_EMISSION}};
  CListBatches batches;
  const GLuint list = glGenLists(1);
  glEnable(GL_LIGHTING);
  for (const Before& b : befores) {
    glColorMaterial(b.face, b.parameter);
    if (b.enabled) glEnable(GL_COLOR_MATERIAL);
    else glDisable(GL_COLOR_MATERIAL);
    const FaceDrawState before = ReadFaceDrawState();
    CListBatches::DrawFaceArrays(v.data(), 2, true, colour, normal);
    EXPECT_TRUE(ReadFaceDrawState() == before) << "coloured, face " << b.face;
    CListBatches::DrawFaceArrays(plain.data(), 2, false, colour, normal);
    EXPECT_TRUE(ReadFaceDrawState() == before) << "plain, face " << b.face;
    bool taken = false;
    batches.Build(list, [&] { taken = CListBatches::BuildDrawsFaces(v.data(), 2, true, colour, normal); });
    EXPECT_TRUE(taken);
    batches.Call(list);
    EXPECT_TRUE(ReadFaceDrawState() == before) << "buffered, face " << b.face;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_LIGHTING);
  batches.DeleteAll();
  glDeleteLists(list, 1);
}

// An error reader for DrainGlErrors: the codes of `t_codes` in turn, then
// GL_NO_ERROR, or `t_forever` at every read (a lost context).
thread_local std::vector<GLenum> t_codes;
thread_local size_t t_next = 0;
thread_local GLenum t_forever = GL_NO_ERROR;
GLenum FakeRead() {
  if (t_forever != GL_NO_ERROR) return t_forever;
  return t_next < t_codes.size() ? t_codes[t_next++] : static_cast<GLenum>(GL_NO_ERROR);
}

TEST(GlErrors, DrainingStopsAtTheBoundAndReportsEachKindOnce) {
  struct Case {
    std::vector<GLenum> codes;
    GLenum always;
    int read;
  };
  const Case cases[] = {
      {{}, GL_NO_ERROR, 0},
      {{GL_STACK_UNDERFLOW, GL_OUT_OF_MEMORY}, GL_NO_ERROR, 2},
      {{GL_STACK_UNDERFLOW, GL_OUT_OF_MEMORY, GL_STACK_UNDERFLOW}, GL_NO_ERROR, 3},
      {{}, 0x0507 /* GL_CONTEXT_LOST */, kMaxErrorReads},
      {{}, 0x0507, kMaxErrorReads},
  };
  testing::internal::CaptureStderr();
  for (const Case& c : cases) {
    t_codes = c.codes;
    t_next = 0;
    t_forever = c.always;
    EXPECT_EQ(DrainGlErrors("test", FakeRead), c.read);
  }
  t_forever = GL_NO_ERROR;
  const std::string out = testing::internal::GetCapturedStderr();
  for (const char* kind : {"0x0504", "0x0505", "0x0507"}) {
    const size_t at = out.find(kind);
    EXPECT_NE(at, std::string::npos) << kind << "\n" << out;
    EXPECT_EQ(out.find(kind, at + 1), std::string::npos) << kind << "\n" << out;
  }
  // A real context's flag is cleared.
  OffscreenGl gl(kSize);
  ASSERT_TRUE(gl.Ok());
  glEnable(0x7FFF);
  EXPECT_EQ(DrainGlErrors("test"), 1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
