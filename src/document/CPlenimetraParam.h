#pragma once
// The area-calculation document of one project: its calculation trees (the
// calculation patterns), the calculation elements and subtotal/total
// folders that the tree nodes name, the floors with their figure records,
// the settings in force, the code tables that turn codes into texts, the
// tree undo snapshots, and the output choices remembered between openings.
//
// Units: raw figure areas in 1e-8 m2, rounded areas, sums and totals in
// 1e-6 m2, rounded lengths in 1e-4 m, all signed 64-bit integers.
//
// Codes: a figure code is >= 1 and unique in the document (m_LastArea1Code
// hands them out). A tree code >= 1 names a folder by its m_Code, a code
// < 0 names the element whose m_Code is the negated code, 0 names nothing;
// elements and folders draw their codes from the one counter m_LastAreaCode.
//
// Ownership: elements, folders, trees, floors, settings and tables are held
// by value, so copying the document copies them. Figure records are shared:
// floors, document copies and undo snapshots hold shared pointers to the
// same records, and a record lives as long as any of them names it.
//
// Each area of this class is kept in its own source: the core in
// CPlenimetraParam.cpp, rounding and number texts in
// CPlenimetraParamRounding.cpp.

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaListItem.h"
#include "CAreaTree.h"
#include "CAutoAreaCut.h"
#include "CAutoAreaParam.h"
#include "CDocumentDump.h"
#include "CDocumentListener.h"
#include "CEnvParam.h"
#include "CFloorParam.h"
#include "CPaiTable.h"
#include "CRoundTypeParam.h"
#include "CUndoParam2.h"
#include "CodeTables.h"
#include "gs_containers.h"
#include "gs_unistring.h"
#include "host_api_types.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

class CArchive;
class CCsvFile;
class CDlgProgress;
class CFloorCopyChoice;
class CWorksheetMaker;
class CArchiveOld;
class CFileArchiveNew;
class CArea1Object;
class CAreaObject;
class CKelCoord3DCrsPntArrayArray;
class CSelectList;

class CPlenimetraParam {
public:
  CPlenimetraParam();
  CPlenimetraParam(const CPlenimetraParam&) = default;
  CPlenimetraParam& operator=(const CPlenimetraParam&) = default;
  ~CPlenimetraParam();

  // == Document core ==
  // Empties the calculation (snapshots, objects, codes, trees, floors) and
  // resets the output choices; tables, settings, paths, the cut defaults,
  // the list columns and the per-floor mode flag keep their values.
  void Clear();

  // Compares the stored calculation and the settings; floors, the current
  // mark and numbering, output choices and list columns take no part.
  bool operator==(const CPlenimetraParam& other) const;
  bool operator!=(const CPlenimetraParam& other) const { return !(*this == other); }

  // The range of area digits offered to the user.
  static int GetDigitMin() { return 0; }
  static int GetDigitMax() { return 6; }

  // The element or folder of a signed tree code; null for 0. A non-zero
  // code without an object breaks the document's invariants.
  CAreaObject* GetAreaObject(int code);
  const CAreaObject* GetAreaObject(int code) const;
  // The same lookup that answers null instead of asserting, for code that
  // checks data it did not build itself.
  CAreaObject* FindAreaObject(int code);
  const CAreaObject* FindAreaObject(int code) const;
  // The node of the current pattern, null when none is current.
  CAreaTree* GetTree();
  const CAreaTree* GetTree() const;
  // The layer of placed figures: the current pattern's own, else the
  // settings' figure layer.
  short GetLayer() const;
  // The largest figure code in the user data of the elements (see the
  // definition for when it stops early).
  int GetMaxCodeOfElements(GS::Array<API_Guid>& guids);
  // Highest m_Code of the element and folder lists, for the counter after a
  // tree has been read.
  int GetMaxAreaCode() const;
  // The pen of the one element of the current pattern whose record of the
  // figure's story lists the figure; 0 without a pattern and when none or
  // several list it.
  int GetListingColor(const CArea1Object& figure) const;

