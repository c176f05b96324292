// The position index: cones through it answer exactly what a reading of the
// whole catalogue answers, over random catalogues and cones; every way an
// index can stop describing its catalogue is noticed and answered from the
// catalogue; a making of it meanwhile makes nobody wait; a full disk leaves
// no part of it.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cgi/catalogue_index.h"
#include "input/index_building.h"
#include "input/indexed_cone.h"
#include "state/position_index.h"
#include "support/record_text.h"
#include "system/replacing_file.h"

namespace tarnvel {

namespace fs = std::filesystem;

namespace {

// One answer as text: per entry its number, its fields and its distance,
// bit for bit.
struct answer_text {
    std::string text;
    long long count = 0;
};

answer_text full_answer(input_file& file, const cone& area)
{
    answer_text answer;
    text_source text;
    text.file = &file;
    cone_entries(text, area, [&](const answer_entry& e) {
        char distance[40];
        std::snprintf(distance, sizeof distance, " %a\n", e.distance);
        answer.text += std::to_string(e.number) + " " + record_text(*e.entry) + distance;
        ++answer.count;
        return true;
    });
    return answer;
}

answer_text site_answer(const site_config& config, input_file& file, const cone& area)
{
    answer_text answer;
    site_cone_entries(config, file, area, [&](const answer_entry& e) {
        char distance[40];
        std::snprintf(distance, sizeof distance, " %a\n", e.distance);
        answer.text += std::to_string(e.number) + " " + record_text(*e.entry) + distance;
        ++answer.count;
        return true;
    });
    return answer;
}

// A random catalogue of `entries` entries: positions everywhere, many at
// right ascension 0 h and 24 h and at the poles, some off the sky's ranges
// (26 h, 95 degrees), some entries spread over several lines, and now and
// then an empty first entry or no closing line.
std::string random_catalogue(std::mt19937_64& random, int entries)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::string text;
    if (unit(random) < 0.2)
        text += "$\n"; // the head record keeps its initial values
    for (int k = 0; k < entries; ++k) {
        const double pick = unit(random);
        double hours = std::floor(unit(random) * 24);
        double minutes = std::floor(unit(random) * 60);
        double seconds = std::floor(unit(random) * 6000) / 100;
        double degrees = std::floor(unit(random) * 181) - 90;
        double arc_minutes = std::fabs(degrees) == 90 ? 0 : std::floor(unit(random) * 60);
        if (pick < 0.05)
            hours = minutes = seconds = 0;
        else if (pick < 0.08)
            hours = 24, minutes = seconds = 0;
        else if (pick < 0.12)
            degrees = unit(random) < 0.5 ? 89 : -89, arc_minutes = 59;
        else if (pick < 0.14)
            hours = 26;
        else if (pick < 0.16)
            degrees = -95;
        char fields[200];
        std::snprintf(fields, sizeof fields, "%g$%g$%g$%s%g$%g$%g$", hours, minutes, seconds,
                      degrees == 0 && unit(random) < 0.5 ? "-" : "", degrees, arc_minutes,
                      std::floor(unit(random) * 60));
        std::string entry = "Q" + std::to_string(k) + "$" + fields + "2.5$18$1e8$1$2$3$-4$5$6$B" +
                            std::to_string(k) + "$";
        if (unit(random) < 0.1) {
            // Over several lines: a line end behind some '$' of fields 1 to 15.
            for (std::size_t at = entry.find('$'); at != std::string::npos && at + 1 < entry.size();
                 at = entry.find('$', at + 1))
                if (unit(random) < 0.2)
                    entry.insert(at + 1, unit(random) < 0.5 ? "\n" : "\r\n  ");
        }
        text += entry + (unit(random) < 0.05 ? "  \t" : "\n");
    }
    if (unit(random) < 0.9)
        text += "$\n";
    return text;
}

// A random cone: its centre anywhere, often at 0 h or a pole, its radius
// from 1 second of arc to 180 degrees.
cone random_cone(std::mt19937_64& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double ra = unit(random) * 360;
    double dec = std::asin(2 * unit(random) - 1) * 180 / 3.14159265358979323846;
    const double pick = unit(random);
    if (pick < 0.15)
        ra = unit(random) < 0.5 ? 0 : 359.99;
    else if (pick < 0.3)
        dec = unit(random) < 0.5 ? 90 : -90;
    const double radius = std::pow(10.0, -3.556 + unit(random) * 5.81); // 1" to 180 deg
    return cone({ra, dec}, std::min(radius, 180.0));
}

// A site in a directory of its own: a catalogue, a spool and the index in
// it; the index is never made in the background here.
class CatalogueIndex : public testing::Test {
protected:
    void SetUp() override
    {
        directory = fs::temp_directory_path() /
                    ("tarnvel-index-test-" + std::to_string(::getpid()) + "-" +
                     testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
        config.catalogue = (directory / "quasar_list.dat").string();
        config.spool = directory.string();
        config.index = (directory / ".tarnvel-index").string();
    }
    void TearDown() override { fs::remove_all(directory); }

    void write_catalogue(const std::string& text) const
    {
        std::ofstream(config.catalogue, std::ios::binary | std::ios::trunc) << text;
    }

    // The index's state for the catalogue as it stands now.
    index_state state_now() const
    {
        input_file file;
        file_identity identity;
        if (!file.open(config.catalogue.c_str()) || !file.identify(identity))
            return index_state::missing;
        position_index index;
        return index.open(config.index, identity);
    }

    // Expects every cone of `cones` answered alike with the index in place
    // and by the whole reading.
    void expect_same_answers(const std::vector<cone>& cones) const
    {
        for (const cone& area : cones) {
            input_file file;
            ASSERT_TRUE(file.open(config.catalogue.c_str()));
            const answer_text full = full_answer(file, area);
            EXPECT_EQ(site_answer(config, file, area).text, full.text)
                << "cone " << area.centre().ascension << " " << area.centre().declination << " "
                << area.radius();
        }
    }

    // Files in the directory other than the catalogue, the index and its lock.
    int stray_files() const
    {
        int stray = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
            const std::string name = entry.path().filename().string();
            stray += name != "quasar_list.dat" && name != ".tarnvel-index" &&
                     name != ".tarnvel-index.lock";
        }
        return stray;
    }

