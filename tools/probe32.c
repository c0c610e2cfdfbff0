/* Whether this machine runs 32-bit Windows programs under Wine: if it does,
   this prints the word the 32-bit test run looks for. */
#include <stdio.h>

int main(void) {
    if (sizeof(void*) != 4) return 1;
    puts("runs-32-bit");
    return 0;
}
