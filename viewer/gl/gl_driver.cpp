#include "viewer/gl/gl_driver.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

namespace {

CGlDriver g_driver;

std::string GlString(GLenum what) {
  const auto* s = reinterpret_cast<const char*>(glGetString(what));
  return s ? s : "";
}

GlDriverCures AllCures(bool on) {
  GlDriverCures c;
  c.breakPolygonRuns = c.stencilDrawnDirectly = c.compileThenCall = on;
  c.cutOutlineDraws = c.materialInsidePrimitive = c.playbackSplits = on;
  return c;
}

}  // namespace

const CGlDriver& CGlDriver::Current() { return g_driver; }

GlDriverCures CGlDriver::CuresFor(const std::string& renderer, const std::string& version, const char* force) {
  if (force && std::strcmp(force, "on") == 0) return AllCures(true);
  if (force && std::strcmp(force, "off") == 0) return AllCures(false);
  // The faults were measured on llvmpipe of Mesa 22.3.
  const bool known = renderer.find("llvmpipe") != std::string::npos && version.find("Mesa 22.3") != std::string::npos;
  return AllCures(known);
}

void CGlDriver::Describe() {
  if (glGetString(GL_VERSION) == nullptr) return;
  g_driver.vendor = GlString(GL_VENDOR);
  g_driver.renderer = GlString(GL_RENDERER);
  g_driver.version = GlString(GL_VERSION);
  g_driver.cures = CuresFor(g_driver.renderer, g_driver.version, std::getenv("OV_GL_CURES"));
}