    fs::path directory;
    site_config config;
};

const std::vector<cone> some_cones = {cone({0, 0}, 1), cone({0, 90}, 5), cone({180, -90}, 2),
                                      cone({12, 30}, 60), cone({300, -45}, 180)};

} // namespace

TEST_F(CatalogueIndex, ConesAnswerAsTheWholeReadingOverRandomCatalogues)
{
    std::mt19937_64 random(2025);
    long long through_index = 0;
    long long entries_found = 0;
    for (int round = 0; round < 12; ++round) {
        write_catalogue(random_catalogue(random, round < 10 ? 300 : 3000));
        ASSERT_EQ(make_site_index(config, true), index_making::made);
        input_file file;
        ASSERT_TRUE(file.open(config.catalogue.c_str()));
        file_identity identity;
        ASSERT_TRUE(file.identify(identity));
        position_index index;
        ASSERT_EQ(index.open(config.index, identity), index_state::usable);
        for (int k = 0; k < 150; ++k) {
            const cone area = random_cone(random);
            const answer_text full = full_answer(file, area);
            std::vector<cone_entry> entries;
            const indexed_answer how = indexed_cone(
                index, file, {area.centre().ascension, area.centre().declination, area.radius()},
                [&](double ra, double dec) { return area.holds({ra, dec}); }, entries);
            ASSERT_NE(how, indexed_answer::failed);
            through_index += how == indexed_answer::answered;
            entries_found += full.count;
            EXPECT_EQ(site_answer(config, file, area).text, full.text)
                << "round " << round << ", cone " << area.centre().ascension << " "
                << area.centre().declination << " " << area.radius();
        }
    }
    EXPECT_GT(through_index, 1000) << "most cones go through the index";
    EXPECT_GT(entries_found, 1000) << "the cones find entries";
}

TEST_F(CatalogueIndex, EmptyAndHeadOnlyCataloguesAnswerAlike)
{
    for (const char* text : {"", "$", "$$", "  $\n", "A$1$2$3$4$5$6$7$8$9$1$2$3$4$5$6$B$"}) {
        write_catalogue(text);
        ASSERT_EQ(make_site_index(config, true), index_making::made) << text;
        expect_same_answers({cone({0, 0}, 1), cone({15.5, 4.1}, 1)});
    }
}

