#pragma once
// The area-table library part "TalvoSoftwareAreaSchedule" as every table
// writer of the document uses it (figures, calculation elements, folders):
// the parameter transaction, the writes that stop at the first failure, the
// style parameters, and the placing of one table object with the output tag.
// Used by the document library and by the output's automatic-area tables.
//
// Parameter indexes are 1-based; (0, 0) addresses a scalar. The body cells
// "matrix_area" are (row, column) with the columns below.

#include "CKelCoord.h"
#include "gs_unistring.h"
#include "host_libpart.h"
#include "host_types.h"

#include <functional>

class CAreaListAttr;

namespace AreaScheduleTable {

inline constexpr const char16_t* kPartName = u"TalvoSoftwareAreaSchedule";
inline constexpr const char* kCells = "matrix_area";
inline constexpr const char* kFreeInput = "matrix_freeinput";

enum Column { kColumnMark = 1, kColumnNumber = 2, kColumnFormula = 3, kColumnArea = 4 };

// Writes parameters one after another; after the first failure it writes
// nothing more and keeps that error. Unchecked writes go out only while
// nothing has failed, and their own failures are not kept.
class ParamWriter {
public:
  explicit ParamWriter(GSErrCode error = NoError) : m_Error(error) {}

  template <class T> ParamWriter& Set(const char* name, const T& value, int i1 = 0, int i2 = 0)
  {
    if (m_Error == NoError)
      m_Error = Change(name, value, i1, i2);
    return *this;
  }
  template <class T> ParamWriter& SetUnchecked(const char* name, const T& value, int i1 = 0, int i2 = 0)
  {
    // A parameter the part may lack: its refusal is no failure.
    if (m_Error == NoError)
      static_cast<void>(Change(name, value, i1, i2));
    return *this;
  }
  // Keeps the error of a call made elsewhere unless one is kept already.
  ParamWriter& Take(GSErrCode error);

  bool Failed() const { return m_Error != NoError; }
  [[nodiscard]] GSErrCode Error() const { return m_Error; }

private:
  [[nodiscard]] static GSErrCode Change(const char* name, bool value, int i1, int i2);
  [[nodiscard]] static GSErrCode Change(const char* name, int value, int i1, int i2);
  [[nodiscard]] static GSErrCode Change(const char* name, short value, int i1, int i2) { return Change(name, int(value), i1, i2); }
  [[nodiscard]] static GSErrCode Change(const char* name, double value, int i1, int i2);
  [[nodiscard]] static GSErrCode Change(const char* name, const GS::UniString& value, int i1, int i2);

  GSErrCode m_Error;
};

// Opens the owner's parameter list and hands the writer to write; a writer
// that starts failed means the list did not open. When nothing failed the
// list goes into params ('GPAR'); an opened list is closed whatever
// happened. Answers the first error.
[[nodiscard]] GSErrCode FillParams(API_ParamOwnerType& owner, API_GetParamsType& params,
                     const std::function<void(ParamWriter&)>& write);

// The header texts "記号", "計算式", "面積"; the first one's second index
// differs between the writers.
void SetHeaderTexts(ParamWriter& writer, int firstIndex2);
// Column widths and row height of the style.
void SetColumns(ParamWriter& writer, const CAreaListAttr& style);
// The frame, text and minus-text pens: the object's pen above 0 replaces
// all three.
void SetPens(ParamWriter& writer, const CAreaListAttr& style, short objectPen);
// The mark switch and the title's and table's mark and number texts, whose
// failures a part without them may answer.
void SetMarks(ParamWriter& writer, const CAreaListAttr& style, const GS::UniString& mark,
              const GS::UniString& number);

// Places one table: finds the part, has setParam fill its parameter list,
// creates an object from the host's defaults on the layer at the position
// with the list's sizes and the list, and tags it as output. The layer is
// shown and unlocked only for the creation and the tag, then put back.
// Nothing is placed when the part is missing or setParam fails; the list is
// released in every case. Answers the first error.
[[nodiscard]] GSErrCode PlaceTable(short layer, CKelCoord2D position,
                     const std::function<GSErrCode(API_ParamOwnerType&, API_GetParamsType&)>& setParam);

}  // namespace AreaScheduleTable
