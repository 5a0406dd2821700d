#pragma once
// IO::Location: a file or folder location.
//
// Paths accept both '/' and '\'. Every location resolves into the sandbox
// folder (pln::host::SandboxRoot()), so nothing outside it is ever touched:
//   c:\temp\x.dat          -> <sandbox>/c/temp/x.dat
//   relative/x.dat         -> <sandbox>/relative/x.dat
//   <sandbox>/x.dat        -> itself
//   /etc/passwd            -> <sandbox>/etc/passwd
// ".." is resolved when the location is built and stops at the root, so it
// can never climb out of the sandbox.

#include "gs_unistring.h"
#include "host_types.h"
#include "io_name.h"

#include <vector>

namespace IO {

class Location {
public:
  Location() = default;
  Location(const GS::UniString& path);
  Location(const char16_t* path) : Location(GS::UniString(path)) {}

  // The platform path inside the sandbox, '/' separated; an error for an
  // empty location.
  [[nodiscard]] GSErrCode ToPath(GS::UniString* path) const;
  // The location as written (drive paths with '\', others with '/').
  [[nodiscard]] GSErrCode ToDisplayText(GS::UniString* text) const;
  bool IsEmpty() const { return root_ == Root::None; }

  [[nodiscard]] GSErrCode GetLastLocalName(Name* name) const;
  [[nodiscard]] GSErrCode DeleteLastLocalName();
  [[nodiscard]] GSErrCode AppendToLocal(const Name& name);
  [[nodiscard]] GSErrCode SetLastLocalName(const Name& name);

  bool operator==(const Location&) const = default;

private:
  enum class Root { None, Relative, Drive, Absolute };

  void AppendPath(const GS::UniString& path);
  GS::UniString JoinNames(char16_t separator) const;

  Root root_ = Root::None;
  char16_t drive_ = 0;  // the drive letter of a drive path
  std::vector<GS::UniString> names_;
};

}  // namespace IO

// Folders, files and the special locations travel with locations.
#include "io_filesystem.h"
