#pragma once
// The arc through three points: the circular segment between an arc and
// its chord, placed as "TalvoSoftwareAreaArc3Point". The three points live
// only on the part, as six parameters in the chord's frame (origin at the
// chord start, x along the chord, y to its left): chord start p0 ("x3",
// "y3"), chord end p1 ("x1", "y1"), the arc point p2 ("x2", "y2"); pos is
// the chord start in plan and angle the chord's direction. Derived: centre
// c, radius r = |p1 c|, sweep theta (degrees), base b = the chord, height
// h = |c.y| (centre to chord). Area: sector plus the centre's triangle when
// the rounded sweep exceeds 180 degrees, minus it otherwise.

#include "CAngleValue.h"
#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"
#include "host_input.h"

class CAreaArc3Point : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaArc3Point";
  static constexpr int kBreakFlags = 7;

  CAreaArc3Point(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                 CItemType2Table::ITEMTYPE numbering, int itemNo);

  // == Operations of every kind ==
  using CArea1Object::CopyObject;
  using CArea1Object::GetEquation;
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook) override;
  [[nodiscard]] GSErrCode CopyObject(CPlenimetraParam* param, short floor) override;
  void Serialize(CPlenimetraUserDataCore& data) override;
  bool CheckStringParameter(CPlenimetraParam* param) override;
  GS::UniString GetEquation(const CPlenimetraParam* param, bool breakAll, double width) override;
  long long GetOrgArea(const CPlenimetraParam* param) const override;

  // == Geometry (points in the chord's frame unless said) ==
  // Moves plan points into the chord's frame in place; origin and angle of
  // the frame out. Always true.
  static bool GetArc3PointParameter(CKelAreaCoord2D& points, CKelCoord2D* origin, double* angle);
  static CKelCoord2D GetCenterPoint(const CKelAreaCoord2D& points);
  static void GetArcParameter(const CKelAreaCoord2D& points, double* r, double* theta, double* b, double* h);
  // The six parameters of the part; points it lacks stay at (0, 0).
  [[nodiscard]] GSErrCode GetParam(CKelAreaCoord2D& points) const;
  long long GetRadius(const CPlenimetraParam* param) const;
  long long GetBaseLength(const CPlenimetraParam* param) const;
  long long GetHeight(const CPlenimetraParam* param) const;
  CAngleValue GetAngle(const CPlenimetraParam* param) const;

  // == Placing and rewriting ==
  // Points in plan [chord start, chord end, arc point]. A chord of no
  // direction, or an arc point within KelTol::ChordSide of the chord's
  // line, is refused with APIERR_CANCEL.
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelAreaCoord2D& local,
                         CKelCoord2D origin, double angle);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     CKelAreaCoord2D& local);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, CKelAreaCoord2D& local);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelAreaCoord2D& local, CKelCoord2D origin,
                        double angle);

private:
  struct Dims;
  static Dims Measure(const CPlenimetraParam* param, const CKelAreaCoord2D& local);
  Dims MeasurePart(const CPlenimetraParam* param) const;
};

// The chord by a point and a line, then the arc point with the arc through
// the cursor as rubber band; the arc point is the last cursor position.
class CAreaArc3PointTrace : public CKelAreaCoord2D {
public:
  CAreaArc3PointTrace();
  [[nodiscard]] GSErrCode Trace();
  static void RubberCallBackArc3Point(const API_RubberLineInfo* info);

  static CAreaArc3PointTrace* pAreaArc3Point;
};
