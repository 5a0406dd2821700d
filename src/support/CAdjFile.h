#pragma once
// Block files: files of tagged blocks that several writers share.
//
// A block is a u32 id, a u32 length and that many data bytes, little-endian,
// with no file header. A block is replaced by appending a new one and masking
// the old one (its id overwritten with the mask id); masked blocks stay until
// the file is compacted. Two families share the layout:
//   adjustment files (".adj", CAdjFile): mask id 1, compacted after each change;
//   vector files (".PL2"): mask id 1040, never compacted.
//
// Safety: a new block is complete and flushed before any older block is
// masked, and compaction replaces the file only by renaming a complete,
// checked copy over it. A failing writer or a full disk never loses the
// block that was there before. Every walk refuses a block whose length runs
// past the end of the file.

#include <cstdint>

class CKelFileIO;

class CAdjFile {
public:
  enum Id : std::uint32_t {
    ID_MASKED = 1,
    ID_SPHERE_PARAM = 9,  // the sky-factor check points' parameters
  };

  using Writer = bool (*)(CKelFileIO& file, void* user, void* reserved);
  using Reader = int (*)(CKelFileIO& file, int length, void* a, void* b);

  // Appends a block of id written by writer(file, user, nullptr), then masks
  // the older blocks of id and compacts. The file must exist. Answers the
  // writer's result (false, with nothing changed, when the file cannot be
  // opened or the block cannot be completed).
  [[nodiscard]] static bool Save(const char* path, Id id, Writer writer, void* user);
  // reader(file, length, a, b) for the first block of id, the file positioned
  // at its data; -1 when the file cannot be opened or holds no such block.
  [[nodiscard]] static int Load(const char* path, Id id, Reader reader, void* a, void* b);
  // Masks every block of id in the path's ".adj" file and compacts it.
  static void Delete(const char* path, Id id);
  // Masks every block of id in the open file (opened for update).
  static void MaskExitBlockData(CKelFileIO& file, Id id);
  // Drops the masked blocks: copies the rest to "<path>.%w%" and renames the
  // copy over the file once it is complete. Nothing changes on any failure.
  static void CleanUp(const char* path);
};

// ---- Vector files ----------------------------------------------------------

constexpr std::uint32_t kVectorFileMaskId = 1040;

// Masks every block of id in the open vector file (opened for update).
void MaskExitBlockData(CKelFileIO& file, int id);
// reader(file, length, user) for the first block of id in the path's ".PL2"
// file; 0 when the file cannot be opened, holds no such block or cannot be read.
[[nodiscard]] int LoadPL2File(const char* path, int id, int (*reader)(CKelFileIO& file, int length, void* user),
                              void* user);
// The same with two user pointers; -1 on every failure.
[[nodiscard]] int LoadPL2FileEx(const char* path, int id, CAdjFile::Reader reader, void* a, void* b);
// Vector files keep their masked blocks: nothing to do.
void CleanUpVectorFileBlock(const char* path);
