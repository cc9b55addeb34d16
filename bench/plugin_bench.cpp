// The plug-in DLL loaded by the reference host and driven through its
// exports on the real timer. Arguments name the sections to run ("timing",
// "scale", "idle"); none runs all three.
#include <cstdio>

#include "bench/bench_support.h"
#include "bench/sections.h"
#include "host/reference_host.h"

int main(int argc, char** argv) {
  host::ResetHost();
  host::PluginModule plugin(host::PluginPathBesideProgram());
  if (!plugin.Error().empty()) {
    std::fprintf(stderr, "cannot load the plug-in: %s\n", plugin.Error().c_str());
    return 1;
  }
  host::ConnectPlugin(plugin.Exports());
  if (bench::SectionWanted(argc, argv, "timing")) bench::RunTimerFidelity(plugin.Exports());
  if (bench::SectionWanted(argc, argv, "scale")) bench::RunActionScale(plugin.Exports());
  if (bench::SectionWanted(argc, argv, "idle")) bench::RunIdle(plugin.Exports());
  plugin.Exports().Message(2, 0);
  return 0;
}
