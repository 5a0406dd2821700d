#pragma once
// What the eight figure kinds share: writing a part's parameters one by one
// in a fixed order that stops at the first failure, reading a placed part's
// parameter list once per operation, the attribute row and colour of a
// figure, placing a new part, rewriting a placed one, the label check, the
// legacy fields of old user-data records and the guards every measurement
// passes through.
//
// Vocabulary: a figure's "part" is the library-part object placed for it;
// its "labels" are the length and angle texts (parameters ending in "_S")
// drawn on the part; "rl" is the document's length rounding (1e-4 m units).
// Lengths in metres, angles of the element record in radians, angle
// parameters handed to the host in degrees.

#include "CAngleValue.h"
#include "CArea1Object.h"
#include "CAttributeCommonParam.h"
#include "CKelAreaCoord2D.h"
#include "CPaiTable.h"
#include "CPlenimetraParam.h"
#include "gs_unistring.h"
#include "host_api_types.h"
#include "host_libpart.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CPlenimetraUserDataCore;

namespace figures {

// == Writing parameters ==
// Each Put writes one parameter of the list open for editing unless an
// earlier one failed; Result() is the first failure, 0 when none.
class ParamWriter {
public:
  ParamWriter& Put(const char* name, double value);
  ParamWriter& Put(const char* name, int value);
  ParamWriter& Put(const char* name, short value) { return Put(name, static_cast<int>(value)); }
  ParamWriter& Put(const char* name, bool value);
  ParamWriter& Put(const char* name, const GS::UniString& value);
  [[nodiscard]] GSErrCode Result() const { return m_Err; }

private:
  GSErrCode m_Err = NoError;
};

// The attribute row of the figure's mark and numbering style (appended to
// the settings when absent) and the colour of the calculation element that
// lists it (0: none or several).
struct FigureStyle {
  CAttributeCommonParam row;
  int colour = 0;

  // A pen: the colour when there is one, else the pen the settings give.
  short Pen(short fromSettings) const { return colour >= 1 ? static_cast<short>(colour) : fromSettings; }
};
FigureStyle StyleOf(CPlenimetraParam* param, const CArea1Object& figure);

// The row's seven look parameters, "area_symbol_font" to
// "area_fill_back_pen"; the fill pens are 0 when the settings switch them off.
void PutRowLook(ParamWriter& w, const CPlenimetraParam* param, const FigureStyle& style);

// The look both circular-segment kinds write from the shared arc block:
// the chord, radius and height label offsets set from the row's dimension
// text size (kept in the settings), the block's switches, line types and
// offsets, then the row's look.
void PutSegmentLook(ParamWriter& w, CPlenimetraParam* param, const FigureStyle& style);
// Their fan, per-line, angle, symbol and contour pens.
void PutSegmentPens(ParamWriter& w, const CAreaArcAttr& attr, const FigureStyle& style);

// Opens the owner's parameters, runs the writes, fetches the list into
// result on success and always closes the editing; the first failure.
[[nodiscard]] GSErrCode EditParams(const API_ParamOwnerType& owner, API_GetParamsType& result,
                     const std::function<GSErrCode()>& writes);

// == Reading a placed part ==
// The placed part's parameter list, read once and released with the object.
class PartParams {
public:
  PartParams() = default;
  ~PartParams();
  PartParams(const PartParams&) = delete;
  PartParams& operator=(const PartParams&) = delete;

  // The read's host error; on failure every lookup finds nothing.
  [[nodiscard]] GSErrCode Read(const API_Guid& guid);
  // The real value of the last parameter of that name.
  std::optional<double> Real(const char* name) const;
  // The text of the last parameter of that name, through the host's
  // default 8-bit code and back as the label check compares it; empty when
  // absent.
  GS::UniString Text(const char* name) const;

private:
  const API_AddParType* Last(const char* name) const;

