// Skyloom: a planetarium for teaching.
#include "Application.h"

int main(int argc, char** argv) { return RunSkyloom(argc, argv); }
