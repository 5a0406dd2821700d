#pragma once
// The selection of elements. Every change of it is reported to the
// selection handler at once, inside the call that made it, whoever made it
// (deleting a selected element, or undoing its creation, changes it too).

#include "host_api_types.h"

// The selected live elements in selection order; an empty selection
// answers APIERR_NOSEL with a count of 0. onlyEditable keeps the elements
// this user may write; ignorePartialSelection leaves out the elements that
// are selected only in part (HostFixture::UserSelect).
[[nodiscard]] GSErrCode ACAPI_Selection_Get(API_SelectionInfo* info, GS::Array<API_Neig>* neigs, bool onlyEditable,
                                            bool ignorePartialSelection = true);
// add: appends the elements not selected yet, each wholly selected;
// otherwise removes them. All
// must be live elements of the current database (APIERR_BADID /
// APIERR_DELETED), else nothing changes.
[[nodiscard]] GSErrCode ACAPI_Element_Select(const GS::Array<API_Neig>& neigs, bool add);
[[nodiscard]] GSErrCode ACAPI_Element_DeselectAll();
