// What the drawing code knows of the OpenGL driver: its vendor, renderer
// and version, read once a context is current, and the cures for faults of
// the drivers known to have them. The drawing code asks a cure's flag,
// never the renderer string. Without a cure the drawing is plain OpenGL.
//
// A cure is on only for a driver whose fault was measured; OV_GL_CURES=on
// or off forces every cure on or off (unset: as the driver needs).
#pragma once
#include <string>

struct GlDriverCures {
  // A run of filled polygons in a list between two state changes leaves the
  // driver 12 bytes a polygon for good; a one-vertex line breaks the runs
  // (CPolygonRun).
  bool breakPolygonRuns = false;
  // A list of stencil-outlined faces costs the driver kilobytes a face and
  // plays back no faster: such lists are drawn directly.
  bool stencilDrawnDirectly = false;
  // A list compiled and executed at once leaves part of it in the driver for
  // good: lists are compiled, then called.
  bool compileThenCall = false;
  // The cost of an outline draw grows with its vertices: outline draws are
  // cut into short ones.
  bool cutOutlineDraws = false;
  // The driver's list keeps a material change between primitives it merges
  // only when the change is inside glBegin/glEnd.
  bool materialInsidePrimitive = false;
  // Quads and faces drawn from buffers are split into the triangles the
  // driver's list playback makes, so that their pixels match its lists.
  bool playbackSplits = false;
};

class CGlDriver {
 public:
  std::string vendor, renderer, version;
  GlDriverCures cures;

  // The driver of the contexts (all of a process have one); before the
  // first Describe, no cure is on.
  static const CGlDriver& Current();
  static const GlDriverCures& Cures() { return Current().cures; }
  // Reads the current context's strings and OV_GL_CURES again.
  static void Describe();
  // The cures of a driver; `force` is OV_GL_CURES ("on", "off", anything
  // else or null: automatic).
  static GlDriverCures CuresFor(const std::string& renderer, const std::string& version, const char* force);
};
