// What the OpenGL driver keeps for good of the viewers' ways of drawing:
// the heap still in use after lists are deleted and contexts destroyed,
// measured with the C library's counters. Run under xvfb:
//   xvfb-run -a build/bench/ov_gl_driver_memory
// A way the driver keeps nothing of shows 0.
#include <GL/gl.h>
#include <malloc.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <cstdio>
#include <functional>
#include <memory>

#include "viewer/gl/gl_primitives.h"
#include "viewer/gl/gl_view.h"

namespace {

constexpr int kQuads = 20000;
constexpr int kCycles = 10;

long long HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<long long>(m.uordblks + m.hblkhd);
}

// Heap kept per call of `cycle`, after one call to let caches settle.
double KeptPerCycle(const std::function<void()>& cycle) {
  cycle();
  const long long before = HeapInUse();
  for (int c = 0; c < kCycles; ++c) cycle();
  return static_cast<double>(HeapInUse() - before) / kCycles;
}

// One list of `kQuads` primitives of `mode` (four vertices each), compiled
// (and executed, or called), then deleted; `mixed` puts a line after each
// primitive.
void ListCycle(GLenum mode, bool mixed, GLenum compile = GL_COMPILE, bool call = false) {
  const GLuint list = glGenLists(1);
  glNewList(list, compile);
  for (int i = 0; i < kQuads; ++i) {
    const double x = i * 1e-4;
    glBegin(mode);
    glVertex3d(x, 0, 0);
    glVertex3d(x + 0.5, 0, 0);
    glVertex3d(x + 0.5, 0.5, 0);
    glVertex3d(x, 0.5, 0);
    glEnd();
    if (mixed) {
      glBegin(GL_LINES);
      glVertex3d(x, 0, 0);
      glVertex3d(x, 0.5, 0);
      glEnd();
    }
  }
  glEndList();
  if (call) glCallList(list);
  glDeleteLists(list, 1);
}

// Feedback mode entered for one point, as a triad label was once placed.
void FeedbackOnce() {
  float buffer[64];
  glFeedbackBuffer(64, GL_3D_COLOR, buffer);
  glRenderMode(GL_FEEDBACK);
  glBegin(GL_POINTS);
  glVertex3d(0, 0, 0);
  glEnd();
  glRenderMode(GL_RENDER);
}

// Selection mode entered for one point, as a pick does.
void SelectionOnce() {
  GLuint buffer[64];
  glSelectBuffer(64, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(1);
  glBegin(GL_POINTS);
  glVertex3d(0, 0, 0);
  glEnd();
  glRenderMode(GL_RENDER);
}

}  // namespace

int main(int argc, char** argv) {
  QSurfaceFormat::setDefaultFormat(CGlView::SceneFormat());
  QGuiApplication app(argc, argv);
  QOffscreenSurface surface;
  surface.create();
  auto context = std::make_unique<QOpenGLContext>();
  if (!context->create() || !context->makeCurrent(&surface)) {
    std::fprintf(stderr, "no OpenGL context\n");
    return 1;
  }
  std::printf("%s, %s\n\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
              reinterpret_cast<const char*>(glGetString(GL_VERSION)));

  std::printf("bytes kept per primitive of a deleted list (%d primitives a list)\n", kQuads);
  struct Mode {
    GLenum mode;
    const char* name;
  };
  const Mode modes[] = {{GL_POLYGON, "GL_POLYGON"},       {GL_TRIANGLE_FAN, "GL_TRIANGLE_FAN"},
                        {GL_QUAD_STRIP, "GL_QUAD_STRIP"}, {GL_LINE_LOOP, "GL_LINE_LOOP"},
                        {GL_QUADS, "GL_QUADS"},           {GL_TRIANGLES, "GL_TRIANGLES"},
                        {GL_LINES, "GL_LINES"}};
  std::printf("  %-18s %10s %22s\n", "mode", "alone", "a line after each");
  for (const Mode& m : modes) {
    const double alone = KeptPerCycle([&] { ListCycle(m.mode, false); }) / kQuads;
    const double mixed = KeptPerCycle([&] { ListCycle(m.mode, true); }) / kQuads;
    std::printf("  %-18s %10.1f %22.1f\n", m.name, alone, mixed);
  }
  // Polygons with a line of one vertex in every run (CPolygonRun): filled,
  // as the results viewer's faces, and in line mode, as the closed outlines.
  for (const GLenum fill : {GL_FILL, GL_LINE}) {
    const double run = KeptPerCycle([fill] {
      const GLuint list = glGenLists(1);
      glNewList(list, GL_COMPILE);
      glPolygonMode(GL_FRONT_AND_BACK, fill);
      CPolygonRun polygons;
      const double n[3] = {0, 0, 1};
      for (int i = 0; i < kQuads; ++i) {
        const double x = i * 1e-4;
        const double p[4][3] = {{x, 0, 0}, {x + 0.5, 0, 0}, {x + 0.5, 0.5, 0}, {x, 0.5, 0}};
        polygons.Polygon(p, 4, n);
      }
      polygons.End();
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
      glEndList();
      glDeleteLists(list, 1);
    });
    std::printf("  %-18s %10.1f\n", fill == GL_FILL ? "CPolygonRun" : "CPolygonRun, lines", run / kQuads);
  }

  std::printf("\nkB kept per list of quads and lines in one context\n");
  const auto executed = [] { ListCycle(GL_QUADS, true, GL_COMPILE_AND_EXECUTE); };
  const auto called = [] { ListCycle(GL_QUADS, true, GL_COMPILE, true); };
  std::printf("  %-40s %8.0f\n", "compiled and executed", KeptPerCycle(executed) / 1024);
  std::printf("  %-40s %8.0f\n", "compiled, then called", KeptPerCycle(called) / 1024);
  FeedbackOnce();
  std::printf("  %-40s %8.0f\n", "compiled and executed after feedback", KeptPerCycle(executed) / 1024);
  context->doneCurrent();
  context.reset();

  std::printf("\nkB kept per context made, drawn with and destroyed\n");
  const char* const kinds[] = {"no feedback or selection mode", "feedback mode used once",
                               "selection mode used once"};
  for (int kind = 0; kind < 3; ++kind) {
    const double kept = KeptPerCycle([&] {
      QOpenGLContext c;
      c.create();
      c.makeCurrent(&surface);
      ListCycle(GL_QUADS, true, GL_COMPILE_AND_EXECUTE);
      if (kind == 1) FeedbackOnce();
      if (kind == 2) SelectionOnce();
      c.doneCurrent();
    });
    std::printf("  %-40s %8.0f\n", kinds[kind], kept / 1024);
  }
  return 0;
}