  // == Project record ==
  // The document as the project's module data kRecordName, written at
  // kRecordVersion; records kRecordVersionMin..kRecordVersion are read, each
  // field from the version that added it (writers write the newest layout).
  static constexpr const char* kRecordName = "PLENIMETRA";
  static constexpr int kRecordVersion = 1047;
  static constexpr int kRecordVersionMin = 1003;
  // The record body in the archive's direction. Reading runs on a scratch
  // document: it rebuilds the figures from the placed parts (GetElement2)
  // without writing their user data (the writes wait in m_PendingSaves).
  // A placed figure whose own record cannot be read is left out
  // (m_UnreadFigures). False when a list failed, a figure kind has no
  // registered class, or the archive threw.
  [[nodiscard]] bool Serialize(CArchive& ar);
  // Writes the record: 0, the host's error when storing failed, or
  // APIERR_GENERAL when the document could not be written. Nothing is
  // written while m_bSaveBlocked.
  [[nodiscard]] int SaveData();
  // Loads the project into the document (skipRecord: settings, default
  // pattern and floors only): -1 when the record is newer than this
  // program, else 1 when the stories were read and 0 when not. Placed
  // figures whose record could not be read are reported in one alert. A
  // load that does not complete (a host read failed, the user cancelled)
  // says what it left out and sets m_bSaveBlocked.
  int LoadData2(bool skipRecord);
  // Whether the host's record is another than the one this document last
  // wrote or read: an undo or redo put back the record of another state.
  // Reads only; false while saving is blocked.
  // unread, when given, receives the error of a record the host could not
  // give now (no sign either way).
  bool IsRecordReplaced(GSErrCode* unread = nullptr) const;
  // Whether an undo or redo put back another record than the one this
  // document last wrote or read. A failed save is no such sign: the
  // document then keeps the edits the record lacks, and gives them up only
  // when an undo or redo replaces the record.
  bool IsSeenRecordReplaced(GSErrCode* unread = nullptr) const
  {
    return !m_RecordStamp.empty() && IsStoredRecordOtherThan(m_RecordStamp, unread);
  }
  // Reads the document again from the host's record as loading does, but
  // outside any undoable command and keeping the settings file, the list
  // columns and the choices that live only while the project is open; the
  // loader's result. The listener is told.
  int ReloadData();
  // Rebuilds every floor's figure records from the placed figure parts;
  // the host's error. Parts whose record cannot be read are left out and
  // reported.
  [[nodiscard]] GSErrCode GetElement2();
  // Whether a placed part of the story was left out at the last reading
  // because its record could not be read, and is still placed: it may be
  // a figure of any of the story's automatic areas. Always after a load
  // that did not complete.
  bool HasUnreadFigures(short story) const;
  // The settings at document start: the add-on's folder's file, else the
  // user's; m_EnvParam2 becomes their copy (a default record when neither
  // could be read).
  void LoadDefault();
  // Leaves the sort indices when they are exactly a permutation of
  // 0..n-1, else numbers the objects 0..n-1 in the vector's order.
  static void AreaObjectSetSortIndex(std::vector<CAreaObject*>& objects);

  // == Figure-record management ==
  // Whether this user holds every element (true for none).
  bool GetTeamworkStatus2(const GS::Array<API_Guid>& guids) const;
  // Reserves the elements in a shared project: 0 without one; else the
  // reservation's result, or APIERR_NOTMINE when one stays another's. All
  // or none: a refused reservation gives back what it took, so a command
  // refused here holds nothing it did not hold before.
  [[nodiscard]] GSErrCode DoTeamworkReceive(const GS::Array<API_Guid>& guids) const;
  // Deletes the figures' placed parts after reserving them (nothing
  // changes when one cannot be reserved); a figure whose part the host
  // refused to delete keeps its record and entries.
  [[nodiscard]] GSErrCode DoDeleteArea1(const CArea1ObjectPtrArray& figures);
  // Deletes every figure's placed part or none: each part is read and its
  // layer opened before any goes. Only when all went do the records leave
  // their floors and entries; a failure is returned, not reported.
  [[nodiscard]] GSErrCode DoDeleteArea1Whole(const CArea1ObjectPtrArray& figures);
  // Deletes the floor's figures; the first failure, with what stayed listed.
  [[nodiscard]] GSErrCode DeleteArea1(short floorNo);
  // Copies the chosen source floor's figures, with their entries in every
  // element, to each chosen floor, replacing that floor's figures. 0 when
  // the dialog was cancelled; APIERR_CANCEL when the progress was (the
  // floors done so far stay copied). In a shared project every figure to
  // replace is reserved first, or nothing changes.
  [[nodiscard]] GSErrCode FloorCopy(CFloorCopyChoice& dialog);
  // Mark text, then item number: 1, -1 or 0.
  int CompareASCII(const CArea1Object* a, const CArea1Object* b) const;
  int CompareASCII(const CAreaObject* a, const CAreaObject* b) const;
  // Deletes the drawn output (texts and lines with the output tag).
  [[nodiscard]] GSErrCode DeleteObject();
  // The worksheets of every floor, stopping at the first failing one, then
  // the summary (in a shared project only when m_bTeamworkTotal is set).
  [[nodiscard]] GSErrCode Output(CWorksheetMaker& worksheets);

