// Cost of one conversion as the converter does it on every key: parse the
// field's text, convert at the rate, format the other field's amount.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "transform.h"

int main() {
  using namespace rt;
  const std::vector<std::string> texts{"1", "100", "500", "1234,56", "0,00977915", "999999999,99", "12a", ""};
  const double nKurs = 1.95583;
  constexpr int kRounds = 7;
  constexpr int kPerRound = 200000;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> nsPerConversion;
  size_t checksum = 0;
  for (int round = 0; round < kRounds; ++round) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kPerRound; ++i) {
      const std::string& text = texts[i % texts.size()];
      double nDM = LChar2Var(text, "N 999999999.99").number();
      nDM = nDM * nKurs;
      checksum += Transform(nDM, "@N 999999999.99").size();
    }
    QueryPerformanceCounter(&end);
    nsPerConversion.push_back(1e9 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart /
                              kPerRound);
  }
  std::sort(nsPerConversion.begin(), nsPerConversion.end());
  std::printf("conversion (parse, convert, format): min %.0f ns, median %.0f ns per key  [%d x %d, checksum %zu]\n",
              nsPerConversion.front(), nsPerConversion[kRounds / 2], kRounds, kPerRound, checksum);
  return 0;
}