TEST_F(CatalogueIndex, CatalogueRenamedOver)
{
    std::mt19937_64 random(1);
    write_catalogue(random_catalogue(random, 500));
    ASSERT_EQ(make_site_index(config, true), index_making::made);
    const std::string replacement = config.catalogue + ".new";
    std::ofstream(replacement, std::ios::binary) << random_catalogue(random, 500);
    fs::rename(replacement, config.catalogue);
    EXPECT_EQ(state_now(), index_state::other_catalogue);
    expect_same_answers(some_cones);
    EXPECT_EQ(make_site_index(config, true), index_making::made);
    EXPECT_EQ(state_now(), index_state::usable);
}

TEST_F(CatalogueIndex, CatalogueRewrittenInPlace)
{
    std::string text = "A$01$00$00$+10$00$00$1$2$3$4$5$6$7$8$9$B$\n$\n";
    write_catalogue(text);
    ASSERT_EQ(make_site_index(config, true), index_making::made);
    text[2] = '5'; // the same size, another right ascension: 05 h
    write_catalogue(text);
    EXPECT_EQ(state_now(), index_state::other_catalogue);
    expect_same_answers({cone({75, 10}, 1), cone({15, 10}, 1)});
}

TEST_F(CatalogueIndex, CatalogueTruncated)
{
    std::mt19937_64 random(2);
    const std::string text = random_catalogue(random, 500);
    write_catalogue(text);
    ASSERT_EQ(make_site_index(config, true), index_making::made);
    fs::resize_file(config.catalogue, text.size() / 2);
    EXPECT_EQ(state_now(), index_state::other_catalogue);
    expect_same_answers(some_cones);
}

