#include "CLayerControl.h"

#include "CGSUtil.h"
#include "GSWriteReport.h"

// Host errors are not passed on: a layer that cannot be read keeps the
// defaults (visible, unlocked), so the guard then changes nothing and
// Reset() leaves the layer as it is.
CLayerControl::CLayerControl(short layer) : m_layer(layer)
{
  static_cast<void>(CGSUtil::GetLayerVisibleStatus(m_layer, &m_bVisible));
  if (!m_bVisible) static_cast<void>(CGSUtil::SetLayerVisibleStatusNew(m_layer, true));
  static_cast<void>(CGSUtil::GetLayerLockStatus(m_layer, &m_bLocked));
  if (m_bLocked) static_cast<void>(CGSUtil::SetLayerLockStatus(m_layer, false));
}

GSErrCode CLayerControl::Reset()
{
  GSErrCode err = NoError;
  if (!m_bVisible)
    err = CGSUtil::SetLayerVisibleStatusNew(m_layer, false);
  if (m_bLocked) {
    const GSErrCode locked = CGSUtil::SetLayerLockStatus(m_layer, true);
    if (err == NoError)
      err = locked;
  }
  return err;
}

GSErrCode CLayerControl::Write(short layer, const std::function<GSErrCode()>& write)
{
  CLayerControl open(layer);
  const GSErrCode err = write();
  if (open.Reset() != NoError)
    ReportLeftOpen({layer});
  return err;
}

void CLayerControl::ReportLeftOpen(const std::vector<short>& layers)
{
  if (layers.empty())
    return;
  GS::UniString names;
  for (short layer : layers) {
    GS::UniString name;
    static_cast<void>(CGSUtil::GetAttrName(API_LayerID, layer, name));
    names += GS::UniString(u"「") + name + u"」";
  }
  GSWriteReport(GS::UniString(u"レイヤー") + names + u"のロックまたは非表示を元に戻せませんでした");
}
