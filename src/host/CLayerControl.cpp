#include "CLayerControl.h"

#include "CGSUtil.h"

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
  const GSErrCode restored = open.Reset();
  return err != NoError ? err : restored;
}
