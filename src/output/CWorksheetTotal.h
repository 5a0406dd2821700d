#pragma once
// The building-area summary worksheet of each calculation pattern, named
// by the pattern's name and " 建物面積表", drawn as lines and texts tagged
// as output. Each top-level subtree of the pattern gets a total table (a
// header of its nodes over as many rows as the tree is deep, one row per
// calculated floor from the top story down, "合計" and, with the tsubo
// switch, "合計(坪)"); then every node gets a two-column table of its own,
// all in one row. Each table is one element group.
//
// Dimensions: d = scale x text size / 1000 (one text height, metres); a
// column is W = column width x d, a row H = row height x d. Value texts
// of one table line up their decimal points: a text with q decimals of
// the table's widest Q sits (q - Q) x d / 2 right of its column's edge.

#include "CKelCoord.h"
#include "gs_containers.h"
#include "gs_unistring.h"
#include "host_api_types.h"

#include <optional>

class CAreaTreeIndent;
class CAreaTreeIndentArray;
class CDlgProgress;
class CKelProgressCore;
class CMyUserDataCore;
class CPlenimetraParam;
class WorksheetReplacement;

class CWorksheetTotal {
public:
  // With a replacement, the sheets join an output that replaces all its
  // sheets at once; without, each sheet is replaced on its own.
  explicit CWorksheetTotal(CPlenimetraParam* param, WorksheetReplacement* replacement = nullptr)
      : m_pParam(param), m_pReplacement(replacement)
  {
  }

  static void GetSheetName(GS::UniString& name) { name = name + u" 建物面積表"; }
  [[nodiscard]] static GSErrCode GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name);
  [[nodiscard]] static GSErrCode CreateDatabase(API_DatabaseUnId& created, GS::UniString name);

  // Every pattern not left out of the summary, each as the current pattern
  // in turn (the caller's current pattern comes back) and as one undoable
  // step that replaces the sheet's earlier output whole or, cancelled or
  // failed, leaves it as it was. The first error; the other patterns still
  // run, unless the user cancelled.
  [[nodiscard]] GSErrCode DoCreate();
  // Draws the current pattern's sheet beside its earlier output; a failed
  // scale read ends it with that error, a cancel after a table with
  // APIERR_CANCEL.
  [[nodiscard]] GSErrCode Create(CDlgProgress& progress);

  // == Tables (CWorksheetTotalTables.cpp); pos is the table's reference
  // point, the top-left of its body ==
  [[nodiscard]] GSErrCode CreateTotalArea(const CAreaTreeIndentArray& list, const GS::UniString& caption, const CKelCoord2D& pos,
                            double d, GS::Array<API_Guid>* guids, CMyUserDataCore* tag, CKelProgressCore& progress);
  [[nodiscard]] GSErrCode CreateEachArea(const CAreaTreeIndent& entry, const CKelCoord2D& pos, double d,
                           GS::Array<API_Guid>* guids, CMyUserDataCore* tag, CKelProgressCore& progress);
  [[nodiscard]] GSErrCode DrawTitle(const CAreaTreeIndentArray& list, const GS::UniString& caption, const CKelCoord2D& pos,
                      double d, GS::Array<API_Guid>* guids, CMyUserDataCore* tag);

  // == Teamwork ==
  // The output elements of every pattern's summary sheet, whether or not
  // the pattern's summary is still written.
  [[nodiscard]] GSErrCode TeamworkReceive();
  [[nodiscard]] GSErrCode TeamworkRelease();
  bool GetTeamworkStatus();

private:
  [[nodiscard]] GSErrCode CreatePatternSheet(CDlgProgress& progress);

  CPlenimetraParam* m_pParam;
  WorksheetReplacement* m_pReplacement;
};
