// The arc's text.
#include "report/arc_text.h"

namespace tarnvel {

char* put_arc_text(char* at, const arc& a, bool with_sign, seconds_form form)
{
    if (with_sign && a.sign < 0)
        *at++ = '-';
    at = format_int_two_digits(at, truncate_to_int(a.units));
    *at++ = ':';
    at = format_int_two_digits(at, truncate_to_int(a.minutes));
    *at++ = ':';
    if (form == seconds_form::truncated)
        return format_int_two_digits(at, truncate_to_int(a.seconds));
    // The "0" is decided on the value itself, before it is rounded.
    if (a.seconds < 10)
        *at++ = '0';
    return format_general(at, a.seconds, 6, 8);
}

} // namespace tarnvel
