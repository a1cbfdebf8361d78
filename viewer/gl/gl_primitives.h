// Small drawing steps shared by the scene and the results viewer's
// diagrams: a vertex, a flat normal, and a filled polygon with its stencil
// outline.
#pragma once
#include <functional>

void Vertex(const double p[3]);

// Normal of a polygon from its first three corners; left as it is when its
// length is negligible.
void FlatNormal(const double p[4][3], double n[3]);

// One filled polygon, plain or, when `outlined`, in the three stencil
// passes: its edges into the stencil, the fill inside them, the edges again
// in the outline colour. `fill` and `outline` set their colours inside the
// primitive, where a display list keeps them.
void DrawOutlinedPolygon(const double p[4][3], int corners, const double n[3], bool outlined,
                         const std::function<void()>& fill, const std::function<void()>& outline);
