#pragma once
// The per-edge layout of archives before version 20: the setbacks, edge
// direction, options, parameters, calculation flags and reference points of
// each site vertex, stored apart from the vertex record.
//
//   CLineCondEx      reads and writes one vertex's values in that layout; it
//                    holds no data of its own.
//   CLineCondExArea  one CLineCondEx per vertex of a site.
//
// The binary-file form holds only the list's marker and count: a list with
// elements has no file form and is refused both ways.

#include <cstdint>
#include <vector>

class CKelArchiveCore;
class CKelFileIO;
class CKelHSite;
class CKelSiteTable;

class CLineCondEx {
public:
  virtual ~CLineCondEx() = default;

  bool operator==(const CLineCondEx&) const { return true; }
  bool operator!=(const CLineCondEx&) const { return false; }

  // The vertex's values in the old layout at the archive's version.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, CKelSiteTable* vertex);
};

class CLineCondExArea : public std::vector<CLineCondEx> {
public:
  static constexpr std::int32_t kRecordMarker = -1000;

  virtual ~CLineCondExArea() = default;

  bool operator==(const CLineCondExArea& o) const { return size() == o.size(); }
  bool operator!=(const CLineCondExArea& o) const { return !(*this == o); }

  // Tag, int32 count, each element with the site's vertex of the same index.
  // False without a site or when the site has fewer vertices than the list.
  [[nodiscard]] bool SerializeOld(CKelArchiveCore& ar, CKelHSite* site);
  // Marker -1000 (or none, for the oldest form) and the count; only an empty
  // list has a file form.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* remaining);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
};
