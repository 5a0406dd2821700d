#pragma once
// Table styles of the settings. Widths and heights are in text units of the
// table library part; pens are host pen indices.

#include "gs_unistring.h"

class CArchive;
class CFileArchive;

// One area-table style (figures, calculation elements, folders, the CSV
// room list). The formula column's width is also the line width at which
// formulas break automatically.
class CAreaListAttr {
public:
  CAreaListAttr() = default;
  // The styles differ only in the vertical gap: 1 for the figure table,
  // 10 for the others.
  explicit CAreaListAttr(int verticalGap) : m_GapV(verticalGap) {}

  bool operator==(const CAreaListAttr&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  int m_ColWidth1 = 3;    // matrix_colw1: mark column
  int m_ColWidth2 = 45;   // matrix_colw2: formula column
  int m_ColWidth3 = 12;   // matrix_colw3: area column
  int m_RowHeight = 2;    // matrix_rowh
  short m_FramePen = 4;   // matrix_pen
  short m_TextPen = 1;    // text_pen
  short m_MinusPen = 20;  // text_pen_minus: subtracted values
  bool m_bTitle = true;   // matrix_title_b
  bool m_bHeader = true;  // head_show
  bool m_bTotal = true;   // total_show
  double m_TextSize = 5.0;                       // text_size
  GS::UniString m_Font = u"ＭＳ ゴシック 日本語";  // text_font
  int m_GapH = 1;        // between tables placed side by side
  int m_GapV = 1;        // rows between tables placed one below the other
  int m_RowLimit = 100;  // rows of one table object
  bool m_bShowMark = true;  // show_mark
};

// The style of the total-area sheet, drawn with lines and texts.
class CAttributeTotalAreaParam {
public:
  bool operator==(const CAttributeTotalAreaParam&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  int m_ColWidth = 15;
  int m_RowHeight = 2;
  short m_TextPen = 1;
  short m_SecondPen = 1;  // kept with the style
  double m_TextSize = 5.0;
  short m_LinePen = 1;
  GS::UniString m_Font = u"ＭＳ ゴシック 日本語";
  int m_ColOffset = 2;
  int m_RowOffset = 1;  // in rows
};
