/* A Windows process that only waits: the extra processes of the Windows
   benchmark, so the pass has a table of a known size to read. */
#include <windows.h>

int main(void) {
  Sleep(INFINITE);
  return 0;
}
