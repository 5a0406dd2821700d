#include "EnvPageInput.h"

#include "GSWriteReport.h"
#include "dg_manager.h"
#include "host_attributes.h"

#include <cmath>
#include <limits>

namespace EnvPageInput {

void Refuse() { GSWriteReport(GS::UniString(kRefusedText)); }

bool GetReal(short dialId, short item, double& value)
{
  const double entered = DGGetItemValDouble(dialId, item);
  if (!std::isfinite(entered)) {
    Refuse();
    return false;
  }
  value = entered;
  return true;
}

bool GetIntFromReal(short dialId, short item, int& value)
{
  double entered = 0;
  if (!GetReal(dialId, item, entered))
    return false;
  const double cut = std::trunc(entered);
  // Both bounds are exact doubles, so the comparison itself cannot round.
  if (cut < static_cast<double>(std::numeric_limits<int>::min()) ||
      cut > static_cast<double>(std::numeric_limits<int>::max())) {
    Refuse();
    return false;
  }
  value = static_cast<int>(cut);
  return true;
}

bool GetInt(short dialId, short item, int minimum, int& value)
{
  const Int32 entered = DGGetItemValLong(dialId, item);
  if (entered < minimum) {
    Refuse();
    return false;
  }
  value = entered;
  return true;
}

bool IsProjectPen(Int32 pen, bool allowNone)
{
  if (pen == 0)
    return allowNone;
  if (pen < 0 || pen > std::numeric_limits<short>::max())
    return false;
  API_Attribute attribute;
  attribute.header.typeID = API_PenID;
  attribute.header.index = pen;
  return ACAPI_Attribute_Get(&attribute) == NoError;
}

bool TakePen(short dialId, const PenPair& pair, short changedItem, short& pen)
{
  const Int32 entered = DGGetItemValLong(dialId, changedItem);
  if (!IsProjectPen(entered, pair.allowNone)) {
    Refuse();
    return false;
  }
  pen = static_cast<short>(entered);
  ShowPen(dialId, pair, pen);
  return true;
}

void ShowPen(short dialId, const PenPair& pair, short pen)
{
  DGSetItemValLong(dialId, pair.number, pen);
  DGSetItemValLong(dialId, pair.control, pen);
}

GS::UniString ThroughDefaultCode(const GS::UniString& text) { return GS::UniString(text.ToCStr().Get()); }

}  // namespace EnvPageInput
