#pragma once
#include <utility>
// The trapezoid figure: (top + bottom) x height / 2, placed as
// "TalvoSoftwareAreaTrapezoid". Geometry held by the placed part: pos = p0,
// angle = direction of the base p0 -> p1 (radians), A = the bottom |p0 p1|,
// B = the height, parameters "dx" and "dx2" = the x in the base frame of the
// top-side ends p3 and p2. Base-frame corners (0, 0), (A, 0), (dx2, B),
// (dx, B); the top is dx2 - dx, rounded as one length.

#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"
#include "host_input.h"

class CAreaTrapezoid : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaTrapezoid";
  static constexpr int kBreakFlags = 3;

  CAreaTrapezoid(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
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
  // From the first four points; always true (a base without direction
  // gives zeros).
  static bool GetTrapezoidParameter(const CKelAreaCoord2D& points, double* bottom, double* height, double* dx,
                                    double* dx2, double* angle);
  [[nodiscard]] GSErrCode GetParam(double* dx, double* dx2) const;
  // Corners in plan; empty when "dx" and "dx2" cannot be read.
  CKelAreaCoord2D GetCoord() const;
  CKelAreaCoord2D GetCoord() override { return std::as_const(*this).GetCoord(); }
  long long GetLength(const CPlenimetraParam* param) const;   // bottom
  long long GetHeight(const CPlenimetraParam* param) const;
  long long GetLength2(const CPlenimetraParam* param) const;  // top, rl(dx2 - dx)

  // == Placing and rewriting ==
  // A base of no direction is refused with APIERR_CANCEL.
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D anchor, double bottom,
                         double height, double dx, double dx2, double angle);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     double bottom, double height, double dx, double dx2);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, double bottom, double height, double dx, double dx2);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D anchor, double bottom, double height,
                        double dx, double dx2, double angle);
  // Makes the top side the base; the area is unchanged.
  [[nodiscard]] GSErrCode Rotation(CPlenimetraParam* param);

private:
  struct Dims;
  Dims Measure(const CPlenimetraParam* param) const;
};

// Four picks: the base, one end of the top, the other end forced onto the
// parallel through it; the top made to run against the base, the outline
// counter-clockwise.
class CAreaTrapezoidTrace : public CKelAreaCoord2D {
public:
  [[nodiscard]] GSErrCode Trace();
  static void RubberCallBackButtomLine(const API_RubberLineInfo* info);
  static void RubberCallBackTrapezoid(const API_RubberLineInfo* info);
  // Swaps p2 and p3 when p3 lies ahead of p2 along the base.
  void FixTopOrder();

  static CAreaTrapezoidTrace* pAreaTrapezoid;
};
