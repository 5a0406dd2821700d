// The CSV area table: the path, the file and one section per calculated
// floor of every pattern; the two lists that end each pattern are in
// CPlenimetraParamCsvLists.cpp.

#include "AutoAreaEntries.h"
#include "CCsvFile.h"
#include "CDlgProgress.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_environment.h"
#include "host_errors.h"
#include "io_location.h"

#include <utility>

namespace {

using Row = std::vector<GS::UniString>;

const GS::UniString kEmpty;

GS::UniString MarkAndNumber(const CPlenimetraParam& doc, const CArea1Object& figure)
{
  return figure.GetMarkStr(&doc) + figure.GetItemNoStr(&doc);
}

GS::UniString MarkAndNumber(const CPlenimetraParam& doc, const CAreaObject& object)
{
  return object.GetMarkStr(&doc) + object.GetItemNoStr(&doc);
}

// Area texts come padded with blanks where digits are blanked; a number
// cell carries the number alone, so that any reader takes it as a number.
GS::UniString Number(const GS::UniString& area) { return CPlenimetraParam::TrimRight(area); }

// The path beside a saved project file; empty when there is none.
GS::UniString PathBesideProject(const API_ProjectInfo& project)
{
  IO::Location location = project.location;
  IO::Name name;
  if (location.IsEmpty() || location.GetLastLocalName(&name) != NoError)
    return {};
  if (location.SetLastLocalName(IO::Name(name.GetBase() + u"　求積表.csv")) != NoError)
    return {};
  GS::UniString path;
  if (location.ToPath(&path) != NoError)
    return {};
  return path;
}

// One floor section of the current pattern.
class FloorSection {
public:
  FloorSection(CPlenimetraParam& doc, CCsvFile& file, CDlgProgress& progress, const CAreaTreeIndentArray& rows)
      : m_Doc(doc), m_File(file), m_Progress(progress), m_Rows(rows)
  {
  }

  // False when the user cancelled: the section then stops where it was.
  bool Write(const CAreaObject& root, const CFloorParam& floor)
  {
    m_Story = floor.m_FloorNo;
    m_Progress.SetRange(int(m_Rows.size() + floor.m_Area1ObjectArray.size()), GS::UniString());
    m_File.WriteRow({Title(root, floor), u"記号", u"計算式", u"面積"});
    if (!WriteFigures(floor))
      return false;
    for (const CAreaTreeIndent& row : m_Rows)
      if (!WriteFormulaBlock(row))
        return false;
    for (const CAreaTreeIndent& row : m_Rows)
      if (!WriteListBlock(row))
        return false;
    if (m_Doc.m_bOutputCheck)
      for (const CAutoAreaParam& record : floor.m_AutoAreaParamArray)
        WriteAutoArea(record);
    return true;
  }

private:
  GS::UniString Title(const CAreaObject& root, const CFloorParam& floor) const
  {
    const int shown = m_Story >= 0 ? m_Story + 1 : m_Story;
    return root.m_Name.GetName(m_Story) + u" " + floor.m_FloorName + GS::UniString::Printf("(%d)", shown);
  }

  // False when the user asked to cancel.
  bool Step()
  {
    m_Progress.StepIt();
    return !m_Progress.CheckAbort();
  }

  bool WriteFigures(const CFloorParam& floor)
  {
    // The exchange sort of the stored tables: equal sort indices may swap.
    std::vector<CArea1Object*> figures;
    for (const auto& figure : floor.m_Area1ObjectArray)
      figures.push_back(figure.get());
    for (std::size_t i = 0; i < figures.size(); ++i)
      for (std::size_t j = i + 1; j < figures.size(); ++j)
        if (figures[i]->m_SortIndex > figures[j]->m_SortIndex)
          std::swap(figures[i], figures[j]);
    const double width = m_Doc.m_EnvParam.m_ListAttr1.m_ColWidth2;
    for (CArea1Object* figure : figures) {
      if (!Step())
        return false;
      const auto lines = SeparateEquation(figure->GetEquation(&m_Doc, false, width), true);
      for (std::size_t i = 0; i < lines.size(); ++i)
        if (i == 0)
          m_File.WriteRow({kEmpty, MarkAndNumber(m_Doc, *figure), lines[0], Number(figure->GetRoundAreaStr(&m_Doc))});
        else
          m_File.WriteRow({kEmpty, kEmpty, lines[i]});
    }
    return true;
  }

