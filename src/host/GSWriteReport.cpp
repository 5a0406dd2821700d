#include "GSWriteReport.h"

#include "CGSUtil.h"
#include "host_alert.h"
#include "host_errors.h"

#include <cstdio>

namespace {
// The host's icon choice for the alert.
constexpr short kAlertKind = -3;
}  // namespace

GS::UniString GSReportText(int err)
{
  if (err == NoError || err == APIERR_CANCEL)
    return GS::UniString();
  if (err == APIERR_BADNAME)
    return GS::UniString(u"必要なオブジェクトが見つかりません");
  // A padded name is 31 characters; the code takes at most 11.
  char text[64];
  std::snprintf(text, sizeof text, "(%d)%s", err, CGSUtil::ErrID_To_Name(err));
  return GS::UniString(text, CC_Default);
}

void GSWriteReport(int err)
{
  if (const GS::UniString text = GSReportText(err); !text.IsEmpty())
    GSWriteReport(text);
}

void GSWriteReport(const GS::UniString& text)
{
  DGAlert(kAlertKind, GS::UniString(u"メンセラ"), text, GS::UniString(), GS::UniString(u"Ok"));
}

GS::UniString GSCauseText(int err)
{
  if (err == APIERR_NOTMINE)
    return GS::UniString(u"確保されていない要素があります（フロア未確保）。パレットの「確保」で確保してから、もう一度操作してください。");
  if (err == APIERR_LOCKEDLAY)
    return GS::UniString(u"レイヤーがロックされています。ロックを解除してから、もう一度操作してください。");
  if (err == APIERR_HIDDENLAY)
    return GS::UniString(u"レイヤーが非表示です。表示してから、もう一度操作してください。");
  if (err == APIERR_NOACCESSRIGHT)
    return GS::UniString(u"この操作を行う権限がありません。");
  return GSReportText(err);
}

void GSWriteFailure(const GS::UniString& notDone, int err)
{
  if (const GS::UniString cause = GSCauseText(err); !cause.IsEmpty())
    GSWriteReport(notDone + cause);
}
