#include "CKelFileIO.h"

#include "host_assert.h"
#include "host_debug.h"
#include "host_errors.h"
#include "io_location.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

// Byte-string paths are UTF-8, whatever the host's default code is, so a
// Japanese folder name survives every trip through these helpers.
GS::UniString FromPathBytes(const char* path) { return GS::UniString(path, CC_UTF8); }
std::string ToPathBytes(const GS::UniString& text) { return text.ToStdString(CC_UTF8); }

bool ToPlatformPath(const char* path, std::string* platformPath)
{
  if (path == nullptr)
    return false;
  GS::UniString converted;
  if (IO::Location(FromPathBytes(path)).ToPath(&converted) != NoError)
    return false;
  *platformPath = ToPathBytes(converted);
  return true;
}

// The path split before its last name; either separator counts.
std::size_t LastNameStart(const std::string& path)
{
  const std::size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? 0 : separator + 1;
}

IO::Name LastName(const std::string& path) { return IO::Name(FromPathBytes(path.c_str() + LastNameStart(path))); }

std::string WithLastName(const std::string& path, const IO::Name& name)
{
  return path.substr(0, LastNameStart(path)) + ToPathBytes(name.ToString());
}

int SeekOrigin(CKelFileIO::ORIGIN origin)
{
  switch (origin) {
    case CKelFileIO::ORIGIN_BEGIN: return SEEK_SET;
    case CKelFileIO::ORIGIN_CURRENT: return SEEK_CUR;
    case CKelFileIO::ORIGIN_END: return SEEK_END;
  }
  return -1;
}

const char* FileStatusText(GSErrCode status)
{
  switch (status) {
    case IO::FileNotFound: return "FileNotFound\n";
    case IO::NotAFile: return "NotAFile\n";
    case IO::AccessDenied: return "AccessDenied\n";
    case IO::CreationError: return "CreationError\n";
    case -7003: return "Error\n";
    default: return nullptr;
  }
}

}  // namespace

// ---- Opening and closing -------------------------------------------------

bool CKelFileIO::OpenWithMode(const char* path, const char* mode, bool text)
{
  // Opening over an open stream would lose it: the owner closes first.
  PLN_ASSERT(!m_pStream);
  m_pStream = Fopen(path, mode);
  m_bText = text;
  return m_pStream != nullptr;
}

bool CKelFileIO::Open(const char* path) { return OpenWithMode(path, "rb", false); }
bool CKelFileIO::OpenText(const char* path) { return OpenWithMode(path, "rt", true); }
bool CKelFileIO::Create(const char* path) { return OpenWithMode(path, "wb", false); }
bool CKelFileIO::CreateText(const char* path) { return OpenWithMode(path, "wt", true); }
bool CKelFileIO::Save(const char* path) { return OpenWithMode(path, "r+b", false); }

CKelFileIO::~CKelFileIO()
{
  if (m_pStream != nullptr)
    std::fclose(m_pStream);
}

void CKelFileIO::Close()
{
  PLN_ASSERT(m_pStream != nullptr);
  std::fclose(m_pStream);
  m_pStream = nullptr;
}

// ---- Transfers and positions ---------------------------------------------

bool CKelFileIO::Read(void* buffer, unsigned int size)
{
  if (m_pStream == nullptr)
    return false;
  // An empty block is complete by definition (fread would answer 0 items).
  return size == 0 || std::fread(buffer, size, 1, m_pStream) == 1;
}

bool CKelFileIO::Write(const void* buffer, unsigned int size)
{
  if (m_pStream == nullptr)
    return false;
  return size == 0 || std::fwrite(buffer, size, 1, m_pStream) == 1;
}

unsigned int CKelFileIO::GetFilePosition()
{
  return m_pStream != nullptr ? static_cast<unsigned int>(std::ftell(m_pStream)) : 0;
}

unsigned int CKelFileIO::SetFilePosition(int offset, ORIGIN origin)
{
  if (m_pStream == nullptr)
    return 0;
  const unsigned int before = GetFilePosition();
  const int whence = SeekOrigin(origin);
  if (whence >= 0)
    std::fseek(m_pStream, static_cast<long>(offset), whence);
  return before;
}

unsigned int CKelFileIO::GetFileSize()
{
  if (m_pStream == nullptr)
    return 0;
  const long before = std::ftell(m_pStream);
  std::fseek(m_pStream, 0, SEEK_END);
  const long size = std::ftell(m_pStream);
  std::fseek(m_pStream, before, SEEK_SET);
  return static_cast<unsigned int>(size);
}

