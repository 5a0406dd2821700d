#pragma once
// The choice tables of the figure-style pages: each pairs the texts that a
// figure's library part receives with the codes their pop-ups carry as user
// data. The figure styles keep the inner mark and the per-line form as the
// chosen text, the per-line position as its code.

#include "gs_unistring.h"

#include <vector>

class CEnvChoice {
public:
  GS::UniString m_Text;
  int m_Code = 0;
};

class CEnvChoiceArray : public std::vector<CEnvChoice> {
public:
  // The first entry with the text or the code; null when none has it.
  const CEnvChoice* SearchText(const GS::UniString& text) const;
  const CEnvChoice* SearchCode(int code) const;
  // One pop-up entry per choice, in table order.
  void FillPopUp(short dialId, short item) const;
};

// Per-line forms: 0 "ﾀｲﾌﾟ1", 1 "ﾀｲﾌﾟ2", 2 "なし".
using CTriangleAreaPerlineForm = CEnvChoice;
class CTriangleAreaPerlineFormArray : public CEnvChoiceArray {
public:
  CTriangleAreaPerlineFormArray();
};
using CTrapezoidPerlineForm = CEnvChoice;
class CTrapezoidPerlineFormArray : public CEnvChoiceArray {
public:
  CTrapezoidPerlineFormArray();
};

// Inner marks: 0 "×", 1 "／", 2 "＼", 3 "なし".
using CTriangleAreaInType = CEnvChoice;
class CTriangleAreaInTypeArray : public CEnvChoiceArray {
public:
  CTriangleAreaInTypeArray();
};
using CRectAreaInType = CEnvChoice;
class CRectAreaInTypeArray : public CEnvChoiceArray {
public:
  CRectAreaInTypeArray();
};
using CTrapezoidAreaInType = CEnvChoice;
class CTrapezoidAreaInTypeArray : public CEnvChoiceArray {
public:
  CTrapezoidAreaInTypeArray();
};

// Per-line positions: 1 "左", 2 "中", 3 "右".
using CTrapezoidPerlineType = CEnvChoice;
class CTrapezoidPerlineTypeArray : public CEnvChoiceArray {
public:
  CTrapezoidPerlineTypeArray();
};
