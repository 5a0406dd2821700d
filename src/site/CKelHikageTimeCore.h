#pragma once
// CKelHikageTimeCore: the shadow-time calculator of a regulation check, as
// the check points use it. The calculation itself belongs to the check
// driver outside this library; the base parameters hold the driver's
// calculator by pointer and never own it.
//
// Times are in milliseconds. Each time operation leaves its result in the
// time it is given (the check point's m_Time), -1 when it computes none.

#include <cstdint>

#include "CKelCoord.h"

class CKelBaseParam;

class CKelHikageTimeCore {
public:
  virtual ~CKelHikageTimeCore() = default;

  // Readies the calculator for the base parameters of one check.
  virtual void Prepare(const CKelBaseParam& base) = 0;
  // The first and the second shadow time at a check point (world metres).
  virtual void CalcTime1(const CKelCoord3D& point, std::int32_t& time) = 0;
  virtual void CalcTime2(const CKelCoord3D& point, std::int32_t& time) = 0;

protected:
  CKelHikageTimeCore() = default;
  CKelHikageTimeCore(const CKelHikageTimeCore&) = default;
  CKelHikageTimeCore& operator=(const CKelHikageTimeCore&) = default;
};
