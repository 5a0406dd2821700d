// Throughput of the support services: the library archive writing and
// reading numbers and texts, and profile lookups in files of many sections.

#include "CKelMemoryArchive.h"
#include "KelProfile.h"
#include "io_location.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

void ArchiveRoundTrip(benchmark::State& state)
{
  const int count = static_cast<int>(state.range(0));
  const std::string text = "CKelCoord2D";
  for (auto _ : state) {
    CKelMemoryArchive out(2);
    for (int i = 0; i < count; ++i)
      out << text << static_cast<double>(i) << static_cast<double>(-i);
    CKelMemoryArchive in(out.GetBytes(), 2);
    std::string tag;
    double x = 0;
    double y = 0;
    for (int i = 0; i < count; ++i)
      in >> tag >> x >> y;
    benchmark::DoNotOptimize(y);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(ArchiveRoundTrip)->Arg(1000)->Arg(100000);

std::string WriteProfile(int sections)
{
  const std::string path = (pln::host::SandboxRoot() / ("bench_" + std::to_string(sections) + ".ini")).string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  for (int s = 0; s < sections; ++s)
    std::fprintf(file, "[Section%d]\r\nName=value %d\r\nCount=%d\r\n; comment\r\n\r\n", s, s, s);
  std::fclose(file);
  return path;
}

// The lookup of the last section: every line of the file is read.
void ProfileLookup(benchmark::State& state)
{
  const int sections = static_cast<int>(state.range(0));
  const std::string path = WriteProfile(sections);
  const std::string last = "section" + std::to_string(sections - 1);
  char value[64];
  for (auto _ : state) {
    GetPrivateProfileString(last.c_str(), "name", "", value, sizeof(value), path.c_str());
    benchmark::DoNotOptimize(GetPrivateProfileInt(last.c_str(), "count", 0, path.c_str()));
  }
}
BENCHMARK(ProfileLookup)->Arg(10)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
