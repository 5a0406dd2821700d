#pragma once
#include <utility>
// The rectangle figure, axis-parallel or rotated: a x b, placed as
// "TalvoSoftwareAreaRect". Geometry held by the placed part: pos = the
// first corner p0, angle = direction p0 -> p1 (radians), A = |p0 p1|,
// B = |p0 p3|; part frame corners (0, 0), (A, 0), (A, B), (0, B). A stored
// figure of the old rectangle kind (TYPE 2) is built as this class.

#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"

class CAreaRectSlant : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaRect";
  static constexpr int kBreakFlags = 1;

  CAreaRectSlant(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
                 CItemType2Table::ITEMTYPE numbering, int itemNo);

  // == Operations of every kind (the user-data record is the common one) ==
  using CArea1Object::CopyObject;
  using CArea1Object::GetEquation;
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook) override;
  [[nodiscard]] GSErrCode CopyObject(CPlenimetraParam* param, short floor) override;
  bool CheckStringParameter(CPlenimetraParam* param) override;
  GS::UniString GetEquation(const CPlenimetraParam* param, bool breakAll, double width) override;
  long long GetOrgArea(const CPlenimetraParam* param) const override;
  double GetShapeArea() const override;

  // == Geometry ==
  // a = |p0 p1|, b = |p0 p3|, angle of p0 -> p1; the corners counter-
  // clockwise from the anchor. Always true.
  static bool GetRectSlantParameter(const CKelAreaCoord2D& points, double* a, double* b, double* angle);
  // The four corners from the record as it stands, without a host call.
  CKelAreaCoord2D GetCoord() const;
  CKelAreaCoord2D GetCoord() override { return std::as_const(*this).GetCoord(); }
  long long GetLength(const CPlenimetraParam* param) const;
  long long GetHeight(const CPlenimetraParam* param) const;

  // == Placing and rewriting ==
  // A first side of no direction is refused with APIERR_CANCEL.
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D p0, double a, double b,
                         double angle);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     double a, double b);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, double a, double b);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D p0, double a, double b, double angle);
};

// Axis-parallel rectangle: the first corner, then the host's rectangle.
class CAreaRectTrace : public CKelAreaCoord2D {
public:
  [[nodiscard]] GSErrCode Trace();
};

// Rotated rectangle: the first corner, then the host's rotated rectangle.
class CAreaRectSlantTrace : public CKelAreaCoord2D {
public:
  [[nodiscard]] GSErrCode Trace();
};
