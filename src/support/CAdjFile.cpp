#include "CAdjFile.h"

#include "CKelFileIO.h"
#include "KelByteOrder.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct BlockHeader {
  std::uint64_t start = 0;  // position of the id
  std::uint32_t id = 0;
  std::uint32_t length = 0;
};

enum class WalkEnd {
  Complete,  // every block up to the end of the file was visited
  Stopped,   // the visitor asked to stop
  Broken,    // a header could not be read or a length runs past the end
};

constexpr unsigned int kHeaderBytes = 8;

bool ReadU32(CKelFileIO& file, std::uint32_t& value) { return KelByteOrder::Read(file, value); }

bool WriteU32(CKelFileIO& file, std::uint32_t value) { return KelByteOrder::Write(file, value); }

// Positions travel as the file object's signed 32-bit offsets.
bool Seek(CKelFileIO& file, std::uint64_t position)
{
  if (position > INT_MAX)
    return false;
  file.SetFilePosition(static_cast<int>(position), CKelFileIO::ORIGIN_BEGIN);
  return file.GetFilePosition() == position;
}

bool Flush(CKelFileIO& file) { return std::fflush(file.GetStream()) == 0 && !std::ferror(file.GetStream()); }

// Visits the blocks from the start of the file; visit(header) is called with
// the file positioned at the block's data and answers true to stop. The
// visitor may move the position: each block is sought afresh. A length that
// runs past the end of the file ends the walk, so a damaged length can
// neither step backwards nor skip into nowhere.
template <class Visit>
WalkEnd WalkBlocks(CKelFileIO& file, Visit visit)
{
  const std::uint64_t size = file.GetFileSize();
  std::uint64_t position = 0;
  while (position < size) {
    BlockHeader block;
    block.start = position;
    if (!Seek(file, position) || !ReadU32(file, block.id) || !ReadU32(file, block.length))
      return WalkEnd::Broken;
    const std::uint64_t dataStart = position + kHeaderBytes;
    if (block.length > size - dataStart || block.length > INT_MAX)
      return WalkEnd::Broken;
    if (visit(block))
      return WalkEnd::Stopped;
    position = dataStart + block.length;
  }
  return WalkEnd::Complete;
}

// Overwrites the id of every block of id that starts before limit.
bool MaskBlocks(CKelFileIO& file, std::uint32_t id, std::uint32_t maskId, std::uint64_t limit)
{
  bool written = true;
  const WalkEnd end = WalkBlocks(file, [&](const BlockHeader& block) {
    if (block.id == id && block.start < limit)
      written = Seek(file, block.start) && WriteU32(file, maskId);
    return !written;
  });
  return written && end == WalkEnd::Complete;
}

// reader(length) of the first block of id in the file at path; failure when
// the file cannot be opened or holds no such block.
template <class CallReader>
int LoadFirstBlock(const char* path, std::uint32_t id, int failure, CallReader callReader)
{
  CKelFileIO file;
  if (!file.Open(path))
    return failure;
  int result = failure;
  WalkBlocks(file, [&](const BlockHeader& block) {
    if (block.id != id)
      return false;
    result = callReader(file, static_cast<int>(block.length));
    return true;
  });
  file.Close();
  return result;
}

// ---- Saving a block --------------------------------------------------------

// Appends the header of a block with an empty length; its start in *start.
bool AppendHeader(CKelFileIO& file, std::uint32_t id, std::uint64_t* start)
{
  file.SetFilePosition(0, CKelFileIO::ORIGIN_END);
  *start = file.GetFilePosition();
  return WriteU32(file, id) && WriteU32(file, 0);
}

// Writes the length of the block at start, which runs to the end of the file,
// and masks the block itself when its content is not to be kept.
bool FinishBlock(CKelFileIO& file, std::uint64_t start, bool keep)
{
  const std::uint64_t length = file.GetFileSize() - start - kHeaderBytes;
  if (length > INT_MAX || !Seek(file, start + 4) || !WriteU32(file, static_cast<std::uint32_t>(length)))
    return false;
  if (!keep && !(Seek(file, start) && WriteU32(file, CAdjFile::ID_MASKED)))
    return false;
  return Flush(file);
}

// ---- Compaction ------------------------------------------------------------

bool CopyBytes(CKelFileIO& from, CKelFileIO& to, std::uint32_t count)
{
  std::vector<unsigned char> chunk(std::min<std::uint32_t>(count, 64 * 1024));
  while (count > 0) {
    const auto part = static_cast<unsigned int>(std::min<std::size_t>(count, chunk.size()));
    if (!from.Read(chunk.data(), part) || !to.Write(chunk.data(), part))
      return false;
    count -= part;
  }
  return true;
}

