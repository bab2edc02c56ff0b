#include "cli/console.h"

#include "base/text.h"

#include <iostream>

bool console::AskYes(const std::string& question) {
    std::cerr << question << " [y/N] " << std::flush;
    std::string answer;
    if (!ReadLine(answer))
        return false;
    answer = AsciiLowerCase(answer);
    return answer == "y" || answer == "yes";
}
