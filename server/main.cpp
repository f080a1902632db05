#include "admin/commands.h"

int main(int argc, char** argv) { return orvane::server::runCommandLine(argc, argv); }
