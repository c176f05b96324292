// Builders of the test input files.
#include "support/forms.h"

namespace tarnvel {

query_values everything()
{
    query_values v;
    v.ra_min = "00:00:00";
    v.ra_max = "24:00:00";
    v.dec_min = "-90:00:00";
    v.dec_max = "+90:00:00";
    v.z_min = v.v_min = v.m_min = "-1e300";
    v.z_max = v.v_max = v.m_max = "1e300";
    return v;
}

query_values one_percent()
{
    query_values v = everything();
    v.ra_min = "02:00:00";
    v.ra_max = "02:59:59";
    v.z_min = "2";
    v.z_max = "2.999";
    return v;
}

std::string query_form(const query_values& v)
{
    return "Epoch=" + v.epoch + "\nMinimal right ascension=" + v.ra_min +
           "\nMaximal right ascension=" + v.ra_max + "\nMinimal declination=" + v.dec_min +
           "\nMaximal declination=" + v.dec_max + "\nMinimal redshift=" + v.z_min +
           "\nMaximal redshift=" + v.z_max + "\nMinimal apparent magnitude=" + v.v_min +
           "\nMaximal apparent magnitude=" + v.v_max + "\nMinimal absolute magnitude=" + v.m_min +
           "\nMaximal absolute magnitude=" + v.m_max + "\n";
}

std::string style_file(const std::string& border, const std::string& width,
                       const std::string& height, char colours, char header, char cells)
{
    return "border=" + border + "\nwidth=" + width + "\nheight=" + height +
           "\ncolor_interchange=" + colours + "\nheader_align=" + header + "\ncell_align=" + cells +
           "\n";
}

std::string demo_style()
{
    return style_file("1", "80", "50", 'y', 'c', 'l');
}

std::string catalogue_entry(const std::string& name_1, const std::string& numbers,
                            const std::string& name_2)
{
    return name_1 + "$" + numbers + "$" + name_2 + "$\n";
}

std::string generated_catalogue(int entries)
{
    std::string text;
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        const std::string hours = std::to_string(i % 24);
        const std::string degrees = std::to_string(i % 179 - 89);
        text += catalogue_entry(
            "Q " + n,
            hours + "$" + std::to_string(i % 60) + "$" + std::to_string(i % 60) + ".25$" + degrees +
                "$07$08.9$" + std::to_string(i % 5) + "." + std::to_string(i % 997) + "$17.8$" +
                (i % 5 == 0 ? "1e8" : "-26.5") + "$" + hours + "$31$50.2$" + degrees + "$50$31.0",
            "J " + n);
    }
    return text + "$\n";
}

} // namespace tarnvel
