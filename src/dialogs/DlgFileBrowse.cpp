#include "DlgFileBrowse.h"

#include "dg_filedialog.h"
#include "ftm_filetypes.h"
#include "io_location.h"

namespace {
// The filter option that shows the type's extension.
constexpr UInt32 kFilterWithExtension = 1;
}  // namespace

bool DlgFileBrowse(bool open, const DlgFileKind& kind, GS::UniString& path)
{
  const IO::Location location(path);
  FTM::FileTypeManager manager(kind.managerName);
  const FTM::FileType type(nullptr, kind.extension, 0, 0, 0);
  FTM::TypeID typeId = manager.SearchForType(type);
  if (typeId == FTM::UnknownType)
    typeId = manager.AddType(type);

  DG::FileDialog dialog(open ? DG::FileDialog::OpenFile : DG::FileDialog::Save);
  const UIndex filter = dialog.AddFilter(typeId, kFilterWithExtension);
  dialog.SetFilterText(filter, GS::UniString(kind.filterText));
  IO::Location folder(location);
  // A location without a last name is a folder already.
  (void)folder.DeleteLastLocalName();
  dialog.SetFolder(folder);
  dialog.SelectFile(location);
  if (!dialog.Invoke())
    return false;
  GS::UniString chosen;
  if (dialog.GetSelectedFile(0).ToPath(&chosen) != NoError)
    return false;
  path = chosen;
  return true;
}
