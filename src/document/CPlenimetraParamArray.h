#pragma once
// The calculation patterns kept in the settings: ready-made calculation
// trees that a user copies into projects. Each pattern is a whole document,
// because a tree names its elements and folders by code and those objects
// live in the document; only the working tree with the objects it names is
// stored. Position is identity: patterns compare position by position.
//
// The document holds settings that hold patterns that are documents, so the
// element type is incomplete here: every member touching it is defined in
// the source file.

#include <vector>

class CArchive;
class CFileArchive;
class CPlenimetraParam;

class CPlenimetraParamArray : public std::vector<CPlenimetraParam> {
public:
  CPlenimetraParamArray();
  CPlenimetraParamArray(const CPlenimetraParamArray& other);
  CPlenimetraParamArray(CPlenimetraParamArray&& other) noexcept;
  CPlenimetraParamArray& operator=(const CPlenimetraParamArray& other);
  CPlenimetraParamArray& operator=(CPlenimetraParamArray&& other) noexcept;
  ~CPlenimetraParamArray();

  // Same count and every pattern equal to the one at its position.
  bool operator==(const CPlenimetraParamArray& other) const;
  bool operator!=(const CPlenimetraParamArray& other) const { return !(*this == other); }

  // True when the counts differ or a pair of trees differs (each tree
  // compared together with its own pattern document); false for two empty
  // arrays.
  bool IsTreeChanged(const CPlenimetraParamArray& other) const;

  // Settings-file form: int number of patterns, then per pattern its int
  // node count and the node records.
  void Write(CFileArchive& ar);
  // False when the file reported an error, a pattern failed or a count did
  // not fit what remains (error 3 then); the patterns read so far stay.
  [[nodiscard]] bool Read(CFileArchive& ar);
  // Project-record form, the same shape, in the archive's direction. A
  // count that cannot fit what remains throws CArchive::kPastEnd; false
  // when a pattern failed.
  [[nodiscard]] bool SerializeEnv(CArchive& ar);
};
