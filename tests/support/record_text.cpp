// The catalogue list as text.
#include "support/record_text.h"

#include <cstdio>

#include "state/state.h"

namespace tarnvel {

namespace {

void append_arc(std::string& text, const arc& a)
{
    char number[40];
    for (const double value : {a.units, a.minutes, a.seconds}) {
        std::snprintf(number, sizeof number, "%a,", value);
        text += number;
    }
    text += a.sign < 0 ? "-," : "+,";
}

} // namespace

std::string record_text(const record& entry)
{
    const record* r = &entry;
    std::string text;
    {
        text += std::string(r->name_I.text) + "|" + r->name_II.text + "|";
        for (const sky_coords* position : {&r->coords_2000, &r->coords_1950}) {
            append_arc(text, position->ascension);
            append_arc(text, position->declination);
        }
        char number[40];
        for (const double value : {r->redshift, r->apparent_magnitude, r->absolute_magnitude}) {
            std::snprintf(number, sizeof number, "%a,", value);
            text += number;
        }
        text += "\n";
    }
    return text;
}

std::string catalogue_list_text()
{
    std::string text;
    for (const record* r = &DB_First; r != nullptr; r = r->next)
        text += record_text(*r);
    return text;
}

} // namespace tarnvel
