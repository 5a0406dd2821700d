#pragma once
// The records of the document dump that do not live in the document: the
// project's zones and the placement of every figure's library part. The
// dump reader parses them whole before the project is touched; importing
// then recreates the zones and places the figures from them.
//
// Zone: GUID text, short story, int layer, int point count n, int arc
// count, int contour count, four doubles (stamp x, stamp y, room height,
// bottom offset), name, points 0..n (x, y), contour ends 0..contours,
// arcs (begin, end, angle). Figure: kind (never 0: 0 ends the list), layer,
// short story, A, B, x, y, angle, code, sort index, number, mark,
// numbering, rounding, break marks, automatic-area link, automatic breaks,
// then the kind's shape values (CDumpFigure::ShapeNames).

#include "CArea1Object.h"
#include "CAutoAreaParam.h"
#include "CCrMark.h"
#include "CKelCoord.h"
#include "gs_guid.h"
#include "gs_unistring.h"
#include "host_api_types.h"

#include <vector>

class CArchive;

// One zone of the project.
class CDumpZone {
public:
  bool operator==(const CDumpZone&) const = default;

  // Throws the archive's unsigned int (kPastEnd) for a count the bytes
  // left cannot carry, contour ends that do not close the polygon or arc
  // indexes outside it; the writer refuses what the reader would refuse.
  // Reading a null GUID reads nothing more: it ends the list (false).
  [[nodiscard]] bool Serialize(CArchive& ar);
  // Whether the polygon is one the host and the reader accept: ends rising
  // from 0 to n, each contour at least a closed triangle, arcs inside.
  bool IsSound() const;

  // From a zone element and its memo; false when it cannot be read, with
  // the host's error in hostError when the host refused (else NoError: a
  // shape the dump cannot hold).
  [[nodiscard]] static bool FromElement(const API_Guid& guid, CDumpZone& zone, GSErrCode* hostError = nullptr);
  // The zone recreated from the host's default zone; the host's error. The
  // new zone's GUID goes to created when given.
  [[nodiscard]] GSErrCode Create(API_Guid* created = nullptr) const;

  GS::Guid m_Guid;
  short m_Story = 0;
  int m_Layer = 0;
  double m_StampX = 0.0;
  double m_StampY = 0.0;
  double m_Height = 0.0;
  double m_Offset = 0.0;
  GS::UniString m_Name;
  std::vector<API_Coord> m_Coords;  // index 0 unused by the host, stored all the same
  std::vector<Int32> m_Ends;        // 0, then each contour's last point index
  std::vector<API_PolyArc> m_Arcs;
};

// One placed figure's part.
class CDumpFigure {
public:
  bool operator==(const CDumpFigure&) const = default;

  // The parameter names of the kind's shape values, in stored order; a
  // kind without a placed part has none.
  static std::vector<const char*> ShapeNames(CArea1Object::TYPE type);
  // Angles travel in degrees; their parameters are radians.
  static bool IsAngleName(const char* name);

  // Reading a kind of 0 reads nothing more: it ends the list (false). A
  // kind outside 1..9, a refused count or an invalid code or number throws
  // the archive's unsigned int.
  [[nodiscard]] bool Serialize(CArchive& ar);
  // From a figure record and its placed part; shape values the part lacks
  // are 0.
  static CDumpFigure FromFigure(const CArea1Object& figure);
  // The anchor, and shape value i (0 when the kind stores fewer).
  CKelCoord2D Anchor() const { return CKelCoord2D(m_X, m_Y); }
  double Shape(std::size_t i) const { return i < m_Shape.size() ? m_Shape[i] : 0.0; }
  // The figure record takes the stored mark, numbering, number, sort
  // index, rounding, break marks, automatic-area link and automatic breaks.
  void PutInto(CArea1Object& figure) const;

  int m_Type = 0;
  int m_Layer = 0;
  short m_Story = 0;
  double m_A = 0.0;
  double m_B = 0.0;
  double m_X = 0.0;
  double m_Y = 0.0;
  double m_Angle = 0.0;
  int m_Code = 0;
  int m_SortIndex = 0;
  int m_No = 0;
  int m_ItemType1 = 0;
  int m_ItemType2 = 0;
  int m_RoundType = 0;
  CCrMarkArray m_Cr;
  CAutoAreaParamCodeList m_AutoArea;
  bool m_bAutoCr = true;
  std::vector<double> m_Shape;
};
