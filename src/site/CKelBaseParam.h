#pragma once
// CKelBaseParam: the base parameters of a regulation check, passed by
// reference to the operations that read them. A plain record the caller
// fills; it has no operations of its own. The shadow-time calculator is the
// check driver's, held by pointer and not owned (null: none).

#include <cstdint>
#include <vector>

#include "CAreaRgl.h"
#include "CKelAreaCoord2D.h"
#include "CKelHikageTimeCore.h"
#include "CKelHSite.h"
#include "CKelMSite.h"

// A ground area: a plan outline standing at one height (metres).
struct CKelGroundArea {
  CKelAreaCoord2D m_Area;
  double m_Height = 0;
};

class CKelBaseParam {
public:
  double m_FrameAngle = 0;          // radians: the turn of a check point's local frame
  std::int16_t m_StandardTime = 0;  // non-zero: clock times are standard time
  CKelHSite m_Site;
  CKelMSite m_MSite;  // the deemed site
  CAreaRglArray m_Rgl;
  std::vector<CKelGroundArea> m_GroundArea;
  double m_Distance1 = 5.0;  // the first and second measuring distances (metres)
  double m_Distance2 = 10.0;
  CKelHikageTimeCore* m_pTimeCalc = nullptr;
};
