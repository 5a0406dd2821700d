#pragma once
// Descriptors of open folders and files, closed when they go. A run that
// shares its folders with others reaches every name through the open
// folder that holds it, never through a path it resolves again, and never
// through a symbolic link: a link planted anywhere, or a folder above
// renamed, cannot lead it elsewhere.

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// The errno of a call that answered result: 0 when it did not fail (-1).
// Read as the call's result is passed in, before anything else can change it
// (an argument beside the call, as in f(call(), errno), may be read first).
inline int ErrorOf(long result) { return result == -1 ? errno : 0; }

// An open file or folder; error is the errno of a failed open.
class OpenFd {
public:
  OpenFd() = default;
  explicit OpenFd(int fd, int error = 0) : fd_(fd), error_(fd < 0 ? error : 0) {}
  // openat(at, name, flags, mode), with its errno when it failed.
  static OpenFd At(int at, const char* name, int flags, mode_t mode = 0);
  OpenFd(OpenFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}
  OpenFd& operator=(OpenFd&& other) noexcept
  {
    std::swap(fd_, other.fd_);
    error_ = other.error_;
    return *this;
  }
  OpenFd(const OpenFd&) = delete;
  OpenFd& operator=(const OpenFd&) = delete;
  ~OpenFd();

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  int Error() const { return error_; }

private:
  int fd_ = -1;
  int error_ = 0;
};

class OpenFolder : public OpenFd {
public:
  OpenFolder() = default;
  // name below the open folder at, never through a link.
  static OpenFolder Below(int at, const char* name);
  // The same, as a handle that only finds names below it and needs no
  // permission to read the folder (O_PATH).
  static OpenFolder HandleBelow(int at, const char* name);

  // The folder relative below this one, one name at a time.
  OpenFolder Descend(const std::filesystem::path& relative) const;
  // The names in the folder, without "." and ".."; error (when given) is
  // set to the errno of a folder that cannot be read.
  std::vector<std::string> Names(int* error = nullptr) const;
  // The entry's status, a link not followed; false when there is none.
  bool StatusOf(const std::string& name, struct stat& status) const;
  bool Status(struct stat& status) const;
  // True once the folder was removed (a removed folder has no links).
  bool Removed() const;

private:
  using OpenFd::OpenFd;
};
