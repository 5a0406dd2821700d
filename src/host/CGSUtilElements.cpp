// Element searches: list the elements of a kind in the current database and
// keep those whose tag, library part, layer and story match.

#include "CGSUtil.h"
#include "CKelProgressCore.h"
#include "CSelectList.h"
#include "host_assert.h"
#include "host_elements.h"
#include "host_errors.h"

namespace {

// The progress text of the searches; their callers delete what they find.
constexpr const char* kSearchText = "削除するエレメントを検索中";

// Reading the tag may fail (an element without user data); the tag then
// reports no type, which matches no wanted one.
bool TagMatches(CMyUserDataCore* tag, const API_Elem_Head& head, CMyUserDataCore::TYPE userType)
{
  if (tag == nullptr)
    return true;
  // An element without a readable tag keeps the tag's empty type.
  static_cast<void>(tag->GetUserData(&head));
  return tag->GetType() == userType;
}

bool LibPartMatches(const API_Element& element, int libInd)
{
  return element.header.typeID != API_ObjectID || element.object.libInd == libInd;
}

// Reads a listed element for a search. One the host's element filter
// refuses, or one that vanished between listing and reading
// (APIERR_BADINDEX), is not readable and the search passes it over; any
// other failure ends the search.
GSErrCode ReadListed(const API_Guid& guid, API_Element& element, bool& readable)
{
  readable = false;
  if (!ACAPI_Element_Filter(guid, 0))
    return NoError;
  element = API_Element{};
  element.header.guid = guid;
  const GSErrCode err = ACAPI_Element_Get(&element);
  readable = err == NoError;
  return err == APIERR_BADINDEX ? NoError : err;
}

}  // namespace

GSErrCode CGSUtil::GSGetElement(API_ElemTypeID type, CMyUserDataCore* tag, int libInd, CMyUserDataCore::TYPE userType,
                                CSelectList* layers, short* story, CKelProgressCore* progress,
                                GS::Array<API_Elem_Head>* result)
{
  PLN_ASSERT(type != API_ObjectID || libInd > 0);  // LibInd > 0
  GS::Array<API_Guid> list;
  if (GSErrCode err = ACAPI_Element_GetElemList(type, &list); err != NoError)
    return err;
  if (progress != nullptr)
    progress->SetRange(static_cast<int>(list.GetSize()), kSearchText);
  for (const API_Guid& guid : list) {
    if (progress != nullptr) {
      progress->StepIt();
      if (progress->CheckAbort())
        return APIERR_CANCEL;
    }
    API_Element element;
    bool readable = false;
    if (GSErrCode err = ReadListed(guid, element, readable); err != NoError)
      return err;
    if (!readable || !TagMatches(tag, element.header, userType) || !LibPartMatches(element, libInd))
      continue;
    if (layers != nullptr && !layers->IsSelected(element.header.layer))
      continue;
    if (story != nullptr && element.header.floorInd != *story)
      continue;
    if (result != nullptr)
      result->Push(element.header);
  }
  return NoError;
}

GSErrCode CGSUtil::GSGetElementOnFloor(API_ElemTypeID type, CMyUserDataCore* tag, int libInd,
                                       CMyUserDataCore::TYPE userType, short story, GS::Array<API_Elem_Head>* result)
{
  PLN_ASSERT(type != API_ObjectID || libInd > 0);  // LibInd > 0
  GS::Array<API_Guid> list;
  if (GSErrCode err = ACAPI_Element_GetElemList(type, &list); err != NoError)
    return err;
  for (const API_Guid& guid : list) {
    API_Element element;
    bool readable = false;
    if (GSErrCode err = ReadListed(guid, element, readable); err != NoError)
      return err;
    if (!readable || element.header.floorInd != story)
      continue;
    if (TagMatches(tag, element.header, userType) && LibPartMatches(element, libInd) && result != nullptr)
      result->Push(element.header);
  }
  return NoError;
}

GSErrCode CGSUtil::GSGetElement(API_ElemTypeID type, CMyUserDataCore* tag, CMyUserDataCore::TYPE userType, short layer,
                                GS::Array<API_Guid>& result)
{
  GS::Array<API_Guid> list;
  if (GSErrCode err = ACAPI_Element_GetElemList(type, &list); err != NoError)
    return err;
  for (const API_Guid& guid : list) {
    if (!ACAPI_Element_Filter(guid, 0))
      continue;
    API_Element element;
    element.header.guid = guid;
    if (GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
      return err;
    if (layer != 0 && element.header.layer != layer)
      continue;
    if (TagMatches(tag, element.header, userType))
      result.Push(guid);
  }
  return NoError;
}
