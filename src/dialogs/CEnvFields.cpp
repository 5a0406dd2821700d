#include "CEnvFields.h"

#include "CDGDlgCore.h"
#include "DocRecord.h"
#include "dg_manager.h"

namespace {

template <typename T>
const T* Find(const std::vector<T>& list, short item)
{
  for (const T& entry : list)
    if (entry.item == item)
      return &entry;
  return nullptr;
}

CEnvFields::Taken Result(bool stored) { return stored ? CEnvFields::Taken::Stored : CEnvFields::Taken::Refused; }

}  // namespace

void CEnvFields::Show(short dialId) const
{
  for (const Pen& pen : pens)
    EnvPageInput::ShowPen(dialId, pen.pair, *pen.field);
  for (const auto& entry : attributes)
    DGSetItemValLong(dialId, entry.item, *entry.field);
  for (const auto& entry : checks)
    DGSetItemValLong(dialId, entry.item, *entry.field ? 1 : 0);
  for (const auto& entry : reals)
    DGSetItemValDouble(dialId, entry.item, *entry.field);
  for (const auto& entry : intsFromReals)
    DGSetItemValDouble(dialId, entry.item, *entry.field);
  for (const Int& entry : ints)
    DGSetItemValLong(dialId, entry.item, *entry.field);
  for (const auto& entry : fonts)
    CDGDlgCore::FontSelectItem(dialId, entry.item, *entry.field);
}

CEnvFields::Taken CEnvFields::Take(short dialId, short item) const
{
  for (const Pen& pen : pens)
    if (pen.pair.number == item)
      return Result(EnvPageInput::TakePen(dialId, pen.pair, item, *pen.field));
  if (const auto* entry = Find(attributes, item)) {
    *entry->field = static_cast<short>(DGGetItemValLong(dialId, item));
    return Taken::Stored;
  }
  if (const auto* entry = Find(checks, item)) {
    *entry->field = DGGetItemValLong(dialId, item) != 0;
    return Taken::Stored;
  }
  if (const auto* entry = Find(reals, item))
    return Result(EnvPageInput::GetReal(dialId, item, *entry->field));
  if (const auto* entry = Find(intsFromReals, item))
    return Result(EnvPageInput::GetIntFromReal(dialId, item, *entry->field));
  if (const Int* entry = Find(ints, item))
    return Result(EnvPageInput::GetInt(dialId, item, entry->minimum, *entry->field));
  if (const auto* entry = Find(fonts, item)) {
    // The stored forms keep a font by its name in the default code: one it
    // cannot hold would fail every later save of the settings.
    const GS::UniString font = CDGDlgCore::FontGetSelectedName(dialId, item);
    if (DocText::RefuseUnheld(font))
      return Taken::Refused;
    *entry->field = font;
    return Taken::Stored;
  }
  return Taken::NotListed;
}

CEnvFields::Taken CEnvFields::Track(short dialId, short item) const
{
  for (const Pen& pen : pens)
    if (pen.pair.control == item)
      return Result(EnvPageInput::TakePen(dialId, pen.pair, item, *pen.field));
  return Taken::NotListed;
}
