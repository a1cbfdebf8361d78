// The scene's display lists: the model viewer's table of lists and how each
// is built (the surfaces of a part kind, the flagged subset, the edge
// layer, the material display), the face corners the lists share in buffer
// objects, and the lists' life with the context (CGlListSet keeps them).
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "viewer/gl/gl_driver.h"
#include "viewer/gl/gl_errors.h"
#include "viewer/gl/gl_primitives.h"
#include "viewer/gl/gl_scene.h"

namespace {

void SetBlackEdgeMaterial() {
  const float black[4] = {0, 0, 0, 1};
  const float white[4] = {1, 1, 1, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 64.0f);
}

}  // namespace

bool CGlScene::SetupContext(bool withStencil) {
  if (!contextCreated) {
    if (glGetString(GL_VERSION) == nullptr) {
      lastError = "OpenGL のコンテキストを作成できません。";
      std::fprintf(stderr, "OpenGL context: none is current\n");
      return false;
    }
    DrainGlErrors("glGenLists");
    CGlDriver::Describe();
    if (!m_lists.Generate(lastError)) return false;
    m_lists.DeferAll();
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    stencilAvailable = bits > 0;
    if (withStencil && !stencilAvailable) {
      // Outlines then come from the edge layer as without stencil.
      std::fprintf(stderr, "OpenGL context: no stencil buffer, outlines drawn as edges\n");
    }
    contextCreated = 1;
  }
  ApplyContextState();
  return true;
}

void CGlScene::ContextLost() {
  // Names not deleted before their context went stay counted as live: the
  // count then shows the loss.
  contextCreated = 0;
  m_lists.Forget();
  m_lists.DeferAll();
  m_sharedFacesOf = 0;
}

void CGlScene::DeleteLists() {
  if (contextCreated) m_lists.Delete();
  ContextLost();
}

void CGlScene::InvalidateLists() {
  m_lists.DeferAll();
  m_nodeIndex.Clear();  // the model may have changed in place
  m_faceOrder = std::vector<int>();
  m_faceKindStart.clear();
  m_faceOrderOf = 0;
  m_sharedFacesOf = 0;
}

CGlListSet::Entry CGlScene::BackgroundList() {
  return {kListBackground, "background", [this] { DrawBackground(settings.bcolor1, settings.bcolor2); }, {}, {}};
}

CGlListSet::Entry CGlScene::TriadList() { return {kListTriad, "axis triad", [this] { DrawTriadArrows(); }, {}, {}}; }

std::vector<CGlListSet::Entry> CGlScene::ModelViewerLists() {
  // The face lists of the kinds and the edge lists draw the faces from one
  // shared copy of their corners, made before the list opens.
  const auto share = [this] { m_bFromSharedCorners = ShareFaceCorners(); };
  const auto shared = [this](std::function<void()> body) {
    return [this, body] {
      body();
      m_bFromSharedCorners = false;
    };
  };
  std::vector<CGlListSet::Entry> t = {
      BackgroundList(),
      {kListEdges, "edge layer", shared([this] { EdgeLayer(-1); }), share, {}},
      {kListFlagged, "flagged surfaces", [this] { KindSurfaces(-1, 1); }, {}, {}},
      {kListFlaggedEdges, "flagged edge layer", shared([this] { EdgeLayer(1); }), share, {}},
      {kListMaterial, "material display", [this] { MaterialSurfaces(); }, {}, [this] { return StencilWanted(); }},
      TriadList(),
  };
  static const char* const kKindNames[4] = {"kind 0 surfaces", "kind 1 surfaces", "kind 2 surfaces",
                                            "kind 3 surfaces"};
  for (int k = 0; k < 4; ++k)
    t.push_back({kListKind0 + k, kKindNames[k], shared([this, k] { KindSurfaces(k, -1); }), share, {}});
  return t;
}

