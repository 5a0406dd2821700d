// Attribute helpers of CGSUtil: searches by name, names by index, materials
// and zone categories made on demand, building-material priority.

#include "CGSUtil.h"
#include "CGSUtilText.h"
#include "HostHandles.h"

#include "host_attributes.h"
#include "host_errors.h"
#include "host_libpart.h"

namespace {

// Percentages of the materials made on demand: fully lit surfaces in the
// given colour; the transparent one lets half the light through.
constexpr short kMaterialAmbientPc = 100;
constexpr short kMaterialDiffusePc = 100;
constexpr short kMaterialSpecularPc = 0;
constexpr short kTransparentMaterialPc = 50;

Int32 FindOrCreateMaterial(const unsigned short* name, double r, double g, double b, short transparency)
{
  const Int32 found = CGSUtil::GSSearchAttribute(API_MaterialID, name);
  if (found != 0)
    return found;
  API_Attribute material;
  material.header.typeID = API_MaterialID;
  material.header.name = pln::gsutil::FromUShort(name);
  material.material.surfaceRGB = API_RGBColor{r, g, b};
  material.material.ambientPc = kMaterialAmbientPc;
  material.material.diffusePc = kMaterialDiffusePc;
  material.material.specularPc = kMaterialSpecularPc;
  material.material.transpPc = transparency;
  if (ACAPI_Attribute_Create(&material) != NoError)
    return 0;
  return material.header.index;
}

// The stamp part's default parameters; *params stays null for no stamp.
GSErrCode StampParameters(const unsigned short* stampName, API_AddParType*** params)
{
  *params = nullptr;
  if (stampName == nullptr || stampName[0] == 0)
    return NoError;
  int libInd = 0;
  GSErrCode err = CGSUtil::GetLibPartInd(APILib_ZoneStampID, stampName, &libInd);
  if (err != NoError)
    return err;
  double a = 0.0;
  double b = 0.0;
  Int32 count = 0;
  return ACAPI_LibPart_GetParams(libInd, &a, &b, &count, params);
}

}  // namespace

Int32 CGSUtil::GSSearchAttribute(API_AttrTypeID type, const unsigned short* name)
{
  API_Attr_Head head;
  head.typeID = type;
  head.name = pln::gsutil::FromUShort(name);
  if (ACAPI_Attribute_Search(&head) != NoError)
    return 0;
  return head.index;
}

short CGSUtil::GSSearchFont(const unsigned short* name)
{
  return static_cast<short>(GSSearchAttribute(API_FontID, name));
}

Int32 CGSUtil::GSSearchMaterial(const unsigned short* name)
{
  return GSSearchAttribute(API_MaterialID, name);
}

Int32 CGSUtil::GSSearchFilltype(const unsigned short* name)
{
  return GSSearchAttribute(API_FilltypeID, name);
}

Int32 CGSUtil::GSSearchLinetype(const unsigned short* name)
{
  return GSSearchAttribute(API_LinetypeID, name);
}

GSErrCode CGSUtil::GetAttrName(API_AttrTypeID type, int index, GS::UniString& name)
{
  API_Attribute attribute;
  attribute.header.typeID = type;
  attribute.header.index = index;
  const GSErrCode err = ACAPI_Attribute_Get(&attribute);
  if (err == NoError)
    name = attribute.header.name;
  return err;
}

Int32 CGSUtil::GSGetTransparentMaterial(const unsigned short* name, double r, double g, double b)
{
  return FindOrCreateMaterial(name, r, g, b, kTransparentMaterialPc);
}

Int32 CGSUtil::GSGetSolidMaterial(const unsigned short* name, double r, double g, double b)
{
  return FindOrCreateMaterial(name, r, g, b, 0);
}

// A category that exists already is as good as a new one: its index is
// handed back and the call succeeds.
GSErrCode CGSUtil::SetZoneCategory(const unsigned short* code, const unsigned short* stampName, const char* name,
                                   API_RGBColor color, int* index)
{
  pln::gsutil::ParamsGuard stamp;
  API_AddParType**& params = stamp.params;
  GSErrCode err = StampParameters(stampName, &params);
  if (err != NoError)
    return err;
  API_Attribute category;
  category.header.typeID = API_ZoneCatID;
  category.header.name = GS::UniString(name);
  category.zoneCat.catCode = pln::gsutil::FromUShort(code);
  category.zoneCat.stampName = pln::gsutil::FromUShort(stampName);
  category.zoneCat.rgb = color;
  category.zoneCat.stampParams = params;
  err = ACAPI_Attribute_Create(&category);
  if (err != NoError && err != APIERR_ATTREXIST)
    return err;
  if (index != nullptr)
    *index = category.header.index;
  return NoError;
}

API_RGBColor CGSUtil::GetZoneCatColor(int index)
{
  API_Attribute category;
  category.header.typeID = API_ZoneCatID;
  category.header.index = index;
  if (ACAPI_Attribute_Get(&category) != NoError)
    return API_RGBColor{};
  return category.zoneCat.rgb;
}

Int32 CGSUtil::GetMaxPriorityBuildingMaterial()
{
  Int32 count = 0;
  if (ACAPI_Attribute_GetNum(API_BuildingMaterialID, &count) != NoError)
    return 0;
  Int32 best = 0;
  Int32 bestPriority = 0;
  for (Int32 index = 1; index <= count; ++index) {
    API_Attribute material;
    material.header.typeID = API_BuildingMaterialID;
    material.header.index = index;
    if (ACAPI_Attribute_Get(&material) != NoError)
      continue;  // deleted
    if (best == 0 || material.buildingMaterial.priority > bestPriority) {
      best = index;
      bestPriority = material.buildingMaterial.priority;
    }
  }
  return best;
}
