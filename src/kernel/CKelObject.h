#pragma once
// The kernel's two abstract interfaces.
//
//   CKelObject       an editable list of points: the editing code inserts,
//                    moves, deletes and reads back points without knowing
//                    whether the object is a polygon, a line or an outline
//                    with arcs. Indices count points from 0; a point is
//                    (x, y, z) in model metres, and an object without heights
//                    takes only x and y of what it is given.
//   CKelObjectArray  a list of such objects, each reachable through its
//                    CKelObject view; the list owns its elements.
//
// The slot order of both interfaces is fixed: every geometry class of the
// library overrides the same slots. Lists with arcs add InsertCenter and
// AddCenter after the last slot.
//
// Index and type preconditions are the caller's to keep; breaking one is a
// programming error and stops with an assertion. The three defaults that
// assert mark calls that no implementation of the interface accepts.

#include "CKelCoord.h"
#include "host_assert.h"

class CKelObject {
public:
  virtual ~CKelObject() = default;

  // --- Editing
  // Inserts p after point index (at index + 1).
  virtual void InsertPoint(int index, const CKelCoord3D& p) = 0;
  virtual void MovePoint(int index, const CKelCoord3D& p) = 0;
  // Only objects that keep heights accept this.
  virtual void MoveZ(int /*index*/, double /*z*/) { PLN_ASSERT(false); }
  virtual void SwapCoord(int i, int j) = 0;
  virtual void Append(const CKelCoord3D& p) = 0;
  virtual void DeletePoint(int index) = 0;

  // --- Reading
  virtual CKelCoord3D GetCoord3D(int index) const = 0;
  virtual CKelCoord3D GetFrontCoord3D() const
  {
    PLN_ASSERT(false);
    return {};
  }
  virtual CKelCoord3D GetBackCoord3D() const
  {
    PLN_ASSERT(false);
    return {};
  }
  virtual int GetSize() const = 0;
  virtual bool IsClosed() const = 0;
  virtual void Clear() = 0;
  // True for a point that is an arc centre rather than a vertex.
  virtual bool IsCenter(int /*index*/) const { return false; }
  virtual bool IsCCW() const { return true; }
  // Moves every point by (a.x - b.x, a.y - b.y); heights stay.
  virtual void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) = 0;

protected:
  // Copying is for the concrete classes; no copy through the interface.
  CKelObject() = default;
  CKelObject(const CKelObject&) = default;
  CKelObject& operator=(const CKelObject&) = default;
};

class CKelObjectArray {
public:
  virtual ~CKelObjectArray() = default;

  virtual int GetSize() const = 0;
  // A view of element index, owned by the list; precondition 0 <= index < size.
  virtual CKelObject* GetElement(int index) = 0;
  // Appends a copy; precondition: item is not null and of the element type.
  virtual void AddElement(const CKelObject* item) = 0;
  // Precondition 0 <= index < size.
  virtual void Erase(int index) = 0;

protected:
  CKelObjectArray() = default;
  CKelObjectArray(const CKelObjectArray&) = default;
  CKelObjectArray& operator=(const CKelObjectArray&) = default;
};