TEST_F(CatalogueIndex, IndexTruncatedCorruptedOfAnotherVersionOrCatalogue)
{
    std::mt19937_64 random(3);
    write_catalogue(random_catalogue(random, 2000));
    ASSERT_EQ(make_site_index(config, true), index_making::made);
    std::string good;
    {
        std::ifstream in(config.index, std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::size_t header = good.size() - 2001 * index_row_bytes;
    struct damage {
        const char* name;
        std::size_t at; // where a byte is changed, or the size cut to
        bool truncate;
        index_state expected; // the state its header shows
    };
    const damage damages[] = {
        {"truncated", good.size() - 1, true, index_state::damaged},
        {"truncated header", 100, true, index_state::damaged},
        {"empty", 0, true, index_state::damaged},
        {"header corrupted", 60, false, index_state::damaged},
        {"zone table corrupted", 500, false, index_state::damaged},
        {"row corrupted", header + 17 * index_row_bytes + 3, false, index_state::usable},
        {"another format version", 8, false, index_state::other_version},
        {"another magic", 0, false, index_state::other_version},
    };
    for (const damage& d : damages) {
        std::string bytes = good;
        if (d.truncate)
            bytes.resize(d.at);
        else
            bytes[d.at] = static_cast<char>(bytes[d.at] ^ 0x20);
        std::ofstream(config.index, std::ios::binary | std::ios::trunc) << bytes;
        EXPECT_EQ(state_now(), d.expected) << d.name;
        expect_same_answers(some_cones);
        if (d.expected == index_state::usable) {
            EXPECT_FALSE(fs::exists(config.index)) << d.name << ": a failed index goes";
        }
        EXPECT_EQ(make_site_index(config, true), index_making::made) << d.name;
    }

    // Another program's version: its index is not read further.
    std::string other = good;
    other[16] = static_cast<char>(other[16] + 1);
    std::ofstream(config.index, std::ios::binary | std::ios::trunc) << other;
    EXPECT_EQ(state_now(), index_state::other_version);
    expect_same_answers(some_cones);

    // Another catalogue's index, whole and sound.
    const std::string first_index = config.index;
    const std::string other_catalogue = config.catalogue;
    config.catalogue = (directory / "other.dat").string();
    write_catalogue(random_catalogue(random, 100));
    config.index = (directory / "other-index").string();
    ASSERT_EQ(make_site_index(config, true), index_making::made);
    fs::copy_file(config.index, first_index, fs::copy_options::overwrite_existing);
    config.catalogue = other_catalogue;
    config.index = first_index;
    EXPECT_EQ(state_now(), index_state::other_catalogue);
    expect_same_answers(some_cones);
}

TEST_F(CatalogueIndex, RowsNamingAnotherPlaceGiveTheCataloguesAnswer)
{
    // A sound index, checksums and all, whose rows point elsewhere: into
    // the middle of an entry, at the next entry, or with the places in the
    // list of the two entries swapped.
    const std::string text = "A$01$00$00$+10$00$00$1$2$3$4$5$6$7$8$9$B$\n"
                             "C$01$00$01$+10$00$00$1$2$3$4$5$6$7$8$9$D$\n$\n";
    write_catalogue(text);
    input_file file;
    ASSERT_TRUE(file.open(config.catalogue.c_str()));
    file_identity identity;
    ASSERT_TRUE(file.identify(identity));
    const std::uint64_t second = text.find("C$");
    struct forgery {
        const char* name;
        std::uint64_t first_offset;
        bool swapped;
    };
    for (const forgery& f :
         {forgery{"into an entry", 2, false}, forgery{"at the next entry", second, false},
          forgery{"places swapped", 0, true}}) {
        std::vector<index_row> rows(2);
        for (std::uint32_t k = 0; k < 2; ++k) {
            rows[k].ordinal = f.swapped ? 1 - k : k;
            rows[k].offset = k == 0 ? f.first_offset : second;
            rows[k].length = static_cast<std::uint32_t>(k == 0 ? second : text.size() - 2 - second);
            rows[k].ra = 15.0 + k / 240.0;
            rows[k].dec = 10.0;
        }
        const std::vector<char> bytes = encode_index(rows, identity);
        std::ofstream(config.index, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_EQ(state_now(), index_state::usable);
        const cone area({15, 10}, 1);
        const answer_text full = full_answer(file, area);
        EXPECT_EQ(full.count, 2);
        EXPECT_EQ(site_answer(config, file, area).text, full.text) << f.name;
        EXPECT_FALSE(fs::exists(config.index)) << f.name << ": a failed index goes";
    }
}

TEST_F(CatalogueIndex, TwoRequestsAtOnceWhileTheIndexIsMade)
{
    std::mt19937_64 random(4);
    write_catalogue(random_catalogue(random, 20000));
    std::atomic<bool> made{false};
    std::atomic<int> answered{0};
    std::thread maker([&] {
        EXPECT_EQ(make_site_index(config, true), index_making::made);
        made = true;
    });
    auto ask = [&] {
        std::mt19937_64 own(static_cast<std::uint64_t>(answered.load()) + 7);
        do {
            const cone area = random_cone(own);
            input_file file;
            ASSERT_TRUE(file.open(config.catalogue.c_str()));
            EXPECT_EQ(site_answer(config, file, area).text, full_answer(file, area).text);
            ++answered;
        } while (!made);
    };
    std::thread first(ask);
    std::thread second(ask);
    maker.join();
    first.join();
    second.join();
    EXPECT_GE(answered.load(), 2);
    EXPECT_EQ(state_now(), index_state::usable);
    EXPECT_EQ(make_site_index(config, false), index_making::current);
    EXPECT_EQ(stray_files(), 0);
}

TEST_F(CatalogueIndex, OnlyOneMakesItAtATime)
{
    write_catalogue("$\n");
    file_lock held;
    ASSERT_TRUE(held.take(config.index + ".lock", false));
    EXPECT_EQ(make_site_index(config, false), index_making::busy);
    EXPECT_FALSE(fs::exists(config.index));
}

TEST_F(CatalogueIndex, FullDiskWhileWritingLeavesNoIndexAndConesAnswer)
{
    std::mt19937_64 random(5);
    write_catalogue(random_catalogue(random, 1000));
    // A file size limit fails the index's writes as a full disk would.
    struct rlimit before;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const index_making making = make_site_index(config, true);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
    EXPECT_EQ(making, index_making::failed);
    EXPECT_FALSE(fs::exists(config.index));
    EXPECT_EQ(stray_files(), 0) << "no temporary file stays";
    expect_same_answers(some_cones);

    // What a making that was killed left goes with the next making.
    std::ofstream(config.index + ".tmp.AbC123") << "part";
    std::ofstream(config.index + ".tmp.kept") << "not of the index";
    EXPECT_EQ(make_site_index(config, true), index_making::made);
    EXPECT_FALSE(fs::exists(config.index + ".tmp.AbC123"));
    EXPECT_TRUE(fs::exists(config.index + ".tmp.kept"));
    fs::remove(config.index + ".tmp.kept");
}

TEST_F(CatalogueIndex, CatalogueThatIsNoRegularFileIsNeverIndexed)
{
    config.catalogue = "/dev/null"; // a device
    EXPECT_EQ(make_site_index(config, true), index_making::not_regular);
    EXPECT_FALSE(fs::exists(config.index));
}

} // namespace tarnvel
