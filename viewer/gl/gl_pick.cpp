// Picking: OpenGL selection over the pick list and the label of the nearest
// element.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>

#include "platform/numbers.h"
#include "viewer/gl/gl_scene.h"

namespace {

// Selection words for a model: every named polygon can be one hit of four
// words (count, two depths, one name), plus the name before the first one.
std::int64_t SelectWordsFor(const CDispModel& d) {
  const std::int64_t named = static_cast<std::int64_t>(std::max(0, d.m_nElems3)) +
                             std::max(0, d.m_nElems4) + std::max(0, d.m_nFaces) + 1;
  return 4 * named;
}

constexpr std::int64_t kMaxSelectWords = std::int64_t{1} << 28;

}  // namespace

PickResult CGlScene::Pick(const CDispModel& doc, const SceneRect& rect, int x, int y) {
  lastPick = PickResult{};
  hitCount = 0;
  if (!contextCreated || rect.Width() <= 0 || rect.Height() <= 0) return lastPick;
  BindModel(doc, m_pValues);
  TakeNormalisation(doc);
  ApplyContextState();

  std::int64_t words = std::clamp<std::int64_t>(SelectWordsFor(doc), 64, kMaxSelectWords);
  if (static_cast<std::int64_t>(selectBuffer.size()) < words)
    selectBuffer.assign(static_cast<size_t>(words), 0u);

  int hits = -1;
  for (;;) {
    glSelectBuffer(static_cast<GLsizei>(selectBuffer.size()), selectBuffer.data());
    glRenderMode(GL_SELECT);
    SetProjection(doc, x, y, 0.5, rect, true);
    for (int i = 0; i < 3; ++i) target[i] = settings.center[i];
    double e[3], c[3];
    ToScaled(settings.eye, e);
    ToScaled(settings.center, c);
    gluLookAt(e[0], e[1], e[2], c[0], c[1], c[2], settings.up[0], settings.up[1], settings.up[2]);
    // No clear here: selection writes no pixel, and the frame just drawn
    // is still the picture the user sees.
    glInitNames();
    glPushName(0);
    glLoadName(kPickNone);
    CallOrBuild(kListPick, -1);
    glPopName();
    glFlush();
    glFinish();
    hits = glRenderMode(GL_RENDER);
    if (hits >= 0) break;
    // Overflow: more hits than words; a larger buffer and the pick again.
    if (static_cast<std::int64_t>(selectBuffer.size()) >= kMaxSelectWords) {
      hits = 0;
      break;
    }
    words =
        std::min<std::int64_t>(2 * static_cast<std::int64_t>(selectBuffer.size()), kMaxSelectWords);
    selectBuffer.assign(static_cast<size_t>(words), 0u);
  }
  hitCount = hits;
  if (static_cast<int>(hitNames.size()) < hits) {
    hitNames.resize(static_cast<size_t>(hits) + 100);
    hitDepths.resize(static_cast<size_t>(hits) + 100);
  }
  std::vector<unsigned> names, depths;
  ReadHitRecords(selectBuffer.data(), static_cast<int>(selectBuffer.size()), hits, names, depths);
  SortHitsByDepth(names, depths);
  std::copy(names.begin(), names.end(), hitNames.begin());
  std::copy(depths.begin(), depths.end(), hitDepths.begin());
  if (names.empty()) return lastPick;

  lastPick = DecodePickName(names[0], doc);
  OverlayText t;
  t.text = plat::Format("要素番号 %d / 材料番号 %d", lastPick.elem, lastPick.mat);
  t.hAlign = OverlayText::kLeft;
  t.vAlign = OverlayText::kBottom;
  t.x = 101;
  t.y = 51;
  overlay.push_back(t);
  t.x = 100;
  t.y = 50;
  t.r = t.g = t.b = 255;
  overlay.push_back(t);
  t.text = plat::Format(" %d %d ", lastPick.elem, lastPick.mat);
  t.hAlign = OverlayText::kCenter;
  t.vAlign = OverlayText::kBaseline;
  t.x = x;
  t.y = y;
  t.r = t.g = t.b = 0;
  overlay.push_back(t);
  return lastPick;
}
