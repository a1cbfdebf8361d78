// OpenGL material setters of the display model and the contour bar. The
// scene lights every surface with a white global ambient light and no lamp,
// so a surface shows its ambient material colour.
#pragma once

class CDispModel;
class CContourBar;

// The colour of a colour type: 0 the given r, g, b (0-255), 1 blue,
// 2 yellow, -1 black, any other type red; alpha 1.
void MaterialColorOf(int type, int r, int g, int b, float rgba[4]);

// Ambient and diffuse material of the front face from MaterialColorOf.
void SetGLMaterialColor(int type, int r, int g, int b);
void SetGLMaterialColor(int type, const int rgb[3]);

// Ambient and diffuse material of the front face from the first material
// record with that number; black when there is none.
void SetGLMaterialByMatNo(const CDispModel& doc, int matNo);

// Ambient and diffuse rgb / 255, white specular, shininess 64, front and back.
void SetFlatMaterial(const int rgb[3]);

// Ambient and diffuse (front and back) from the bar's colour of a value;
// true when the value lies within the bar.
bool SetGLMaterial(const CContourBar& bar, double value);
