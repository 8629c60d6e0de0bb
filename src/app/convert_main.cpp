// yzicon-convert: the program's "生成" from the command line.

#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/convert_batch.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::ios::sync_with_stdio(false);
    const int status = yz::convert::runConverter(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
    std::cout.flush();
    return std::cout.good() ? status : yz::convert::kExitSomeFailed;
}
