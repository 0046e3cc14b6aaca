// A child for the tests: starts the number of threads given as its argument
// and waits in every thread until it is killed; or, given "exec FILE GO",
// waits until the file GO exists and then runs FILE (with the argument 0).
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "exec") == 0) {
    while (::access(argv[3], F_OK) != 0) ::usleep(1000);
    char zero[] = "0";
    char* args[] = {argv[2], zero, nullptr};
    ::execv(argv[2], args);
    return 127;
  }
  std::vector<std::thread> threads;
  for (int i = argc > 1 ? std::atoi(argv[1]) : 0; i > 0; --i) threads.emplace_back([] { ::pause(); });
  for (;;) ::pause();
}
