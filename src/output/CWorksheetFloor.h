#pragma once
// The worksheets of one floor, one per calculation pattern, named by the
// pattern's name for the floor, a blank and the story's name. Each holds
// copies of the floor's figures (the area drawing) and, right of them, the
// area tables: figure tables, folder and element tables of the pattern and,
// when asked for, one table per automatic area. A run first removes what an
// earlier one placed, so a second output replaces the first.
//
// Lengths on a worksheet are model metres: one text size of a table style
// is the worksheet's scale x the style's text size (mm) / 1000, one table
// line two text sizes. The three layouts step successive tables side by
// side (1), down at a fixed pitch (2) or down with a gap after each (3).

#include "CKelCoord.h"
#include "gs_unistring.h"
#include "host_api_types.h"
#include "host_libpart.h"

#include <functional>
#include <optional>

class CArea2ObjectFloor;
class CAreaTree;
class CDlgProgress;
class CFloorParam;
class CPlenimetraParam;
class WorksheetReplacement;

class CWorksheetFloor {
public:
  // With a replacement, the sheets join an output that replaces all its
  // sheets at once; without, each sheet is replaced on its own.
  explicit CWorksheetFloor(CPlenimetraParam* param, WorksheetReplacement* replacement = nullptr)
      : m_pParam(param), m_pReplacement(replacement)
  {
  }

  // == Sheets ==
  // "<name> <story name>"; a story without a name is "1階" from story 0
  // up and "B1階" for story -1 down.
  static void GetSheetName(GS::UniString& name, short story);
  // The worksheet of the pattern name on the story; nothing when none.
  [[nodiscard]] static GSErrCode GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name, short story);
  [[nodiscard]] static GSErrCode CreateDatabase(API_DatabaseUnId& created, GS::UniString name, short story);

  // == Output ==
  // Every pattern the floor calculates and outputs gets its sheet, filled
  // as one undoable step "メンセラ[出力]" that replaces the earlier output
  // whole or, cancelled or failed, leaves it as it was; each pattern
  // becomes the current one in turn. The first error is returned; the
  // other patterns still run, unless the user cancelled.
  [[nodiscard]] GSErrCode DoCreate(CDlgProgress& progress, CFloorParam* floor);
  // Draws the content of the current sheet (beside the earlier output).
  [[nodiscard]] GSErrCode Create(CFloorParam* floor, CDlgProgress& progress);
  // The earlier output on the current sheet: tagged objects, every line
  // and text, every object of the figure parts. A failed gathering is
  // returned.
  [[nodiscard]] static GSErrCode GatherOutput(GS::Array<API_Guid>& guids);
  // Copies the figures on the pattern's layer onto the area-table layer;
  // point ends at the largest x and y of the copies' bounds, wherever the
  // drawing lies, and stays as given when nothing is copied.
  [[nodiscard]] GSErrCode DrawArea1Element(CFloorParam* floor, CDlgProgress& progress, CKelCoord2D& point);

  // == Tables (CWorksheetFloorTables.cpp) ==
  [[nodiscard]] GSErrCode DrawArea1List(CFloorParam* floor, CDlgProgress& progress, CKelCoord2D& point);
  [[nodiscard]] GSErrCode DrawArea2(CFloorParam* floor, CDlgProgress& progress, CKelCoord2D& point);
  [[nodiscard]] GSErrCode DrawAutoArea(CFloorParam* floor, CDlgProgress& progress, CKelCoord2D& point);
  [[nodiscard]] GSErrCode OutputArea4(CFloorParam* floor, CAreaTree* node, CDlgProgress& progress, CKelCoord2D& cursor,
                        double scale);
  [[nodiscard]] GSErrCode OutputArea2(CFloorParam* floor, CAreaTree* node, CDlgProgress& progress, CKelCoord2D& cursor,
                        double scale);
  // One automatic-area table: rows from entry *start, at most maxRows (none
  // below 1); the last page ends in the total row. *start and *lines
  // advance as the rows are written.
  [[nodiscard]] GSErrCode SetParam(const GS::UniString& title, const CArea2ObjectFloor& record, int* start, int maxRows,
                     int* lines, API_ParamOwnerType& owner, API_GetParamsType& params);
  [[nodiscard]] GSErrCode CreateObject2(const GS::UniString& title, const CArea2ObjectFloor& record, short layer,
                          CKelCoord2D point, int* start, int maxRows, int* lines);
  // Places the pages of a list of count rows from the top at `at` down:
  // page(at, &start, &lines) writes one table from row start, moves start
  // past the rows it wrote and adds the lines it took; `at` then steps down
  // by those lines and gapLines rows of rowHeight. An empty list places no
  // page unless emptyPage. A page that takes no row ends the paging.
  using PageWriter = std::function<GSErrCode(CKelCoord2D at, int* start, int* lines)>;
  [[nodiscard]] static GSErrCode PageRows(int count, bool emptyPage, double rowHeight, int gapLines, CKelCoord2D& at,
                            const PageWriter& page);

  // == Teamwork ==
  // The output elements of every pattern's worksheet of the story.
  [[nodiscard]] GSErrCode TeamworkReceive(short story);
  [[nodiscard]] GSErrCode TeamworkRelease(short story);
  bool GetTeamworkStatus(short story);

private:
  [[nodiscard]] GSErrCode CreatePatternSheet(CFloorParam* floor, CDlgProgress& progress);

  CPlenimetraParam* m_pParam;
  WorksheetReplacement* m_pReplacement;
};
