// The words of the table's HTML attributes for the style letters and the
// row colour indices.
#ifndef TARNVEL_REPORT_STYLE_WORDS_H
#define TARNVEL_REPORT_STYLE_WORDS_H

#include "model/string.h"

namespace tarnvel {

// 'c' -> "center", 'l' -> "left", 'r' -> "right"; any other letter (case
// matters, the zero character included) -> the empty word.
string align_type_convert(char letter);

// 0 -> "white", 1 -> "#c0c0c0", any other index -> "#00aaaa".
string color_change(int index);

} // namespace tarnvel

#endif
