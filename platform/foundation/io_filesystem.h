#pragma once
// IO::Folder, IO::File and IO::FileSystem: file-system services over
// locations, all confined to the sandbox (see io_location.h).

#include "host_errors.h"
#include "host_types.h"
#include "io_location.h"
#include "io_name.h"

#include <filesystem>

namespace IO {

class Folder {
public:
  explicit Folder(const Location& location) : location_(location) {}

  // 0 for an existing folder; FileNotFound, NotAFolder or BadLocation.
  [[nodiscard]] GSErrCode GetStatus() const;
  // Creates the sub-folder name; an existing folder is simply kept.
  [[nodiscard]] GSErrCode CreateFolder(const Name& name);
  // Deletes the entry name (a file, or a folder with its content).
  [[nodiscard]] GSErrCode Delete(const Name& name);
  const Location& GetLocation() const { return location_; }

private:
  Location location_;
};

class File {
public:
  explicit File(const Location& location) : location_(location) {}

  // 0 for an existing regular file; FileNotFound, NotAFile or BadLocation.
  [[nodiscard]] GSErrCode GetStatus() const;
  const Location& GetLocation() const { return location_; }

private:
  Location location_;
};

class FileSystem {
public:
  enum SpecialFolderID : int { UserDocuments = 3, Temporary = 12, ApplicationData = 13 };

  // The folder exists after the call.
  [[nodiscard]] GSErrCode GetSpecialLocation(SpecialFolderID id, Location* location) const;
};

extern FileSystem fileSystem;

}  // namespace IO

// The location of the add-on's own file.
[[nodiscard]] GSErrCode ACAPI_GetOwnLocation(IO::Location* location);

namespace pln::host {
// The folder every location resolves into. By default a fresh folder under
// the system's temporary folder, made on first use and removed at exit.
void SetSandboxRoot(const std::filesystem::path& root);
std::filesystem::path SandboxRoot();
// Removes everything inside the sandbox folder and keeps the folder, so
// that no file one test left behind reaches the next. A root that is the
// file system's own root or the temporary folder itself is left alone.
void ClearSandbox();
// Default: <sandbox>/AddOns/Plenimetra.apx.
void SetOwnLocation(const IO::Location& location);
// The platform path of a location, for the host's own file access;
// empty for an empty location.
std::filesystem::path ToFsPath(const IO::Location& location);
}  // namespace pln::host
