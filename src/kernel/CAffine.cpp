#include "CAffine.h"

#include <cmath>

// Each composing operation rewrites every row r of M as r . E, where E is the
// elementary map; only the columns E touches change.

namespace {

template <int N>
void SetIdentity(double (&m)[N][N])
{
  for (int r = 0; r < N; ++r)
    for (int c = 0; c < N; ++c)
      m[r][c] = (r == c) ? 1.0 : 0.0;
}

// Columns i and j of every row turn by (c, s): (ri, rj) := (ri c - rj s, ri s + rj c).
template <int N>
void TurnColumns(double (&m)[N][N], int i, int j, double c, double s)
{
  for (int r = 0; r < N; ++r) {
    const double ri = m[r][i];
    const double rj = m[r][j];
    m[r][i] = ri * c - rj * s;
    m[r][j] = ri * s + rj * c;
  }
}

// Adds the last column's entry times delta[k] to column k of every row.
template <int N>
void Translate(double (&m)[N][N], const double (&delta)[N - 1])
{
  for (int r = 0; r < N; ++r)
    for (int k = 0; k < N - 1; ++k)
      m[r][k] += m[r][N - 1] * delta[k];
}

}  // namespace

// --- CAffine -----------------------------------------------------------------

CAffine::CAffine()
{
  Init();
}

void CAffine::Init()
{
  SetIdentity(m);
}

void CAffine::Trans(double dx, double dy)
{
  Translate(m, {dx, dy});
}

void CAffine::Rotate(double a)
{
  Rotate2(std::cos(a), std::sin(a));
}

void CAffine::Rotate2(double c, double s)
{
  TurnColumns(m, 0, 1, c, s);
}

void CAffine::Scale(double sx, double sy)
{
  for (auto& row : m) {
    row[0] *= sx;
    row[1] *= sy;
  }
}

void CAffine::Shear(double a, double b)
{
  for (auto& row : m) {
    const double r0 = row[0];
    const double r1 = row[1];
    row[0] = r0 + r1 * a;
    row[1] = r1 + r0 * b;
  }
}

CKelCoord2D CAffine::Conv(const CKelCoord2D& p) const
{
  return CKelCoord2D(m[0][0] * p.m_x + m[1][0] * p.m_y + m[2][0], m[0][1] * p.m_x + m[1][1] * p.m_y + m[2][1]);
}

void CAffine::DConv(CKelCoord2D& p) const
{
  p = Conv(p);
}

void CAffine::DConv(double* x, double* y) const
{
  const CKelCoord2D q = Conv(CKelCoord2D(*x, *y));
  *x = q.m_x;
  *y = q.m_y;
}

// --- CAffine3D ---------------------------------------------------------------

CAffine3D::CAffine3D()
{
  Init();
}

void CAffine3D::Init()
{
  SetIdentity(m);
}

void CAffine3D::Trans(double dx, double dy, double dz)
{
  Translate(m, {dx, dy, dz});
}

void CAffine3D::RotateZ(double a)
{
  RotateZ(std::cos(a), std::sin(a));
}

void CAffine3D::RotateZ(double c, double s)
{
  TurnColumns(m, 0, 1, c, s);
}

void CAffine3D::RotateX(double a)
{
  RotateX(std::cos(a), std::sin(a));
}

void CAffine3D::RotateX(double c, double s)
{
  TurnColumns(m, 1, 2, c, s);
}

void CAffine3D::RotateY2(double a)
{
  RotateY(std::cos(a), std::sin(a));
}

// About y the turn runs from z towards x: (r2, r0) := (r2 c - r0 s, r2 s + r0 c).
void CAffine3D::RotateY(double c, double s)
{
  TurnColumns(m, 2, 0, c, s);
}

CKelCoord3D CAffine3D::Conv(const CKelCoord3D& p) const
{
  const double v[4] = {p.m_x, p.m_y, p.m_z, 1.0};
  double out[3] = {0, 0, 0};
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 4; ++r)
      out[c] += v[r] * m[r][c];
  return CKelCoord3D(out[0], out[1], out[2]);
}
