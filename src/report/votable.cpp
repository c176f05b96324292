// The VOTable writer.
#include "report/votable.h"

#include "report/clean_text.h"

namespace tarnvel {

namespace {

const char document_open[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<VOTABLE version=\"1.4\" xmlns=\"http://www.ivoa.net/xml/VOTable/v1.3\"\n"
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    " xsi:schemaLocation=\"http://www.ivoa.net/xml/VOTable/v1.3 "
    "http://www.ivoa.net/xml/VOTable/votable-1.4.xsd\">\n";

// Appends ` name="value"`, the value escaped, when `value` is not null.
void append_attribute(std::string& out, const char* name, const char* value)
{
    if (value == nullptr)
        return;
    out += ' ';
    out += name;
    out += "=\"";
    append_xml_escaped(out, value);
    out += '"';
}

} // namespace

void append_votable_head(std::string& out, table_detail detail, const std::string& description)
{
    out += document_open;
    out += "<RESOURCE type=\"results\">\n<DESCRIPTION>";
    append_xml_escaped(out, description);
    out += "</DESCRIPTION>\n"
           "<INFO name=\"QUERY_STATUS\" value=\"OK\"/>\n"
           "<COOSYS ID=\"J2000\" system=\"eq_FK5\" equinox=\"J2000\"/>\n"
           "<COOSYS ID=\"B1950\" system=\"eq_FK4\" equinox=\"B1950\"/>\n"
           "<TABLE>\n";
    for (const table_column& column : answer_columns(detail)) {
        out += "<FIELD";
        append_attribute(out, "name", column.name);
        append_attribute(out, "datatype", column.datatype);
        append_attribute(out, "arraysize", column.arraysize);
        append_attribute(out, "unit", column.unit);
        append_attribute(out, "ucd", column.ucd);
        append_attribute(out, "ref", column.ref);
        out += "><DESCRIPTION>";
        append_xml_escaped(out, column.description);
        out += "</DESCRIPTION></FIELD>\n";
    }
    out += "<DATA><TABLEDATA>\n";
}

void append_votable_row(std::string& out, const table_row& row, table_detail detail,
                        std::vector<table_cell>& cells)
{
    answer_cells(row, detail, cells);
    out += "<TR>";
    for (const table_cell& cell : cells) {
        if (cell.kind == table_cell::null) {
            out += "<TD/>";
            continue;
        }
        out += "<TD>";
        if (cell.kind == table_cell::text)
            append_xml_escaped(out, cell.value);
        else
            out += cell.value;
        out += "</TD>";
    }
    out += "</TR>\n";
}

void append_votable_foot(std::string& out, bool overflow)
{
    out += "</TABLEDATA></DATA>\n</TABLE>\n";
    if (overflow)
        out += "<INFO name=\"QUERY_STATUS\" value=\"OVERFLOW\">The answer holds the first MAXREC "
               "rows.</INFO>\n";
    out += "</RESOURCE>\n</VOTABLE>\n";
}

std::string votable_error(const std::string& message)
{
    std::string out = document_open;
    out += "<INFO name=\"Error\" value=\"";
    append_xml_escaped(out, message);
    out += "\"/>\n<RESOURCE type=\"results\">\n<INFO name=\"QUERY_STATUS\" value=\"ERROR\">";
    append_xml_escaped(out, message);
    out += "</INFO>\n</RESOURCE>\n</VOTABLE>\n";
    return out;
}

} // namespace tarnvel