  API_ElementMemo m_Memo;
  Int32 m_Count = 0;
};

// A length or coordinate a measurement may use: finite and within
// KelTol::FigureLengthMax. A part carrying anything else is measured as a
// zero figure, so no NaN or overflow reaches the rounding.
bool IsSoundLength(double metres);
// All of them sound.
bool AreSoundLengths(std::initializer_list<double> metres);
// A double-evaluated area truncated toward zero; 0 outside 64 bits.
long long TruncatedArea(double area);
// A formula width as the join takes it: truncated, held inside int (NaN 0).
int WidthOf(double width);
// The active preset's pi, or a new preset's (314/100) when none is named.
CPaiTable PiOf(const CPlenimetraParam* param);
// The formula terms of a sector, shared by the sector and both segments:
// r, ×r, ×pi, ×angle, ÷360.
std::vector<GS::UniString> SectorTerms(const CPlenimetraParam* param, long long radius, const CAngleValue& angle);

// == Placing and rewriting ==
// How a kind places its part.
enum class PlaceOrder {
  kDefaultsFirst,  // host defaults, sizes A and B, parameters, record
  kParamsFirst,    // parameters before the record is touched (round kinds)
};

struct Placement {
  const char16_t* partName;
  PlaceOrder order = PlaceOrder::kDefaultsFirst;
  std::optional<double> sizeA;  // the record's sizes after the defaults; none: kept
  std::optional<double> sizeB;
  short floor = 0;
  short layer = 0;
  CKelCoord2D anchor;
  double angle = 0;
};

// Places the figure's part: library part looked up, record filled, the
// parameters written by inner (keepLook false, in an open transaction on
// the part), the figure layer shown and unlocked, the element created, and
// on the floor plan its user data and observer. The first failure.
[[nodiscard]] GSErrCode PlaceFigure(CPlenimetraParam* param, CArea1Object& figure, const Placement& placement,
                      const std::function<GSErrCode()>& inner);

// New geometry of a placed figure: fields compared with the record and
// marked in the change only when they differ (A and B only when given).
struct PlacedGeometry {
  CKelCoord2D pos;
  double angle = 0;
  std::optional<double> sizeA;
  std::optional<double> sizeB;
};

// Rewrites the placed part: the parameters open on the element, the
// changed fields set, inner's writes (its result is not used), then the
// element changed with the new list while its layer is shown and unlocked.
// The opening's or the change's error.
[[nodiscard]] GSErrCode RewriteFigure(CArea1Object& figure, const PlacedGeometry& geometry, const std::function<GSErrCode()>& inner);

// Re-reads the figure's element into its record; the host's error.
[[nodiscard]] GSErrCode RereadElement(CArea1Object& figure);

// == Labels ==
// True at the first label whose stored text (empty when absent) differs
// from the expected one; false when all agree or the list cannot be read.
bool LabelsDiffer(const PartParams& part, GSErrCode readError,
                  std::initializer_list<std::pair<const char*, GS::UniString>> expected);

// == Old user data ==
// Whether a record being read carries the kind's legacy fields: version 1
// holding at least 5 bytes, or version 2.
bool HasLegacyFields(const CPlenimetraUserDataCore& data);
// Reads and drops count doubles of a legacy block.
void SkipLegacyDoubles(CPlenimetraUserDataCore& data, int count);

// == Points ==
// Whether two picks give a direction (they differ by the kernel's point
// equality).
bool HasDirection(const CKelCoord2D& a, const CKelCoord2D& b);
// The point p in the frame whose origin is o and whose x axis is (c, s).
CKelCoord2D ToLocal(const CKelCoord2D& p, const CKelCoord2D& o, double c, double s);
// The local offset (u, v) turned by angle a and moved to o.
CKelCoord2D ToPlan(double u, double v, const CKelCoord2D& o, double a);

// == Arcs by centre (sector and segment) ==
// Radius and sweep stored on a placed part: "ArcRadius" (m) and
// "ArcAngle" (radians in the stored list, degrees here). Outputs a missing
// parameter leaves alone.
[[nodiscard]] GSErrCode ReadArcParams(const API_Guid& guid, double* radius, double* degrees);
// The same as a measurement takes them: both 0 when the part cannot be read
// or carries a value that is not sound.
void ReadSoundArcParams(const API_Guid& guid, double* radius, double* degrees);
// A sector's area in m2 from its shape: the unrounded radius and the exact
// pi, as the host measures the element an automatic area was cut from.
double SectorShapeArea(double radius, double degrees);
// From [centre, start, end]: the start direction (radians), the radius and
// the counter-clockwise sweep to the end direction in degrees, [0, 360).
// A sweep within KelTol::HalfCircle of 0 or of a full turn is 0: an end
// picked on the start ray must not measure 360. False (zeros out) when the
// start or the end lies on the centre and so has no direction.
bool SweepFromPicks(const CKelAreaCoord2D& points, double* rotation, double* radius, double* degrees);

// A new figure of the same kind for a copy: code = ++ the document's figure
// counter (raised even when the copy then fails), same mark, numbering and
// item number; then the common copy.
template <class Kind>
[[nodiscard]] GSErrCode CopyAs(Kind& source, CPlenimetraParam* param, short floor)
{
  auto dest =
      std::make_shared<Kind>(param, ++param->m_LastArea1Code, source.m_ItemType1, source.m_ItemType2, source.m_No);
  return source.CArea1Object::CopyObject(param, floor, dest);
}

}  // namespace figures
