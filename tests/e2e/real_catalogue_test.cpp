// The program on the two real catalogues kept beside the project (Hewitt &
// Burbidge 1993 and the 2dF QSO survey), checked against the awk program a
// user would write instead. Skipped, visibly, where they are not at hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/console_texts.h"
#include "support/e2e.h"
#include "support/forms.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

struct bounds {
    const char* ra_min;
    const char* ra_max;
    const char* dec_min;
    const char* dec_max;
    const char* z_min;
    const char* z_max;
};

std::string form(const bounds& b)
{
    return query_form({"2000", b.ra_min, b.ra_max, b.dec_min, b.dec_max, b.z_min, b.z_max, "0",
                       "30", "-40", "0"});
}

// The count the page gives, from "There are N", or 0 for the no-record line.
long page_count(const std::string& page)
{
    const std::size_t at = page.find("There are ");
    return at == std::string::npos ? 0 : std::strtol(page.c_str() + at + 10, nullptr, 10);
}

// The awk peer's count for the same selection ("selected N of T" on its
// standard error), or -1 when it cannot run.
long peer_count(const fs::path& catalogue, const bounds& b, const fs::path& scratch)
{
    const fs::path peer = shared_data_dir().parent_path() / "bench" / "peer_awk.sh";
    if (!fs::exists(peer))
        return -1;
    const fs::path log = scratch / "peer.log";
    const std::string command = "sh '" + peer.string() + "' '" + catalogue.string() + "' " +
                                b.ra_min + " " + b.ra_max + " " + b.dec_min + " " + b.dec_max +
                                " " + b.z_min + " " + b.z_max + " 0 30 -40 0 '" +
                                (scratch / "peer.html").string() + "' 2>'" + log.string() + "'";
    if (std::system(command.c_str()) != 0)
        return -1;
    const std::string text = read_file(log).value_or("");
    return text.rfind("selected ", 0) == 0 ? std::strtol(text.c_str() + 9, nullptr, 10) : -1;
}

void check_catalogue(const char* file, long entries)
{
    const fs::path catalogue = shared_data_dir() / file;
    if (!fs::exists(catalogue))
        GTEST_SKIP() << catalogue << " is not at hand (it lives beside the project, not in it)";
    const bounds queries[] = {
        {"00:00:00", "24:00:00", "-90:00:00", "+90:00:00", "0", "10"},
        {"09:50:00", "14:50:00", "-03:00:00", "+03:00:00", "1.5", "2.5"},
        {"21:40:00", "23:59:59.99", "-32:30:00", "-27:30:00", "0.3", "1"},
        {"00:00:00", "24:00:00", "-01:00:00", "-00:00:00.1", "0", "10"},
    };
    for (const bounds& b : queries) {
        e2e_case c;
        c.copy(catalogue, "quasar_list.dat");
        c.write("query.frm", form(b));
        const run_result r = c.run();
        EXPECT_EQ(r.console, std::string(no_style_file) + page_created);
        ASSERT_TRUE(r.page.has_value());
        const std::string page = as_lf(*r.page);
        EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
        const long ours = page_count(page);
        if (ours != 0) {
            EXPECT_NE(page.find("Total number of records is " + std::to_string(entries)),
                      std::string::npos);
        }
        const long theirs = peer_count(catalogue, b, c.directory().parent_path());
        if (theirs >= 0) {
            EXPECT_EQ(ours, theirs) << b.ra_min << " " << b.ra_max << " " << b.dec_min << " "
                                    << b.dec_max << " " << b.z_min << " " << b.z_max;
        }
    }
}

} // namespace

TEST(RealCatalogue, HewittBurbidge1993)
{
    check_catalogue("hewitt_burbidge_1993.dat", 7236);
}

TEST(RealCatalogue, TwoDegreeFieldQsoSurvey)
{
    check_catalogue("twodf_qso.dat", 22431);
}

} // namespace tarnvel
