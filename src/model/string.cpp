// Construction of the fixed text buffer.
#include "model/string.h"

namespace tarnvel {

string::string()
{
    text[0] = '\0';
}

string::string(const char* source)
{
    int i = 0;
    while (i < max_copied && source[i] != '\0') {
        text[i] = source[i];
        ++i;
    }
    text[i] = '\0';
}

} // namespace tarnvel
