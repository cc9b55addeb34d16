// A hash table keyed by window handle with 512 buckets and separate chaining.
//
// A walk tolerates changes made from inside it: the frame tick walks the
// animations while the windows' own handlers run, and those may add or remove
// records. Removed records disappear from Find and Count at once but stay in
// memory until the outermost walk ends, so the record a walk holds is never
// freed under it; records added during a walk are left for the next one.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <forward_list>

namespace zel {

// A window handle's value taken as a signed 32-bit integer (window handles
// fit in 32 bits in both 32- and 64-bit processes).
inline int32_t HandleKey(HWND window) { return static_cast<int32_t>(reinterpret_cast<INT_PTR>(window)); }
// The window handle whose key is `key` (sign-extended, as Windows does).
inline HWND HandleFromKey(int32_t key) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(key)); }

template <typename Value>
class HandleTable {
 public:
  static constexpr size_t kBucketCount = 512;

  Value* Find(int32_t key) {
    for (Node& node : BucketOf(key))
      if (node.Key == key && !node.Removed) return &node.Item;
    return nullptr;
  }

  // The key must not be present. The new value is value-initialised (zero).
  Value& Add(int32_t key) {
    auto& bucket = BucketOf(key);
    bucket.emplace_front();
    Node& node = bucket.front();
    node.Key = key;
    node.AddedDuringWalk = walkDepth_ > 0;
    pendingCleanup_ |= node.AddedDuringWalk;
    ++count_;
    return node.Item;
  }

  void Remove(int32_t key) {
    auto& bucket = BucketOf(key);
    for (Node& node : bucket)
      if (node.Key == key && !node.Removed) {
        node.Removed = true;
        --count_;
        pendingCleanup_ = true;
        break;
      }
    if (walkDepth_ == 0) bucket.remove_if([](const Node& node) { return node.Removed; });
  }

  void Clear() {
    if (walkDepth_ == 0) {
      for (auto& bucket : buckets_) bucket.clear();
    } else {
      for (auto& bucket : buckets_)
        for (Node& node : bucket) node.Removed = true;
      pendingCleanup_ = true;
    }
    count_ = 0;
  }

  size_t Count() const { return count_; }

  // Visits every value present when the walk started and not removed since,
  // once each, as visit(key, value).
  template <typename Visitor>
  void Walk(Visitor&& visit) {
    ++walkDepth_;
    for (auto& bucket : buckets_)
      for (Node& node : bucket)
        if (!node.Removed && !node.AddedDuringWalk) visit(node.Key, node.Item);
    if (--walkDepth_ == 0 && pendingCleanup_) CleanUpAfterWalk();
  }

 private:
  struct Node {
    int32_t Key = 0;
    bool Removed = false;
    bool AddedDuringWalk = false;
    Value Item{};
  };
  using Bucket = std::forward_list<Node>;

  Bucket& BucketOf(int32_t key) {
    // Fibonacci hashing: handle values are spaced regularly, the top bits of
    // the product spread them over the buckets.
    return buckets_[(static_cast<uint32_t>(key) * 2654435769u) >> 23];
  }

  void CleanUpAfterWalk() {
    for (auto& bucket : buckets_) {
      bucket.remove_if([](const Node& node) { return node.Removed; });
      for (Node& node : bucket) node.AddedDuringWalk = false;
    }
    pendingCleanup_ = false;
  }

  std::array<Bucket, kBucketCount> buckets_;
  size_t count_ = 0;
  int walkDepth_ = 0;
  bool pendingCleanup_ = false;
};

}  // namespace zel
