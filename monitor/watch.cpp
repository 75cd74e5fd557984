#include "monitor/watch.h"

std::atomic<int32_t> monitoring_flag{0};

namespace {
std::atomic<int32_t> current_watch{0};
}

int32_t begin_watch() {
  // The number is published before the flag, so a worker that sees the new
  // flag also sees that its own watch is over.
  const int32_t watch = current_watch.load() + 1;
  current_watch.store(watch);
  monitoring_flag.store(1);
  return watch;
}

void end_watch() {
  monitoring_flag.store(0);
}

bool watch_goes_on(int32_t watch) {
  return monitoring_flag.load() == 1 && current_watch.load() == watch;
}
