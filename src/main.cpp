// The game program: everything happens in the shell.
#include "platform/main_loop.h"

int main(int, char**) { return crossfall::runGame(); }
