#include "FigureTrace.h"

#include "gs_unistring.h"
#include "host_interface.h"
#include "host_memory.h"

#include <cstring>

namespace figures {

namespace {

template <std::size_t N>
void SetPrompt(char (&field)[N], const char16_t* text)
{
  const GS::UniString::CStr bytes = GS::UniString(text).ToCStr(CC_Default);
  std::strncpy(field, bytes.Get(), N - 1);
  field[N - 1] = '\0';
}

// The rubber lines' drawing flag: the host's dashed feedback line.
constexpr Int32 kRubberFlag = 2;

}  // namespace

GSErrCode PickPoint(const char16_t* prompt, RubberLineInfoProc* callback, API_Coord3D* picked)
{
  API_GetPointType info;
  SetPrompt(info.prompt, prompt);
  const GSErrCode err = callback != nullptr ? ACAPI_Interface('IPOI', &info, callback)
                                            : ACAPI_Interface('IPOI', &info, nullptr);
  if (err == NoError)
    *picked = info.pos;
  return err;
}

GSErrCode PickLineEnd(const char16_t* prompt, const API_Coord3D& start, RubberLineInfoProc* callback,
                      API_Coord3D* end)
{
  API_GetLineType info;
  SetPrompt(info.prompt, prompt);
  info.startCoord = start;
  const GSErrCode err = callback != nullptr ? ACAPI_Interface('ILIN', &info, callback)
                                            : ACAPI_Interface('ILIN', &info, nullptr);
  if (err == NoError)
    *end = info.pos;
  return err;
}

GSErrCode PickArcEnd(const char16_t* prompt, const API_Coord3D& centre, const API_Coord3D& start,
                     API_Coord3D* startOut, API_Coord3D* end)
{
  API_GetArcType info;
  SetPrompt(info.prompt, prompt);
  info.origo = centre;
  info.startCoordGiven = true;
  info.startCoord = start;
  const GSErrCode err = ACAPI_Interface('IARC', &info, nullptr);
  if (err == NoError) {
    *startOut = info.startCoord;
    *end = info.pos;
  }
  return err;
}

GSErrCode TakeRectangle(const API_GetPolyType& poly, CKelAreaCoord2D& points)
{
  constexpr Int32 kClosedCorners = 5;
  if (poly.coords == nullptr || poly.nCoords != kClosedCorners ||
      BMGetHandleSize(reinterpret_cast<GSConstHandle>(poly.coords)) <
          static_cast<GSSize>((kClosedCorners + 1) * sizeof(API_Coord)))
    return APIERR_BADPARS;
  points.m_pt.resize(4);
  for (int i = 0; i < 4; ++i)
    points.m_pt[static_cast<std::size_t>(i)] = {(*poly.coords)[i + 1].x, (*poly.coords)[i + 1].y};
  points.SetArea();
  return NoError;
}

GSErrCode PickRectangle(const char16_t* prompt, const API_Coord3D& start, Int32 method, CKelAreaCoord2D& points)
{
  API_GetPolyType poly;
  SetPrompt(poly.prompt, prompt);
  poly.startCoord = start;
  poly.method = method;
  GSErrCode err = ACAPI_Interface('IPOL', &poly, nullptr);
  if (err == NoError)
    err = TakeRectangle(poly, points);
  BMKillHandle(reinterpret_cast<GSHandle*>(&poly.coords));
  BMKillHandle(reinterpret_cast<GSHandle*>(&poly.parts));
  BMKillHandle(reinterpret_cast<GSHandle*>(&poly.parcs));
  return err;
}

void DrawRubberLine(const CKelCoord2D& a, const CKelCoord2D& b, double z)
{
  API_RubberLineType line;
  line.c1 = {a.m_x, a.m_y, z};
  line.c2 = {b.m_x, b.m_y, z};
  line.drawFlags = kRubberFlag;
  (void)ACAPI_Interface('DRLI', &line, nullptr);  // feedback only: the pick goes on without it
}

void DrawRubberOutline(const std::vector<CKelCoord2D>& points, double z)
{
  for (std::size_t i = 0; i < points.size(); ++i)
    DrawRubberLine(points[i], points[(i + 1) % points.size()], z);
}

}  // namespace figures
