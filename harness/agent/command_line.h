// A Windows command line from separate arguments, quoted so that the
// C runtime's parser (CommandLineToArgvW rules) gives them back unchanged.
#pragma once

#include <string>
#include <vector>

namespace agent {

std::string QuoteArgument(const std::string& argument);
std::string CommandLine(const std::vector<std::string>& arguments);

}  // namespace agent
