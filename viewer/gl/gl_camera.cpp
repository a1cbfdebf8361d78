// Camera moves of a view: pure arithmetic on the settings' eye, centre and
// up, without OpenGL calls. Unless a move says otherwise it works in scaled
// coordinates and stores its result back in model coordinates.
#include <Qt>
#include <cmath>

#include "viewer/eye_file.h"
#include "viewer/gl/gl_scene.h"

namespace {

constexpr double kPi = 3.141592653589793;

double Length3(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

bool Finite3(const double v[3]) {
  return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

}  // namespace

// Everything a move may change, so that a move that goes wrong can be undone.
struct CGlScene::CameraSnapshot {
  double eye[3], center[3], up[3];
  double distance, azimuth, polar;
  unsigned char flip;
  int flipped;
  double factor, anglex;
};

template <class F>
bool CGlScene::GuardedMove(F&& move) {
  CameraSnapshot s;
  for (int i = 0; i < 3; ++i) {
    s.eye[i] = settings.eye[i];
    s.center[i] = settings.center[i];
    s.up[i] = settings.up[i];
  }
  s.distance = settings.distance;
  s.azimuth = settings.azimuth;
  s.polar = settings.polar;
  s.flip = settings.flip;
  s.flipped = flipped;
  s.factor = settings.factor;
  s.anglex = settings.anglex;
  move();
  if (CameraValid() && std::isfinite(settings.distance) && std::isfinite(settings.azimuth) &&
      std::isfinite(settings.polar))
    return true;
  // A move that produced a non-finite camera (or put the eye on the centre)
  // would be drawn as nothing and could be saved to a viewpoint file.
  for (int i = 0; i < 3; ++i) {
    settings.eye[i] = s.eye[i];
    settings.center[i] = s.center[i];
    settings.up[i] = s.up[i];
  }
  settings.distance = s.distance;
  settings.azimuth = s.azimuth;
  settings.polar = s.polar;
  settings.flip = s.flip;
  flipped = s.flipped;
  settings.factor = s.factor;
  settings.anglex = s.anglex;
  return false;
}

void CGlScene::ToScaled(const double model[3], double out[3]) const {
  for (int i = 0; i < 3; ++i) out[i] = (model[i] + offset[i]) * scale;
}

void CGlScene::ToModel(const double scaled[3], double out[3]) const {
  for (int i = 0; i < 3; ++i) out[i] = scaled[i] / scale - offset[i];
}

double CGlScene::DollyStep() const { return Length3(settings.dollyStep); }

bool CGlScene::CameraValid() const { return CameraUsable(settings); }

bool CGlScene::CameraUsable(const CViewSettings& s) const {
  if (!Finite3(s.eye) || !Finite3(s.center) || !Finite3(s.up)) return false;
  // The model spans about 2 scaled units round the origin. An eye or centre
  // a million times further is a blank view no move brings back; an eye
  // closer to the centre than a millionth has lost its view direction to
  // rounding.
  constexpr double kFarthest = 1e6;
  constexpr double kNearest = 1e-6;
  double e[3], c[3], d[3];
  ToScaled(s.eye, e);
  ToScaled(s.center, c);
  for (int i = 0; i < 3; ++i) d[i] = e[i] - c[i];
  if (!(Length3(e) <= kFarthest && Length3(c) <= kFarthest && Length3(d) >= kNearest)) return false;
  // No up direction, or one along the line of sight, gives the view no
  // orientation: nothing is drawn.
  return UpOrientsSight(d, s.up);
}

bool CGlScene::CanShowViewpoint(const EyeRecord& record) const {
  if (!record.Usable()) return false;
  CViewSettings s = settings;
  record.Get(s);
  return CameraUsable(s);
}

bool CGlScene::ShowViewpoint(const EyeRecord& record) {
  if (!CanShowViewpoint(record)) return false;
  record.Get(settings);
  return true;
}

bool CGlScene::RecallViewpoint(CEyeList& eyes, int n) {
  if (n < 0 || n >= eyes.Count() || !ShowViewpoint(eyes.At(n))) return false;
  return eyes.Recall(n, settings);
}

void CGlScene::ShowHome(CEyeList& eyes, bool makeCurrent) {
  // Entry 0 still holds its camera after delete-all.
  if (makeCurrent && RecallViewpoint(eyes, 0)) return;
  if (ShowViewpoint(eyes.At(0))) return;
  // The start camera passed the set-up's checks: whatever was recalled
  // before, Home gives the picture back.
  eyes.Start().Get(settings);
}

bool CGlScene::IsOrthographic() const { return !useExtentProjection || settings.persp == 0; }

void CGlScene::Zoom(int n) {
  GuardedMove([&] {
    if (IsOrthographic()) {
      if (settings.factor > 0) settings.factor *= n >= 0 ? 2.0 : 0.5;
    } else {
      const double a = settings.anglex * (n >= 0 ? 0.5 : 2.0);
      if (a > kMinViewAngle && a < kMaxViewAngle) settings.anglex = a;
    }
  });
}

void CGlScene::Dolly(double n, bool fast) {
  GuardedMove([&] {
    double e[3], c[3], v[3];
    ToScaled(settings.eye, e);
    ToScaled(settings.center, c);
    for (int i = 0; i < 3; ++i) v[i] = c[i] - e[i];
    const double len = Length3(v);
    if (!(len > 0)) return;
    double t = DollyStep() / len * n;
    if (fast) t *= 10.0;
    for (int i = 0; i < 3; ++i) {
      e[i] += v[i] * t;
      c[i] += v[i] * t;
    }
    ToModel(e, settings.eye);
    ToModel(c, settings.center);
    UpdateEyeAngles(settings);
  });
}

void CGlScene::RotateAxis(int kind, double angle, double P[3], const double Q[3]) {
  if (kind == 0) {
    double x = angle;
    if (settings.flip) x = -x;
    const double dx = P[0] - Q[0];
    const double dy = P[1] - Q[1];
    const double g = std::sqrt(dx * dx + dy * dy);
    if (g > 1e-20) {
      const double zp = P[2] - Q[2];
      P[2] = Q[2] + zp * std::cos(x) + g * std::sin(x);
      const double g2 = g * std::cos(x) - zp * std::sin(x);
      P[0] = Q[0] + g2 * dx / g;
      P[1] = Q[1] + g2 * dy / g;
      if (g2 < 0) {
        settings.flip = settings.flip ? 0 : 1;
        settings.up[2] = -settings.up[2];
      }
    } else {
      const double d = settings.distance;
      const double p = settings.polar;
      const double s = -std::sin(x) * d;
      P[0] = Q[0] + std::cos(p) * s;
      P[1] = Q[1] + std::sin(p) * s;
      P[2] = Q[2] + d * std::cos(x);
      const double a = settings.azimuth;
      if (x != 0 && ((a > 0 && -x < 0) || (a < 0 && -x > 0))) {
        settings.flip = settings.flip ? 0 : 1;
        settings.up[2] = -settings.up[2];
      }
    }
  } else if (kind == 3) {
    const double dx = P[0] - Q[0];
    const double dy = P[1] - Q[1];
    P[0] = Q[0] + dx * std::cos(angle) - dy * std::sin(angle);
    P[1] = Q[1] + dy * std::cos(angle) + dx * std::sin(angle);
  }
}

void CGlScene::RotateEye(int kind, double angle) {
  GuardedMove([&] {
    RotateAxis(kind, angle, settings.eye, settings.center);
    UpdateEyeAngles(settings);
  });
}

void CGlScene::RotateCentre(int kind, double angle) {
  GuardedMove([&] {
    RotateAxis(kind, angle, settings.center, settings.eye);
    UpdateEyeAngles(settings);
    // The angles now describe the centre as seen from the eye.
    settings.azimuth += settings.azimuth >= kPi ? -kPi : kPi;
    settings.polar = -settings.polar;
  });
}

void CGlScene::Orbit(int a, int b, int c, int d) {
  const int w = clientRect.Width();
  if (w <= 0) return;
  GuardedMove([&] {
    const double e = (b - d) * kPi / w;
    RotateAxis(3, e, settings.eye, settings.center);
    UpdateEyeAngles(settings);
    RotateEye(0, (a - c) * kPi / w);
  });
}

void CGlScene::Turn(int a, int b, int c, int d) {
  const int w = clientRect.Width();
  if (w <= 0) return;
  GuardedMove([&] {
    RotateCentre(3, (b - c) * kPi / w);
    RotateCentre(0, (a - d) * kPi / w);
  });
}

void CGlScene::RotateDeg(double alphaDeg, double betaDeg) {
  GuardedMove([&] {
    const double al = alphaDeg * kPi / 180.0;
    const double be = betaDeg * kPi / 180.0;
    double e[3], c[3], u[3];
    ToScaled(settings.eye, e);
    ToScaled(settings.center, c);
    for (int i = 0; i < 3; ++i) u[i] = c[i] - e[i];
    const double ux = u[0] * std::cos(al) - u[1] * std::sin(al);
    const double uy = u[0] * std::sin(al) + u[1] * std::cos(al);
    u[0] = ux;
    u[1] = uy;
    const double h = std::sqrt(ux * ux + uy * uy);
    if (h > 1e-20) {
      const double k = h * std::cos(be) - u[2] * std::sin(be);
      u[2] = h * std::sin(be) + u[2] * std::cos(be);
      u[0] = ux * k / h;
      u[1] = uy * k / h;
      if (k < 0) flipped = flipped ? 0 : 1;
    }
    for (int i = 0; i < 3; ++i) c[i] = e[i] + u[i];
    ToModel(c, settings.center);
    UpdateEyeAngles(settings);
  });
}

void CGlScene::Pan(int a, int b, int k, int c, int d) {
  const int w = clientRect.Width();
  if (w <= 0) return;
  GuardedMove([&] {
    // The sign follows the flip byte that an orbit over a pole toggles, so
    // that both pan directions stay right after orbiting over the top.
    const double sigma = settings.flip ? -1.0 : 1.0;
    double e[3], cen[3], v[3];
    ToScaled(settings.eye, e);
    ToScaled(settings.center, cen);
    for (int i = 0; i < 3; ++i) v[i] = e[i] - cen[i];
    const double h = std::sqrt(v[0] * v[0] + v[1] * v[1]);
    const double sh = 0.3 * k * (c - a) * viewWidth / w;
    const double sv = 0.3 * k * (d - b) * viewWidth / w;
    double m[3] = {0, 0, 0};
    if (h > 0) {
      if (settings.flip) {
        m[0] += sh * v[1] / h;
        m[1] += sh * -v[0] / h;
      } else {
        m[0] += sh * -v[1] / h;
        m[1] += sh * v[0] / h;
      }
    }
    const double n = std::sqrt(h * h + v[2] * v[2]);
    if (n > 0) {
      m[2] += sigma * sv * h / n;
      if (h > 0) {
        m[0] += sigma * (-v[2]) / n * sv * v[0] / h;
        m[1] += sigma * (-v[2]) / n * sv * v[1] / h;
      }
    }
    for (int i = 0; i < 3; ++i) {
      e[i] += m[i];
      cen[i] += m[i];
    }
    ToModel(e, settings.eye);
    ToModel(cen, settings.center);
    UpdateEyeAngles(settings);
  });
}

void CGlScene::SetAxisView(double elevation, double azimuth) {
  GuardedMove([&] {
    double v[3];
    for (int i = 0; i < 3; ++i) v[i] = settings.eye[i] - settings.center[i];
    const double d = Length3(v);
    for (int i = 0; i < 3; ++i) settings.center[i] = modelMiddle[i];
    settings.eye[0] = settings.center[0] + d;
    settings.eye[1] = settings.center[1];
    settings.eye[2] = settings.center[2];
    settings.flip = 0;
    settings.up[0] = 0;
    settings.up[1] = 0;
    settings.up[2] = 1;
    RotateAxis(3, azimuth, settings.eye, settings.center);
    UpdateEyeAngles(settings);
    RotateEye(0, elevation);
  });
}

void CGlScene::SetAxisViewReverse(double elevation, double azimuth) {
  GuardedMove([&] {
    double v[3];
    for (int i = 0; i < 3; ++i) v[i] = settings.eye[i] - settings.center[i];
    const double d = Length3(v);
    settings.center[0] = settings.eye[0] - d;
    settings.center[1] = settings.eye[1];
    settings.center[2] = settings.eye[2];
    settings.flip = 0;
    settings.up[0] = 0;
    settings.up[1] = 0;
    settings.up[2] = 1;
    RotateAxis(3, azimuth, settings.center, settings.eye);
    UpdateEyeAngles(settings);
    // The angles are taken before the elevation step and only turned round
    // after it (viewpoint files and the camera report carry them so).
    RotateAxis(0, -elevation, settings.center, settings.eye);
    settings.azimuth += settings.azimuth >= kPi ? -kPi : kPi;
    settings.polar = -settings.polar;
  });
}

bool CGlScene::OnKey(int key, bool ctrl, bool shift, int repeat) {
  const int r = repeat < 1 ? 1 : repeat;
  const double step = DollyStep();
  // Moves eye and centre together by a scaled vector.
  auto shiftBoth = [&](double dx, double dy, double dz) {
    GuardedMove([&] {
      double e[3], c[3];
      ToScaled(settings.eye, e);
      ToScaled(settings.center, c);
      e[0] += dx;
      e[1] += dy;
      e[2] += dz;
      c[0] += dx;
      c[1] += dy;
      c[2] += dz;
      ToModel(e, settings.eye);
      ToModel(c, settings.center);
      UpdateEyeAngles(settings);
    });
  };
  const double sign = shift ? -1.0 : 1.0;
  switch (key) {
    case Qt::Key_Left:
      if (shift)
        Pan(0, 0, 1, -40 * r, 0);
      else if (ctrl)
        Turn(0, 0, -10 * r, 0);
      else
        Pan(0, 0, 1, -20 * r, 0);
      return true;
    case Qt::Key_Right:
      if (shift)
        Pan(0, 0, 1, 40 * r, 0);
      else if (ctrl)
        Turn(0, 0, 10 * r, 0);
      else
        Pan(0, 0, 1, 20 * r, 0);
      return true;
    case Qt::Key_Up:
      if (shift)
        Pan(0, -20 * r, 1, 0, 0);
      else if (ctrl)
        Turn(0, 0, 0, -10 * r);
      else
        Dolly(r, false);
      return true;
    case Qt::Key_Down:
      if (shift)
        Pan(0, 20 * r, 1, 0, 0);
      else if (ctrl)
        Turn(0, 0, 0, 10 * r);
      else
        Dolly(-r, false);
      return true;
    case Qt::Key_A:
      shiftBoth(settings.dollyStep[0], settings.dollyStep[1], settings.dollyStep[2]);
      return true;
    case Qt::Key_S:
      shiftBoth(-settings.dollyStep[0], -settings.dollyStep[1], -settings.dollyStep[2]);
      return true;
    case Qt::Key_C: {
      GuardedMove([&] {
        const double c[3] = {0, 0, 0};
        const double e[3] = {1, 1, 0.5};
        ToModel(c, settings.center);
        ToModel(e, settings.eye);
        UpdateEyeAngles(settings);
      });
      return true;
    }
    case Qt::Key_D:
      Dolly(shift ? -1 : 1, false);
      return true;
    case Qt::Key_F: {
      double e[3], c[3], u[3];
      ToScaled(settings.eye, e);
      ToScaled(settings.center, c);
      for (int i = 0; i < 3; ++i) u[i] = c[i] - e[i];
      const double len = Length3(u);
      if (len > 0) shiftBoth(-0.05 * u[0] / len, -0.05 * u[1] / len, -0.05 * u[2] / len);
      return true;
    }
    case Qt::Key_X:
      shiftBoth(sign * step, 0, 0);
      return true;
    case Qt::Key_Y:
      shiftBoth(0, sign * step, 0);
      return true;
    case Qt::Key_Z:
      shiftBoth(0, 0, sign * step);
      return true;
    case Qt::Key_H:
      RotateEye(0, -10.0 * kPi / 180.0);
      return true;
    case Qt::Key_J:
      RotateEye(0, 10.0 * kPi / 180.0);
      return true;
    case Qt::Key_I:
      Orbit(shift ? 10 : -10, 0, 0, 0);
      return true;
    case Qt::Key_K:
      Orbit(0, 0, 0, shift ? -10 : 10);
      return true;
    case Qt::Key_L:
      Turn(0, 0, shift ? -10 : 10, 0);
      return true;
    case Qt::Key_O:
      Turn(0, 0, 0, shift ? -10 : 10);
      return true;
    case Qt::Key_R:
      RotateDeg(180, 0);
      return true;
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_F5: {
      const int k = key - Qt::Key_F2;
      kindVisible[k] = kindVisible[k] ? 0 : 1;
      surfacesOn = 1;
      return true;
    }
    case Qt::Key_F9:
      surfacesOn = surfacesOn ? 0 : 1;
      return true;
    default:
      return false;
  }
}
