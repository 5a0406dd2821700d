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

// Whether the element carries a tag of the wanted type. An element without
// user data, or with a record too short to be a tag (another add-on's),
// has none: the tag keeps its empty type, which matches no wanted one. Any
// other failed read ends the search, since an element passed over there
// would stay where the caller clears or deletes.
GSErrCode TagMatches(CMyUserDataCore* tag, const API_Elem_Head& head, CMyUserDataCore::TYPE userType, bool& matches)
{
  matches = true;
  if (tag == nullptr)
    return NoError;
  const GSErrCode err = tag->GetUserData(&head);
  matches = tag->GetType() == userType;
  const bool untagged = err == APIERR_NOUSERDATA || err == APIERR_BADPARS;
  if (err == NoError || err == APIERR_DELETED || untagged)
    return NoError;
  matches = false;
  return err;
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
    if (!readable)
      continue;
    bool tagged = false;
    if (GSErrCode err = TagMatches(tag, element.header, userType, tagged); err != NoError)
      return err;
    if (!tagged || !LibPartMatches(element, libInd))
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
    bool tagged = false;
    if (GSErrCode err = TagMatches(tag, element.header, userType, tagged); err != NoError)
      return err;
    if (tagged && LibPartMatches(element, libInd) && result != nullptr)
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
    bool tagged = false;
    if (GSErrCode err = TagMatches(tag, element.header, userType, tagged); err != NoError)
      return err;
    if (tagged)
      result.Push(guid);
  }
  return NoError;
}
