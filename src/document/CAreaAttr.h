#pragma once
// Drawing attributes of the figure kinds, kept in the settings. Each field
// feeds the library-part parameter whose name it bears (the _disp fields
// are on/off switches); pens and line types are host attribute indices,
// sizes and offsets in the part's own units. Equality compares every field,
// texts by content and doubles exactly (so a NaN is never equal).

#include "gs_unistring.h"

class CArchive;
class CFileArchive;

class CAreaTriangleAttr {
public:
  bool operator==(const CAreaTriangleAttr&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  GS::UniString m_area_in_type = u"なし";
  short m_area_in_pen = 1;
  short m_area_in_line = 1;
  GS::UniString m_area_perline_form = u"ﾀｲﾌﾟ2";
  short m_area_perline_pen = 20;
  short m_area_perline_line = 1;
  double m_area_perline_Size = 0.2;
  double m_area_symbol_x = 0;
  double m_area_symbol_y = 0;
  double m_size_b_x = 0;
  double m_size_b_y = 0;
  double m_size_p_x = 0;
  double m_size_p_y = 0;
  // When set, a triangle whose height foot is not strictly inside its base
  // has its picked points rotated on creation.
  bool m_bVertexOrder = false;
};

class CAreaRectAttr {
public:
  bool operator==(const CAreaRectAttr&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  GS::UniString m_area_in_type = u"×";
  short m_area_in_pen = 1;
  short m_area_in_line = 1;
  // Which sides carry a dimension text.
  bool m_area_size_f_t = false;
  bool m_area_size_f_b = true;
  bool m_area_size_f_l = false;
  bool m_area_size_f_r = true;
  double m_size_t_x = 0;
  double m_size_t_y = 0;
  double m_size_b_x = 0;
  double m_size_b_y = 0;
  double m_size_l_x = 0;
  double m_size_l_y = 0;
  double m_size_r_x = 0;
  double m_size_r_y = 0;
  double m_area_symbol_x = 0;
  double m_area_symbol_y = 0;
};

// Shared by the sector, the segment by centre and the arc through three
// points.
class CAreaArcAttr {
public:
  bool operator==(const CAreaArcAttr&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  bool m_area_fan_disp = true;
  short m_area_fan_pen = 1;
  short m_area_fan_line = 4;
  bool m_area_perline_disp = true;
  short m_area_perline_pen = 1;
  short m_area_perline_line = 1;
  bool m_area_angle_disp = true;
  short m_area_angle_pen = 1;
  short m_area_angle_line = 1;
  double m_area_symbol_x = 0;
  double m_area_symbol_y = 0;
  double m_size_b_x = 0;
  double m_size_b_y = 0;
  double m_size_r_x = 0;
  double m_size_r_y = 0;
  double m_size_a_x = 0;
  double m_size_a_y = 0;
  double m_size_p_x = 0;
  double m_size_p_y = 0;
};

class CAreaTrapezoidAttr {
public:
  bool operator==(const CAreaTrapezoidAttr&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  GS::UniString m_area_in_type = u"×";
  short m_area_in_pen = 1;
  short m_area_in_line = 1;
  GS::UniString m_area_perline_form = u"ﾀｲﾌﾟ2";
  short m_area_perline_pen = 20;
  short m_area_perline_line = 1;
  short m_area_perline_type = 1;
  double m_area_perline_Size = 0.2;
  double m_area_symbol_x = 0;
  double m_area_symbol_y = 0;
  double m_size_t_x = 0;
  double m_size_t_y = 0;
  double m_size_b_x = 0;
  double m_size_b_y = 0;
  double m_size_p_x = 0;
  double m_size_p_y = 0;
};

class CAreaCircleAttr {
public:
  bool operator==(const CAreaCircleAttr&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  bool m_area_fan_disp = true;
  short m_area_fan_pen = 1;
  short m_area_fan_line = 4;
  double m_area_symbol_x = 0;
  double m_area_symbol_y = 0;
  double m_size_r_x = 0;
  double m_size_r_y = 0;
};

class CAreaEllipseAttr {
public:
  bool operator==(const CAreaEllipseAttr&) const = default;

  // Stored forms: the settings block of the project record, and the
  // settings file (each field only while the file reports no error).
  void Serialize(CArchive& ar);
  void Write(CFileArchive& ar) const;
  void Read(CFileArchive& ar);

  bool m_area_fan_disp = true;
  short m_area_fan_pen = 1;
  short m_area_fan_line = 4;
  double m_area_symbol_x = 0;
  double m_area_symbol_y = 0;
  double m_size_rx_x = 0;
  double m_size_rx_y = 0;
  double m_size_ry_x = 0;
  double m_size_ry_y = 0;
};
