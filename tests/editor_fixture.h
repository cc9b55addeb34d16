// Opening the plug-in's editors through the reference host and driving them
// from inside their own modal loop.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/reference_host.h"
#include "tests/support/dialog_driver.h"

// The editor of each action id: its title, and its OK and Cancel buttons by
// position.
struct EditorFacts {
  const wchar_t* Title;
  int Ok, Cancel;
};

inline EditorFacts EditorOf(int actionId) {
  switch (actionId) {
    case 1:
      return {L"Zelmora Zozarevo - Animate", 21, 22};
    case 2:
      return {L"Zelmora Zozarevo - Stop", 4, 5};
    default:
      return {L"Zelmora Zozarevo - AnimateEx (Effects)", 22, 23};
  }
}

// Opens the editor of `actionId` with host-owned parameter texts and runs
// `steps` inside it; returns once the dialog has closed.
inline host::EditOutcome EditWithSteps(const host::PluginExports& plugin, int actionId,
                                       const std::vector<std::string>& params,
                                       const std::function<void(HWND dialog)>& steps) {
  host::EditOutcome outcome;
  EXPECT_TRUE(WithDialog(EditorOf(actionId).Title, steps, [&] {
    outcome = host::EditAction(plugin, actionId, params);
  })) << "the dialog did not open";
  return outcome;
}
