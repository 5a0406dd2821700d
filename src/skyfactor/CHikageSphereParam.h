#pragma once
// CHikageSphereParam: what the sky-factor calculation keeps for one check
// point (Hikage = shadow): its sky-factor block (settings and results), the
// angle marks the user placed on its projected outlines, and the number
// that identifies the entry. CHikageSphereParamArray: the entries of one
// project, kept as one block of the project's block file.
//
// Stored forms:
//   Serialize   tag from archive version 2; number, block, marks;
//   record 2000 the block's record, the marks (count and records), number;
//   block 9     of the block file: i32 count, then the 2000 records; the
//               older vector files hold the same body as block 175.
//
// A block body must be used up exactly by its records; a block that is not
// is refused, and the list loaded from it is then empty.

#include <cstdint>
#include <vector>

#include "CSphereAngleParam.h"
#include "CSphereRatioBlock.h"

class CKelArchiveCore;
class CKelFileIO;

class CHikageSphereParam {
public:
  static constexpr std::int32_t kRecord = 2000;
  // The fewest bytes a record can take: its number, the shortest block
  // record, an empty mark list and the entry's number.
  static constexpr int kMinRecordBytes = 4 + 40 + 4 + 4;

  CSphereRatioBlock m_SphereRatioBlock;
  std::int32_t m_CpntNo = -1;  // the key of Search; -1 unset
  CSphereAngleParamArray m_AngleParam;

  CHikageSphereParam() = default;
  CHikageSphereParam(const CHikageSphereParam&) = default;
  CHikageSphereParam& operator=(const CHikageSphereParam&) = default;
  virtual ~CHikageSphereParam() = default;

  void Clear();

  bool operator==(const CHikageSphereParam& other) const;
  bool operator!=(const CHikageSphereParam& other) const { return !(*this == other); }

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Fields read before a failure keep their new values.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CHikageSphereParamArray : public std::vector<CHikageSphereParam> {
public:
  static constexpr int kOldBlockId = 175;  // in the older vector files

  bool operator==(const CHikageSphereParamArray& other) const;
  bool operator!=(const CHikageSphereParamArray& other) const { return !(*this == other); }

  // The index of the first entry numbered no, or -1.
  int Search(int no) const;

  // Writes the list as block 9 of the block file at path (which must exist).
  [[nodiscard]] bool SaveData(const char* path);
  // The block body: i32 count, each record; stops at the first failure.
  [[nodiscard]] static bool SaveData(CKelFileIO& f, void* list, void* reserved);
  // Block readers (list: a CHikageSphereParamArray): 1 when the body of
  // length len is read and used up exactly, 0 otherwise with the list empty.
  [[nodiscard]] static int ReadData(CKelFileIO& f, int len, void* list, void* reserved);
  [[nodiscard]] static int ReadData2(CKelFileIO& f, int len, void* list, void* reserved);
  // Loads block 175 of the path's ".PL2" file, or, when that file holds
  // none, block 9 of the block file at path. False, with the list empty,
  // when a block is present but malformed; true with an empty list when
  // neither file holds one.
  [[nodiscard]] bool LoadData2(const char* path);
};
