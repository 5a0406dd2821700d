#pragma once
#include <utility>
// The sector figure: r x r x pi x angle / 360, placed as
// "TalvoSoftwareAreaArc". Geometry held by the placed part: pos = the
// centre, angle = the start direction (radians), parameters "ArcRadius" (m)
// and "ArcAngle" (the counter-clockwise sweep; degrees written, radians
// stored). The sweep is rounded by the active preset's angle item; the area
// is evaluated in doubles and truncated once (1e-8 m2).

#include "CAngleValue.h"
#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"

class CAreaArc : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaArc";
  static constexpr int kBreakFlags = 4;

  CAreaArc(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering,
           int itemNo);

  // == Operations of every kind ==
  using CArea1Object::CopyObject;
  using CArea1Object::GetEquation;
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook) override;
  [[nodiscard]] GSErrCode CopyObject(CPlenimetraParam* param, short floor) override;
  void Serialize(CPlenimetraUserDataCore& data) override;
  bool CheckStringParameter(CPlenimetraParam* param) override;
  GS::UniString GetEquation(const CPlenimetraParam* param, bool breakAll, double width) override;
  long long GetOrgArea(const CPlenimetraParam* param) const override;
  double GetShapeArea() const override;

  // == Geometry ==
  // From [centre, start, end]: start direction, radius, sweep in degrees.
  static bool GetArcCenterParameter(const CKelAreaCoord2D& points, double* rotation, double* radius,
                                    double* angleDeg);
  [[nodiscard]] GSErrCode GetParam(double* radius, double* angleDeg) const;
  long long GetRadius(const CPlenimetraParam* param) const;
  CAngleValue GetAngle(const CPlenimetraParam* param) const;
  // [centre, start, end] from the record as it stands; empty when unreadable.
  CKelAreaCoord2D GetCoord() const;
  CKelAreaCoord2D GetCoord() override { return std::as_const(*this).GetCoord(); }

  // == Placing and rewriting ==
  // A start or end on the centre is refused with APIERR_CANCEL.
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D centre, double rotation,
                         double radius, double angleDeg);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     double radius, double angleDeg);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, double radius, double angleDeg);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D centre, double rotation, double radius,
                        double angleDeg);

private:
  struct Dims;
  Dims Measure(const CPlenimetraParam* param) const;
};

// The centre, the start by a line from it, the end by the host's arc input.
class CAreaArcTrace : public CKelAreaCoord2D {
public:
  [[nodiscard]] GSErrCode Trace();
};

// Shared by the sector and the segment: the three picks of an arc about
// its centre; points [centre, start, end].
[[nodiscard]] GSErrCode TraceArcByCentre(CKelAreaCoord2D& points);
