// The console stress under ThreadSanitizer, which ends the program with a
// report and a non-zero exit code on any data race.
#include <cstdio>

#include "console_stress.h"

int main() {
  const consolestress::Result r = consolestress::Run(10, 3);
  const bool ok = r.strays == 0 && r.arrived > 0;
  std::printf("console stress: %ld calls off the owner thread, %zu bytes arrived\n", r.strays, r.arrived);
  std::printf("%d passed, %d failed\n", ok ? 1 : 0, ok ? 0 : 1);
  return ok ? 0 : 1;
}
