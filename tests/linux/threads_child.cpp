// A child for the tests: starts the number of threads given as its argument
// and waits in every thread until it is killed; or, given "exec FILE GO
// ARGS...", waits until the file GO exists and then runs FILE with ARGS.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "exec") == 0) {
    while (::access(argv[3], F_OK) != 0) ::usleep(1000);
    argv[3] = argv[2];
    ::execv(argv[2], argv + 3);
    return 127;
  }
  std::vector<std::thread> threads;
  for (int i = argc > 1 ? std::atoi(argv[1]) : 0; i > 0; --i) threads.emplace_back([] { ::pause(); });
  for (;;) ::pause();
}
