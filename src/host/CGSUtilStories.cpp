// Story queries of CGSUtil. Each reads the project's story list afresh
// ('GSTO'), so an index the caller holds is clamped to the stories that
// exist now.

#include "CGSUtil.h"

#include "host_environment.h"
#include "host_errors.h"

#include <algorithm>

namespace {

// Owns the story list a 'GSTO' request hands out.
class StoryList {
public:
  StoryList() { err_ = ACAPI_Environment('GSTO', &info_); }
  ~StoryList() { BMKillHandle(reinterpret_cast<GSHandle*>(&info_.data)); }
  StoryList(const StoryList&) = delete;
  StoryList& operator=(const StoryList&) = delete;

  GSErrCode Error() const { return err_ == NoError && info_.data == nullptr ? APIERR_GENERAL : err_; }
  const API_StoryInfo& Info() const { return info_; }
  short Clamp(short n) const { return std::clamp(n, info_.firstStory, info_.lastStory); }
  // The story of index n, which must lie in first..last.
  const API_StoryType& Story(short n) const { return (*info_.data)[n - info_.firstStory]; }

private:
  API_StoryInfo info_;
  GSErrCode err_ = NoError;
};

// The fallback level of a story that can't be read.
constexpr double kUnknownLevel = -1000.0;

}  // namespace

short CGSUtil::GetActStory()
{
  const StoryList stories;
  return stories.Error() == NoError ? stories.Info().actStory : 0;
}

double CGSUtil::GetFlrLevel(short n)
{
  const StoryList stories;
  if (stories.Error() != NoError)
    return kUnknownLevel;
  return stories.Story(stories.Clamp(n)).level;
}

// The top story has no story above it; its height comes out as 0.
double CGSUtil::GetFlrHeight(short n)
{
  const StoryList stories;
  if (stories.Error() != NoError)
    return 0.0;
  const short story = stories.Clamp(n);
  const short above = stories.Clamp(static_cast<short>(story + 1));
  return stories.Story(above).level - stories.Story(story).level;
}

// The name as the host keeps it: a character the 8-bit code lacks is not
// replaced here, so whoever writes the name in that code can refuse it
// naming the story.
GS::UniString CGSUtil::GetFlrName(short n)
{
  const StoryList stories;
  if (stories.Error() != NoError)
    return GS::UniString();
  return GS::UniString(stories.Story(stories.Clamp(n)).uName);
}

GSErrCode CGSUtil::GetLayerHeight(std::vector<double>& levels)
{
  levels.clear();
  const StoryList stories;
  if (stories.Error() != NoError)
    return stories.Error();
  for (short n = stories.Info().firstStory; n <= stories.Info().lastStory; ++n)
    levels.push_back(stories.Story(n).level);
  return NoError;
}

GSErrCode CGSUtil::SetActStory(short n)
{
  API_StoryCmdType command;
  command.action = APIStory_GoTo;
  command.index = n;
  return ACAPI_Environment('CSTO', &command);
}

GSErrCode CGSUtil::ChangeFloor(short n)
{
  return SetActStory(n);
}
