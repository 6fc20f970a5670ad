// The console stress under ThreadSanitizer, which ends the program with a
// report and a non-zero exit code on any data race.
#include <cstdio>

#include "console_stress.h"

int main() {
  const consolestress::Result r = consolestress::Run(10, 3);
  const bool comeAndGo = r.strays == 0 && r.arrived > 0;
  std::printf("console stress: %ld calls off the owner thread, %zu bytes arrived\n", r.strays, r.arrived);
  const consolestress::Ordered o = consolestress::RunOrdered(3, 500);
  for (const std::string& fault : o.faults) std::printf("%s\n", fault.c_str());
  const bool ordered = o.strays == 0 && o.faults.empty();
  std::printf("console order: %ld calls off the owner thread, %zu writers lost or reordered calls\n", o.strays,
              o.faults.size());
  const int passed = comeAndGo + ordered;
  std::printf("%d passed, %d failed\n", passed, 2 - passed);
  return passed == 2 ? 0 : 1;
}
