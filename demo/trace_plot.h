// An SVG picture of every object's path on the stage, dotted at even time
// steps so the easing shows in the spacing, and labelled with each motion's
// path type and easing.
#pragma once

#include <string>
#include <vector>

#include "demo/stage.h"
#include "host/script_runner.h"

namespace demo {

bool WriteTracePlot(const std::wstring& path, const std::vector<StageObject*>& objects,
                    const std::vector<host::ScriptLine>& motions);

}  // namespace demo
