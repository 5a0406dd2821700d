#pragma once
// Sorting a page list by a click on a column header. The sort is not a view
// state: the caller reorders what the rows stand for (records, sort indices)
// and refills the list, so the order outlives the list.
//
// Direction: 1 ascending, 2 descending. It comes from the clicked header's
// arrow (none or down -> ascending, up -> descending); the clicked header
// then shows it and every other header loses its arrow.
//
// The exchange sort compares every pair of rows (i, j > i) in turn and
// exchanges them when the comparison asks for it; equal keys never
// exchange. It is not stable: keys [2a, 2b, 1] ascending give [1, 2b, 2a].
// Stored orders depend on exactly this result, so it is kept.
//
// Rows count from 1. A comparison answers 1, -1 or 0 (row i's key greater,
// smaller, equal).

#include "gs_unistring.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace ListHeaderSort {

inline constexpr short kAscending = 1;
inline constexpr short kDescending = 2;

// The direction a click on a header with this arrow asks for.
short NextDirection(short arrow);
// Reads the clicked header's arrow, shows the next direction on it, clears
// every other header's arrow; answers the direction.
short ClickHeader(short dialId, short list, short header);
// Whether rows i and j exchange when row i's key compares to row j's as
// comparison: ascending when greater, any other direction when smaller.
bool MustExchange(int comparison, short direction);

// == Keys ==
// The host string ordering.
int CompareText(const GS::UniString& a, const GS::UniString& b);
int CompareNumber(long long a, long long b);
// Area texts by their value (thousands commas allowed); a text that does
// not read as a number comes after every number and among those by text.
int CompareAreaText(const GS::UniString& a, const GS::UniString& b);

// for i in 1..count: for j in i+1..count: exchange(i, j) when
// mustExchange(i, j); then afterPass(i), which stops the sort by answering
// false.
template <class MustExchangeFn, class ExchangeFn, class AfterPassFn>
bool ExchangeSort(int count, MustExchangeFn&& mustExchange, ExchangeFn&& exchange, AfterPassFn&& afterPass)
{
  for (int i = 1; i <= count; ++i) {
    for (int j = i + 1; j <= count; ++j)
      if (mustExchange(i, j))
        exchange(i, j);
    if (!afterPass(i))
      return false;
  }
  return true;
}

// Dense ranks of the keys under compare (-1, 0, 1): equal keys share a
// rank, so comparing ranks answers as comparing the keys. The exchange
// sort's n^2/2 comparisons then cost an integer each, while a costly key
// (a formula text) is compared n log n times.
template <class Key, class CompareFn>
std::vector<int> Ranks(const std::vector<Key>& keys, CompareFn&& compare)
{
  std::vector<std::size_t> order(keys.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return compare(keys[a], keys[b]) < 0; });
  std::vector<int> ranks(keys.size(), 0);
  for (std::size_t k = 1; k < order.size(); ++k)
    ranks[order[k]] = ranks[order[k - 1]] + (compare(keys[order[k - 1]], keys[order[k]]) != 0 ? 1 : 0);
  return ranks;
}

template <class MustExchangeFn, class ExchangeFn>
void ExchangeSort(int count, MustExchangeFn&& mustExchange, ExchangeFn&& exchange)
{
  ExchangeSort(count, mustExchange, exchange, [](int) { return true; });
}

}  // namespace ListHeaderSort
