#pragma once
// Helpers of the volume tests on top of the kernel's: the archive of the
// lists that store themselves through Serialize2, and a sample floor profile.

#include "../kernel/KelTestSupport.h"

namespace vol_test {

using kel_test::Bytes;

template <class T>
Bytes Archived2(T object, int version)
{
  CKelMemoryArchive ar(version);
  EXPECT_TRUE(object.Serialize2(ar));
  return ar.GetBytes();
}

template <class T>
bool Unarchive2(T& object, const Bytes& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  return object.Serialize2(ar);
}

}  // namespace vol_test
