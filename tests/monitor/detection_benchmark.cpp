// Throughput of one detection pass (UTF-8 to code page 936, then the three
// searches) over generated listing pages, beside a baseline that does the same
// work with plain iconv and memmem. Prints MB/s of page read.

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <string.h>

#include <string>

#include "monitor/listing.h"
#include "util/codepage.h"

namespace {

// A listing page of about `size` bytes of UTF-8, its markers near the end.
std::string make_page(size_t size) {
  const std::string row =
      "<tr><td>债权编号 A-1024</td><td>年利率 9.6%</td><td>剩余期限 12 个月</td></tr>\n";
  const std::string tail =
      "<h2>其他投资人转让项目</h2><span class=\"rmb\">￥</span>5,000.00 <a href=\"#\">购买</a>";
  std::string page = "<html><body>\n";
  while (page.size() + row.size() + tail.size() < size)
    page += row;
  return page + tail + "</body></html>";
}

void detection_pass(benchmark::State& state) {
  const Text page = make_present_text(make_page(static_cast<size_t>(state.range(0))));
  for (auto _ : state) {
    ListingPositions found = find_listing_markers(utf8_to_ansi(page));
    benchmark::DoNotOptimize(found);
    if (!shows_buyable_listing(found)) state.SkipWithError("markers not found");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// The same work with the C library: one iconv call and three memmem searches.
void iconv_memmem_baseline(benchmark::State& state) {
  const std::string page = make_page(static_cast<size_t>(state.range(0)));
  const std::string heading = section_heading().bytes;
  const std::string markup = price_markup().bytes;
  const std::string buy = buy_marker().bytes;
  std::string out(page.size() * 2, '\0');
  iconv_t cd = iconv_open("CP936", "UTF-8");
  for (auto _ : state) {
    char* in = const_cast<char*>(page.data());
    size_t in_left = page.size();
    char* out_ptr = &out[0];
    size_t out_left = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv(cd, &in, &in_left, &out_ptr, &out_left);
    const size_t n = out.size() - out_left;
    const char* begin = out.data();
    const char* section =
        static_cast<const char*>(memmem(begin, n, heading.data(), heading.size()));
    const char* from = section ? section : begin;
    const char* price = static_cast<const char*>(
        memmem(from, n - static_cast<size_t>(from - begin), markup.data(), markup.size()));
    from = price ? price : begin;
    const void* found = memmem(from, n - static_cast<size_t>(from - begin), buy.data(), buy.size());
    benchmark::DoNotOptimize(found);
    if (found == nullptr) state.SkipWithError("markers not found");
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(detection_pass)
    ->Arg(100 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(iconv_memmem_baseline)
    ->Arg(100 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
