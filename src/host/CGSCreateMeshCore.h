#pragma once
// A builder of meshes over a grid of 3D points that its subclass supplies:
// nodes (i, j) with 0 <= i <= nx and 0 <= j <= ny, each a point in metres
// (absolute heights). The mesh lies at level 0, so its heights are the
// points' own.
//
// The int argument of the creators is the mesh's top and side pen (0 keeps
// the host's default); m_nSetting goes to the mesh's skirt setting.

#include "BLOCKtag.h"
#include "CKelAreaCoord3D.h"
#include "host_api_types.h"

#include <cstdint>
#include <vector>

class CMyUserDataCore;

class CGSCreateMeshCore {
public:
  std::int16_t m_nSetting = 3;  // written into the created mesh
  std::int16_t m_nStory = 0;    // the story DoCreate2 places its mesh on

  CGSCreateMeshCore() = default;
  CGSCreateMeshCore(const CGSCreateMeshCore&) = default;
  CGSCreateMeshCore& operator=(const CGSCreateMeshCore&) = default;
  virtual ~CGSCreateMeshCore() = default;

  // --- The grid (the subclass's) ----------------------------------------------------------
  virtual int GetNX() const = 0;
  virtual int GetNY() const = 0;
  virtual void GetGridPoint(int i, int j, CKelCoord3D& out) const = 0;

  // --- Meshes -----------------------------------------------------------------------------
  // The whole grid: its border as the outline and every inner grid column
  // (fixed i) and then row (fixed j) as a level line; on the default story.
  // APIERR_BADPARS for nx or ny below 1.
  [[nodiscard]] GSErrCode DoCreate(int pen, short layer, CMyUserDataCore* tag, bool observe);
  // The block's outline of grid nodes with the level lines of
  // GetLevelLines, on m_nStory. APIERR_BADPARS for a node outside the grid
  // or nx, ny below 1.
  [[nodiscard]] GSErrCode DoCreate2(const BLOCKtag& block, int pen, short layer, CMyUserDataCore* tag, bool observe);
  // The runs of 3 or more consecutive grid nodes strictly inside the
  // block's outline, along every inner row and then every inner column.
  std::vector<std::vector<CKelCoord3D>> GetLevelLines(const BLOCKtag& block) const;

private:
  bool GridIsUsable() const { return GetNX() >= 1 && GetNY() >= 1; }
  bool NodeInGrid(int i, int j) const { return 0 <= i && i <= GetNX() && 0 <= j && j <= GetNY(); }
  CKelCoord3D Node(int i, int j) const;
  std::vector<CKelCoord3D> BorderNodes() const;
  [[nodiscard]] GSErrCode Create(const std::vector<CKelCoord3D>& outline, const std::vector<std::vector<CKelCoord3D>>& lines,
                   short story, int pen, short layer, CMyUserDataCore* tag, bool observe) const;
};
