// The engine linked in and driven directly: frame cost and the registry.
// Arguments name the sections to run ("frame-cost", "registry"); none runs
// both.
#include "bench/bench_support.h"
#include "bench/sections.h"

int main(int argc, char** argv) {
  if (bench::SectionWanted(argc, argv, "frame-cost")) bench::RunFrameCost();
  if (bench::SectionWanted(argc, argv, "registry")) bench::RunRegistryScale();
  return 0;
}
