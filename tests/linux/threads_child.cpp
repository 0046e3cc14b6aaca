// A child for the tests of per-thread settings: starts the number of threads
// given as its argument (default 3) and then waits, in every thread, until it
// is killed.  Its parent sees it ready when /proc/PID/task holds them all.
#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 3;
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i)
    threads.emplace_back([] {
      for (;;) ::pause();
    });
  for (;;) ::pause();
}
