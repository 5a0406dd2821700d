#pragma once
// CKelVectorArray<T>: a std::vector of T that is also a CKelObjectArray, the
// one implementation behind every list of the kernel's point-list objects
// (polygons, faces, lines, outlines). T must derive from CKelObject.
//
// The list owns its elements; GetElement hands out a view that lasts until
// the list next grows or shrinks. Index and type preconditions are the
// caller's to keep, as the interface says, and stop with an assertion.

#include <cstddef>
#include <vector>

#include "CKelObject.h"
#include "host_assert.h"

template <class T>
class CKelVectorArray : public std::vector<T>, public CKelObjectArray {
public:
  int GetSize() const override { return static_cast<int>(this->size()); }

  CKelObject* GetElement(int index) override
  {
    PLN_ASSERT(0 <= index && index < GetSize());
    return &(*this)[static_cast<std::size_t>(index)];
  }

  // Appends a copy; the item must be a T.
  void AddElement(const CKelObject* item) override
  {
    PLN_ASSERT(item != nullptr);
    const auto* element = dynamic_cast<const T*>(item);
    PLN_ASSERT(element != nullptr);
    this->push_back(*element);
  }

  void Erase(int index) override
  {
    PLN_ASSERT(0 <= index && index < GetSize());
    this->erase(this->begin() + index);
  }
};