  // Folders, and elements aggregated by formula.
  bool WriteFormulaBlock(const CAreaTreeIndent& row)
  {
    CAreaObject* object = m_Doc.GetAreaObject(row.m_AreaCode);
    if (object == nullptr)
      return true;
    const bool folder = dynamic_cast<CArea4Object*>(object) != nullptr;
    if (!folder && object->m_ListType != CArea2ListTypeTable::LISTTYPE_FORMULA)
      return true;
    if (!Step())
      return false;
    Row name{kEmpty, MarkAndNumber(m_Doc, *object), object->m_Name.GetName(m_Story)};
    if (!folder)
      name.push_back(kEmpty);
    m_File.WriteRow(name);
    m_File.WriteRow({kEmpty, u"計算式", u"面積"});
    const auto lines = SeparateEquation(object->GetEquation(&m_Doc, m_Story, false, 0), true);
    for (std::size_t i = 0; i < lines.size(); ++i)
      m_File.WriteRow({kEmpty, lines[i], i == 0 ? Number(object->GetOrgAreaStr(&m_Doc, m_Story)) : kEmpty});
    m_File.WriteRow({kEmpty, u"合計", Number(object->GetRoundAreaStr(&m_Doc, &row, m_Story))});
    if (folder)
      m_File.WriteRow({kEmpty});
    else
      m_File.WriteRow({kEmpty, kEmpty});
    return true;
  }

  // Elements aggregated as a list of their figures.
  bool WriteListBlock(const CAreaTreeIndent& row)
  {
    auto* element = dynamic_cast<CArea2Object*>(m_Doc.GetAreaObject(row.m_AreaCode));
    if (element == nullptr || element->m_ListType != CArea2ListTypeTable::LISTTYPE_LIST)
      return true;
    if (!Step())
      return false;
    m_File.WriteRow({kEmpty, element->m_Name.GetName(m_Story)});
    m_File.WriteRow({kEmpty, u"記号", u"計算式", u"面積"});
    // Looking a record up never adds one: a floor without reads as empty.
    if (const CArea2ObjectFloor* record = element->m_FloorArray.FindFloor(m_Story)) {
      const double width = m_Doc.m_EnvParam.m_ListAttr2.m_ColWidth2;
      for (const CArea2List& entry : record->m_List)
        WriteEntry(entry, width, Number(entry.GetRoundAreaStr(&m_Doc)));
    }
    m_File.WriteRow({kEmpty, MarkAndNumber(m_Doc, *element), u"合計", Number(element->GetOrgAreaStr(&m_Doc, m_Story))});
    m_File.WriteRow({kEmpty, kEmpty, u"合計", Number(element->GetRoundAreaStr(&m_Doc, &row, m_Story))});
    m_File.WriteRow({kEmpty, kEmpty});
    return true;
  }

  void WriteEntry(const CArea2List& entry, double width, const GS::UniString& area)
  {
    const auto lines = SeparateEquation(entry.m_pArea1->GetEquation(&m_Doc, false, width), true);
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (i == 0)
        m_File.WriteRow({kEmpty, MarkAndNumber(m_Doc, *entry.m_pArea1), lines[0], area});
      else
        m_File.WriteRow({kEmpty, kEmpty, lines[i], kEmpty});
  }

