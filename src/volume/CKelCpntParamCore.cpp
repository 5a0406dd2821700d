#include "CKelCpntParamCore.h"

#include <cstdint>

#include "CKelArchiveCore.h"

namespace {

// The one hook of the layer above; set once at start-up, read by every load.
CKelCpntParamFactory g_factory = nullptr;

}  // namespace

void SetCpntParamFactory(CKelCpntParamFactory factory) { g_factory = factory; }

CKelCpntParamFactory GetCpntParamFactory() { return g_factory; }

bool SerializeEmptyCpntParam(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelCpntParam");
  std::int32_t count = 0;
  ar.Serialize(count);
  if (ar.GetError() != 0)
    return false;
  // Points stored here cannot be held without the factory: refuse rather
  // than drop them silently.
  if (count != 0) {
    ar.SetError();
    return false;
  }
  return true;
}
