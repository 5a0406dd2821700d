#pragma once
// Interactive input through ACAPI_Interface: 'IPOI' a point, 'ILIN' the end
// of a line from a given start, 'IARC' an arc about a given centre, 'IPOL'
// a rectangle; 'DRLI' and 'DRAR' draw rubber lines and arcs from the
// rubber-band callback while the cursor moves.
//
// Headless: each request takes the next queued pick. A pick is the clicked
// position and the cursor positions that came before it; a request with a
// callback calls it once per cursor position and once more with the click.
// An empty queue is the user pressing Escape: APIERR_CANCEL.
// Coordinates are metres in the current database.

#include "gs_unistring.h"
#include "host_api_types.h"
#include "host_types.h"

#include <vector>

constexpr int API_PromptLen = 256;

// The cursor, as the rubber-band callback receives it.
struct API_RubberLineInfo {
  API_Coord3D actCoord;
};

using RubberLineInfoProc = void(const API_RubberLineInfo* info);

// Prompts are 8-bit texts in the host's default character code.
struct API_GetPointType {
  char prompt[API_PromptLen] = {};
  API_Coord3D pos;  // out: the clicked point
};

struct API_GetLineType {
  char prompt[API_PromptLen] = {};
  API_Coord3D startCoord;  // in: where the line starts
  API_Coord3D pos;         // out: its end
};

struct API_GetArcType {
  char prompt[API_PromptLen] = {};
  API_Coord3D origo;  // in: the centre
  bool startCoordGiven = false;
  API_Coord3D startCoord;  // in when given, else out (a pick of its own)
  API_Coord3D pos;         // out: the end point
};

// Rectangle input from startCoord: method 1 an axis-parallel rectangle to
// the opposite corner (one pick); method 2 a rotated one, the second corner
// then a point fixing the width (two picks). The answer is one closed
// contour in handles the caller releases: coords 1-based (nCoords + 1
// entries, the last repeating the first), parts {0, nCoords}, no arcs.
struct API_GetPolyType {
  char prompt[API_PromptLen] = {};
  API_Coord3D startCoord;
  Int32 method = 0;
  API_Coord** coords = nullptr;
  Int32** parts = nullptr;
  API_PolyArc** parcs = nullptr;
  Int32 nCoords = 0;
  Int32 nSubPolys = 0;
  Int32 nArcs = 0;
};

struct API_RubberLineType {
  API_Coord3D c1;
  API_Coord3D c2;
  Int32 drawFlags = 0;  // how the host draws it; recorded as given
};

// form 0: centre, radius, main-axis angle, axis ratio, begin and end
// angles; form 1: centre, begin and end points, negArc choosing the
// clockwise way round.
struct API_RubberArcType {
  API_Coord3D origC;
  Int32 drawFlags = 0;
  Int32 form = 0;
  double r = 0.0;
  double angle = 0.0;
  double ratio = 1.0;
  double begAng = 0.0;
  double endAng = 0.0;
  API_Coord3D begC;
  API_Coord3D endC;
  bool negArc = false;
};

namespace pln::host {

// The user's next click, after moving the cursor over the given positions.
void QueuePick(const API_Coord3D& position, const std::vector<API_Coord3D>& cursorMoves = {});
std::size_t PendingPicks();

// Every input request since the last reset, in order.
struct InputRequest {
  Int32 code = 0;  // 'IPOI', 'ILIN', 'IARC' or 'IPOL'
  GS::UniString prompt;
  bool withCallback = false;
  Int32 method = 0;  // 'IPOL' only
};
const std::vector<InputRequest>& InputRequests();

// Every rubber line and arc drawn since the last reset. cursor is the
// position the callback was handling, duringInput false for a drawing made
// outside any callback.
struct RubberDrawing {
  bool isArc = false;
  API_RubberLineType line;
  API_RubberArcType arc;
  bool duringInput = false;
  API_Coord3D cursor;
};
const std::vector<RubberDrawing>& RubberDrawings();
void ClearRubberDrawings();

}  // namespace pln::host

namespace pln::host::internal {
[[nodiscard]] GSErrCode GetPoint(API_GetPointType* info, RubberLineInfoProc* callback);
[[nodiscard]] GSErrCode GetLine(API_GetLineType* info, RubberLineInfoProc* callback);
[[nodiscard]] GSErrCode GetArc(API_GetArcType* info, RubberLineInfoProc* callback);
[[nodiscard]] GSErrCode GetPoly(API_GetPolyType* info, RubberLineInfoProc* callback);
[[nodiscard]] GSErrCode DrawRubberLine(const API_RubberLineType* line);
[[nodiscard]] GSErrCode DrawRubberArc(const API_RubberArcType* arc);
void ResetInput();
}  // namespace pln::host::internal
