// A process for the Windows tests: touches the megabytes asked for, then
// waits; it ends itself after two minutes, so a failed test leaves nothing.
#include <windows.h>

#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  std::vector<char> memory(std::size_t{argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 0} << 20);
  for (std::size_t i = 0; i < memory.size(); i += 4096) static_cast<volatile char&>(memory[i]) = 1;
  Sleep(120000);
  return 7;
}
