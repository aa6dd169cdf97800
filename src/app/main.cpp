#include "app/prompts.h"
#include "app/startup.h"

int main(int argc, char** argv) { return selvarex::RunSelvarex(argc, argv, selvarex::DefaultPrompts()); }
