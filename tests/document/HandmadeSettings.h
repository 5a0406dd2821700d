#pragma once
// Handmade stored settings, as old program versions wrote them: the
// sub-records shared by the settings file and the settings block of the
// project record, each field written only from the version that added it.
// The values differ from every default, so a test can tell a field read
// from one kept.

#include "DocTestSupport.h"

// The versions at which fields appeared, in one of the two stored forms.
struct HandmadeGates {
  int area1Digit, paiCode, roundUpFlag, maxId;                   // presets
  int vertexOrder, rectSymbol, listGaps, listRowLimit;           // records
  int totalDoubleSize, totalOffsets, commonExtraByte;
  bool roundUpStored;  // the round-up flag written (the reader's default is the other)
};

inline constexpr HandmadeGates kHandmadeFileGates{19, 5, 23, 7, 9, 6, 10, 13, 24, 10, 8, false};
inline constexpr HandmadeGates kHandmadeRecordGates{1038, 1008, 1045, 1010, 1014, 1009, 1018, 1023, 1047, 1018, 1013,
                                                    true};

class HandmadeSettings {
public:
  HandmadeSettings(StoredBytes& bytes, int version, const HandmadeGates& gates) : b(bytes), v(version), g(gates) {}

  void Double(double d)
  {
    long long bits;
    std::memcpy(&bits, &d, sizeof bits);
    b.Long(bits);
  }
  void Doubles(int n, double first)
  {
    for (int i = 0; i < n; ++i)
      Double(first + i);
  }
  // One preset, id 3 "P", items (1,4) (1,3) (3,1) (1,3), pi 2; largest id 7.
  void Presets()
  {
    b.Int(1).Int(3).Text("P");
    if (v < g.area1Digit)
      b.Int(1);
    else
      b.Int(1).Int(4);
    b.Int(1).Int(3).Int(3).Int(1).Int(1).Int(3);
    if (v >= g.paiCode)
      b.Int(2);
    if (v >= g.roundUpFlag)
      b.Bool(g.roundUpStored);
    if (v >= g.maxId)
      b.Int(7);
  }
  // Triangle, rectangle, arc, trapezoid and circle.
  void FigureAttributes()
  {
    b.Text("T").Short(2).Short(3).Text("F").Short(4).Short(5);
    Doubles(7, 1);
    if (v >= g.vertexOrder)
      b.Bool(true);
    b.Text("R").Short(2).Short(3).Bool(true).Bool(false).Bool(true).Bool(false);
    Doubles(8, 1);
    if (v >= g.rectSymbol)
      Doubles(2, 9);
    for (int i = 0; i < 3; ++i)
      b.Bool(false).Short(6).Short(7);
    Doubles(10, 1);
    b.Text("Z").Short(2).Short(3).Text("G").Short(4).Short(5).Short(6);
    Doubles(9, 1);
    b.Bool(false).Short(6).Short(7);
    Doubles(4, 1);
  }
  // One row: mark 2, numbering 2, symbol pen 9, fill background pen 4.
  void CommonRows()
  {
    b.Int(1).Int(2).Int(2).Short(9).Text("M");
    Double(0.75);
    b.Bool(false);
    Double(0.25);
    b.Short(1).Short(2).Short(3).Short(4);
    if (v == g.commonExtraByte)
      b.Byte(1);
  }
  void Ellipse()
  {
    b.Bool(false).Short(6).Short(7);
    Doubles(6, 1);
  }
  // Gaps 5 and gapV, row limit 50.
  void ListStyle(int gapV)
  {
    b.Int(4).Int(40).Int(10).Int(3).Short(5).Short(6).Short(7).Bool(false).Bool(false).Bool(false);
    Double(3.5);
    b.Text("S");
    if (v >= g.listGaps)
      b.Int(5).Int(gapV);
    if (v >= g.listRowLimit)
      b.Int(50).Bool(false);
  }
  // Text size 7 (a short) or 7.5 (a double), offsets 4 and 3.
  void TotalStyle()
  {
    b.Short(2).Short(3).Short(4);
    if (v < g.totalDoubleSize)
      b.Short(7);
    else
      Double(7.5);
    b.Text("U").Int(16).Int(3);
    if (v >= g.totalOffsets)
      b.Int(4).Int(3);
  }

private:
  StoredBytes& b;
  int v;
  const HandmadeGates& g;
};