  // == Document dump file (CPlenimetraParamDump.cpp) ==
  // The whole calculation with the project's zones and every figure's
  // placement, to rebuild it in another project. Written at kDumpVersion;
  // kRecordVersionMin..kDumpVersion are read.
  static constexpr int kDumpVersion = 1047;
  static constexpr const char16_t* kImportUndoName = u"メンセラ[インポート]";
  // Writes the dump; the alert "<path>が保存できません" when the file cannot
  // be created or written (a failed write leaves any older file as it was).
  void Export(const GS::UniString& path);
  // Reads the whole file first; only a file read whole replaces the
  // document (the placed figures of the replaced one are deleted),
  // recreates the zones and places the figures, and saves, as one undoable
  // step. A file that does not open or cannot be read whole alerts
  // "<path>が読み込めません", one of another version alerts
  // "ファイルのバージョンが異なります"; neither changes anything. A zone or
  // figure the host refuses takes the whole import back and is reported.
  // The listener is told whenever the document was replaced.
  void Import(const GS::UniString& path);
  // The dump's sections in the archive's direction. Reading fills this
  // document (use a scratch one) and the zone and figure records below;
  // false at the first failure, with what was read before it left behind.
  [[nodiscard]] bool Serialize(CFileArchiveNew& ar);
  // What the last dump read carried besides the document.
  std::vector<CDumpZone> m_DumpZones;
  std::vector<CDumpFigure> m_DumpFigures;

  // == Output files: defined by the output library (src/output) ==
  // The document library never calls these.
  // The CSV area table of every pattern: beside a saved project file
  // ("<name>　求積表.csv"), else where a save dialog says. APIERR_CANCEL
  // when no path was chosen or the progress was cancelled (nothing
  // written, nothing shown); a failed write is shown and answered with its
  // code (an older file stays); otherwise the project-information query's
  // result.
  [[nodiscard]] GSErrCode ToCsv();
  // The spreadsheet file output has no effect: 0.
  int ToExcel();
  // The current pattern's per-floor list: true when the progress was
  // aborted in the floor loop.
  bool CsvOutputList2(CCsvFile& file, CDlgProgress& progress, GS::UniString& title);
  // The current pattern's room list: always 0.
  int CsvOutputList3(CCsvFile& file, CDlgProgress& progress, GS::UniString& title);

  // == Tree undo ==
  void SetUndo2();
  void DoUndo2();
  void ClearUndo2();

