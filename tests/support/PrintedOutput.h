#pragma once

#include <iostream>
#include <sstream>
#include <string>

// What the call wrote on standard output (std::cout) while it ran.
template <class Call>
std::string printedBy(Call call)
{
    std::ostringstream printed;
    std::streambuf* kept = std::cout.rdbuf(printed.rdbuf());
    call();
    std::cout.rdbuf(kept);
    return printed.str();
}
