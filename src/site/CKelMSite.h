#pragma once
// CKelMSite: a deemed site (Minashi shikichi), the outline that stands in
// for the site when the regulation lines are drawn: along a road edge below
// 10 m wide it runs on the road's centre line, along one of 10 m or more on
// the line 5 m inside the road's far side. It keeps its two check lines,
// at 5 m and 10 m by default. CKelMSiteArray: a list of deemed sites.
//
// The polygon runs counter-clockwise once its area is set. Units: metres.
// Neither setting operation rebuilds the check lines; CreateCheckLine does.

#include <vector>

#include "CClineData.h"
#include "CKelAreaCoord2D.h"
#include "CKelVectorArray.h"
#include "CXYtemp2.h"
#include "KelOldZoneRecords.h"

class CKelArchiveCore;
class CKelHSite;

class CKelMSite : public CKelAreaCoord2D {
public:
  // The least distances of the two check lines.
  static constexpr double m_MinRegLine1 = 0.01;
  static constexpr double m_MinRegLine2 = 0.02;
  // The distance CalcSiteDistance starts from: farther counts as nothing.
  static constexpr double kFarDistance = 2500.0;
  // The road width from which the far side, not the centre line, is used,
  // how far inside the far side the line then runs, and the band within
  // which a width counts as exactly that width.
  static constexpr double kWideRoad = 10.0;
  static constexpr double kFarSideInset = 5.0;
  static constexpr double kWidthBand = 0.001;
  // Results of create_auto_line1.
  static constexpr int kNoLine = 0;
  static constexpr int kLine = 1;
  static constexpr int kCornerCut = 128;

  CClineData m_ChkLine1{0, 5.0};
  CClineData m_ChkLine2{1, 10.0};

  CKelMSite() = default;

  // The site's own outline; 1, or 0 (polygon empty) for a site without
  // vertices. The check lines are emptied.
  int default_minashi_data(const CKelHSite& site);
  // The outline from the site's road edges, read with a survey's tiny
  // pieces folded away and its pieces along one chord joined into runs
  // (CKelSiteWorkOutline); the number of outline points, 0 for a site
  // without roads or vertices (then nothing changes).
  int SiteMAutoSet(CKelHSite site);
  // False when a line could not be traced (that line is left empty).
  [[nodiscard]] bool CreateCheckLine();
  // The least distance to an edge seen from outside it (starting from
  // kFarDistance); CalcSiteDistance3 gives 0 inside or on the polygon.
  double CalcSiteDistance(const CKelCoord2D& p) const;
  double CalcSiteDistance3(const CKelCoord2D& p) const;

  // --- Steps of SiteMAutoSet
  // The deemed line of edge i (wrapped): kCornerCut, kNoLine, or kLine with
  // line set. Widths within kWidthBand of kWideRoad count as both.
  static int create_auto_line1(const CKelHSite& site, int i, CXYtemp2* line);
  [[nodiscard]] static bool cross_auto_lines(const CXYtemp2& a, const CXYtemp2& b, CKelCoord2D* x);
  [[nodiscard]] static bool CheckCrossLine(const CKelAreaCoord2D& poly, const CKelCoord2D& a, const CKelCoord2D& b,
                                           int* from, int* to, CKelCoord2D* x);
  // Inserts the crossings of edges into both edges, at most one point per
  // pair of edges; true when any was inserted.
  static bool CheckCrossLine(CKelAreaCoord2D& poly);
  static void DeleteReveseArea(CKelAreaCoord2D& poly);

  // The polygon from the old record and its points (count at byte 16);
  // false, nothing changed, when the count is negative or past the array.
  [[nodiscard]] bool FromOldParam(const SITEAREA& old, const XY_FPAIR* points, int pointCount, double distance1,
                                  double distance2);

  bool operator==(const CKelMSite& other) const;
  bool operator!=(const CKelMSite& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelMSite& other) const;

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, int reserved = 0, void* p1 = nullptr, void* p2 = nullptr);
  // Tag "CKelMSite" from version 2; the polygon; both check lines.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
};

class CKelMSiteArray : public CKelVectorArray<CKelMSite> {
public:
  bool operator==(const CKelMSiteArray& other) const;
  bool operator!=(const CKelMSiteArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelMSiteArray& other) const;
};
