#pragma once
// Attributes by type and 1-based index: pens (colour as 0..1 fractions),
// layers (flags APILay_*), line types, fills, materials, layer
// combinations, zone categories, fonts and building materials. Names are
// unique per type, compared exactly.

#include "host_api_types.h"

// By header.typeID and header.index: APIERR_BADINDEX for an index that
// never existed or was deleted. zoneCat.stampParams is not handed out.
[[nodiscard]] GSErrCode ACAPI_Attribute_Get(API_Attribute* attribute);
// By head->typeID and head->name: sets head->index; APIERR_BADNAME when
// there is no such attribute.
[[nodiscard]] GSErrCode ACAPI_Attribute_Search(API_Attr_Head* head);
// Appends a new attribute and sets its index. A name already in use answers
// APIERR_ATTREXIST with the existing attribute's index in header.index. A
// zone category copies the stamp parameters of zoneCat.stampParams (the
// caller keeps its list).
[[nodiscard]] GSErrCode ACAPI_Attribute_Create(API_Attribute* attribute);
// Replaces the attribute of header.index (a null stamp list keeps the
// stored one).
[[nodiscard]] GSErrCode ACAPI_Attribute_Modify(API_Attribute* attribute);
// The number of indices in use, deleted ones included.
[[nodiscard]] GSErrCode ACAPI_Attribute_GetNum(API_AttrTypeID type, Int32* count);

namespace pln::host {
// The user deletes an attribute; its index stays taken.
[[nodiscard]] GSErrCode DeleteAttribute(API_AttrTypeID type, Int32 index);
}
