#include "GetAppDataPath.h"

#include "gs_unistring.h"
#include "io_location.h"

std::string GetAppDataPath()
{
  IO::Location location;
  if (IO::fileSystem.GetSpecialLocation(IO::FileSystem::ApplicationData, &location) != NoError)
    return std::string();
  for (const char16_t* name : {u"TALVO Software", u"ArchiCAD26", u"メンセラ"}) {
    IO::Folder folder(location);
    if (folder.CreateFolder(IO::Name(GS::UniString(name))) != NoError ||
        location.AppendToLocal(IO::Name(GS::UniString(name))) != NoError)
      return std::string();
  }
  GS::UniString path;
  if (location.ToPath(&path) != NoError)
    return std::string();
  return path.ToStdString(CC_Default) + "\\";
}
