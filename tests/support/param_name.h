#pragma once

#include <cctype>
#include <string>

namespace quillmark::test {

// A readable case name as GoogleTest accepts it: letters and digits, the rest as underscores.
inline std::string paramName(const char* name)
{
    std::string result;
    for (const char* c = name; *c; ++c)
        result += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return result;
}

} // namespace quillmark::test
