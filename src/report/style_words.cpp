// Mapping of style letters and colour indices to HTML words.
#include "report/style_words.h"

namespace tarnvel {

string align_type_convert(char letter)
{
    switch (letter) {
    case 'c':
        return string("center");
    case 'l':
        return string("left");
    case 'r':
        return string("right");
    default:
        return string("");
    }
}

string color_change(int index)
{
    switch (index) {
    case 0:
        return string("white");
    case 1:
        return string("#c0c0c0");
    default:
        return string("#00aaaa");
    }
}

} // namespace tarnvel
