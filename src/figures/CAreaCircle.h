#pragma once
// The circle figure: r x r x pi, placed as "TalvoSoftwareAreaCircle" with
// the centre as pos and the radius as the parameter "ArcRadius" (m), which
// every measurement reads back from the part. pi is the active preset's
// fraction; the area is evaluated in doubles and truncated once (1e-8 m2).

#include "CArea1Object.h"
#include "CKelAreaCoord2D.h"
#include "host_input.h"

class CAreaCircle : public CArea1Object {
public:
  static constexpr const char16_t* kPartName = u"TalvoSoftwareAreaCircle";
  static constexpr int kBreakFlags = 7;

  CAreaCircle(CPlenimetraParam* param, int code, CItemType1Table::ITEMTYPE mark,
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
  static bool GetCircleParameter(const CKelAreaCoord2D& points, double* radius);  // always true
  [[nodiscard]] GSErrCode GetParam(double* radius) const;
  // rl of the stored radius; 0 when it cannot be read or is not sound.
  long long GetRadius(const CPlenimetraParam* param) const;

  // == Placing and rewriting (a radius of 0 is placed) ==
  [[nodiscard]] GSErrCode Create(CPlenimetraParam* param, CKelAreaCoord2D points, short floor) override;
  // From a document dump's values: sizes, anchor, rotation, shape values.
  [[nodiscard]] GSErrCode CreateFromDump(CPlenimetraParam* param, short floor, short layer, const CDumpFigure& values) override;
  [[nodiscard]] GSErrCode CreateObject(CPlenimetraParam* param, short floor, short layer, CKelCoord2D anchor, double radius);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, API_ParamOwnerType& owner, API_GetParamsType& result, bool keepLook,
                     double radius);
  [[nodiscard]] GSErrCode SetParam(CPlenimetraParam* param, bool keepLook, double radius);
  [[nodiscard]] GSErrCode ChangeParam(CPlenimetraParam* param, bool keepLook, CKelCoord2D anchor, double radius);
};

// The centre, then a point on the circle with a rubber circle through the
// cursor; the point is the last cursor position reported.
class CAreaCircleTrace : public CKelAreaCoord2D {
public:
  [[nodiscard]] GSErrCode Trace();
  static void RubberCallBackCircle(const API_RubberLineInfo* info);

  static CAreaCircleTrace* pAreaCircle;
};