  // == Rounding and number texts ==
  // Lengths: metres in, micrometres while rounding, 1e-4 m out. Areas: raw
  // 1e-8 m², rounded 1e-6 m². A negative length or area is rounded by its
  // magnitude with the same kind and keeps its sign. The active preset is the
  // first of the settings' presets whose id the current pattern names.
  // The non-const forms are for the settings pages that edit the preset.
  CRoundTypeParam* GetRoundTypeParam();
  const CRoundTypeParam* GetRoundTypeParam() const;
  CRoundTypeItem* GetLengthDefaultRoundType();
  const CRoundTypeItem* GetLengthDefaultRoundType() const;
  CRoundTypeItem* GetArea1DefaultRoundType();
  const CRoundTypeItem* GetArea1DefaultRoundType() const;
  CRoundTypeItem* GetArea2ListDefaultRoundType();
  const CRoundTypeItem* GetArea2ListDefaultRoundType() const;
  CRoundTypeItem* GetAngleDefaultRoundType();
  const CRoundTypeItem* GetAngleDefaultRoundType() const;
  CPaiTable* GetPai();
  const CPaiTable* GetPai() const;
  // Small-length snap of a micrometre value: 1, 2, 3 snap within 9, 99, 999
  // µm of a multiple of 0.1 mm, 1 mm, 1 cm; other settings leave it.
  static long long GetRoundLength2(long long micrometres, int snap);
  long long GetRoundLength2(long long micrometres) const;
  long long GetRoundLength(double metres) const;
  // kind 1 half up, 2 cut, 3 up, 4 the item's own kind; the item gives the
  // digit. Kind 0 or above 4 (and a digit outside 0..6) rounds nothing but
  // still gives 1e-6 m².
  long long GetRoundArea1(long long raw, CRoundTypeTable::ROUNDTYPE kind, const CRoundTypeItem* item) const;
  long long GetRoundArea3(long long area, CRoundTypeTable::ROUNDTYPE kind, const CRoundTypeItem* item) const;

  GS::UniString GetAreaStr(long long area, int digits) const;
  static GS::UniString AddComma(GS::UniString digits);
  static GS::UniString TrimRight(GS::UniString text);
  GS::UniString GetLengthStrCad(long long length) const;
  GS::UniString GetLengthStrList(long long length) const;
  GS::UniString GetDefaultShortStr(const CRoundTypeItem* item) const;  // 3捨2
  GS::UniString GetDefaultStr2(const CRoundTypeItem& item) const;      // 第3位四捨五入第2位
  GS::UniString GetDefaultStr(const CRoundTypeItem& item) const;       // 端数処理デフォルト：…

  // == Automatic areas: source outlines (CPlenimetraParamAutoArea.cpp) ==
  // Outlines are CKelCoord3DCrsPntArrayArray: one closed contour per entry,
  // the outer one first (counter-clockwise), then the holes (clockwise),
  // arcs as centre points; model metres.
  // Zones, slabs and fills qualify; a polyline only when its first contour
  // is closed exactly; nothing else.
  static bool IsAutoElement(const API_Element& element);
  // The outline of the header's element; the host's error. Other element
  // types leave outline unchanged.
  static int GetAutoElement(const API_Elem_Head& head, bool withHoles, CKelCoord3DCrsPntArrayArray& outline);
  // The outline of a slab, polyline or fill from its memo; an element
  // without contours gives an empty outline and 0.
  static int ElementToKelArea(const API_Guid& guid, const API_Polygon& polygon, bool withHoles,
                              CKelCoord3DCrsPntArrayArray& outline);
  // Collects the records of every element of the type that carries one into
  // its floor's list, observing each element that is not hot-linked; the
  // first error ends the collection.
  int GetAutoElement2(API_ElemTypeID type);
  // Empties every floor's record list and collects zones, slabs, polylines
  // and fills in that order; hot-link records are not touched.
  int GetAutoElement2();
  // Puts the story's records in the order GetAutoElement2 collects them,
  // so that what a command adds shows and is written as a reopen gives it;
  // records of elements the host no longer lists keep their order at the
  // end. The host's error of listing the elements leaves the order as it was.
  [[nodiscard]] GSErrCode OrderAutoAreasAsLoaded(short story);

  // Checks every record of every floor under a progress window; the first
  // error, or APIERR_CANCEL when the user stops it (records checked before
  // keep their marks).
  int CheckAutoArea();

