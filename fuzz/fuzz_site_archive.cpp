// Reads arbitrary bytes as the archive forms of the site: the whole site,
// one vertex record, its edge condition and calculation kind, at a version
// picked by the input. A site whose tables point nowhere must be refused;
// whatever was read must write back and read again to the same bytes, and a
// site that was accepted goes through every edit and builder.
//
// Input: byte 0 picks the reader, byte 1 the archive version; the rest is
// the stored data.

#include "CKelHSite.h"
#include "CLineCondExCondition.h"
#include "SiteFuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using KernelFuzz::ReadArchived;
  if (size < 2 || size > 1 << 16)
    return 0;
  const SiteFuzz::Selected input = SiteFuzz::Select(data, size);
  switch (input.reader % 4) {
    case 0: {
      const KernelFuzz::Loaded<CKelHSite> site = ReadArchived<CKelHSite>(input.stored, input.version);
      if (site.read)
        SiteFuzz::Exercise(site.value);
      break;
    }
    case 1: ReadArchived<CKelSiteTable>(input.stored, input.version); break;
    case 2: ReadArchived<CLineCondExCondition>(input.stored, input.version); break;
    default: ReadArchived<CSyasenCheckCalcKind>(input.stored, input.version); break;
  }
  return 0;
}
