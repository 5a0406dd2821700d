#include "host_input.h"

#include "host_errors.h"
#include "host_memory.h"

#include <cmath>
#include <cstring>
#include <deque>
#include <optional>

namespace pln::host {
namespace {

struct Pick {
  API_Coord3D position;
  std::vector<API_Coord3D> cursorMoves;
};

struct InputState {
  std::deque<Pick> picks;
  std::vector<InputRequest> requests;
  std::vector<RubberDrawing> drawings;
  // The cursor position the running callback is handling, if any.
  std::optional<API_Coord3D> cursor;
};

InputState& State()
{
  static InputState state;
  return state;
}

GS::UniString PromptOf(const char (&prompt)[API_PromptLen])
{
  const std::size_t length = strnlen(prompt, API_PromptLen);
  return GS::UniString(std::string(prompt, length).c_str());
}

void Record(Int32 code, const char (&prompt)[API_PromptLen], RubberLineInfoProc* callback, Int32 method = 0)
{
  State().requests.push_back({code, PromptOf(prompt), callback != nullptr, method});
}

void Feed(RubberLineInfoProc* callback, const API_Coord3D& position)
{
  State().cursor = position;
  const API_RubberLineInfo info{position};
  callback(&info);
  State().cursor.reset();
}

// The next click, with the callback fed every cursor position and then the
// click itself; empty when the user cancelled.
std::optional<API_Coord3D> TakePick(RubberLineInfoProc* callback)
{
  auto& picks = State().picks;
  if (picks.empty())
    return std::nullopt;
  const Pick pick = picks.front();
  picks.pop_front();
  if (callback != nullptr) {
    for (const auto& move : pick.cursorMoves)
      Feed(callback, move);
    Feed(callback, pick.position);
  }
  return pick.position;
}

// A point or a line input: the one click answers the position.
template <typename Info>
GSErrCode AnswerOnePick(Int32 code, Info* info, RubberLineInfoProc* callback)
{
  if (info == nullptr)
    return APIERR_BADPARS;
  Record(code, info->prompt, callback);
  const auto pick = TakePick(callback);
  if (!pick)
    return APIERR_CANCEL;
  info->pos = *pick;
  return NoError;
}

template <typename T>
T** NewHandle(std::size_t count)
{
  return reinterpret_cast<T**>(BMAllocateHandle(static_cast<GSSize>(count * sizeof(T)), ALLOCATE_CLEAR, 0));
}

// Corners 1..4 of the rectangle and the closing repeat as entry 5.
GSErrCode AnswerRectangle(API_GetPolyType* info, const API_Coord (&corners)[4])
{
  auto coords = NewHandle<API_Coord>(6);
  auto parts = NewHandle<Int32>(2);
  if (coords == nullptr || parts == nullptr) {
    BMKillHandle(reinterpret_cast<GSHandle*>(&coords));
    BMKillHandle(reinterpret_cast<GSHandle*>(&parts));
    return APIERR_MEMFULL;
  }
  for (int i = 0; i < 4; ++i)
    (*coords)[i + 1] = corners[i];
  (*coords)[5] = corners[0];
  (*parts)[1] = 5;
  info->coords = coords;
  info->parts = parts;
  info->parcs = nullptr;
  info->nCoords = 5;
  info->nSubPolys = 1;
  info->nArcs = 0;
  return NoError;
}

// The side from s to p1, then across it by the signed distance of p2 from
// that side's line. A side of no length has no across: the rectangle is
// then flat.
void RotatedCorners(const API_Coord3D& s, const API_Coord3D& p1, const API_Coord3D& p2, API_Coord (&corners)[4])
{
  const double length = std::hypot(p1.x - s.x, p1.y - s.y);
  double nx = 0.0;
  double ny = 0.0;
  if (length > 0.0) {
    nx = -(p1.y - s.y) / length;
    ny = (p1.x - s.x) / length;
  }
  const double d = (p2.x - s.x) * nx + (p2.y - s.y) * ny;
  corners[0] = {s.x, s.y};
  corners[1] = {p1.x, p1.y};
  corners[2] = {p1.x + d * nx, p1.y + d * ny};
  corners[3] = {s.x + d * nx, s.y + d * ny};
}

}  // namespace

void QueuePick(const API_Coord3D& position, const std::vector<API_Coord3D>& cursorMoves)
{
  State().picks.push_back({position, cursorMoves});
}

std::size_t PendingPicks() { return State().picks.size(); }

const std::vector<InputRequest>& InputRequests() { return State().requests; }

const std::vector<RubberDrawing>& RubberDrawings() { return State().drawings; }

void ClearRubberDrawings() { State().drawings.clear(); }

}  // namespace pln::host

namespace pln::host::internal {

GSErrCode GetPoint(API_GetPointType* info, RubberLineInfoProc* callback)
{
  return AnswerOnePick('IPOI', info, callback);
}

GSErrCode GetLine(API_GetLineType* info, RubberLineInfoProc* callback) { return AnswerOnePick('ILIN', info, callback); }

GSErrCode GetArc(API_GetArcType* info, RubberLineInfoProc* callback)
{
  if (info == nullptr)
    return APIERR_BADPARS;
  Record('IARC', info->prompt, callback);
  if (!info->startCoordGiven) {
    const auto start = TakePick(callback);
    if (!start)
      return APIERR_CANCEL;
    info->startCoord = *start;
  }
  const auto end = TakePick(callback);
  if (!end)
    return APIERR_CANCEL;
  info->pos = *end;
  return NoError;
}

GSErrCode GetPoly(API_GetPolyType* info, RubberLineInfoProc* callback)
{
  if (info == nullptr)
    return APIERR_BADPARS;
  Record('IPOL', info->prompt, callback, info->method);
  if (info->method != 1 && info->method != 2)
    return APIERR_BADPARS;  // only the two rectangle modes are offered
  const API_Coord3D s = info->startCoord;
  const auto first = TakePick(callback);
  if (!first)
    return APIERR_CANCEL;
  API_Coord corners[4];
  if (info->method == 1) {
    const API_Coord3D q = *first;
    corners[0] = {s.x, s.y};
    corners[1] = {q.x, s.y};
    corners[2] = {q.x, q.y};
    corners[3] = {s.x, q.y};
    return AnswerRectangle(info, corners);
  }
  const auto second = TakePick(callback);
  if (!second)
    return APIERR_CANCEL;
  RotatedCorners(s, *first, *second, corners);
  return AnswerRectangle(info, corners);
}

GSErrCode DrawRubberLine(const API_RubberLineType* line)
{
  if (line == nullptr)
    return APIERR_BADPARS;
  const auto& cursor = State().cursor;
  State().drawings.push_back({false, *line, {}, cursor.has_value(), cursor.value_or(API_Coord3D{})});
  return NoError;
}

GSErrCode DrawRubberArc(const API_RubberArcType* arc)
{
  if (arc == nullptr)
    return APIERR_BADPARS;
  const auto& cursor = State().cursor;
  State().drawings.push_back({true, {}, *arc, cursor.has_value(), cursor.value_or(API_Coord3D{})});
  return NoError;
}

void ResetInput() { State() = {}; }

}  // namespace pln::host::internal
