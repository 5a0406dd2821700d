#include "CEnvParam.h"

#include "CPlenimetraParam.h"

// Every member is a value, so the member-wise copies own everything they
// hold; the patterns copy whole documents.
CEnvParam::CEnvParam() = default;
CEnvParam::CEnvParam(const CEnvParam& other) = default;
CEnvParam::CEnvParam(CEnvParam&& other) noexcept = default;
CEnvParam& CEnvParam::operator=(const CEnvParam& other) = default;
CEnvParam& CEnvParam::operator=(CEnvParam&& other) noexcept = default;
CEnvParam::~CEnvParam() = default;

bool CEnvParam::operator==(const CEnvParam& other) const
{
  const bool scalars = m_Area1Layer == other.m_Area1Layer && m_ListLayer == other.m_ListLayer &&
                       m_BlankDecimals == other.m_BlankDecimals &&
                       m_LengthTenthDigit == other.m_LengthTenthDigit &&
                       m_NumberFillGaps == other.m_NumberFillGaps && m_LengthComma == other.m_LengthComma &&
                       m_AreaComma == other.m_AreaComma && m_SnapType == other.m_SnapType &&
                       m_FillPenOff == other.m_FillPenOff && m_TuboFactor == other.m_TuboFactor;
  const bool figures = m_TriangleAttr == other.m_TriangleAttr && m_RectAttr == other.m_RectAttr &&
                       m_ArcAttr == other.m_ArcAttr && m_TrapezoidAttr == other.m_TrapezoidAttr &&
                       m_CircleAttr == other.m_CircleAttr && m_EllipseAttr == other.m_EllipseAttr;
  const bool tables = m_ListAttr1 == other.m_ListAttr1 && m_ListAttr2 == other.m_ListAttr2 &&
                      m_ListAttr3 == other.m_ListAttr3 && m_ListAttr4 == other.m_ListAttr4 &&
                      m_TotalAreaParam == other.m_TotalAreaParam;
  return scalars && m_RoundTypeParamArray == other.m_RoundTypeParamArray && figures &&
         static_cast<const std::vector<CAttributeCommonParam>&>(m_AttributeCommonParamArray) ==
             static_cast<const std::vector<CAttributeCommonParam>&>(other.m_AttributeCommonParamArray) &&
         tables && m_PatternArray == other.m_PatternArray && m_TreeShowItem == other.m_TreeShowItem;
}
