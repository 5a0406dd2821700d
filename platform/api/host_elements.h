#pragma once
// Elements of the add-on interface: defaults, create, read, change with a
// field mask and a memo, delete, list, filter, group; memos and their
// disposal.
//
// Every write refuses an element on a hidden or locked layer
// (APIERR_HIDDENLAY, APIERR_LOCKEDLAY) and, in teamwork, an element this
// user has not reserved (APIERR_NOTMINE). Reads by GUID work in any
// database; lists cover the current database only. The add-on's own writes
// raise no element notifications.

#include "host_api_types.h"

// The record of the kind header.typeID with the host's defaults: the layer
// 1, the active story, pen and line type 1, object sizes 1 x 1 m, text size
// 2.5 mm and font 1, unless a test set other defaults. The memo is emptied.
[[nodiscard]] GSErrCode ACAPI_Element_GetDefaults(API_Element* element, API_ElementMemo* memo);

// Creates the element in the current database and writes the stored record
// (with its new GUID) back into *element. memo may be null; a polygon kind
// needs its polygon, a text its text content, a morph its body
// (ACAPI_Body_Finish); an object takes the memo's parameter list, or its
// library part's defaults when the memo has none.
[[nodiscard]] GSErrCode ACAPI_Element_Create(API_Element* element, API_ElementMemo* memo);

// By element->header.guid: APIERR_BADID when unknown, APIERR_DELETED after
// deletion.
[[nodiscard]] GSErrCode ACAPI_Element_Get(API_Element* element);
[[nodiscard]] GSErrCode ACAPI_Element_GetHeader(API_Elem_Head* header);
// Fills the memo parts chosen by mask with fresh handles; the caller frees
// them with ACAPI_DisposeElemMemoHdls.
[[nodiscard]] GSErrCode ACAPI_Element_GetMemo(const API_Guid& guid, API_ElementMemo* memo,
                                              UInt64 mask = APIMemoMask_All);
[[nodiscard]] GSErrCode ACAPI_DisposeElemMemoHdls(API_ElementMemo* memo);

// Takes the fields marked in mask from *element (mask may be null: no
// field) and the memo parts chosen by memoMask from memo (may be null);
// writes the stored record back into *element. withDel is accepted and not
// used by this host.
[[nodiscard]] GSErrCode ACAPI_Element_Change(API_Element* element, const API_ElementMask* mask,
                                             const API_ElementMemo* memo, UInt64 memoMask, bool withDel);

// Test hooks: every call of ACAPI_Element_Change since the last reset that
// reached the element, with how many fields its mask marked and its memo
// mask, answered or not.
namespace pln::host {
struct ElementChange {
  API_Guid guid;
  std::size_t maskedFields = 0;
  UInt64 memoMask = 0;
};
const std::vector<ElementChange>& ElementChanges();
void ClearElementChanges();
}  // namespace pln::host

// All or nothing: when one element cannot be deleted nothing is.
[[nodiscard]] GSErrCode ACAPI_Element_Delete(const GS::Array<API_Guid>& guids);

// The live elements of the type in the current database, in creation
// order; API_ZombieElemID lists every type.
[[nodiscard]] GSErrCode ACAPI_Element_GetElemList(API_ElemTypeID type, GS::Array<API_Guid>* list);

// Whether the element is live and passes every filter bit (APIFilt_*).
bool ACAPI_Element_Filter(const API_Guid& guid, UInt32 filterBits);

// Makes the elements one group; its GUID goes to *groupGuid when asked for.
[[nodiscard]] GSErrCode ACAPI_ElementGroup_Create(const GS::Array<API_Guid>& elements, API_Guid* groupGuid = nullptr,
                                                  const API_Guid* parentGroupGuid = nullptr);
