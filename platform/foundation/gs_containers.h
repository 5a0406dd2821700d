#pragma once
// GS::Array, GS::HashTable and GS::HashSet: the host's containers, thin
// layers over the standard ones. Indices count from 0; a search that finds
// nothing answers GS::MaxUIndex. Out-of-range access is a caller error.

#include "host_assert.h"
#include "host_types.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace GS {

// Hashes a key by its HashValue() when it has one, else by std::hash.
template <typename T>
struct Hasher {
  std::size_t operator()(const T& value) const
  {
    if constexpr (requires { value.HashValue(); })
      return static_cast<std::size_t>(value.HashValue());
    else
      return std::hash<T>{}(value);
  }
};

template <typename T>
class Array {
public:
  Array() = default;
  Array(std::initializer_list<T> items) : items_(items) {}

  USize GetSize() const { return static_cast<USize>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }

  T& operator[](UIndex index) { PLN_ASSERT(index < items_.size()); return items_[index]; }
  const T& operator[](UIndex index) const { PLN_ASSERT(index < items_.size()); return items_[index]; }
  T& GetFirst() { PLN_ASSERT(!items_.empty()); return items_.front(); }
  const T& GetFirst() const { PLN_ASSERT(!items_.empty()); return items_.front(); }
  T& GetLast() { PLN_ASSERT(!items_.empty()); return items_.back(); }
  const T& GetLast() const { PLN_ASSERT(!items_.empty()); return items_.back(); }

  void Push(const T& item) { items_.push_back(item); }
  void Push(T&& item) { items_.push_back(std::move(item)); }
  T Pop()
  {
    PLN_ASSERT(!items_.empty());
    T last = std::move(items_.back());
    items_.pop_back();
    return last;
  }
  void Insert(UIndex index, const T& item)
  {
    PLN_ASSERT(index <= items_.size());
    items_.insert(items_.begin() + index, item);
  }
  void Delete(UIndex index)
  {
    PLN_ASSERT(index < items_.size());
    items_.erase(items_.begin() + index);
  }
  void DeleteAll() { items_.clear(); }
  void Clear() { items_.clear(); }

  bool Contains(const T& item) const { return FindFirst(item) != MaxUIndex; }
  UIndex FindFirst(const T& item) const
  {
    auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? MaxUIndex : static_cast<UIndex>(found - items_.begin());
  }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  const std::vector<T>& Std() const { return items_; }

  bool operator==(const Array&) const = default;

private:
  std::vector<T> items_;
};

// Iteration order is not defined.
template <typename K, typename V>
class HashTable {
public:
  // false (and nothing changed) when the key is already present.
  bool Add(const K& key, const V& value) { return table_.emplace(key, value).second; }
  void Put(const K& key, const V& value) { table_.insert_or_assign(key, value); }
  bool ContainsKey(const K& key) const { return table_.count(key) != 0; }

  V& Get(const K& key) { V* value = GetPtr(key); PLN_ASSERT(value != nullptr); return *value; }
  const V& Get(const K& key) const { const V* value = GetPtr(key); PLN_ASSERT(value != nullptr); return *value; }
  V* GetPtr(const K& key)
  {
    auto found = table_.find(key);
    return found == table_.end() ? nullptr : &found->second;
  }
  const V* GetPtr(const K& key) const
  {
    auto found = table_.find(key);
    return found == table_.end() ? nullptr : &found->second;
  }

  bool Delete(const K& key) { return table_.erase(key) != 0; }
  USize GetSize() const { return static_cast<USize>(table_.size()); }
  bool IsEmpty() const { return table_.empty(); }
  void Clear() { table_.clear(); }

  auto begin() { return table_.begin(); }
  auto end() { return table_.end(); }
  auto begin() const { return table_.begin(); }
  auto end() const { return table_.end(); }

private:
  std::unordered_map<K, V, Hasher<K>> table_;
};

template <typename T>
class HashSet {
public:
  bool Add(const T& item) { return set_.insert(item).second; }
  bool Contains(const T& item) const { return set_.count(item) != 0; }
  bool Delete(const T& item) { return set_.erase(item) != 0; }
  USize GetSize() const { return static_cast<USize>(set_.size()); }
  bool IsEmpty() const { return set_.empty(); }
  void Clear() { set_.clear(); }

  auto begin() const { return set_.begin(); }
  auto end() const { return set_.end(); }

private:
  std::unordered_set<T, Hasher<T>> set_;
};

}  // namespace GS