bool CKelFileIO::WriteOneLine(const char* text)
{
  if (text == nullptr) {
    std::fseek(m_pStream, 0, SEEK_SET);
    return true;
  }
  const char* lineEnd = m_bText ? "\n" : "\r\n";
  const bool wroteText = Write(text, static_cast<unsigned int>(std::strlen(text)));
  const bool wroteEnd = Write(lineEnd, static_cast<unsigned int>(std::strlen(lineEnd)));
  return wroteText && wroteEnd;
}

bool CKelFileIO::ReadOneLine2(char* buffer, unsigned short size)
{
  if (buffer == nullptr) {
    std::fseek(m_pStream, 0, SEEK_SET);
    return true;
  }
  // A buffer of one byte holds only the terminator: no line can be read
  // into it, and answering true would let a caller loop for ever.
  if (size < 2) {
    if (size == 1)
      buffer[0] = '\0';
    return false;
  }
  buffer[0] = '\0';
  return std::fgets(buffer, size, m_pStream) != nullptr;
}

// ---- File system -----------------------------------------------------------

std::FILE* CKelFileIO::Fopen(const char* path, const char* mode)
{
  std::string platformPath;
  if (!ToPlatformPath(path, &platformPath))
    return nullptr;
  return std::fopen(platformPath.c_str(), mode);
}

bool CKelFileIO::PathFileExistsA(const char* path)
{
  if (path == nullptr)
    return false;
  const GSErrCode status = IO::File(IO::Location(FromPathBytes(path))).GetStatus();
  if (const char* text = FileStatusText(status))
    DBPrintf("%s", text);
  return status == NoError;
}

bool CKelFileIO::DeleteFileA(const char* path)
{
  if (path == nullptr)
    return false;
  IO::Location folder(FromPathBytes(path));
  IO::Name name;
  if (folder.GetLastLocalName(&name) != NoError || folder.DeleteLastLocalName() != NoError)
    return false;
  return IO::Folder(folder).Delete(name) == NoError;
}

bool CKelFileIO::MoveFile(const char* from, const char* to)
{
  // One rename over the target: it is replaced atomically, so a failed move
  // never leaves the target deleted.
  std::string fromPath;
  std::string toPath;
  if (!ToPlatformPath(from, &fromPath) || !ToPlatformPath(to, &toPath))
    return false;
  std::error_code error;
  std::filesystem::rename(fromPath, toPath, error);
  return !error;
}

std::string CKelFileIO::GetExtension(const char* path)
{
  if (path == nullptr)
    return std::string();
  return ToPathBytes(LastName(path).GetExtension());
}

std::string CKelFileIO::PathFindExtension(const char* path) { return std::string(".").append(GetExtension(path)); }

std::string CKelFileIO::ChangeExtension(const char* name, const char* ext)
{
  if (name == nullptr)
    return std::string();
  IO::Name last = LastName(name);
  last.DeleteExtension();
  last.AppendExtension(FromPathBytes(ext));
  return WithLastName(name, last);
}

std::string CKelFileIO::PathRemoveExtension(const char* path)
{
  if (path == nullptr)
    return std::string();
  IO::Name last = LastName(path);
  last.DeleteExtension();
  return WithLastName(path, last);
}

std::string CKelFileIO::PathFindFileName(const std::string& path)
{
  IO::Name last = LastName(path);
  last.DeleteExtension();
  return ToPathBytes(last.ToString());
}

std::string CKelFileIO::GetTempFileNameA(const char* prefix, unsigned int /*unused*/)
{
  IO::Location folder;
  GS::UniString folderPath;
  if (IO::fileSystem.GetSpecialLocation(IO::FileSystem::Temporary, &folder) != NoError ||
      folder.ToPath(&folderPath) != NoError)
    return std::string();
  // mkstemp claims the name by creating the file, so no other caller can take
  // it between our choice and the caller's first write; unlike tempnam it
  // also keeps to the host's folder whatever TMPDIR says.
  const std::string prefixText = prefix != nullptr ? prefix : "";
  if (prefixText.find_first_of("/\\") != std::string::npos)
    return std::string();
  std::string pattern = ToPathBytes(folderPath) + "/" + prefixText + "XXXXXX";
  const int descriptor = ::mkstemp(pattern.data());
  if (descriptor < 0)
    return std::string();
  ::close(descriptor);
  return pattern;
}
