#include "viewer/boundary_faces.h"

#include <cstdint>
#include <unordered_map>

const int kSolidFaceCorners[6][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6},
                                     {3, 0, 4, 7}, {0, 3, 2, 1}, {4, 5, 6, 7}};

int CanonicalFace(const int a[4], int out[4]) {
  // Numbers of 999999999 and above never beat the starting bound; with all
  // four that large the face starts at position 0.
  int k = 0;
  int low = 999999999;
  for (int i = 0; i < 4; ++i) {
    if (a[i] < low) {
      low = a[i];
      k = i;
    }
  }
  const int p = (k + 3) % 4;
  const int q = (k + 1) % 4;
  if (a[p] < a[q]) {
    for (int i = 0; i < 4; ++i) out[i] = a[(k - i + 4) % 4];
    return 0;
  }
  for (int i = 0; i < 4; ++i) out[i] = a[(k + i) % 4];
  return 1;
}

namespace {

struct FaceKey {
  int n[4];
  bool operator==(const FaceKey& o) const {
    return n[0] == o.n[0] && n[1] == o.n[1] && n[2] == o.n[2] && n[3] == o.n[3];
  }
};

struct FaceKeyHash {
  std::size_t operator()(const FaceKey& k) const {
    std::uint64_t h = 1469598103934665603ull;
    for (int v : k.n) {
      h ^= static_cast<std::uint32_t>(v);
      h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

}  // namespace

int CBoundaryFaces::Build(int nSolids, const DispSolid* solids) {
  m_aFaces.clear();
  m_nExterior = 0;
  if (nSolids <= 0 || solids == nullptr) return 0;
  m_aFaces.reserve(static_cast<std::size_t>(nSolids) * 6);
  // Where each face of the list stands, to find a repeated face at once. A
  // face matches on all four canonical numbers, so that a collapsed face of a
  // degenerate solid never cancels a real face that shares three of its
  // numbers; the list never holds two equal faces, since the second cancels
  // the first.
  std::unordered_map<FaceKey, std::size_t, FaceKeyHash> where;
  where.reserve(static_cast<std::size_t>(nSolids) * 6);
  for (int s = 0; s < nSolids; ++s) {
    for (const auto& corners : kSolidFaceCorners) {
      int a[4];
      for (int i = 0; i < 4; ++i) a[i] = solids[s].c[corners[i]];
      BoundaryFace face;
      face.nOrient = CanonicalFace(a, face.n);
      const FaceKey key{{face.n[0], face.n[1], face.n[2], face.n[3]}};
      const auto it = where.find(key);
      if (it != where.end()) {
        // Shared: the last entry takes the cancelled entry's place.
        const std::size_t pos = it->second;
        where.erase(it);
        const std::size_t last = m_aFaces.size() - 1;
        if (pos != last) {
          m_aFaces[pos] = m_aFaces[last];
          const BoundaryFace& moved = m_aFaces[pos];
          where[FaceKey{{moved.n[0], moved.n[1], moved.n[2], moved.n[3]}}] = pos;
        }
        m_aFaces.pop_back();
      } else {
        where.emplace(key, m_aFaces.size());
        m_aFaces.push_back(face);
      }
    }
  }
  for (BoundaryFace& face : m_aFaces) face.nState = face.nState == 0 ? ++m_nExterior : -1;
  return 0;
}

int BuildBoundaryFaces(int nSolids, const DispSolid* solids, CBoundaryFaces& faces) {
  return faces.Build(nSolids, solids);
}
