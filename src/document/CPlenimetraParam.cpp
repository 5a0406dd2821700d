// The document core: construction, Clear, equality, code lookups and the
// tree undo stack.

#include "CPlenimetraParam.h"

#include "CArea1Object.h"
#include "CAreaObject.h"
#include "host_assert.h"
#include "host_elements.h"
#include "host_errors.h"

#include <algorithm>
#include <climits>
#include <utility>

CPlenimetraParam::CPlenimetraParam() : m_EnvFileName(u"メンセラ　設定ファイル.dat")
{
  Clear();
  m_bTeamworkTotal = false;
}

CPlenimetraParam::~CPlenimetraParam() { Clear(); }

void CPlenimetraParam::Clear()
{
  ClearUndo2();
  m_Area2ObjectArray.clear();
  m_Area4ObjectArray.clear();
  m_LastArea1Code = 0;
  m_LastAreaCode = 0;
  m_AreaTree2.Clear();
  m_AreaTreeStore.Clear();
  m_FloorParamArray.clear();  // the per-floor mode flag keeps its value
  m_UnreadFigures.clear();
  m_CurTreeCode = 0;
  m_CurItemType1 = CItemType1Table::ITEMTYPE_CIRCLE;
  m_CurItemType2 = CItemType2Table::ITEMTYPE_DECIMAL;
  m_OutputMode = 2;
  m_TotalExcludeCodes.clear();
  m_bTuboRow = false;
  m_TeamworkUserId = 0;
  m_bOutputCheck = true;
  m_OutputFileType = 1;
  m_OutputLayout = 1;
}

bool CPlenimetraParam::operator==(const CPlenimetraParam& other) const
{
  return m_LastArea1Code == other.m_LastArea1Code && m_LastAreaCode == other.m_LastAreaCode &&
         m_EnvPath == other.m_EnvPath && m_AutoCutType == other.m_AutoCutType &&
         m_CurTreeCode == other.m_CurTreeCode && m_EnvFileName == other.m_EnvFileName &&
         m_UndoParam2 == other.m_UndoParam2 && m_AreaTree2 == other.m_AreaTree2 &&
         m_AreaTreeStore == other.m_AreaTreeStore && m_Area2ObjectArray == other.m_Area2ObjectArray &&
         m_Area4ObjectArray == other.m_Area4ObjectArray && m_Area2ListTypeTable == other.m_Area2ListTypeTable &&
         m_RoundTypeTable == other.m_RoundTypeTable && m_OperatorTable == other.m_OperatorTable &&
         m_ItemType1Table == other.m_ItemType1Table && m_ItemType2Table == other.m_ItemType2Table &&
         m_PaiTable == other.m_PaiTable && m_EnvParam == other.m_EnvParam && m_EnvParam2 == other.m_EnvParam2 &&
         m_TotalExcludeCodes == other.m_TotalExcludeCodes;
}

// ---- code lookups -----------------------------------------------------------

const CAreaObject* CPlenimetraParam::FindAreaObject(int code) const
{
  if (code >= 1) {
    for (const CArea4Object& folder : m_Area4ObjectArray)
      if (folder.m_Code == code)
        return &folder;
  } else if (code < 0 && code != INT_MIN) {  // INT_MIN has no positive code
    for (const CArea2Object& element : m_Area2ObjectArray)
      if (element.m_Code == -code)
        return &element;
  }
  return nullptr;
}

CAreaObject* CPlenimetraParam::FindAreaObject(int code)
{
  return const_cast<CAreaObject*>(std::as_const(*this).FindAreaObject(code));
}

CAreaObject* CPlenimetraParam::GetAreaObject(int code)
{
  if (code == 0)
    return nullptr;
  CAreaObject* pAreaObject = FindAreaObject(code);
  PLN_ASSERT(pAreaObject != nullptr);
  return pAreaObject;
}

const CAreaObject* CPlenimetraParam::GetAreaObject(int code) const
{
  return const_cast<CPlenimetraParam*>(this)->GetAreaObject(code);
}