  // == Automatic areas: placing the pieces (CPlenimetraParamAutoCut.cpp) ==
  // Each figure takes the smallest item number of its mark and numbering
  // from number on (from 0 with the settings' m_NumberFillGaps), the next
  // figure code, is placed on the story, joins the story's list and writes
  // its parameters; {figure, operator} is appended to out when given. A
  // figure whose raw area is under 1e-8 m2 is deleted again and dropped
  // (result 0). Errors of placing end at once; what was placed stays.
  int AddTriangle(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, std::vector<CArea1ObjectWork>* out,
                  int& number, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story);
  int AddRect(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, std::vector<CArea1ObjectWork>* out,
              int& number, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story);
  int AddTrapezoid(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, std::vector<CArea1ObjectWork>* out,
                   int& number, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story);
  int AddTrapezoid(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& p3, const CKelCoord2D& p4,
                   COperatorTable::OPERATOR op, std::vector<CArea1ObjectWork>* out, int& number,
                   CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story);
  int AddArc(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, std::vector<CArea1ObjectWork>* out,
             int& number, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story);
  int AddArcCenter(const CKelAreaCoord2D& piece, COperatorTable::OPERATOR op, std::vector<CArea1ObjectWork>* out,
                   int& number, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story);
  // The pieces of a cut (CAutoAreaCut) in order, each numbered from the
  // first freed number (taken off the list) or else from startNo.
  int PlacePieces(const CAutoAreaPieceArray& pieces, std::vector<CArea1ObjectWork>* out, CSelectList& freed,
                  int& startNo, CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, short story);

  // == Figure records and calculation objects ==
  // Builds the figure records of stored kinds; the figure kinds register
  // their constructors here. Copies of the document share the same makers.
  CArea1ObjectFactory m_Area1Factory;

  // == Members, in declaration order ==
  bool m_bOutputCheck = true;
  int m_OutputFileType = 1;   // 0 "xls", 1 "xlsx"
  int m_OutputLayout = 1;     // 1 side by side, 2 stacked by position, 3 stacked by gap
  int m_OutputMode = 2;       // 1 spreadsheet, 2 worksheets, 3 CSV
  CUndoParam2Array m_UndoParam2;
  CAreaTree m_AreaTree2;      // working tree; its children are the patterns
  CAreaTree m_AreaTreeStore;  // stored copy, same number of children
  CArea2ObjectArray m_Area2ObjectArray;
  CArea4ObjectArray m_Area4ObjectArray;
  CItemType1Table::ITEMTYPE m_CurItemType1 = CItemType1Table::ITEMTYPE_CIRCLE;
  CItemType2Table::ITEMTYPE m_CurItemType2 = CItemType2Table::ITEMTYPE_DECIMAL;
  int m_LastArea1Code = 0;    // a new figure takes this + 1
  int m_LastAreaCode = 0;     // a new element or folder takes this + 1
  CFloorParamArray m_FloorParamArray;
  CArea2ListTypeTableArray m_Area2ListTypeTable;
  CRoundTypeTableArray m_RoundTypeTable;
  COperatorTableArray m_OperatorTable;
  CItemType1TableArray m_ItemType1Table;
  CItemType2TableArray m_ItemType2Table;
  CAutoCrTableArray m_AutoCrTable;
  CPaiTableArray m_PaiTable;
  CEnvParam m_EnvParam;       // the settings in force
  CEnvParam m_EnvParam2;      // the settings as loaded from the settings file
  GS::UniString m_EnvPath;
  CAutoCutType m_AutoCutType; // defaults of new automatic-area records
  // Mark and numbering of new automatic-area figures (item type codes); kept
  // while the project is open, the project record has no field for them.
  int m_AutoItemType1 = 1;
  int m_AutoItemType2 = 1;
  int m_CurTreeCode = 0;      // node code of the current pattern; 0 none
  CTreeCodeArray m_TotalExcludeCodes;
  bool m_bTuboRow = false;
  CAreaListItemArray m_AreaListItemArray;
  short m_TeamworkUserId = 0;
  bool m_bTeamworkTotal = false;
  GS::UniString m_EnvFileName;
  // The list the calculation-tree page shows beside its tree (1 automatic
  // areas, 2 area list, 3 detail list); kept while the project is open, not
  // part of the project record.
  short m_ListType = 3;
  // The figures by code, first floor first, while the project record is
  // read: the stored entries of the elements name their figures by code.
  class FigureIndex {
  public:
    struct Entry {
      std::shared_ptr<CArea1Object> figure;
      short story = 0;
    };
    // held: the stories with a placed figure whose record cannot be read.
    explicit FigureIndex(const CFloorParamArray& floors, std::unordered_set<short> held = {});
    const Entry* Find(int code) const;
    // Whether a stored entry of the story naming this code is held rather
    // than dropped: no figure has the code, and the story has a figure
    // that could not be read, which the entry may belong to.
    bool Holds(int code, short story) const;
    // The stories with a figure that could not be read, in ascending order.
    std::vector<short> HeldStories() const;

