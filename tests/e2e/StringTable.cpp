#include "StringTable.h"

#include <fstream>
#include <stdexcept>

std::string StubString(const std::string& culture, unsigned id)
{
    std::ifstream in(std::string(PL_SOURCE_DIR) + "/stub/resources/strings/" + culture + ".rc");
    const std::string prefix = std::to_string(id) + ",";
    for (std::string line; std::getline(in, line);)
    {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0)
            continue;
        size_t open = line.find('"', start);
        size_t close = line.rfind('"');
        std::string literal = line.substr(open + 1, close - open - 1);
        std::string text;
        for (size_t i = 0; i < literal.size(); ++i)
        {
            if (literal[i] == '\\' && i + 1 < literal.size() && literal[i + 1] == 'n')
                text += '\n', ++i;
            else if (literal[i] == '"' && i + 1 < literal.size() && literal[i + 1] == '"')
                text += '"', ++i;
            else
                text += literal[i];
        }
        return text;
    }
    throw std::runtime_error("no string " + std::to_string(id) + " for " + culture);
}
