#include "host_attributes.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"

using namespace pln::host;

namespace {

bool IsKnownType(API_AttrTypeID type)
{
  switch (type) {
  case API_PenID:
  case API_LayerID:
  case API_LinetypeID:
  case API_FilltypeID:
  case API_MaterialID:
  case API_LayerCombID:
  case API_ZoneCatID:
  case API_FontID:
  case API_BuildingMaterialID:
    return true;
  default:
    return false;
  }
}

// The live attribute of the type with the name, or nullptr.
StoredAttribute* FindByName(API_AttrTypeID type, const GS::UniString& name)
{
  for (StoredAttribute& stored : TheModel().attributes[type])
    if (!stored.deleted && stored.attribute.header.name == name)
      return &stored;
  return nullptr;
}

}  // namespace

GSErrCode ACAPI_Attribute_Get(API_Attribute* attribute)
{
  if (GSErrCode err = Enter("ACAPI_Attribute_Get"); err != NoError)
    return err;
  if (attribute == nullptr || !IsKnownType(attribute->header.typeID))
    return APIERR_BADPARS;
  const StoredAttribute* stored = FindAttribute(attribute->header.typeID, attribute->header.index);
  if (stored == nullptr)
    return APIERR_BADINDEX;
  *attribute = stored->attribute;
  return NoError;
}

GSErrCode ACAPI_Attribute_Search(API_Attr_Head* head)
{
  if (GSErrCode err = Enter("ACAPI_Attribute_Search"); err != NoError)
    return err;
  if (head == nullptr || !IsKnownType(head->typeID))
    return APIERR_BADPARS;
  const StoredAttribute* stored = FindByName(head->typeID, head->name);
  if (stored == nullptr)
    return APIERR_BADNAME;
  head->index = stored->attribute.header.index;
  return NoError;
}

GSErrCode ACAPI_Attribute_Create(API_Attribute* attribute)
{
  if (GSErrCode err = Enter("ACAPI_Attribute_Create"); err != NoError)
    return err;
  if (attribute == nullptr || !IsKnownType(attribute->header.typeID))
    return APIERR_BADPARS;
  API_Attr_Head& head = attribute->header;
  if (head.name.IsEmpty())
    return APIERR_BADNAME;
  if (const StoredAttribute* existing = FindByName(head.typeID, head.name); existing != nullptr) {
    head.index = existing->attribute.header.index;
    return APIERR_ATTREXIST;
  }
  auto& list = TheModel().attributes[head.typeID];
  StoredAttribute stored;
  stored.attribute = *attribute;
  stored.attribute.header.index = static_cast<Int32>(list.size()) + 1;
  stored.attribute.zoneCat.stampParams = nullptr;
  stored.stampParams = StoreParams(attribute->zoneCat.stampParams);
  list.push_back(stored);
  head.index = stored.attribute.header.index;
  return NoError;
}

GSErrCode ACAPI_Attribute_Modify(API_Attribute* attribute)
{
  if (GSErrCode err = Enter("ACAPI_Attribute_Modify"); err != NoError)
    return err;
  if (attribute == nullptr || !IsKnownType(attribute->header.typeID))
    return APIERR_BADPARS;
  StoredAttribute* stored = FindAttribute(attribute->header.typeID, attribute->header.index);
  if (stored == nullptr)
    return APIERR_BADINDEX;
  const StoredAttribute* sameName = FindByName(attribute->header.typeID, attribute->header.name);
  if (attribute->header.name.IsEmpty())
    return APIERR_BADNAME;
  if (sameName != nullptr && sameName != stored)
    return APIERR_ATTREXIST;
  if (attribute->zoneCat.stampParams != nullptr)
    stored->stampParams = StoreParams(attribute->zoneCat.stampParams);
  stored->attribute = *attribute;
  stored->attribute.zoneCat.stampParams = nullptr;
  return NoError;
}

GSErrCode ACAPI_Attribute_GetNum(API_AttrTypeID type, Int32* count)
{
  if (GSErrCode err = Enter("ACAPI_Attribute_GetNum"); err != NoError)
    return err;
  if (count == nullptr || !IsKnownType(type))
    return APIERR_BADPARS;
  *count = static_cast<Int32>(TheModel().attributes[type].size());
  return NoError;
}

namespace pln::host {

GSErrCode DeleteAttribute(API_AttrTypeID type, Int32 index)
{
  StoredAttribute* stored = FindAttribute(type, index);
  if (stored == nullptr)
    return APIERR_BADINDEX;
  stored->deleted = true;
  return NoError;
}

}  // namespace pln::host
