// Reads arbitrary bytes as the per-edge layout of archives before version
// 20: a site first (its own archive form), then the old per-edge list for
// its vertices. A list longer than the site must be refused; what was read
// must write back and read again to the same bytes.
//
// Input: byte 0 unused, byte 1 the archive version; the rest is the stored
// site followed by the stored list.

#include "CKelHSite.h"
#include "CLineCondEx.h"
#include "SiteFuzzSupport.h"

#include <cstdint>

namespace {

KernelFuzz::Bytes WrittenLayout(CKelHSite site, CLineCondExArea list, int version)
{
  CKelMemoryArchive out(version);
  KernelFuzz::Check(site.Serialize2(out) && list.SerializeOld(out, &site));
  return out.GetBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2 || size > 1 << 16)
    return 0;
  const SiteFuzz::Selected input = SiteFuzz::Select(data, size);
  CKelMemoryArchive in(input.stored, input.version);
  CKelHSite site;
  CLineCondExArea list;
  if (!site.Serialize2(in))
    return 0;
  const bool read = list.SerializeOld(in, &site);
  KernelFuzz::Check(read == (in.GetError() == 0));
  if (!read)
    return 0;
  KernelFuzz::Check(list.size() <= site.m_pt.size());
  const KernelFuzz::Bytes once = WrittenLayout(site, list, input.version);
  CKelMemoryArchive again(once, input.version);
  CKelHSite site2;
  CLineCondExArea list2;
  KernelFuzz::Check(site2.Serialize2(again) && list2.SerializeOld(again, &site2));
  KernelFuzz::Check(WrittenLayout(site2, list2, input.version) == once);
  return 0;
}