  private:
    std::unordered_map<int, Entry> m_ByCode;
    std::unordered_set<short> m_Held;
  };
  const FigureIndex* m_pFigureIndex = nullptr;  // set only while reading
  // The index of the document's figures in m_pFigureIndex while a reader
  // is in scope; a writer needs none.
  class FigureIndexScope {
  public:
    FigureIndexScope(CPlenimetraParam& doc, bool reading, std::unordered_set<short> held = {})
        : m_Index(doc.m_FloorParamArray, std::move(held)), m_Doc(doc)
    {
      if (reading)
        doc.m_pFigureIndex = &m_Index;
    }
    ~FigureIndexScope() { m_Doc.m_pFigureIndex = nullptr; }
    FigureIndexScope(const FigureIndexScope&) = delete;
    FigureIndexScope& operator=(const FigureIndexScope&) = delete;

  private:
    FigureIndex m_Index;
    CPlenimetraParam& m_Doc;
  };

  // The placed figure parts whose own record could not be read when the
  // project record was last read. They are left out of the floors' lists,
  // so nothing writes to them; the entries that may be theirs are held
  // (CArea2ObjectFloor::m_HeldList) until they can be read again.
  struct UnreadFigure {
    API_Guid guid{};
    short story = 0;
    CArea1Object::LoadFault fault = CArea1Object::LoadFault::None;
    GS::UniString label;  // mark and number as the part shows them; empty when unknown
  };
  std::vector<UnreadFigure> m_UnreadFigures;

  // The last load did not complete, or an unreadable record could not be
  // kept aside: nothing is saved over the stored record until a load
  // completes (the next opening of the palette loads again).
  bool m_bSaveBlocked = false;

