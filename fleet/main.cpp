#include <iostream>

#include "fleet_app.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunFleet(args, std::cout, std::cerr);
}
