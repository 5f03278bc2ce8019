/* Prints a word only if this i386 program actually ran. */
#include <stdio.h>
int main(void) { return puts("i386-ok") < 0; }