bool CGlScene::ShareFaceCorners() {
  if (!m_pDoc) return false;
  const CDispModel& d = *m_pDoc;
  const int nf = std::min(d.m_nFaces, static_cast<int>(d.m_aFaces.size()));
  const double norm[4] = {scale, offset[0], offset[1], offset[2]};
  if (m_sharedFacesOf != 0 && m_sharedFacesOf == d.Generation() && m_nSharedFaces == nf &&
      std::equal(norm, norm + 4, m_sharedNorm))
    return true;
  m_sharedFacesOf = 0;
  if (nf <= 0) return false;
  const int* order = FaceKindOrder().data();
  // The lists still to be built let go of the old corners first: the old
  // and the new are not held at once.
  m_lists.DropUnbuilt();
  // Every corner slot of the model once, then the one a face's slot outside
  // the array stands for (as FaceCorners takes it).
  const long long nc = std::clamp<long long>(d.m_nCorners, 0, static_cast<long long>(d.m_aCorners.size()));
  const bool ok = m_lists.Batches().ShareQuads(
      nc + 1,
      [&](float* out, long long first, int count) {
        double p[3];
        for (long long s = first; s < first + count; ++s, out += 3) {
          if (s < nc)
            SlotCorner(d, static_cast<std::uint32_t>(s), p);
          else
            ToScaled(d.Corner(static_cast<std::uint32_t>(d.m_nCorners)).data(), p);
          for (int j = 0; j < 3; ++j) out[j] = static_cast<float>(p[j]);
        }
      },
      4LL * nf,
      [&](unsigned* out, long long first, int count) {
        for (long long t = first / 4; t < (first + count) / 4; ++t, out += 4) {
          const DispFace& f = d.m_aFaces[static_cast<size_t>(order[t])];
          for (int k = 0; k < 4; ++k) out[k] = static_cast<unsigned>(std::min<long long>(f.c[k], nc));
          if (f.nCorners == 3) out[3] = out[2];
        }
      });
  if (!ok) return false;
  m_sharedFacesOf = d.Generation();
  m_nSharedFaces = nf;
  std::copy(norm, norm + 4, m_sharedNorm);
  return true;
}

// Surfaces and lines of one part kind (kind 0-3) or of the flagged subset.
void CGlScene::KindSurfaces(int kind, int flagFilter) {
  if (!m_pDoc || !settings.pmodel[0]) return;
  const bool st = StencilWanted();
  if (st) {
    glEnable(GL_STENCIL_TEST);
    glClear(GL_STENCIL_BUFFER_BIT);
  }
  DrawElements(kind, flagFilter, m_pDoc->m_nColorMode, contourBar.get(), st);
  if (st) glDisable(GL_STENCIL_TEST);
  DrawKindLines(kind, flagFilter, contourBar.get());
}

void CGlScene::EdgeLayer(int flagFilter) {
  SetBlackEdgeMaterial();
  if (!m_pDoc || !settings.pmodel[1]) return;
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(static_cast<float>(settings.pofactor), static_cast<float>(settings.pounits));
  glLineWidth(0.1f);
  DrawLines(flagFilter, nullptr);
  DrawElementEdges(m_pDoc->m_dDispScale);
  glDisable(GL_POLYGON_OFFSET_LINE);
}

void CGlScene::MaterialSurfaces() {
  if (!m_pDoc) return;
  glDisable(GL_POLYGON_OFFSET_LINE);
  glLineWidth(0.1f);
  if (StencilWanted()) {
    glEnable(GL_STENCIL_TEST);
    glClear(GL_STENCIL_BUFFER_BIT);
    DrawLines(1, nullptr);
    DrawMaterialSurfacesOutlined(m_pDoc->m_nColorMode, m_pDoc->m_dDispScale);
    glDisable(GL_STENCIL_TEST);
  } else {
    DrawMaterialSurfaces(m_pDoc->m_nColorMode, m_pDoc->m_dDispScale);
  }
}
