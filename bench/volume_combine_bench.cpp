// Speed of the block combination on k x k grids of unit boxes, given in row
// order and shuffled with a fixed seed: 64, 256 and 1,024 blocks; beside it
// the combination as it stood before its pairs were indexed
// (tests/volume/CombinePrevious.h) and, for the shuffled grid, its first form
// with the scan restarted after every merge (tests/volume/SetLiteral.h); all
// give the same lists.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "CKelBlockCubeArray.h"
#include "CombinePrevious.h"
#include "SetLiteral.h"

namespace {

CKelBlockCubeArray Grid(int k, bool shuffled)
{
  std::vector<CKelBlockCube> cells;
  for (int y = 0; y < k; ++y) {
    for (int x = 0; x < k; ++x) {
      CKelBlockCube b;
      b.Append(CKelBlockCoord(x, y, 3, 0));
      b.Append(CKelBlockCoord(x + 1, y, 3, 0));
      b.Append(CKelBlockCoord(x + 1, y + 1, 3, 0));
      b.Append(CKelBlockCoord(x, y + 1, 3, 0));
      cells.push_back(b);
    }
  }
  if (shuffled) {
    std::mt19937 rng(25);
    std::shuffle(cells.begin(), cells.end(), rng);
  }
  CKelBlockCubeArray list;
  for (const CKelBlockCube& c : cells)
    list.AddBlock(c);
  return list;
}

enum class Form { Today, Previous, First };

void CombineGrid(benchmark::State& state, bool shuffled, Form form = Form::Today)
{
  const CKelBlockCubeArray grid = Grid(static_cast<int>(state.range(0)), shuffled);
  for (auto _ : state) {
    CKelBlockCubeArray list = grid;
    switch (form) {
      case Form::Today: list.CombineBlock(nullptr); break;
      case Form::Previous: combine_previous::Combine(list, nullptr); break;
      case Form::First: set_literal::Combine(list, nullptr); break;
    }
    benchmark::DoNotOptimize(list.data());
    if (list.size() != 1)
      state.SkipWithError("the grid did not combine into one block");
  }
  state.counters["blocks"] = static_cast<double>(grid.size());
}

void BM_CombineRowOrder(benchmark::State& state) { CombineGrid(state, false); }
void BM_CombineShuffled(benchmark::State& state) { CombineGrid(state, true); }
void BM_CombineRowOrderPrevious(benchmark::State& state) { CombineGrid(state, false, Form::Previous); }
void BM_CombineShuffledPrevious(benchmark::State& state) { CombineGrid(state, true, Form::Previous); }
void BM_CombineShuffledFirstForm(benchmark::State& state) { CombineGrid(state, true, Form::First); }

BENCHMARK(BM_CombineRowOrder)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CombineShuffled)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CombineRowOrderPrevious)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CombineShuffledPrevious)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CombineShuffledFirstForm)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
