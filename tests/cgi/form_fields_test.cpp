// The query's fields as a browser or a hostile client sends them: the
// decoding of the form encoding, and the grammar that keeps every line end,
// '=', NUL and control byte out of "query.frm".
#include <gtest/gtest.h>

#include <string>

#include "cgi/form_fields.h"

namespace tarnvel {

namespace {

// The demo's query, encoded as a browser sends it, with `field` set to the
// encoded `value` (or left out when `value` is null).
std::string demo_query_with(const std::string& field, const char* value)
{
    const query_request demo = demo_request();
    std::string encoded;
    for (int f = 0; f < query_field_count; ++f) {
        std::string text = demo.values[f];
        if (query_fields[f].key == field) {
            if (value == nullptr)
                continue;
            text = value;
        } else {
            for (std::size_t at; (at = text.find(':')) != std::string::npos;)
                text.replace(at, 1, "%3A");
            for (std::size_t at; (at = text.find('+')) != std::string::npos;)
                text.replace(at, 1, "%2B");
        }
        encoded += (encoded.empty() ? "" : "&") + std::string(query_fields[f].key) + "=" + text;
    }
    return encoded;
}

int field_index(const std::string& key)
{
    for (int f = 0; f < query_field_count; ++f)
        if (query_fields[f].key == key)
            return f;
    return -1;
}

} // namespace

TEST(FormFields, DecodingOfTheFormEncoding)
{
    const struct {
        const char* encoded;
        bool ok;
        const char* decoded;
    } cases[] = {
        {"02%3A30%3A00", true, "02:30:00"},
        {"%2B45", true, "+45"},
        {"+45", true, " 45"},
        {"a+b%20c", true, "a b c"},
        {"%3d%3D", true, "=="},
        {"%0A", true, "\n"},
        {"%", false, ""},
        {"%4", false, ""},
        {"%zz", false, ""},
        {"", true, ""},
    };
    for (const auto& c : cases) {
        std::string decoded;
        EXPECT_EQ(decode_component(c.encoded, decoded), c.ok) << c.encoded;
        if (c.ok) {
            EXPECT_EQ(decoded, c.decoded) << c.encoded;
        }
    }
    std::string nul;
    ASSERT_TRUE(decode_component("%00", nul));
    EXPECT_EQ(nul, std::string(1, '\0'));
}

TEST(FormFields, HostileValuesAreRefusedBeforeAnythingIsWritten)
{
    EXPECT_TRUE(decode_query(demo_query_with("epoch", "2000")).valid());
    const struct {
        const char* field;
        const char* encoded; // null: the field is missing
    } hostile[] = {
        {"epoch", "2000%0D%0AMinimal+right+ascension%3D00%3A00%3A00"}, // a line end and '='
        {"epoch", "2000%0A"},
        {"epoch", "20%0D00"},
        {"epoch", "2000%00"},
        {"epoch", "2000="},
        {"epoch", "2000%3D1950"},
        {"epoch", "-2000"},
        {"epoch", "1e3"},
        {"epoch", ""},
        {"epoch", nullptr},
        {"epoch", "2000%"},
        {"ra_min", "02:30"},
        {"ra_min", "02:30:00.5.5"},
        {"ra_min", "002:30:00"},
        {"ra_min", "02:30:00%0A"},
        {"ra_min", "02%3A30%3A00%09"},
        {"dec_max", "+45:15:00"}, // '+' is a blank in the form encoding: %2B is the sign
        {"dec_max", "45:15:00"},
        {"dec_max", "%2B%2B45:15:00"},
        {"z_min", "1.5%0AMaximal+redshift%3D9"},
        {"z_min", "1,5"},
        {"z_min", "inf"},
        {"z_min", "nan"},
        {"z_min", "0x10"},
        {"z_min", "+"},
        {"z_min", "."},
        {"z_min", "1e"},
        {"z_min", "%C3%A9"},                                      // non-ASCII
        {"z_min", "1111111111111111111111111111111111111111111"}, // overlong
    };
    for (const auto& h : hostile) {
        const query_request request = decode_query(demo_query_with(h.field, h.encoded));
        const int f = field_index(h.field);
        EXPECT_FALSE(request.valid()) << h.field << "=" << (h.encoded ? h.encoded : "(missing)");
        EXPECT_NE(request.faults[f], nullptr) << h.encoded;
        for (int other = 0; other < query_field_count; ++other) {
            if (other != f) {
                EXPECT_EQ(request.faults[other], nullptr)
                    << h.encoded << ": " << query_fields[other].key;
            }
        }
    }
}

TEST(FormFields, GoodValuesRepeatedAndUnknownKeys)
{
    const struct {
        const char* field;
        const char* encoded;
    } good[] = {
        {"dec_max", "%2B45%3A15%3A00"},
        {"dec_min", "-00:30:00"},
        {"ra_max", "24:00:00"},
        {"ra_min", "2:3:4.123456789"},
        {"z_min", "-.5"},
        {"z_max", "1e8"},
        {"v_min", "%2B3."},
        {"m_max", "-26.5E-0"},
        {"epoch", "1950"},
    };
    for (const auto& g : good)
        EXPECT_TRUE(decode_query(demo_query_with(g.field, g.encoded)).valid()) << g.encoded;

    // An unknown field is ignored; a known one sent twice is a fault.
    EXPECT_TRUE(decode_query(demo_query_with("epoch", "2000") + "&submit=Ask&x=%00").valid());
    const query_request twice = decode_query(demo_query_with("epoch", "2000") + "&epoch=1950");
    EXPECT_NE(twice.faults[field_index("epoch")], nullptr);

    // What is written for a valid query: a value a line, behind its label.
    const std::string form = query_form_text(decode_query(demo_query_with("epoch", "2000")));
    EXPECT_NE(form.find("\nMaximal declination=+45:15:00\n"), std::string::npos) << form;
    std::size_t lines = 0;
    for (const char c : form)
        lines += c == '\n';
    EXPECT_EQ(lines, 12u);
}

} // namespace tarnvel
