#pragma once
// A parameter list in a form that is easy to edit, and its conversion to
// and from the packed handle form that memos and the add-on interface
// carry (API_AddParType records, array values in their own handles).

#include "host_api_types.h"

#include <optional>
#include <string>
#include <vector>

namespace pln::host::internal {

// Bounds of an array parameter, far above the largest table the system
// places (a hundred rows of four cells).
constexpr Int32 kMaxArrayDim = 10000;
constexpr Int32 kMaxArrayCells = 1000000;

struct ParamValue {
  std::string name;
  API_AddParID type = APIParT_RealNum;
  Int32 index = 0;
  double real = 0.0;
  std::u16string text{};
  // Arrays: dim1 rows of dim2 columns, row-major; dim1 0 for a scalar.
  Int32 dim1 = 0;
  Int32 dim2 = 0;
  std::vector<double> reals{};
  std::vector<std::u16string> texts{};

  bool IsArray() const { return dim1 > 0; }
  bool IsText() const { return type == APIParT_CString; }
};

using ParamList = std::vector<ParamValue>;

// Null when memory runs out (nothing is then left allocated). An empty list
// gives an empty, non-null handle.
API_AddParType** ToHandle(const ParamList& list);
// Empty optional for a list whose records or array values are malformed
// (unterminated names or texts, array sizes that disagree with the
// handles).
std::optional<ParamList> FromHandle(API_AddParType* const* list);

// One record of a handle, or empty when it is malformed.
std::optional<ParamValue> FromHandleRecord(const API_AddParType& record);

// The last parameter of that name, null when none.
ParamValue* FindParam(ParamList& list, const std::string& name);
const ParamValue* FindParam(const ParamList& list, const std::string& name);

// A part's two sizes are its "A" and "B" parameters (0 when it lacks one).
struct PartSizes {
  double a = 0.0;
  double b = 0.0;
};
PartSizes SizesOf(const ParamList& list);

}  // namespace pln::host::internal
