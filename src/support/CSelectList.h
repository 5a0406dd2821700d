#pragma once
// A list of selected indices (list rows, tree items, layers, item numbers),
// in selection order: toggling puts the newest index first. It is a plain
// vector of int, so callers append and walk it as one.

#include <string>
#include <vector>

class CKelArchiveCore;

class CSelectList : public std::vector<int> {
public:
  // Without toggle the list becomes exactly {index}; with toggle an index
  // already present is removed, any other is put in front.
  void AddSelect(int index, bool toggle);
  bool IsSelected(int index) const;
  // Removes the first occurrence; false when the index is absent.
  bool Delete(int index);
  // The first index, or -1 for an empty list.
  int GetSingleSel() const;
  // The one selected row numbered from 1, "**" for several, "" for none.
  std::string GetCurSelName2() const;
  void Sort();

  bool operator==(const CSelectList& other) const;
  bool operator!=(const CSelectList& other) const { return !(*this == other); }

  // Tag "CSelectList" from archive version 2, an i32 count, the indices as
  // i32. A refused or failed read leaves the list as it was.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);

private:
  [[nodiscard]] bool Load(CKelArchiveCore& ar);
};
