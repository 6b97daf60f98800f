#include <iostream>
#include <string>
#include <vector>

#include "seal_tool.h"

int main(int argc, char** argv) {
    return RunSealTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
