// The program's entry.
#include "app/startup.h"

int main(int argc, char* argv[]) { return RunVelorim(argc, argv); }
