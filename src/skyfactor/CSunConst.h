#pragma once
// CSunConst: the sun's daily path for one site latitude and one solar
// declination, the rotation between the sun's frame and the drawing, and the
// hours between clock time and solar time.
//
// Units: angles radians; times hours, 12.0 being solar noon; the hour angle
// is (t - 12) x 15 degrees. Azimuths are measured from south, positive
// towards west. With phi the latitude, delta the declination, H the hour
// angle, h the altitude and A the azimuth:
//   sin h = sin phi sin delta + cos phi cos delta cos H
//   sin A = cos delta sin H / cos h
//   cos A = (sin phi sin h - sin delta) / (cos phi cos h)
//
// Every answer is a finite number for every latitude and declination: the
// half-day length is clamped to polar night (0 h) and polar day (12 h), and
// the time of a direction takes its limits where the formula would divide by
// zero. A plain value; the reference count guards against resetting the
// constants while a holder uses them.

class CSunConst {
public:
  int m_DeclSign = 0;  // sign of delta; 0 within KelTol::SunDeclinationSign
  double m_SinLat = 0;
  double m_CosLat = 0;
  double m_SinDecl = 0;
  double m_CosDecl = 0;
  double m_SinLatSinDecl = 0;
  double m_CosLatCosDecl = 0;
  double m_CosLatTanDecl = 0;
  double m_SinRot = 0;  // the drawing's rotation against the sun's frame
  double m_CosRot = 0;
  double m_TimeCorr = 0;  // hours added to clock time to get solar time
  // The moment stored by SetSunPosition2.
  double m_CotH = 0;  // 0 while the sun is at or below the horizon
  double m_ShadowX = 0;
  double m_ShadowY = 0;
  double m_SunAz = 0;
  double m_SinRel = 0;
  double m_CosRel = 0;
  double m_RelAngle = 0;
  double m_SinH = 0;
  double m_CosH = 0;
  int m_ReferenceCount = 0;  // holders that took the constants

  // --- Constants
  // mode 1 takes the constants (nobody may hold them), -1 releases them (one
  // holder must), any other mode sets them while nobody holds them. lat, lon,
  // decl and rot in radians; with useTimeCorr the clock is 135 degrees east
  // plus addHours.
  void SetSunConstant2(int mode, int useTimeCorr, double lat, double lon, double decl, double addHours, double rot);
  // t when apply is 0; t + m_TimeCorr for dir 0, else t - m_TimeCorr.
  double CalcSCTime(int apply, int dir, double t) const;

  // --- Day
  // Half the day's length in hours.
  double SunUpTime() const;
  // *sunset = 12 + half day, *sunrise = 12 - half day.
  void CalcSunUpDown2(double* sunset, double* sunrise) const;
  // The number of times from `from` to `to` at step: trunc(span / step + 0.4) + 1.
  int GetSunSLCnt(double from, double to, double step) const;

  // --- The sun at a time
  // True (nothing written) while the sun is at or below the horizon; else
  // sin A, cos A and, when asked for, cot h.
  [[nodiscard]] bool GetSunAngle(double t, double* sinA, double* cosA, double* cotH) const;
  // cos H for a given sin h, limited to [-1, 1].
  double CalcTAngfromH(double sinH) const;
  // tan h at solar time t.
  double CalcSunHeight(double t) const;
  // The shadow tip of a unit height in the sun's frame; false (nothing
  // written) while the sun is down.
  [[nodiscard]] bool CalcSunTimePos(double t, double* x, double* y) const;
  // Rotates (x, y) from the sun's frame into the drawing.
  void SSMJConv2D(double* x, double* y) const;
  // The shadow tip of a pole of the height in the drawing; false for a
  // negative height or while the sun is down.
  [[nodiscard]] bool SSMJCalcParam2(int apply, double t, double height, double* x, double* y) const;
  // Stores the sun at time t relative to the direction a.
  void SetSunPosition2(int apply, double a, double t);

  // --- Directions
  // The solar time at which the sun's azimuth lies along (x, y) of the
  // drawing. The direction is read mirrored in x against the shadow tips of
  // SSMJCalcParam2, as on the sky disc: CalcSunTime(-x, y) of a shadow tip at
  // t gives t.
  double CalcSunTime(double x, double y) const;
  // The run from (x1, y1) to (x2, y2) times tan h at the time the sun stands
  // along that direction.
  double CalcSSHeight(double x1, double y1, double x2, double y2) const;

  // The two roots of a x^2 + 2 b x + c = 0.
  static double CalcSub1(double a, double b, double c);
  static double CalcSub2(double a, double b, double c);

private:
  // The hour angle's cosine at which the sun stands along (u, v) of its frame.
  double CosHourAngleOfDirection(double u, double v) const;
  // sin h from the hour angle in radians.
  double SinAltitude(double hourAngle) const;
};
