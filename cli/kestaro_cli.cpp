// kestaro-cli: the window's analysis on the command line.
#include "command_table.h"
#include "console.h"

int main(int argc, char** argv) {
  kestaro::console::prepare();
  return kestaro::runCommandLine(kestaro::console::arguments(argc, argv));
}
