#pragma once
// The host's file dialog as the settings dialog and its pattern page use it:
// one file type, registered in the root group of a file-type manager of the
// given name, as the only filter; the folder and file of the given path
// preselected.

#include "gs_unistring.h"

struct DlgFileKind {
  const char* managerName;  // UTF-8
  const char* extension;
  const char16_t* filterText;
};

// Open-file dialog when open, else a save dialog. True with the chosen
// file's path in path when the user confirmed; path unchanged otherwise.
bool DlgFileBrowse(bool open, const DlgFileKind& kind, GS::UniString& path);