// Copies every block that is not masked; the bytes written in *written.
bool CopyLiveBlocks(CKelFileIO& from, CKelFileIO& to, std::uint64_t* written)
{
  bool copied = true;
  const WalkEnd end = WalkBlocks(from, [&](const BlockHeader& block) {
    if (block.id == CAdjFile::ID_MASKED)
      return false;
    copied = WriteU32(to, block.id) && WriteU32(to, block.length) && CopyBytes(from, to, block.length);
    *written += kHeaderBytes + block.length;
    return !copied;
  });
  return copied && end == WalkEnd::Complete;
}

bool HasSize(const std::string& path, std::uint64_t size)
{
  CKelFileIO file;
  if (!file.Open(path.c_str()))
    return false;
  const bool same = file.GetFileSize() == size;
  file.Close();
  return same;
}

}  // namespace

bool CAdjFile::Save(const char* path, Id id, Writer writer, void* user)
{
  CKelFileIO file;
  if (!file.Save(path))
    return false;
  // A block appended behind a damaged one could never be found again.
  std::uint64_t start = 0;
  bool kept = false;
  if (WalkBlocks(file, [](const BlockHeader&) { return false; }) == WalkEnd::Complete &&
      AppendHeader(file, id, &start)) {
    const bool written = writer(file, user, nullptr);
    // The new block is complete on disk before the old one is given up.
    kept = FinishBlock(file, start, written) && written && MaskBlocks(file, id, ID_MASKED, start) && Flush(file);
  }
  file.Close();
  CleanUp(path);
  return kept;
}

int CAdjFile::Load(const char* path, Id id, Reader reader, void* a, void* b)
{
  return LoadFirstBlock(path, id, -1, [&](CKelFileIO& file, int length) { return reader(file, length, a, b); });
}

void CAdjFile::Delete(const char* path, Id id)
{
  const std::string adjPath = CKelFileIO::ChangeExtension(path, "adj");
  CKelFileIO file;
  if (!file.Save(adjPath.c_str()))
    return;
  const bool masked = MaskBlocks(file, id, ID_MASKED, UINT64_MAX) && Flush(file);
  file.Close();
  if (masked)
    CleanUp(adjPath.c_str());
}

void CAdjFile::MaskExitBlockData(CKelFileIO& file, Id id) { MaskBlocks(file, id, ID_MASKED, UINT64_MAX); }

void CAdjFile::CleanUp(const char* path)
{
  CKelFileIO source;
  if (!source.Open(path))
    return;
  const std::string tempPath = CKelFileIO::ChangeExtension(path, "%w%");
  CKelFileIO temp;
  if (!temp.Create(tempPath.c_str())) {
    source.Close();
    return;
  }
  std::uint64_t written = 0;
  bool copied = CopyLiveBlocks(source, temp, &written);
  copied = Flush(temp) && copied;
  temp.Close();
  source.Close();
  // Only a complete, checked copy replaces the file, and in one rename.
  copied = copied && HasSize(tempPath, written);
  // A copy left behind is harmless: the next compaction creates it afresh.
  if (!copied || !CKelFileIO::MoveFile(tempPath.c_str(), path))
    (void)CKelFileIO::DeleteFileA(tempPath.c_str());
}

void MaskExitBlockData(CKelFileIO& file, int id)
{
  MaskBlocks(file, static_cast<std::uint32_t>(id), kVectorFileMaskId, UINT64_MAX);
}

int LoadPL2File(const char* path, int id, int (*reader)(CKelFileIO& file, int length, void* user), void* user)
{
  const std::string pl2Path = CKelFileIO::ChangeExtension(path, "PL2");
  return LoadFirstBlock(pl2Path.c_str(), static_cast<std::uint32_t>(id), 0,
                        [&](CKelFileIO& file, int length) { return reader(file, length, user); });
}

int LoadPL2FileEx(const char* path, int id, CAdjFile::Reader reader, void* a, void* b)
{
  const std::string pl2Path = CKelFileIO::ChangeExtension(path, "PL2");
  return LoadFirstBlock(pl2Path.c_str(), static_cast<std::uint32_t>(id), -1,
                        [&](CKelFileIO& file, int length) { return reader(file, length, a, b); });
}

void CleanUpVectorFileBlock(const char* /*path*/) {}
