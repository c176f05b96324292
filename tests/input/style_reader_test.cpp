// The style file: values in order, letters right behind their '=', values
// that do not convert, short and empty files.
#include <gtest/gtest.h>

#include <string>

#include "input/readers.h"
#include "input/stop_scan.h"
#include "support/console_texts.h"
#include "support/reader_test.h"

namespace tarnvel {

namespace {

class StyleReader : public reader_test {
protected:
    // Reads `text` and returns what init_style_variables would print of it.
    static std::string read(const std::string& text)
    {
        return console_of([](scan_stream& s) { report_stop_lost('=', read_style(s)); }, text);
    }
};

std::string lost(int times)
{
    return repeated(label_stop_lost, times);
}

} // namespace

TEST_F(StyleReader, ReadsTheSixValuesInOrder)
{
    EXPECT_EQ(read("border=1\r\nwidth=80\r\nheight=50\r\ncolor_interchange=y\r\nheader_align=c\r\n"
                   "cell_align=l\r\nseventh=99\r\n"),
              "");
    EXPECT_EQ(border, 1);
    EXPECT_EQ(width, 80);
    EXPECT_EQ(height, 50);
    EXPECT_EQ(color_interchange, 'y');
    EXPECT_EQ(header_align, 'c');
    EXPECT_EQ(cell_align, 'l');
    EXPECT_EQ(table_align, 'c');
}

TEST_F(StyleReader, BlankBehindTheEqualsSign)
{
    read("a=-3\nb= 80\nc=50\nd= y\ne=r\nf=c\n");
    EXPECT_EQ(border, -3);
    EXPECT_EQ(width, 80) << "a number may stand after blanks";
    EXPECT_EQ(color_interchange, ' ') << "a letter may not";
    EXPECT_EQ(header_align, 'r');
}

TEST_F(StyleReader, ValueThatDoesNotConvertKeepsItsInitialValue)
{
    EXPECT_EQ(read("border=abc\nwidth=80\nheight=50\nci=n\nha=l\nca=r\n"), "");
    EXPECT_EQ(border, 0);
    EXPECT_EQ(width, 80);
    EXPECT_EQ(color_interchange, 'n');
}

TEST_F(StyleReader, ShortAndEmptyFiles)
{
    EXPECT_EQ(read("border=2\nwidth=3\nheight=4\n"), lost(3));
    EXPECT_EQ(height, 4);
    EXPECT_EQ(color_interchange, '\0');
    EXPECT_EQ(cell_align, '\0');

    reset_run_state();
    EXPECT_EQ(read(""), lost(6));
    EXPECT_EQ(border, 0);
    EXPECT_EQ(table_align, 'c');
}

} // namespace tarnvel
