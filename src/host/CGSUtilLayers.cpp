// Layer switches of CGSUtil. A layer's state lives in its attribute flags:
// hidden (1), locked (2) and forced to wireframe (16). Every setter writes
// the attribute only when the flag really changes, so a guard that restores
// an unchanged layer causes no host modification.

#include "CGSUtil.h"
#include "CGSUtilText.h"

#include "host_attributes.h"
#include "host_environment.h"
#include "host_errors.h"

namespace {

GSErrCode ReadLayer(short layer, API_Attribute& attribute)
{
  attribute = API_Attribute{};
  attribute.header.typeID = API_LayerID;
  attribute.header.index = layer;
  return ACAPI_Attribute_Get(&attribute);
}

GSErrCode ReadLayerFlag(short layer, UInt32 flag, bool* isSet)
{
  API_Attribute attribute;
  const GSErrCode err = ReadLayer(layer, attribute);
  if (err == NoError && isSet != nullptr)
    *isSet = (attribute.header.flags & flag) != 0;
  return err;
}

// Sets or clears one flag; *changed tells whether the layer was written.
GSErrCode WriteLayerFlag(short layer, UInt32 flag, bool set, bool* changed = nullptr)
{
  if (changed != nullptr)
    *changed = false;
  API_Attribute attribute;
  GSErrCode err = ReadLayer(layer, attribute);
  if (err != NoError)
    return err;
  const UInt32 flags = set ? (attribute.header.flags | flag) : (attribute.header.flags & ~flag);
  if (flags == attribute.header.flags)
    return NoError;
  attribute.header.flags = flags;
  err = ACAPI_Attribute_Modify(&attribute);
  if (err == NoError && changed != nullptr)
    *changed = true;
  return err;
}

bool IsHiddenFlagChange(short layer, bool visible, GSErrCode* err)
{
  bool wasVisible = false;
  *err = ReadLayerFlag(layer, APILay_Hidden, &wasVisible);
  wasVisible = !wasVisible;
  return *err == NoError && wasVisible != visible;
}

}  // namespace

GSErrCode CGSUtil::GetLayerLockStatus(short layer, bool* locked)
{
  return ReadLayerFlag(layer, APILay_Locked, locked);
}

GSErrCode CGSUtil::GetLayerVisibleStatus(short layer, bool* visible)
{
  bool hidden = false;
  const GSErrCode err = ReadLayerFlag(layer, APILay_Hidden, &hidden);
  if (err == NoError && visible != nullptr)
    *visible = !hidden;
  return err;
}

GSErrCode CGSUtil::GetLayerForceToWire(short layer, bool* wire)
{
  return ReadLayerFlag(layer, APILay_ForceToWire, wire);
}

GSErrCode CGSUtil::SetLayerLockStatus(short layer, bool lock)
{
  return WriteLayerFlag(layer, APILay_Locked, lock);
}

GSErrCode CGSUtil::SetLayerVisibleStatusNew(short layer, bool visible)
{
  return WriteLayerFlag(layer, APILay_Hidden, !visible);
}

GSErrCode CGSUtil::SetLayerForceToWire(short layer, bool wire)
{
  return WriteLayerFlag(layer, APILay_ForceToWire, wire);
}

// The older switch: the 3D window does not follow a layer change made while
// it is in front, so the change is made from the floor plan and the 3D
// window is then brought back (shown) or told to rebuild its selection
// (hidden).
GSErrCode CGSUtil::SetLayerVisibleStatusOld(short layer, bool visible)
{
  GSErrCode err = NoError;
  if (!IsHiddenFlagChange(layer, visible, &err))
    return err;
  API_WindowInfo front;
  err = ACAPI_Database('GWIN', &front);
  if (err != NoError)
    return err;
  if (front.typeID != APIWind_3DModelID)
    return WriteLayerFlag(layer, APILay_Hidden, !visible);

  API_WindowInfo plan;
  plan.typeID = APIWind_FloorPlanID;
  err = ACAPI_Automate('CHWD', &plan);
  if (err == NoError)
    err = WriteLayerFlag(layer, APILay_Hidden, !visible);
  if (err != NoError)
    return err;
  return visible ? ACAPI_Automate('CHWD', &front) : ACAPI_Automate('SS3D');
}

short CGSUtil::GSSelectLayer(const unsigned short* name, int value)
{
  const Int32 found = GSSearchAttribute(API_LayerID, name);
  if (found != 0)
    return static_cast<short>(found);
  API_Attribute layer;
  layer.header.typeID = API_LayerID;
  layer.header.name = pln::gsutil::FromUShort(name);
  layer.layer.conClassId = value;
  if (ACAPI_Attribute_Create(&layer) != NoError)
    return 0;
  return static_cast<short>(layer.header.index);
}

void CGSUtil::SeparateLayerName(std::string name, std::string& a, std::string& b)
{
  const std::size_t dot = name.find('.');
  if (dot == std::string::npos) {
    a = name;
    b.clear();
    return;
  }
  a = name.substr(0, dot);
  b = name.substr(dot + 1);
}

GSErrCode CGSUtil::SaveLayerComb(const char* name)
{
  Int32 count = 0;
  GSErrCode err = ACAPI_Attribute_GetNum(API_LayerID, &count);
  if (err != NoError)
    return err;
  API_Attribute comb;
  comb.header.typeID = API_LayerCombID;
  comb.header.name = GS::UniString(name);
  for (Int32 index = 1; index <= count; ++index) {
    API_Attribute layer;
    // A deleted layer keeps its index taken but can no longer be read.
    if (ReadLayer(static_cast<short>(index), layer) != NoError)
      continue;
    comb.layerComb.layerStats.push_back(API_LayerStat{index, layer.header.flags, layer.layer.conClassId});
  }
  return ACAPI_Attribute_Create(&comb);
}
