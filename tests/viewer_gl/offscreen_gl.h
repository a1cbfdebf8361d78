// A context of the scene's format on an offscreen surface, current while
// it lives, drawing into a square framebuffer of its own.
#pragma once
#include <GL/gl.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <cstdlib>
#include <memory>

#include "gl_test_util.h"
#include "viewer/gl/gl_driver.h"
#include "viewer/gl/gl_view.h"

class OffscreenGl {
 public:
  explicit OffscreenGl(int size) {
    m_surface.setFormat(CGlView::SceneFormat());
    m_surface.create();
    m_context.setFormat(CGlView::SceneFormat());
    if (!m_context.create() || !m_context.makeCurrent(&m_surface)) return;
    m_fbo = std::make_unique<QOpenGLFramebufferObject>(size, size,
                                                       QOpenGLFramebufferObject::CombinedDepthStencil);
    m_ok = m_fbo->bind();
    glViewport(0, 0, size, size);
  }
  ~OffscreenGl() {
    m_fbo.reset();
    m_context.doneCurrent();
  }
  // The context is current and the framebuffer bound.
  bool Ok() const { return m_ok; }

 private:
  const bool m_app = EnsureApp() != nullptr;  // before the surface
  QOffscreenSurface m_surface;
  QOpenGLContext m_context;
  std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
  bool m_ok = false;
};

// The driver's cures on while it lives (a context current): for checks of
// pictures that the cures make on the driver they were measured on.
struct CuresOn {
  CuresOn() {
    setenv("OV_GL_CURES", "on", 1);
    CGlDriver::Describe();
  }
  ~CuresOn() {
    unsetenv("OV_GL_CURES");
    CGlDriver::Describe();
  }
};