CAreaTree* CPlenimetraParam::GetTree()
{
  if (m_CurTreeCode == 0)
    return nullptr;
  CAreaTree* pTree = m_AreaTree2.Search(m_CurTreeCode);
  PLN_ASSERT(pTree != nullptr);
  return pTree;
}

const CAreaTree* CPlenimetraParam::GetTree() const { return const_cast<CPlenimetraParam*>(this)->GetTree(); }

short CPlenimetraParam::GetLayer() const
{
  const CAreaTree* pTree = GetTree();
  if (pTree != nullptr && pTree->m_Layer != 0)
    return pTree->m_Layer;
  return m_EnvParam.m_Area1Layer;
}

int CPlenimetraParam::GetMaxCodeOfElements(GS::Array<API_Guid>& guids)
{
  // An element that cannot be read ends the search with what was found; an
  // element without user data means the records are not figures' at all.
  int highest = 0;
  for (UIndex i = 0; i < guids.GetSize(); ++i) {
    API_Element element{};
    element.header.guid = guids[i];
    if (ACAPI_Element_Get(&element) != NoError)
      return highest;
    CArea1ObjectCore record(this);
    const GSErrCode err = record.Load(&element.header);
    if (err == APIERR_NOUSERDATA)
      return 0;
    if (err == NoError && record.m_Code >= 1)
      highest = std::max(highest, record.m_Code);
  }
  return highest;
}

int CPlenimetraParam::GetListingColor(const CArea1Object& figure) const
{
  const CAreaTree* tree = GetTree();
  if (tree == nullptr)
    return 0;
  const short story = figure.m_Element.header.floorInd;
  const CArea2Object* listing = nullptr;
  int count = 0;
  for (const CAreaTreeIndentArray& flat : tree->GetFlat()) {
    for (const CAreaTreeIndent& node : flat) {
      const auto* element = node.m_AreaCode < 0 ? dynamic_cast<const CArea2Object*>(FindAreaObject(node.m_AreaCode))
                                                : nullptr;
      const CArea2ObjectFloor* record = element != nullptr ? element->m_FloorArray.FindFloor(story) : nullptr;
      if (record == nullptr)
        continue;
      for (const CArea2List& entry : record->m_List) {
        if (entry.m_pArea1.get() != &figure)
          continue;
        listing = element;
        ++count;
      }
    }
  }
  return count == 1 ? listing->m_ColorPen : 0;
}

int CPlenimetraParam::GetMaxAreaCode() const
{
  int highest = 0;
  for (const CArea2Object& element : m_Area2ObjectArray)
    highest = std::max(highest, element.m_Code);
  for (const CArea4Object& folder : m_Area4ObjectArray)
    highest = std::max(highest, folder.m_Code);
  return highest;
}

// ---- tree undo --------------------------------------------------------------

void CPlenimetraParam::SetUndo2()
{
  m_UndoParam2.emplace_back(m_AreaTree2, m_FloorParamArray, m_Area2ObjectArray, m_Area4ObjectArray,
                            m_LastArea1Code, m_LastAreaCode);
}

void CPlenimetraParam::DoUndo2()
{
  if (m_UndoParam2.empty())
    return;
  CUndoParam2& undo = m_UndoParam2.back();
  m_AreaTree2 = undo.m_AreaTree;
  // The floor list is rebuilt only when a project is loaded, which also
  // empties the stack, so the counts agree; should they not, the floors
  // both know are restored and the others keep their lists.
  const std::size_t floors = std::min(m_FloorParamArray.size(), undo.m_Area1Array.size());
  for (std::size_t i = 0; i < floors; ++i)
    m_FloorParamArray[i].m_Area1ObjectArray = undo.m_Area1Array[i];
  m_Area2ObjectArray = undo.m_Area2ObjectArray;
  m_Area4ObjectArray = undo.m_Area4ObjectArray;
  // Figure codes handed out since the snapshot stay used.
  m_LastAreaCode = undo.m_LastAreaCode;
  m_UndoParam2.pop_back();
}

void CPlenimetraParam::ClearUndo2() { m_UndoParam2.clear(); }
