#pragma once
// A file replaced whole or not at all. The bytes go to a copy beside the
// target ("<target>.tmp"), which takes the target's place in one rename
// only when it was created, every write went through and it closed
// cleanly; otherwise the copy is removed and an older target stays as it
// was. Paths are UTF-8 byte strings, mapped like every CKelFileIO path.

#include <cstddef>
#include <cstdio>
#include <string>

class CKelCompleteCopy {
public:
  CKelCompleteCopy() = default;
  // A copy still open is abandoned: never half a file in the target's place.
  ~CKelCompleteCopy();
  CKelCompleteCopy(const CKelCompleteCopy&) = delete;
  CKelCompleteCopy& operator=(const CKelCompleteCopy&) = delete;

  static std::string CopyPathOf(const std::string& target);

  // Creates the copy for the target; false when it could not be created.
  [[nodiscard]] bool Open(const std::string& target);
  bool IsOpen() const { return m_pFile != nullptr; }
  // False, and remembered, when fewer bytes went out than asked (or no
  // copy is open).
  [[nodiscard]] bool Write(const void* data, std::size_t size);
  [[nodiscard]] bool HasFailed() const { return m_bFailed; }
  // Closes the copy; when nothing failed it replaces the target. True only
  // when the target now holds the complete copy.
  [[nodiscard]] bool Finish();
  // Closes and removes the copy; the target is left untouched.
  void Abandon();

private:
  std::FILE* m_pFile = nullptr;
  std::string m_Target;
  bool m_bFailed = false;
};
