#pragma once
// Affine maps of the plane (CAffine) and of space (CAffine3D), held as
// homogeneous matrices of doubles.
//
// Convention: points are row vectors multiplied from the left,
//   plane  p' = (x, y, 1) . M        space  p' = (x, y, z, 1) . M,
// so the translation sits in the last row. Every composing operation
// multiplies on the right (M := M . E): the elementary maps apply in the order
// they were added, first added first applied. Angles are radians,
// counter-clockwise. The last column is never written by the composing
// operations nor read by Conv: the maps stay affine.

#include "CKelCoord.h"

class CAffine {
public:
  // m[r][c], row-major; starts as the identity.
  double m[3][3];

  CAffine();
  virtual ~CAffine() = default;
  CAffine(const CAffine&) = default;
  CAffine& operator=(const CAffine&) = default;

  void Init();
  void Trans(double dx, double dy);
  void Rotate(double a);
  // A rotation given by its cosine and sine; not normalised, so (2, 0)
  // scales by 2 without turning.
  void Rotate2(double c, double s);
  void Scale(double sx, double sy);
  void Shear(double a, double b);

  CKelCoord2D Conv(const CKelCoord2D& p) const;
  void DConv(CKelCoord2D& p) const;
  void DConv(double* x, double* y) const;
};

class CAffine3D {
public:
  // m[r][c], row-major; starts as the identity.
  double m[4][4];

  CAffine3D();
  virtual ~CAffine3D() = default;
  CAffine3D(const CAffine3D&) = default;
  CAffine3D& operator=(const CAffine3D&) = default;

  void Init();
  void Trans(double dx, double dy, double dz);
  // About z, counter-clockwise seen from +z.
  void RotateZ(double a);
  void RotateZ(double c, double s);
  // About x: +y turns towards +z.
  void RotateX(double a);
  void RotateX(double c, double s);
  // About y: +z turns towards +x.
  void RotateY2(double a);
  void RotateY(double c, double s);

  CKelCoord3D Conv(const CKelCoord3D& p) const;
};
