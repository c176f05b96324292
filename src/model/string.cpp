// Construction of the fixed text buffer.
#include "model/string.h"

string::string()
{
    text[0] = '\0';
}

string::string(const char* source)
{
    const int limit = 39;
    int i = 0;
    while (i < limit && source[i] != '\0') {
        text[i] = source[i];
        ++i;
    }
    text[i] = '\0';
}
