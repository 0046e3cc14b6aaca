/* The smallest Windows program: the probe starts it under Wine to learn
   whether this machine can run programs of its build at all. */
#include <stdio.h>

int main(void) {
  puts("kelvar wine probe: ran");
  return 0;
}
