/* Loads the DLL named on its command line by name, as a program that leaves
   the DLL search as it is does: the planted-DLL test's proof that a DLL
   planted beside a program runs in this prefix. Exits 0 when it loaded. */
#include <windows.h>

int main(int argc, char** argv) { return argc == 2 && LoadLibraryA(argv[1]) != NULL ? 0 : 1; }