  // What a load, or the following of an undo or redo, could not read: the
  // first part whose host read failed or was cancelled. Entries: the record
  // an undo or redo put back lists figures no longer placed, so figures
  // still placed may be missing from their elements.
  enum class LoadGap { None, Record, AutoAreas, Figures, Entries };
  // Keeps the first part left unread and its error (none for Entries).
  void NoteLoadGap(LoadGap part, GSErrCode err);
  // Blocks the saves and says, once, what was not read and what to do;
  // nothing while everything was read.
  void ReportIncompleteLoad();
  // Whether the last load, or the following of an undo or redo, left a
  // part unread: figures may be placed that the lists lack, so a number
  // given against the lists may be one such a figure has.
  bool IsLoadIncomplete() const { return m_LoadGap != LoadGap::None; }
  // What ReportIncompleteLoad says; empty while everything was read.
  GS::UniString IncompleteLoadText() const;
  // Element entries dropped by the last reading of the record because no
  // placed figure has their code (and none is held for an unread one).
  int m_DroppedEntries = 0;
  // Told after the trees, objects and figure records were replaced as a
  // whole; not owned, null when nobody listens.
  CDocumentListener* m_pListener = nullptr;

private:
  // == Loading steps (CPlenimetraParamLoad.cpp) ==
  int RunLoader(bool skipRecord);
  int ReadRecord(CArchiveOld& ar, int version);
  void TakeLoaded(CPlenimetraParam& loaded);
  bool HoldsLoadInvariants() const;
  bool MigrateOldPatterns();
  // Figures of automatic areas stored by early versions take their
  // operators from the contour they lie on.
  void RepairOldAutoAreaLinks();
  void KeepUnreadableRecord();
  void MakeDefaultPattern();
  void RenumberPatterns();
  void DumpTrees();
  void CheckPatternPresets();
  int RefreshPlacedFigures();
  // deferred: user-data writes wait there; read: the placed parts' GUIDs.
  [[nodiscard]] GSErrCode GetElement2(CArea1ObjectPtrArray* deferred, std::unordered_set<GS::Guid>* read);
  [[nodiscard]] GSErrCode TakePlacedFigure(const API_Element& element, const std::shared_ptr<CArea1Object>& figure,
                             CFloorParam& floor, std::unordered_map<int, CArea1Object*>& byCode,
                             std::unordered_set<int>& met, CArea1ObjectPtrArray* deferred);
  // One floor per story, first to last, named after it; false when the
  // story list cannot be read.
  static bool FloorsOfStories(CFloorParamArray& floors);
  // Each floor of floors takes over the lists of the stored floor of its
  // story; stored floors of no such story are appended when keepOthers.
  static void MergeFloors(CFloorParamArray& floors, CFloorParamArray& stored, bool keepOthers);
  void UnlinkFigures(const CArea1ObjectPtrArray& figures);
  // The figures' elements reserved for this user where teamwork asks it.
  [[nodiscard]] GSErrCode ReserveFigures(const CArea1ObjectPtrArray& figures) const;
  [[nodiscard]] GSErrCode CopyFloorTo(short source, short target, const CArea1ObjectArray& figures, CDlgProgress& progress);
  // == Dump steps (CPlenimetraParamDump.cpp) ==
  void SerializeDumpSections(CFileArchiveNew& ar);
  void WriteDumpZones(CArchive& ar);
  void WriteDumpFigures(CArchive& ar);
  void TakeDump(CPlenimetraParam& loaded);
  // restored: false when a failed import could not be taken back whole.
  GSErrCode ImportWhole(CPlenimetraParam& loaded, bool& restored);
  GSErrCode PlaceDumpZones(const std::vector<CDumpZone>& zones, std::vector<GS::Guid>& made);
  GSErrCode PlaceDumpFigures(const std::vector<CDumpFigure>& figures, std::vector<GS::Guid>& made);
  // The figure of the record placed again; placed names it when it was,
  // made the element placed for it.
  GSErrCode PlaceDumpFigure(const CDumpFigure& values, std::shared_ptr<CArea1Object>& placed, API_Guid& made);
  // == Record steps (CPlenimetraParamRecord.cpp) ==
  void SerializeFields(CArchive& ar);
  void SerializeEnvPath(CArchive& ar);
  void ReadOldInlineSettings1(CArchive& ar);
  void ReadOldInlineSettings3(CArchive& ar);
  void ReadFloors(CArchive& ar);
  void TakeOldHotLinks();
  void TakeOldFigures(CArchive& ar);
  void DropUnreadableFigures(const std::unordered_set<GS::Guid>& read);
  std::unordered_set<short> StoriesOfUnreadFigures() const;
  // No new figure may take the code of an entry held for an unread figure.
  void KeepCounterAboveHeldEntries();
  // One alert naming every unread figure and why; nothing when there is none.
  void ReportUnreadFigures() const;
  // The names on the story of the elements holding entries there, "・" between.
  GS::UniString ElementsHoldingEntries(short story) const;
  void ResetOldPatternPresets();

  LoadGap m_LoadGap = LoadGap::None;
  GSErrCode m_LoadGapError = 0;
  bool m_bLoadGapTold = false;

  // Figures whose user data must be written once the record is taken.
  CArea1ObjectPtrArray m_PendingSaves;
  // GetElement2's result while the record was read.
  GSErrCode m_LoadError = 0;
  // The record this document last wrote or read (CArchiveOld::Stamp);
  // empty when there was none. A failed save leaves it as it was.
  std::string m_RecordStamp;
  // A save failed since then: the document holds edits the record lacks.
  bool m_bSaveFailed = false;
  bool IsStoredRecordOtherThan(const std::string& stamp, GSErrCode* unread = nullptr) const;
  // Loading after Clear: the record, the floors of the stories; the
  // loader's result as LoadData2 answers it.
  int LoadCleared(bool skipRecord, bool asUndoableCommand);
  void NotifyReplaced();
};
