#include "tools/pack/PackTool.h"

#include <cstdio>

int main(int argc, char** argv) { return runPackTool(argc, argv, stdout, stderr); }
