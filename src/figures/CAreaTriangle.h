#pragma once
// The triangle figure: base x height / 2 from three picked vertices, placed
// as "TalvoSoftwareAreaTriangle" with the base along the part's x axis.
//
// Geometry held by the placed part: pos = p0 (start of the base), angle =
// direction p0 -> p1 (radians), A = the base |p0 p1|, B = the height (signed
// distance of p2 from the base, positive on its left), parameter "dx" = the
// foot of the height along the base from p0. Part frame vertices: (0, 0),
// (A, 0), (dx, B). Areas in 1e-8 m2 from rounded lengths (1e-4 m units).

#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"
#include "host_input.h"

class CAreaTriangle : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaTriangle";
  static constexpr int kBreakFlags = 2;

  CAreaTriangle(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
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
  double GetShapeArea() const override;

  // == Geometry ==
  // Base, height, foot and angle from the first three points; true when the
  // foot lies strictly inside the base. A base without direction gives
  // zeros and false.
  static bool GetTriangleParameter(const CKelAreaCoord2D& points, double* base, double* height, double* dx,
                                   double* angle);
  // (p1, p2, p0): the next edge becomes the base.
  static CKelAreaCoord2D Rotation(const CKelAreaCoord2D& points);
  // The three vertices in plan; empty when the element or "dx" cannot be read.
  CKelAreaCoord2D GetCoord() override;
  [[nodiscard]] GSErrCode GetParam(double* dx) const;
  long long GetLength(const CPlenimetraParam* param) const;
  long long GetHeight(const CPlenimetraParam* param) const;

  // == Placing and rewriting ==
  // With the settings' vertex-order flag, the first of the three orders
  // whose foot lies inside the base; none: APIERR_CANCEL. A base of no
  // direction is refused with APIERR_CANCEL.
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D p0, double base,
                         double height, double dx, double angle);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     double base, double height, double dx);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, double base, double height, double dx);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D p0, double base, double height,
                        double dx, double angle);
  // Makes the next edge the base of the placed triangle (keeping its look).
  [[nodiscard]] GSErrCode Rotation(CPlenimetraParam* param);
};

// Three vertices: a point, a line from it, a point with the outline as
// rubber band; made counter-clockwise, so the height is positive.
class CAreaTriangleTrace : public CKelAreaCoord2D {
public:
  [[nodiscard]] GSErrCode Trace();
  static void RubberCallBackTriangle(const API_RubberLineInfo* info);

  static CAreaTriangleTrace* pAreaTriangle;  // the input being traced
};
