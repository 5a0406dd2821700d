#pragma once
// The ellipse figure: a x b x pi, placed as "TalvoSoftwareAreaEllipse".
// Geometry held by the placed part: pos = the centre, angle = direction of
// the X axis (radians), parameters "ArcRadiusX" = a and "ArcRadiusY" = b
// (m); the record's A and B are 1 m and never change.

#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"
#include "host_input.h"

class CAreaEllipse : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaEllipse";
  static constexpr int kBreakFlags = 7;

  CAreaEllipse(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
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

  // == Geometry ==
  // a = |p0 p1|, b = distance of p2 from the X axis, rotation of p0 -> p1.
  static bool GetEllipseParameter(const CKelAreaCoord2D& points, double* radiusX, double* radiusY,
                                  double* rotation);
  [[nodiscard]] GSErrCode GetParam(double* radiusX, double* radiusY) const;
  long long GetRadiusX(const CPlenimetraParam* param) const;
  long long GetRadiusY(const CPlenimetraParam* param) const;

  // == Placing and rewriting ==
  // An X vertex on the centre is refused with APIERR_CANCEL; b = 0 is placed.
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D centre, double radiusX,
                         double radiusY, double rotation);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     double radiusX, double radiusY);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, double radiusX, double radiusY);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D centre, double radiusX, double radiusY,
                        double rotation);

private:
  // rl(a), rl(b) of one reading; zeros when unreadable or not sound.
  std::pair<long long, long long> Measure(const CPlenimetraParam* param) const;
};

// The centre, an X-axis vertex, then a point fixing b with the X diameter
// and (off the axis) the Y diameter as rubber lines.
class CAreaEllipseTrace : public CKelAreaCoord2D {
public:
  CAreaEllipseTrace();
  [[nodiscard]] GSErrCode Trace();
  static void RubberCallBackEllipse(const API_RubberLineInfo* info);

  static CAreaEllipseTrace* pAreaEllipse;
};
