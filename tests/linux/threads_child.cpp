// A child for the tests of per-thread settings: starts the number of threads
// given as its argument and waits in every thread until it is killed.
#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  std::vector<std::thread> threads;
  for (int i = argc > 1 ? std::atoi(argv[1]) : 0; i > 0; --i) threads.emplace_back([] { ::pause(); });
  for (;;) ::pause();
}
