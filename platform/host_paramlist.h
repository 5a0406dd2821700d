#pragma once
// A parameter list in a form that is easy to edit, and its conversion to
// and from the packed handle form that memos and the add-on interface
// carry (API_AddParType records, array values in their own handles).

#include "host_api_types.h"

#include <optional>
#include <string>
#include <vector>

namespace pln::host::internal {

struct ParamValue {
  std::string name;
  API_AddParID type = APIParT_RealNum;
  Int32 index = 0;
  double real = 0.0;
  std::u16string text;
  // Arrays: dim1 rows of dim2 columns, row-major; dim1 0 for a scalar.
  Int32 dim1 = 0;
  Int32 dim2 = 0;
  std::vector<double> reals;
  std::vector<std::u16string> texts;

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

// The last parameter of that name, null when none.
ParamValue* FindParam(ParamList& list, const std::string& name);

}  // namespace pln::host::internal
