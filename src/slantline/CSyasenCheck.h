#pragma once
// What the slant-line (Syasen) check asks of the driver that runs it. The
// driver is not part of this library: it implements these interfaces and
// hands them to the operations of CSyasenCheckBlockParam.
//
//   CSyasenCheck            the driver itself, passed through untouched; may
//                           be null wherever it is taken.
//   CSyasenCheckBlock       the per-check object: the base line of the
//                           checked edge and the height of the arc entries of
//                           a check line. It reads the site it is given and
//                           leaves it as it is: an operation reads the
//                           site's edges once for all its steps.
//   CSyasenCheckGroupParam  a group of checks: its block list, its
//                           retaining-wall base blocks, its check points.

class CKelBlockCubeArray;
class CKelHSite;
class CRoadLineParam;
class CSphereRatioParamArray;
class CSyasenCheckBlockParam;

class CSyasenCheck {
public:
  virtual ~CSyasenCheck() = default;
};

class CSyasenCheckBlock {
public:
  virtual ~CSyasenCheckBlock() = default;
  // Fills line with the base line of param's checked edge: both points with
  // their heights (metres), the unit direction and the length. Called with
  // mode 1 and value 0.0. False when there is none.
  [[nodiscard]] virtual bool GetBaseLine(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlockParam* param, int mode,
                                         CRoadLineParam& line, double value) = 0;
  // The height (metres) of the arc entries of a check line on edge `edge`
  // for the ground height `height`.
  virtual double GetArcHeight(double height, CSyasenCheck* check, CKelHSite* site, int edge) = 0;
};

class CSyasenCheckGroupParam {
public:
  virtual ~CSyasenCheckGroupParam() = default;
  virtual CKelBlockCubeArray& GetBlock() = 0;
  virtual CKelBlockCubeArray& GetYouhekiBlock() = 0;
  virtual CSphereRatioParamArray& GetSphereRatio() = 0;
};
