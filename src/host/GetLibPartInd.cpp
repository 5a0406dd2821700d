#include "GetLibPartInd.h"

#include "CGSUtil.h"
#include "host_libpart.h"

GSErrCode GetLibPartInd(const unsigned short* name, int* index)
{
  return CGSUtil::GetLibPartInd(APILib_ObjectID, name, index);
}
