#pragma once
// Project records of old versions written by hand, for the loader's tests.

#include <vector>

#include "CArea1Object.h"
#include "DocTestSupport.h"
#include "HandmadeSettings.h"

// A project record of version v written by hand in that version's layout:
// every stored value differs from what a cleared document holds, so a test
// can tell a field that was read from one that was kept.
class OldRecord {
public:
  explicit OldRecord(int version) : v(version) {}

  std::vector<char> Build()
  {
    b.Int(5).Int(9).Int(3);  // figure counter, object counter, cut kind
    if (v >= 1017)
      b.Bool(false);
    if (v >= 1039)
      b.Bool(true).Bool(false);
    if (v >= 1014) {
      b.Text("x.dat");
      SettingsBlock();
      SettingsBlock();
      Floors();
    } else {
      b.Bool(true).Bool(false);  // vertex-order flag, blank decimals
      if (v >= 1012)
        b.Bool(false);
    }
    if (v <= 1007)
      b.Int(0);
    if (v <= 1013)
      b.Bool(true);  // number fill gaps
    b.Int(v <= 1012 ? 2 : 1);  // current pattern: old records name the pattern's child
    if (v <= 1013)
      InlineSettings();
    if (v <= 1028) {  // the old figure list: kind, code, sort index, number
      b.Int(int(oldFigures.size()));
      for (int code : oldFigures)
        b.Int(CArea1Object::TYPE_TRIANGLE).Int(code).Int(-1).Int(code);
    }
    b.Int(0);    // elements
    Folders();
    Tree();
    Tree();
    if (v >= 1006 && v <= 1013)
      b.Int(0);  // patterns of the settings
    if (v >= 1032)
      b.Int(3);
    if (v >= 1033) {
      b.Int(2).Int(5).Int(5);
      b.Bool(true);
    }
    if (v >= 1034)
      b.Int(3);
    if (v >= 1041)
      b.Int(1).Int(kListItemId).Bool(false);
    if (v >= 1044)
      b.Int(1).Bool(false);
    return b.Get();
  }

  static constexpr int kListItemId = 1;  // the first column
  std::vector<int> oldFigures;

private:
  void SettingsBlock()
  {
    HandmadeSettings h(b, v, kHandmadeRecordGates);
    b.Bool(true).Bool(true).Bool(true).Bool(true);
    if (v >= 1022) {
      // Layer names: UTF-8 before 1042, then the host's default code.
      const std::string name = GS::UniString(u"求積層").ToStdString(v >= 1042 ? CC_Default : CC_UTF8);
      b.Text(name).Text(name);
    }
    else
      b.Short(1);
    if (v >= 1033)
      h.Double(0.5);
    if (v >= 1037)
      b.Short(2).Bool(false).Bool(false);
    h.Presets();
    h.FigureAttributes();
    h.CommonRows();
    if (v >= 1037)
      h.Ellipse();
    h.ListStyle(6);
    h.ListStyle(8);
    if (v >= 1024)
      h.ListStyle(9);
    h.TotalStyle();
    b.Int(0);  // patterns
    if (v >= 1019)
      b.Bool(false).Bool(false).Bool(false);
    if (v >= 1040)
      h.ListStyle(11);
  }
  void InlineSettings()
  {
    HandmadeSettings h(b, v, kHandmadeRecordGates);
    b.Bool(true).Bool(true);  // commas
    if (v < 1006)
      return;
    h.Presets();
    h.FigureAttributes();
    h.CommonRows();
    h.ListStyle(6);
    h.ListStyle(8);
    if (v >= 1007)
      h.TotalStyle();
  }
  void Floors()
  {
    b.Int(2);
    b.Short(0).Bool(false);
    if (v >= 1028)
      b.Int(3).Int(4).Int(4).Int(7);
    if (v >= 1030)
      b.Int(0).Int(0);
    if (v >= 1031)
      b.Int(1).Int(9);
    b.Short(1).Bool(true);
    if (v >= 1028)
      b.Int(0);
    if (v >= 1030)
      b.Int(0).Int(0);
    if (v >= 1031)
      b.Int(0);
    if (v >= 1028)
      b.Bool(false);
  }
  void Folder(int code)
  {
    b.Int(7).Int(3);
    if (v < 1017)
      b.Text("F");
    else
      b.Text("F").Int(0);
    b.Int(4);
    if (v >= 1016)
      b.Int(0);
    else if (v < 1015)
      b.Int(0);
    b.Int(-1).Int(code);
    if (v >= 1027)
      b.Bool(true);
    if (v >= 1046)
      b.Short(0).Int(1);
    if (v >= 1024)
      b.Int(0);
    if (v >= 1036 && v <= 1045)
      b.Int(1);
  }
  void Folders()
  {
    b.Int(2);
    Folder(1);
    Folder(2);
  }
  void Node(int code, int preset, int children)
  {
    b.Bool(false).Int(1).Int(preset).Int(code).Int(2);
    if (v >= 1011)
      b.Int(2).Int(2).Int(2).Int(2);
    if (v >= 1020)
      b.Bool(true);
    if (v >= 1021)
      b.Short(0);
    b.Int(children);
  }
  // Root, pattern 1, its child 2; old records keep the preset on the child.
  void Tree()
  {
    Node(0, 0, 1);
    Node(1, v <= 1012 ? 0 : 3, 1);
    Node(2, v <= 1012 ? 3 : 0, 0);
  }

  int v;
  StoredBytes b;
};
