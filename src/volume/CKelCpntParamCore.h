#pragma once
// The check points of a wall, seen from the volume model.
//
// Check points belong to the sky-factor layer, which lies above this one and
// itself uses blocks. A wall therefore holds them through this interface, as
// an owned pointer that is null for the empty list, and never names the
// concrete class. The sky-factor layer implements the interface and installs
// one factory, which a wall calls when it loads a non-empty list.
//
// Stored form (written by Serialize2, read the same way): from archive
// version 2 the tag "CKelCpntParam", an i32 count, then the points. A wall
// without check points writes exactly that form for an empty list.

#include <memory>

class CKelArchiveCore;

class CKelCpntParamCore {
public:
  virtual ~CKelCpntParamCore() = default;

  virtual std::unique_ptr<CKelCpntParamCore> Clone() const = 0;
  // Same count and pairwise equal points.
  virtual bool IsEqual(const CKelCpntParamCore& other) const = 0;
  // Both directions, as every persistent class; false on the first failure.
  [[nodiscard]] virtual bool Serialize2(CKelArchiveCore& ar) = 0;
  // The number of check points.
  virtual int GetSize() const = 0;

protected:
  CKelCpntParamCore() = default;
  CKelCpntParamCore(const CKelCpntParamCore&) = default;
  CKelCpntParamCore& operator=(const CKelCpntParamCore&) = default;
};

// Makes an empty list of the concrete class.
using CKelCpntParamFactory = std::unique_ptr<CKelCpntParamCore> (*)();

// Installs the factory (null removes it). Without one, a wall refuses to load
// a stored list that holds check points.
void SetCpntParamFactory(CKelCpntParamFactory factory);
CKelCpntParamFactory GetCpntParamFactory();

// The stored form of an empty list, for a wall that holds none: writes it,
// or reads it and refuses a count other than 0.
[[nodiscard]] bool SerializeEmptyCpntParam(CKelArchiveCore& ar);
