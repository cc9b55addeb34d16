// The registries' hash table, alone and changed from inside a walk.
#include "engine/handle_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zel {
namespace {

struct Item {
  int Value = 0;
};

std::vector<int32_t> VisitedKeys(HandleTable<Item>& table) {
  std::vector<int32_t> keys;
  table.Walk([&](int32_t key, Item&) { keys.push_back(key); });
  std::sort(keys.begin(), keys.end());
  return keys;
}

TEST(HandleTable, FindsAddsRemovesAndClears) {
  HandleTable<Item> table;
  EXPECT_EQ(table.Find(7), nullptr);
  Item& added = table.Add(7);
  EXPECT_EQ(added.Value, 0) << "new values start zero";
  added.Value = 70;
  table.Add(-7).Value = -70;
  table.Add(7 + 512).Value = 5;  // a key that may share the bucket
  EXPECT_EQ(table.Find(7), &added) << "the same value, not a copy";
  EXPECT_EQ(table.Find(-7)->Value, -70);
  EXPECT_EQ(table.Count(), 3u);
  table.Remove(7);
  table.Remove(12345);  // absent: no effect
  EXPECT_EQ(table.Find(7), nullptr);
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_EQ(VisitedKeys(table), (std::vector<int32_t>{-7, 7 + 512}));
  table.Clear();
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_TRUE(VisitedKeys(table).empty());
}

TEST(HandleTable, WalkVisitsEveryValueOnceAmongManyKeys) {
  HandleTable<Item> table;
  std::vector<int32_t> keys;
  for (int32_t i = 0; i < 5000; ++i) keys.push_back(i * 4 + 0x10000);
  for (int32_t key : keys) table.Add(key);
  EXPECT_EQ(VisitedKeys(table), keys);
}

TEST(HandleTable, ChangesDuringAWalkNeitherSkipNorRepeatNorFree) {
  HandleTable<Item> table;
  for (int32_t key = 1; key <= 100; ++key) table.Add(key).Value = key;
  std::vector<int32_t> visited;
  table.Walk([&](int32_t key, Item& item) {
    visited.push_back(key);
    EXPECT_EQ(item.Value, key) << "a removed value is never visited, a visited one is intact";
    if (key % 2 == 0) {
      table.Remove(key);       // the value being visited
      table.Remove(key + 51);  // one visited earlier or later
      table.Add(key + 1000).Value = key + 1000;
    }
    EXPECT_EQ(item.Value, key) << "the current value stays readable after its removal";
  });
  // Every original key is visited once unless a removal reached it first;
  // keys added during the walk wait for the next one.
  std::sort(visited.begin(), visited.end());
  EXPECT_TRUE(std::adjacent_find(visited.begin(), visited.end()) == visited.end());
  for (int32_t key : visited) EXPECT_LE(key, 100);
  // Even keys remove themselves and add one each; even keys up to 48 also
  // remove the odd keys 53 to 99.
  EXPECT_EQ(table.Count(), 100u - 50u - 24u + 50u);
  EXPECT_EQ(table.Find(2), nullptr);
  EXPECT_EQ(table.Find(1002)->Value, 1002);
  EXPECT_EQ(VisitedKeys(table).size(), table.Count()) << "the next walk sees exactly what is present";
}

TEST(HandleTable, ClearDuringAWalkEndsIt) {
  HandleTable<Item> table;
  for (int32_t key = 1; key <= 10; ++key) table.Add(key);
  int visits = 0;
  table.Walk([&](int32_t, Item&) {
    ++visits;
    table.Clear();
  });
  EXPECT_EQ(visits, 1);
  EXPECT_EQ(table.Count(), 0u);
  table.Add(3);
  EXPECT_EQ(VisitedKeys(table), std::vector<int32_t>{3});
}

}  // namespace
}  // namespace zel
