// Entry point of kalvex-fit.
#include <iostream>
#include <string>
#include <vector>

#include "cli/FitCommand.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kalvex::cli::RunFitCommand(args, std::cout, std::cerr);
}
