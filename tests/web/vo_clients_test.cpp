// The catalogue in the astronomers' tools: tarnvel-cgi behind lighttpd,
// asked by clients written elsewhere. pyvo and astropy (vo_clients.py) ask
// cone searches and compare the rows with an answer computed from the
// catalogue file, read the errors, MAXREC and OVERFLOW, validate the
// VOTables and read the form's tables; STILTS lints every kind of answer,
// including names that hold markup, and runs cone and coneskymatch against
// the service; the real catalogues beside the project, where they are at
// hand, answer them too. Each part is skipped where its client is not
// installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <sys/wait.h>

#include "support/e2e.h"
#include "support/site_server.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

struct command_result {
    int status = -1;
    std::string output; // standard output and error together
};

// Runs `command` with the shell, its output captured.
command_result run_command(const std::string& command)
{
    command_result result;
    FILE* pipe = popen(("{ " + command + "\n} 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        result.output.append(chunk, got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool installed(const char* program)
{
    return run_command(std::string("command -v ") + program + " >/dev/null").status == 0;
}

// A number in a field of the catalogue, with `digits` after the point.
std::string field(double value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

// A catalogue for the clients: entries at right ascension 0, around both
// poles, with names that hold markup and a byte that is not UTF-8, a
// lower-limit redshift and absent magnitudes, then entries spread over the
// sky by a fixed sequence.
std::string client_catalogue()
{
    struct special {
        const char* name;
        const char* ra;
        const char* dec;
    };
    const special specials[] = {
        {"Q 2359+0100 <a&b>", "23$59$59.8", "+01$00$10"},
        {"Q 0000+0100 \"x\" ]]>", "00$00$00.4", "+00$59$50"},
        {"Q north & 1", "03$00$00", "+89$58$30"},
        {"Q north < 2", "15$00$00", "+89$59$00"},
        {"Q south \xe9", "06$00$00", "-89$59$40"},
        {"Q south ]]> 2", "18$00$00", "-90$00$00"},
        {"Q minus zero", "12$00$00", "-0.000001$30$00"},
        {"Q 0242+0730", "02$42$00", "+07$30$00"}, // the guide's examples' position
    };
    std::string text;
    for (const special& s : specials)
        text += std::string(s.name) + "$" + s.ra + "$" + s.dec + "$2.5e12$1e8$1e8$" + s.ra + "$" +
                s.dec + "$" + s.name + " II$\n";
    unsigned long long state = 24;
    const auto next = [&state](double range) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return range * static_cast<double>(state >> 11U) / 9007199254740992.0;
    };
    for (int i = 0; i < 400; ++i) {
        const double hours = next(24);
        const double degrees = std::asin(2 * next(1) - 1) * 180 / 3.14159265358979323846;
        const int h = static_cast<int>(hours);
        const int m = static_cast<int>((hours - h) * 60);
        const double s = ((hours - h) * 60 - m) * 60;
        const double d = std::fabs(degrees);
        const int dd = static_cast<int>(d);
        const int dm = static_cast<int>((d - dd) * 60);
        const double ds = ((d - dd) * 60 - dm) * 60;
        const std::string ra = std::to_string(h) + "$" + std::to_string(m) + "$" + field(s, 2);
        const std::string dec = std::string(degrees < 0 ? "-" : "+") + std::to_string(dd) + "$" +
                                std::to_string(dm) + "$" + field(ds, 1);
        text += "Q " + std::to_string(1000 + i) + "$" + ra + "$" + dec + "$" +
                field(0.1 + next(4), 3) + "$" + (i % 5 == 0 ? "1e8" : field(15 + next(6), 1)) +
                "$" + field(-30 + next(8), 1) + "$" + ra + "$" + dec + "$J" +
                std::to_string(1000 + i) + "$\n";
    }
    return text + "$\n";
}

// The form's query of every entry with a redshift up to 3.
const char form_query[] = "epoch=2000&ra_min=00%3A00%3A00&ra_max=24%3A00%3A00"
                          "&dec_min=-90%3A00%3A00&dec_max=%2B90%3A00%3A00&z_min=0&z_max=3"
                          "&v_min=-100&v_max=100&m_min=-100&m_max=100";

class VoClients : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = site_server_missing();
        if (!missing.empty())
            GTEST_SKIP() << missing;
        server_ = std::make_unique<site_server>(site_.directory(), cgi_program_path());
        ASSERT_TRUE(server_->running()) << server_->problem();
        site_.write("data/quasar_list.dat", client_catalogue());
    }

    std::string base() const { return server_->url("/query.cgi"); }
    fs::path catalogue() const { return site_.directory() / "data/quasar_list.dat"; }

    // The answer to `target` (below the program's URL) saved as `name`.
    fs::path saved(const std::string& target, const std::string& name) const
    {
        const http_answer answer = http_get(server_->port(), "/query.cgi" + target);
        EXPECT_EQ(answer.status, 200) << target;
        site_.write(name, answer.body);
        return site_.directory() / name;
    }

    // Runs the check `check` of vo_clients.py against this service.
    command_result python_check(const char* check) const
    {
        const std::string script = (fs::path(TARNVEL_WEB_DIR) / "vo_clients.py").string();
        return run_command("/usr/bin/python3 " + shell_quoted(script) + " " + check + " " +
                           shell_quoted(base()) + " " + shell_quoted(catalogue().string()) + " " +
                           shell_quoted(form_query));
    }

    // The guide's example behind `marker`, asking this service.
    std::string guide_example(const std::string& marker) const
    {
        const std::string guide =
            read_file(fs::path(TARNVEL_WEB_DIR) / "../../docs/guide.md").value_or("");
        const std::size_t at = guide.find("<!-- example: " + marker + " -->\n```");
        if (at == std::string::npos)
            return "";
        const std::size_t body = guide.find('\n', guide.find("```", at)) + 1;
        std::string text = guide.substr(body, guide.find("```\n", body) - body);
        const std::string example = "http://example.org/alsc/query.cgi";
        for (std::size_t k; (k = text.find(example)) != std::string::npos;)
            text.replace(k, example.size(), base());
        return text;
    }

    e2e_case site_;
    std::unique_ptr<site_server> server_;
};

class VoClientsWithPython : public VoClients, public testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(VoClientsWithPython, CheckHolds)
{
    const command_result run = python_check(GetParam());
    if (run.status == 77)
        GTEST_SKIP() << run.output;
    EXPECT_EQ(run.status, 0) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Pyvo, VoClientsWithPython,
                         testing::Values("cones", "errors", "maxrec", "validate", "form-tables",
                                         "testquery"),
                         [](const testing::TestParamInfo<const char*>& check) {
                             std::string name = check.param;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

// The real catalogues as the site's catalogue: cones around entries all
// over them, the validation of their answers and the form's tables, the
// test query, and STILTS' lint of the whole sky's table.
TEST_F(VoClients, RealCataloguesAnswerTheClients)
{
    for (const char* name : {"hewitt_burbidge_1993.dat", "twodf_qso.dat"}) {
        const fs::path real = shared_data_dir() / name;
        if (!fs::exists(real))
            GTEST_SKIP() << real << " is not at hand (it lives beside the project, not in it)";
        fs::copy_file(real, catalogue(), fs::copy_options::overwrite_existing);
        for (const char* check : {"sampled-cones", "validate", "form-tables", "testquery"}) {
            const command_result run = python_check(check);
            if (run.status == 77)
                GTEST_SKIP() << run.output;
            EXPECT_EQ(run.status, 0) << name << ", " << check << ": " << run.output;
        }
        if (!installed("stilts"))
            continue;
        const fs::path sky = saved("/scs?RA=0&DEC=0&SR=180&MAXREC=100000&VERB=3", "sky.vot");
        EXPECT_EQ(run_command("stilts votlint " + shell_quoted(sky.string())).output, "") << name;
    }
}

TEST_F(VoClients, VotlintFindsNothingInAnyAnswer)
{
    if (!installed("stilts"))
        GTEST_SKIP() << "STILTS is not installed: the answers were not linted (Debian: stilts)";
    const struct {
        const char* target;
        const char* name;
    } answers[] = {
        {"/scs?RA=0&DEC=1&SR=0.1&VERB=3", "markup-names.vot"}, // <, &, ", ]]>
        {"/scs?RA=0&DEC=-90&SR=0.1", "pole.vot"},
        {"/scs?RA=10&DEC=20&SR=0", "metadata.vot"},
        {"/scs?RA=0&DEC=0&SR=180&MAXREC=3&VERB=1", "overflow.vot"},
        {"/scs?RA=10&DEC=95&SR=1", "error.vot"},
    };
    for (const auto& a : answers) {
        const fs::path file = saved(a.target, a.name);
        const command_result lint = run_command("stilts votlint " + shell_quoted(file.string()));
        EXPECT_EQ(lint.output, "") << a.target;
    }
    const fs::path form =
        saved(std::string("?") + form_query + "&RESPONSEFORMAT=votable", "form.vot");
    EXPECT_EQ(run_command("stilts votlint " + shell_quoted(form.string())).output, "");
    const std::string markup = read_file(site_.directory() / "markup-names.vot").value_or("");
    EXPECT_NE(markup.find("Q 2359+0100 &lt;a&amp;b&gt;"), std::string::npos) << markup;
    EXPECT_NE(markup.find("&quot;x&quot; ]]&gt;"), std::string::npos) << markup;
}

TEST_F(VoClients, StiltsConeAndConeskymatchUseTheService)
{
    if (!installed("stilts"))
        GTEST_SKIP()
            << "STILTS is not installed: cone and coneskymatch were not run (Debian: stilts)";
    const std::string service = shell_quoted(base() + "/scs?");
    const fs::path cone = site_.directory() / "cone.csv";
    const command_result run =
        run_command("stilts cone serviceurl=" + service +
                    " lon=0 lat=1 radius=0.1 verb=3 ofmt=csv out=" + shell_quoted(cone.string()));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string rows = read_file(cone).value_or("");
    EXPECT_EQ(rows.rfind("recno,Name,RAJ2000,DEJ2000,", 0), 0U) << rows;
    EXPECT_NE(rows.find("\n1,"), std::string::npos) << rows;
    EXPECT_NE(rows.find("\n2,"), std::string::npos) << rows;

    // Three positions: two at entries (the first, and one near the south
    // pole), one where the sky holds none.
    site_.write("mine.csv", "id,ra,dec\na,359.99916666666667,1.0027777777777778\n"
                            "b,90,-89.99444444444444\nc,200,-45\n");
    const fs::path matched = site_.directory() / "matched.csv";
    const command_result match = run_command(
        "stilts coneskymatch in=" + shell_quoted((site_.directory() / "mine.csv").string()) +
        " ifmt=csv ra=ra dec=dec sr=0.001 find=best usefoot=false serviceurl=" + service +
        " ofmt=csv out=" + shell_quoted(matched.string()));
    ASSERT_EQ(match.status, 0) << match.output;
    const std::string found = read_file(matched).value_or("");
    EXPECT_NE(found.find("\na,"), std::string::npos) << found;
    EXPECT_NE(found.find("\nb,"), std::string::npos) << found;
    EXPECT_EQ(found.find("\nc,"), std::string::npos) << found;
}

TEST_F(VoClients, GuideExamplesWork)
{
    const std::string pyvo = guide_example("pyvo");
    ASSERT_NE(pyvo, "");
    if (run_command("/usr/bin/python3 -c 'import pyvo'").status != 0)
        GTEST_SKIP() << "pyvo is not installed: the guide's example was not run (Debian: "
                        "python3-pyvo)";
    site_.write("example.py",
                "from astropy.utils import iers\niers.conf.auto_download = False\n" + pyvo);
    const command_result printed = run_command(
        "/usr/bin/python3 " + shell_quoted((site_.directory() / "example.py").string()));
    EXPECT_EQ(printed.status, 0) << printed.output;
    EXPECT_NE(printed.output.find("40.5 7.5 Q 0242+0730 2.5"), std::string::npos) << printed.output;

    const std::string stilts = guide_example("stilts");
    ASSERT_NE(stilts, "");
    if (!installed("stilts"))
        GTEST_SKIP() << "STILTS is not installed: the guide's lines were not run (Debian: stilts)";
    site_.write("mine.csv", "id,ra,dec\nmine,40.5,7.5\n");
    const command_result ran =
        run_command("cd " + shell_quoted(site_.directory().string()) + " && " + stilts);
    EXPECT_EQ(ran.status, 0) << ran.output;
    EXPECT_NE(read_file(site_.directory() / "cone.vot").value_or("").find("Q 0242+0730"),
              std::string::npos);
    EXPECT_NE(read_file(site_.directory() / "matched.csv").value_or("").find("mine,"),
              std::string::npos);
}

} // namespace tarnvel
