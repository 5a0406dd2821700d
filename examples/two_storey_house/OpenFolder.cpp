#include "OpenFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

OpenFd::~OpenFd()
{
  if (fd_ >= 0)
    ::close(fd_);
}

OpenFd OpenFd::At(int at, const char* name, int flags, mode_t mode)
{
  const int fd = ::openat(at, name, flags, mode);
  return OpenFd(fd, ErrorOf(fd));
}

OpenFolder OpenFolder::Below(int at, const char* name)
{
  const int fd = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  return OpenFolder(fd, ErrorOf(fd));
}

OpenFolder OpenFolder::HandleBelow(int at, const char* name)
{
  const int fd = ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  return OpenFolder(fd, ErrorOf(fd));
}

OpenFolder OpenFolder::Descend(const std::filesystem::path& relative) const
{
  OpenFolder current = Below(Fd(), ".");
  for (const std::filesystem::path& name : relative)
    if (current.IsOpen())
      current = Below(current.Fd(), name.c_str());
  return current;
}

std::vector<std::string> OpenFolder::Names(int* error) const
{
  std::vector<std::string> names;
  // A copy of the descriptor, which closedir closes: the folder is read
  // as it was opened, without a permission check of its own.
  const int fd = ::fcntl(Fd(), F_DUPFD_CLOEXEC, 0);
  DIR* stream = fd < 0 ? nullptr : ::fdopendir(fd);
  int failed = stream == nullptr ? errno : 0;
  if (stream == nullptr && fd >= 0)
    ::close(fd);
  if (stream != nullptr) {
    ::rewinddir(stream);
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(stream);
      if (entry == nullptr) {
        failed = errno;
        break;
      }
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        names.emplace_back(entry->d_name);
    }
    ::closedir(stream);
  }
  if (error != nullptr)
    *error = failed;
  return names;
}

bool OpenFolder::StatusOf(const std::string& name, struct stat& status) const
{
  return ::fstatat(Fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

bool OpenFolder::Status(struct stat& status) const { return ::fstat(Fd(), &status) == 0; }

bool OpenFolder::Removed() const
{
  struct stat status = {};
  return Status(status) && status.st_nlink == 0;
}
