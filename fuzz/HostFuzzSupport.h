#pragma once
// What the fuzz targets above the kernel share: the abort that reports a
// broken property to the fuzzer, and the three ways an input reaches a
// reader of stored data: as the project's module data, as a file in the
// sandbox, or as the user data of a placed element.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "HostFixture.h"
#include "gs_unistring.h"
#include "host_memory.h"
#include "host_userdata.h"
#include "io_filesystem.h"

namespace HostFuzz {

// The platform sign of every record the add-on stores.
constexpr unsigned short kPlatformSign = 0x5757;

inline void Check(bool condition)
{
  if (!condition)
    std::abort();
}

// Every value a target reads is used, so the sanitizers see a value its
// type cannot hold (a bool read from a stored 2); an unused one they never
// load.
inline volatile unsigned long long g_Sink = 0;
template <typename T>
void Use(T value)
{
  if constexpr (std::is_floating_point_v<T>)
    g_Sink = g_Sink ^ (value == value ? 1u : 0u);
  else
    g_Sink = g_Sink ^ static_cast<unsigned long long>(value);
}

// Stores the bytes as the project's module data of the name, in the
// version.
inline void StoreModuleData(const GS::UniString& name, Int32 version, const std::uint8_t* data, std::size_t size)
{
  API_ModulData record;
  record.dataVersion = version;
  record.platformSign = kPlatformSign;
  record.dataHdl = BMAllocateHandle(GSSize(size), 0, 0);
  if (size > 0)
    std::memcpy(*record.dataHdl, data, size);
  ACAPI_ModulData_Store(&record, name);
  BMKillHandle(&record.dataHdl);
}

// Writes the bytes to the file of that name in the sandbox; answers its
// path as the file streams take it (UTF-8).
inline GS::UniString WriteSandboxFile(const char* name, const std::uint8_t* data, std::size_t size)
{
  const std::filesystem::path path = pln::host::SandboxRoot() / name;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }
  return GS::UniString(path.string().c_str(), CC_UTF8);
}

// The bytes of the file of that name in the sandbox; empty when none.
inline std::string ReadSandboxFile(const char* name)
{
  std::ifstream in(pln::host::SandboxRoot() / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An input read as element user data: the first two bytes are the record's
// version, the rest its bytes.
struct UserDataInput {
  short version = 0;
  std::vector<char> bytes;
};

// Precondition: size >= 2.
inline UserDataInput SplitUserData(const std::uint8_t* data, std::size_t size)
{
  UserDataInput input;
  std::memcpy(&input.version, data, 2);
  input.bytes.assign(data + 2, data + size);
  return input;
}

// Places an object element that carries the user data.
inline API_Element AddObjectWithUserData(HostFixture& host, const UserDataInput& input)
{
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.object.libInd = 1;
  element.object.xRatio = 1.0;
  element.object.yRatio = 1.0;
  Check(host.AddElement(element) == NoError);
  Check(host.SetUserData(element.header.guid, input.version, kPlatformSign, input.bytes) == NoError);
  return element;
}

}  // namespace HostFuzz
