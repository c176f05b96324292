// The catalogue read in parts gives the list and the console of reading it
// in order, whatever the number of parts and wherever the guesses of the
// splits fall: inside names with line ends, entries split across lines, a
// closing line in the middle, no closing line, fields past the skip's limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "input/catalogue_parts.h"
#include "input/correct_record_list.h"
#include "support/forms.h"
#include "support/reader_test.h"
#include "support/record_text.h"
#include "support/scratch_file.h"

namespace tarnvel {

namespace {

class CatalogueParts : public reader_test {
protected:
    // The list as text, then the console, of reading `catalogue` in memory
    // in the given number of parts (1: in order).
    static std::string read_in(const std::string& catalogue, int parts)
    {
        reset_run_state();
        catalogue_shape shape;
        shape.parts = parts;
        shape.part_bytes = 1;
        const std::string console = catalogue_console(catalogue, shape);
        return catalogue_list_text() + "console:\n" + console;
    }
};

} // namespace

TEST_F(CatalogueParts, AnyNumberOfPartsGivesTheListInOrder)
{
    const std::string plain = generated_catalogue(40);
    const std::string long_field =
        "12" + std::string(1001, 'x') + "$3$4$5$6$7$8$9$10$11$12$13$14$15";
    const std::string catalogues[] = {
        plain,
        "$\n" + plain,                                     // empty head name
        plain.substr(0, plain.size() - 2),                 // no closing line
        plain.substr(0, plain.size() / 2) + "$\n" + plain, // closing line in the middle
        plain.substr(0, plain.size() - 2) + "Q cut",       // a first name cut by the end
        catalogue_entry("Q\n1", "1$2$3$4$5$6$7$8$9$10$11$12$13$14$15", "\nJ\n") +
            plain,                                                  // line ends in names
        "Q 1$1$2$\n3$4$5$6$7$8$9\n$10$11$12$13$14$15$J$\n" + plain, // an entry split across lines
        catalogue_entry("Q long", long_field, "J") + plain +
            catalogue_entry("Q long", long_field, "J"),
        "  \r\n" + plain + "\r\n\r\n",
        std::string(3000, '\n') + plain,
        // Lines that could close the catalogue but do not: a field moved to
        // a line of its own, and a closing line in a first name's place
        // behind blanks.
        plain.substr(0, plain.size() / 3) + "Q 2$1$2$3$4$5$6$7$8$9$10$11$12$13$14$\n  $J$\n" +
            plain,
        plain.substr(0, plain.size() / 3) + "\n \t $\n" + plain,
    };
    for (const std::string& catalogue : catalogues) {
        const std::string expected = read_in(catalogue, 1);
        for (int parts = 2; parts <= 9; ++parts)
            EXPECT_EQ(read_in(catalogue, parts), expected) << parts << " parts of\n" << catalogue;
    }
}

TEST_F(CatalogueParts, FileReadInPartsOnThreadsGivesTheListInOrder)
{
    const std::string catalogue = generated_catalogue(5000);
    const std::string expected = read_in(catalogue, 1);
    scratch_file file(catalogue);
    ASSERT_TRUE(file.ok());
    for (int parts : {2, 3, 7, max_catalogue_parts}) {
        reset_run_state();
        catalogue_shape shape;
        shape.parts = parts;
        shape.part_bytes = 1;
        std::string console;
        {
            console_capture capture;
            EXPECT_EQ(read_catalogue(file.text(), shape), reading_outcome::read);
            console = capture.text();
        }
        EXPECT_EQ(catalogue_list_text() + "console:\n" + console, expected) << parts << " parts";
    }
}

namespace {

// Which entries a test keeps, by the number in their first name ("Q 17").
struct kept_entries {
    const char* what;
    bool (*keeps)(int number);
};

int entry_number(const record& r)
{
    return std::atoi(r.name_I.text + (r.name_I.text[0] == '\0' ? 0 : 1));
}

// The catalogue list as text after reading `catalogue` with the test of
// `kept`, and the count of records the reading gave.
std::string filtered_reading(const std::string& catalogue, const kept_entries& kept,
                             const catalogue_shape& shape, const text_source* file = nullptr)
{
    reset_run_state();
    const auto test = [&kept](const record& r, long long) { return kept.keeps(entry_number(r)); };
    const entry_test keep(test);
    text_source memory;
    memory.data = catalogue.data();
    memory.size = catalogue.size();
    long long records = 0;
    console_capture console;
    read_catalogue(file != nullptr ? *file : memory, shape, &keep, &records);
    return catalogue_list_text() + "records: " + std::to_string(records) + "\nconsole:\n" +
           console.text();
}

// The same from reading every entry in order, normalising the list and
// unlinking the further records the test does not keep.
std::string filtered_list(const std::string& catalogue, const kept_entries& kept)
{
    reset_run_state();
    text_source memory;
    memory.data = catalogue.data();
    memory.size = catalogue.size();
    console_capture console;
    read_catalogue(memory);
    Correct_record_list();
    for (record* r = &DB_First; r != nullptr; r = r->next)
        while (r->next != nullptr && !kept.keeps(entry_number(*r->next)))
            r->next = r->next->next;
    return catalogue_list_text() + "records: " + std::to_string(total_number) + "\nconsole:\n" +
           console.text();
}

const kept_entries kept_cases[] = {
    {"none", [](int) { return false; }},
    {"all", [](int) { return true; }},
    {"the first", [](int n) { return n == 0 || n == 1; }},
    {"the last", [](int n) { return n == 39 || n == 4999; }},
    {"every other", [](int n) { return n % 2 == 0; }},
    {"a run across the parts", [](int n) { return (n >= 7 && n <= 31) || n >= 1000; }},
};

} // namespace

TEST_F(CatalogueParts, ATestKeepsExactlyTheEntriesItPassesInEveryPart)
{
    const std::string plain = generated_catalogue(40);
    const std::string catalogues[] = {
        plain,
        "$\n" + plain,                                              // empty head name
        plain.substr(0, plain.size() / 2) + "$\n" + plain,          // closing line in the middle
        plain.substr(0, plain.size() - 2) + "Q cut",                // a first name cut by the end
        "Q 1$1$2$\n3$4$5$6$7$8$9\n$10$11$12$13$14$15$J$\n" + plain, // an entry split across lines
    };
    for (const kept_entries& kept : kept_cases) {
        for (const std::string& catalogue : catalogues) {
            const std::string expected = filtered_list(catalogue, kept);
            for (int parts = 1; parts <= 9; ++parts) {
                catalogue_shape shape;
                shape.parts = parts;
                shape.part_bytes = 1;
                shape.threads = parts % 3 + 1;
                EXPECT_EQ(filtered_reading(catalogue, kept, shape), expected)
                    << kept.what << ", " << parts << " parts of\n"
                    << catalogue;
            }
        }
    }
    // On threads, from a file, with the parts taken by fewer threads.
    const std::string catalogue = generated_catalogue(5000);
    scratch_file file(catalogue);
    ASSERT_TRUE(file.ok());
    for (const kept_entries& kept : kept_cases) {
        const std::string expected = filtered_list(catalogue, kept);
        for (int threads : {1, 2, 5}) {
            catalogue_shape shape;
            shape.parts = max_catalogue_parts;
            shape.part_bytes = 1;
            shape.threads = threads;
            const text_source text = file.text();
            EXPECT_EQ(filtered_reading(catalogue, kept, shape, &text), expected)
                << kept.what << ", " << threads << " threads";
        }
    }
}

} // namespace tarnvel