  void WriteAutoArea(const CAutoAreaParam& record)
  {
    const CArea2ObjectFloor entries = AutoAreaEntries(m_Doc, record, m_Story);
    if (entries.m_List.empty())
      return;
    m_File.WriteRow({record.GetName(), u"記号", u"計算式", u"面積"});
    const double width = m_Doc.m_EnvParam.m_ListAttr4.m_ColWidth2;
    for (const CArea2List& entry : entries.m_List) {
      const GS::UniString sign = entry.m_Operator == COperatorTable::OPERATOR_MINUS ? u"-" : u"";
      WriteEntry(entry, width, Number(sign + entry.GetRoundAreaStr(&m_Doc)));
    }
    const int digits = CRoundTypeItem::DigitOf(m_Doc.GetArea2ListDefaultRoundType(), CRoundTypeParam::kDefaultArea2List);
    m_File.WriteRow({kEmpty, u"合計", kEmpty, Number(m_Doc.GetAreaStr(entries.GetOrgArea(&m_Doc), digits))});
  }

  CPlenimetraParam& m_Doc;
  CCsvFile& m_File;
  CDlgProgress& m_Progress;
  const CAreaTreeIndentArray& m_Rows;
  short m_Story = 0;
};

// Every pattern's floor sections and lists; false when the user cancelled.
bool WritePatterns(CPlenimetraParam& doc, CCsvFile& file, CDlgProgress& progress)
{
  for (const CAreaTree& pattern : doc.m_AreaTree2.m_Child) {
    const int code = pattern.m_AreaCode;
    doc.m_CurTreeCode = code;
    CAreaObject* root = doc.GetAreaObject(code);
    PLN_ASSERT(root != nullptr);
    const std::vector<CAreaTreeIndentArray> flat = pattern.GetFlat();
    const CAreaTreeIndentArray rows = flat.empty() ? CAreaTreeIndentArray() : flat.front();
    FloorSection section(doc, file, progress, rows);
    for (const CFloorParam& floor : doc.m_FloorParamArray)
      if (floor.IsCalc(&doc.m_FloorParamArray, code) && floor.IsOutputWorksheet(code) && !section.Write(*root, floor))
        return false;
    GS::UniString title = root->m_Name.m_DefaultName;
    if (doc.CsvOutputList2(file, progress, title))
      return false;
    doc.CsvOutputList3(file, progress, title);
    // The room list runs to its end whatever the progress says; a cancel
    // asked for during it still stands.
    if (progress.CheckAbort())
      return false;
  }
  return true;
}

}  // namespace

int CPlenimetraParam::ToExcel() { return 0; }

GSErrCode CPlenimetraParam::ToCsv()
{
  API_ProjectInfo project;
  const GSErrCode projectErr = ACAPI_Environment('PROJ', &project);
  GS::UniString path;
  // Without project information there is no place beside the project: ask.
  if (projectErr == NoError && !project.untitled && !project.teamwork)
    path = PathBesideProject(project);
  if (path.IsEmpty())
    GetSaveCsvFilename(path);
  if (path.IsEmpty())
    return APIERR_CANCEL;

  CCsvFile file;
  if (!file.Create(path)) {
    GSWriteFailure(path + u" を作成できませんでした。", APIERR_GENERAL);
    return APIERR_GENERAL;
  }
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(u"求積表出力中"), true);
  progress.SetPhase(int(m_AreaTree2.m_Child.size() * (m_FloorParamArray.size() + 1)), GS::UniString(u"求積表出力中"));
  const int current = m_CurTreeCode;
  const bool whole = WritePatterns(*this, file, progress);
  m_CurTreeCode = current;
  // A cancelled table is not a shorter table: the older file stays and
  // nothing claims a save.
  if (!whole) {
    file.Abandon();
    progress.Close();
    return APIERR_CANCEL;
  }
  const bool written = file.Finish();
  progress.Close();
  if (!written) {
    GSWriteFailure(path + u" に保存できませんでした。", APIERR_GENERAL);
    return APIERR_GENERAL;
  }
  GSWriteReport(GS::UniString(u" ") + path + u" に保存しました");
  return projectErr;
}
