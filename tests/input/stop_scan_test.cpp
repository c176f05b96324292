// The skip to a stop character and the reading of a text field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/stop_scan.h"
#include "model/string.h"
#include "support/console_capture.h"
#include "support/console_texts.h"

namespace tarnvel {

TEST(DescriptorShift, LabelsUpTo1000CharactersPassSilently)
{
    for (std::size_t label : {0u, 1u, 999u, 1000u}) {
        const std::string text = std::string(label, 'x') + "=7";
        scan_stream s(text.data(), text.size());
        console_capture console;
        EXPECT_EQ(descriptor_shift(s, '='), 0) << label;
        EXPECT_EQ(console.text(), "");
        EXPECT_EQ(s.get(), '7');
    }
}

TEST(DescriptorShift, GivesUpAfter1001CharactersOrAtTheEnd)
{
    const std::string text = std::string(1001, 'x') + "=7";
    scan_stream s(text.data(), text.size());
    console_capture console;
    EXPECT_EQ(descriptor_shift(s, '='), 1);
    EXPECT_EQ(s.get(), '=') << "the stop character is still unread";
    EXPECT_EQ(console.text(), label_stop_lost);

    scan_stream empty("", 0);
    console_capture again;
    EXPECT_EQ(descriptor_shift(empty, '='), 1);
    EXPECT_EQ(descriptor_shift(empty, '$'), 1);
    EXPECT_EQ(again.text(), std::string(label_stop_lost) + field_stop_lost);
}

TEST(ReadString, StoresTheFieldVerbatim)
{
    const char text[] = "  A B\n$rest";
    scan_stream s(text, sizeof text - 1);
    string field;
    EXPECT_EQ(field.Read_string(s, '$'), 6);
    EXPECT_STREQ(field.text, "  A B\n");
    EXPECT_EQ(s.get(), 'r');

    scan_stream empty_field("$x", 2);
    EXPECT_EQ(field.Read_string(empty_field, '$'), 0);
    EXPECT_STREQ(field.text, "");
}

TEST(ReadString, KeepsTheFirst99CharactersOfALongField)
{
    const std::string text = std::string(99, 'a') + std::string(51, 'b') + "$next";
    scan_stream s(text.data(), text.size());
    string field;
    EXPECT_EQ(field.Read_string(s, '$'), 99);
    EXPECT_EQ(std::string(field.text), std::string(99, 'a'));
    EXPECT_EQ(s.get(), 'n') << "the rest of the field and its stop character are consumed";
}

TEST(ReadString, EndOfInputEndsTheField)
{
    scan_stream s("Q 1234", 6);
    string field;
    EXPECT_EQ(field.Read_string(s, '$'), 6);
    EXPECT_STREQ(field.text, "Q 1234");
    EXPECT_EQ(field.Read_string(s, '$'), 0);
}

} // namespace tarnvel
