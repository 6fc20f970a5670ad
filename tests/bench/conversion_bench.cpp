// Cost of one conversion as the converter does it on every key: parse the
// field's text into its variable and convert that at the rate, then the
// exact amount of the text at the rate, formatted for the other field;
// against the plain C library doing the same (strtod, snprintf "%.2f"),
// which rounds the binary value (500 euro: 977,91 instead of 977,92).
// Both run in the same rounds, in alternating order; the paired ratio
// scatters much less than either time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "format.h"
#include "transform.h"

namespace {

const std::vector<std::string> kTexts{"1", "100", "500", "1234,56", "0,00977915", "999999999,99", "12a", ""};
constexpr double kKurs = 1.95583;

size_t Runtime(const std::string& text) {
  volatile double nDM = rt::LChar2Var(text, "N 999999999.99").number();
  nDM = nDM * kKurs;
  return rt::FormatAtRate(text, "N 999999999.99", kKurs, rt::RateOp::Multiply, "@N 999999999.99").size();
}

size_t Library(const std::string& text) {
  char buf[64];
  const size_t n = std::min(text.size(), sizeof buf - 1);
  for (size_t i = 0; i < n; ++i) buf[i] = text[i] == ',' ? '.' : text[i];
  buf[n] = '\0';
  const double nDM = std::strtod(buf, nullptr) * kKurs;
  const int length = std::snprintf(buf, sizeof buf, "%.2f", nDM);
  for (int i = 0; i < length; ++i)
    if (buf[i] == '.') buf[i] = ',';
  return std::string(buf, static_cast<size_t>(length)).size();
}

double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  const double at = q * static_cast<double>(v.size() - 1);
  const size_t lo = static_cast<size_t>(at), hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (v[hi] - v[lo]) * (at - static_cast<double>(lo));
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 41;
  constexpr int kPerRound = 100000;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  size_t checksum = 0;
  const auto timed = [&](size_t (*convert)(const std::string&)) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kPerRound; ++i) checksum += convert(kTexts[i % kTexts.size()]);
    QueryPerformanceCounter(&end);
    return 1e9 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) /
           kPerRound;
  };
  timed(Runtime);  // warm-up
  timed(Library);
  std::vector<double> ours, theirs, ratios;
  for (int round = 0; round < rounds; ++round) {
    double a, b;
    if (round % 2) {
      b = timed(Library);
      a = timed(Runtime);
    } else {
      a = timed(Runtime);
      b = timed(Library);
    }
    ours.push_back(a);
    theirs.push_back(b);
    ratios.push_back(a / b);
  }
  std::printf("conversion per key (parse, convert, format), %d rounds x %d keys, checksum %zu\n", rounds, kPerRound,
              checksum);
  std::printf("  runtime             min %5.0f ns  median %5.0f ns\n", Quantile(ours, 0), Quantile(ours, 0.5));
  std::printf("  strtod + snprintf   min %5.0f ns  median %5.0f ns\n", Quantile(theirs, 0), Quantile(theirs, 0.5));
  std::printf("  runtime / library, paired by round: median %.3f, interquartile %.3f .. %.3f\n",
              Quantile(ratios, 0.5), Quantile(ratios, 0.25), Quantile(ratios, 0.75));
  return 0;
}
