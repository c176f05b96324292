// The catalogue read in parts gives the list and the console of reading it
// in order, whatever the number of parts and wherever the guesses of the
// splits fall: inside names with line ends, entries split across lines, a
// closing line in the middle, no closing line, fields past the skip's limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "input/catalogue_parts.h"
#include "input/readers.h"
#include "support/forms.h"
#include "support/reader_test.h"

namespace {

class CatalogueParts : public reader_test {
protected:
    // The list as text (every field, bit for bit), then the console.
    static std::string list_and_console(const std::string& console)
    {
        std::string text;
        for (const record* r : catalogue_list()) {
            text += std::string(r->name_I.text) + "|" + r->name_II.text + "|";
            const double numbers[] = {r->coords_2000.ascension.units, r->coords_2000.ascension.minutes,
                                      r->coords_2000.ascension.seconds, r->coords_2000.declination.units,
                                      r->coords_2000.declination.minutes, r->coords_2000.declination.seconds,
                                      r->redshift, r->apparent_magnitude, r->absolute_magnitude,
                                      r->coords_1950.ascension.units, r->coords_1950.ascension.minutes,
                                      r->coords_1950.ascension.seconds, r->coords_1950.declination.units,
                                      r->coords_1950.declination.minutes, r->coords_1950.declination.seconds};
            char number[32];
            for (const double n : numbers) {
                std::snprintf(number, sizeof number, "%a,", n);
                text += number;
            }
            text += "\n";
        }
        return text + "console:\n" + console;
    }

    static std::string in_order(const std::string& catalogue)
    {
        reset_run_state();
        const std::string console = console_of(read_catalogue, catalogue);
        return list_and_console(console);
    }

    static std::string in_parts(const std::string& catalogue, int parts)
    {
        reset_run_state();
        console_capture capture;
        read_catalogue_text_in_parts(catalogue.data(), catalogue.size(), parts);
        const std::string console = capture.text();
        return list_and_console(console);
    }
};

} // namespace

TEST_F(CatalogueParts, AnyNumberOfPartsGivesTheListInOrder)
{
    const std::string plain = generated_catalogue(40);
    const std::string long_field = "12" + std::string(1001, 'x') + "$3$4$5$6$7$8$9$10$11$12$13$14$15";
    const std::string catalogues[] = {
        plain,
        "$\n" + plain,                                             // empty head name
        plain.substr(0, plain.size() - 2),                         // no closing line
        plain.substr(0, plain.size() / 2) + "$\n" + plain,         // closing line in the middle
        plain.substr(0, plain.size() - 2) + "Q cut",               // a first name cut by the end
        catalogue_entry("Q\n1", "1$2$3$4$5$6$7$8$9$10$11$12$13$14$15", "\nJ\n") + plain, // line ends in names
        "Q 1$1$2$\n3$4$5$6$7$8$9\n$10$11$12$13$14$15$J$\n" + plain, // an entry split across lines
        catalogue_entry("Q long", long_field, "J") + plain + catalogue_entry("Q long", long_field, "J"),
        "  \r\n" + plain + "\r\n\r\n",
        std::string(3000, '\n') + plain,
    };
    for (const std::string& catalogue : catalogues) {
        const std::string expected = in_order(catalogue);
        for (int parts = 2; parts <= 9; ++parts)
            EXPECT_EQ(in_parts(catalogue, parts), expected) << parts << " parts of\n" << catalogue;
    }
}

TEST_F(CatalogueParts, FileReadInPartsOnThreadsGivesTheListInOrder)
{
    const std::string catalogue = generated_catalogue(5000);
    const std::string expected = in_order(catalogue);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tarnvel-parts-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".dat");
    std::ofstream(path, std::ios::binary) << catalogue;
    for (int parts : {2, 3, 7, max_catalogue_parts}) {
        reset_run_state();
        catalogue_source source;
        const std::string name = path.string();
        source.file_name = name.c_str();
        std::FILE* file = std::fopen(name.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        std::string console;
        {
            scan_stream stream(file);
            console_capture capture;
            EXPECT_EQ(read_catalogue_parts(source, stream, parts, 1), 0);
            console = capture.text();
        }
        std::fclose(file);
        EXPECT_EQ(list_and_console(console), expected) << parts << " parts";
    }
    std::filesystem::remove(path);
}
