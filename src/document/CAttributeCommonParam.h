#pragma once
// The drawing attributes shared by all figures of one (mark shape,
// numbering style) pair: each figure kind writes its row into the library
// part's parameters named beside each field.

#include "CodeTables.h"
#include "gs_unistring.h"

class CArchive;
class CFileArchive;

#include <vector>

class CAttributeCommonParam {
public:
  CAttributeCommonParam() = default;
  CAttributeCommonParam(CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering);

  bool operator==(const CAttributeCommonParam&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  CItemType1Table::ITEMTYPE m_ItemType1 = CItemType1Table::ITEMTYPE(1);  // key: mark shape
  CItemType2Table::ITEMTYPE m_ItemType2 = CItemType2Table::ITEMTYPE(1);  // key: numbering style
  short m_SymbolPen = 1;                                                 // area_symbol_pen
  GS::UniString m_SymbolFont = u"ＭＳ ゴシック 日本語";                  // area_symbol_font
  double m_SymbolSize = 0.5;                                             // area_symbol_size
  bool m_bSizeFlag = true;                                               // area_size_f
  double m_DimSize = 0.5;                                                // area_dim_size
  short m_Fill = 65;                                                     // area_fill
  short m_ContPen = 1;                                                   // area_cont_pen and line pens
  short m_FillPen = 19;                                                  // area_fill_pen
  short m_FillBackPen = 0;                                               // area_fill_back_pen
};

// At most one row per pair, because rows are only ever made by Search.
class CAttributeCommonParamArray : public std::vector<CAttributeCommonParam> {
public:
  // Stored forms: int count, then the rows.
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);
  // The row of the pair; when there is none, a default row with these keys
  // is appended first. Never null; the pointer lasts until the next append.
  CAttributeCommonParam* Search(CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering);
};
