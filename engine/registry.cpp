#include "engine/registry.h"

namespace zel {

HandleTable<AnimationRecord> AnimationRegistry;
HandleTable<InitialSize> InitialSizeRegistry;

namespace {
uint32_t LastMotionSerial = 0;
}

AnimationRecord& BeginMotionRecord(int32_t key) {
  AnimationRecord* record = AnimationRegistry.Find(key);
  if (record == nullptr) record = &AnimationRegistry.Add(key);
  record->MotionSerial = ++LastMotionSerial;
  return *record;
}

AnimationRecord* FindMotion(int32_t key, uint32_t motionSerial) {
  AnimationRecord* record = AnimationRegistry.Find(key);
  return record != nullptr && record->MotionSerial == motionSerial ? record : nullptr;
}

}  // namespace zel
