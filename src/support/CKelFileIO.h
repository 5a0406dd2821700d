#pragma once
// The one file object of the library: a thin wrapper over a C stdio stream.
// Paths are byte strings (UTF-8), mapped to the file system through the
// host's IO::Location. The destructor closes a stream still open, so an
// early return or a throw neither leaks it nor loses what was written.

#include <cstdio>
#include <string>

class CKelFileIO {
public:
  enum ORIGIN { ORIGIN_BEGIN = 0, ORIGIN_CURRENT = 1, ORIGIN_END = 2 };

  CKelFileIO() = default;
  ~CKelFileIO();
  CKelFileIO(const CKelFileIO&) = delete;
  CKelFileIO& operator=(const CKelFileIO&) = delete;

  [[nodiscard]] bool Open(const char* path);        // "rb"
  [[nodiscard]] bool OpenText(const char* path);    // "rt"
  [[nodiscard]] bool Create(const char* path);      // "wb"
  [[nodiscard]] bool CreateText(const char* path);  // "wt"
  [[nodiscard]] bool Save(const char* path);        // "r+b"
  void Close();
  bool IsOpen() const { return m_pStream != nullptr; }
  std::FILE* GetStream() const { return m_pStream; }

  [[nodiscard]] bool Read(void* buffer, unsigned int size);
  [[nodiscard]] bool Write(const void* buffer, unsigned int size);
  // Positions and sizes of a closed file are 0.
  unsigned int GetFilePosition();
  // The offset is signed: a negative offset from the current position steps back.
  unsigned int SetFilePosition(int offset, ORIGIN origin);
  unsigned int GetFileSize();
  [[nodiscard]] bool WriteOneLine(const char* text);
  [[nodiscard]] bool ReadOneLine2(char* buffer, unsigned short size);

  static std::FILE* Fopen(const char* path, const char* mode);
  static bool PathFileExistsA(const char* path);
  [[nodiscard]] static bool DeleteFileA(const char* path);
  [[nodiscard]] static bool MoveFile(const char* from, const char* to);
  static std::string GetExtension(const char* path);
  static std::string PathFindExtension(const char* path);
  static std::string ChangeExtension(const char* name, const char* ext);
  static std::string PathRemoveExtension(const char* path);
  static std::string PathFindFileName(const std::string& path);
  static std::string GetTempFileNameA(const char* prefix, unsigned int unused);

private:
  [[nodiscard]] bool OpenWithMode(const char* path, const char* mode, bool text);

  std::FILE* m_pStream = nullptr;
  bool m_bText = false;
};
