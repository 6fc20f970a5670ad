// The program's entry.
#include "runtime.h"
#include "valumat.h"

int main() {
  return rt::Run([] {
    valumat::AppSys();
    valumat::Main();
  });
}
