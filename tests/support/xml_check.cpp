// A small well-formedness checker and a CSV splitter.
#include "support/xml_check.h"

#include <set>

#include "report/clean_text.h"

namespace tarnvel {

namespace {

class checker {
public:
    explicit checker(const std::string& text) : text_(text) {}

    std::string run()
    {
        if (!characters_allowed())
            return fault_;
        if (text_.compare(0, 5, "<?xml") == 0) {
            const std::size_t end = text_.find("?>");
            if (end == std::string::npos)
                return fail("unclosed XML declaration");
            at_ = end + 2;
        }
        skip_space();
        if (!element())
            return fault_;
        skip_space();
        if (at_ != text_.size())
            return fail("text after the root element");
        return "";
    }

private:
    bool characters_allowed()
    {
        for (std::size_t at = 0; at < text_.size();) {
            const std::size_t start = at;
            const char32_t c = decode_utf8(text_.data(), text_.size(), at);
            if (c == replacement_character && text_.compare(start, 3, "\xEF\xBF\xBD") != 0) {
                at_ = start;
                fail("not UTF-8");
                return false;
            }
            if (!xml_allows(c)) {
                at_ = start;
                fail("a character XML does not allow");
                return false;
            }
        }
        return true;
    }

    std::string fail(const std::string& what)
    {
        if (fault_.empty())
            fault_ = what + " at byte " + std::to_string(at_);
        return fault_;
    }

    static bool name_char(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == ':' || c == '-' || c == '.';
    }

    void skip_space()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }

    std::string name()
    {
        const std::size_t start = at_;
        while (at_ < text_.size() && name_char(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    // A reference behind '&'.
    bool reference()
    {
        const std::size_t end = text_.find(';', at_);
        if (end == std::string::npos || end - at_ > 10)
            return fail("a bare '&'").empty();
        const std::string word = text_.substr(at_ + 1, end - at_ - 1);
        static const std::set<std::string> entities = {"amp", "lt", "gt", "quot", "apos"};
        if (entities.count(word) == 0) {
            if (word.size() < 2 || word[0] != '#')
                return fail("an unknown entity").empty();
            const bool hex = word[1] == 'x';
            unsigned long value = 0;
            for (std::size_t i = hex ? 2 : 1; i < word.size(); ++i) {
                const char c = word[i];
                int digit = -1;
                if (c >= '0' && c <= '9')
                    digit = c - '0';
                else if (hex && c >= 'a' && c <= 'f')
                    digit = c - 'a' + 10;
                else if (hex && c >= 'A' && c <= 'F')
                    digit = c - 'A' + 10;
                if (digit < 0 || value > 0x10FFFF)
                    return fail("a bad character reference").empty();
                value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
            }
            if (!xml_allows(static_cast<char32_t>(value)))
                return fail("a reference to a character XML does not allow").empty();
        }
        at_ = end + 1;
        return true;
    }

    bool attribute_value()
    {
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\''))
            return fail("an unquoted attribute").empty();
        const char quote = text_[at_++];
        while (at_ < text_.size() && text_[at_] != quote) {
            if (text_[at_] == '<')
                return fail("'<' in an attribute").empty();
            if (text_[at_] == '&') {
                if (!reference())
                    return false;
            } else {
                ++at_;
            }
        }
        if (at_ >= text_.size())
            return fail("an unclosed attribute").empty();
        ++at_;
        return true;
    }

    bool element()
    {
        if (at_ >= text_.size() || text_[at_] != '<')
            return fail("no element").empty();
        ++at_;
        const std::string tag = name();
        if (tag.empty())
            return fail("an element without a name").empty();
        std::set<std::string> attributes;
        for (;;) {
            const std::size_t before = at_;
            skip_space();
            if (at_ >= text_.size())
                return fail("an unclosed tag").empty();
            if (text_.compare(at_, 2, "/>") == 0) {
                at_ += 2;
                return true;
            }
            if (text_[at_] == '>') {
                ++at_;
                break;
            }
            if (before == at_)
                return fail("no space before an attribute").empty();
            const std::string attribute = name();
            if (attribute.empty() || !attributes.insert(attribute).second)
                return fail("a missing or repeated attribute").empty();
            if (at_ >= text_.size() || text_[at_++] != '=')
                return fail("an attribute without '='").empty();
            if (!attribute_value())
                return false;
        }
        // Content: character data, references and elements, up to the end tag.
        for (;;) {
            if (at_ >= text_.size())
                return fail("an unclosed element " + tag).empty();
            if (text_.compare(at_, 2, "</") == 0) {
                at_ += 2;
                if (name() != tag)
                    return fail("an end tag that does not match " + tag).empty();
                skip_space();
                if (at_ >= text_.size() || text_[at_++] != '>')
                    return fail("an unclosed end tag").empty();
                return true;
            }
            if (text_[at_] == '<') {
                if (!element())
                    return false;
            } else if (text_[at_] == '&') {
                if (!reference())
                    return false;
            } else if (text_.compare(at_, 3, "]]>") == 0) {
                return fail("\"]]>\" in character data").empty();
            } else {
                ++at_;
            }
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
    std::string fault_;
};

} // namespace

std::string xml_fault(const std::string& text)
{
    return checker(text).run();
}

std::vector<std::vector<std::string>> csv_records(const std::string& text, bool& ok)
{
    ok = true;
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '"' && field.empty()) {
            for (++at;; ++at) {
                if (at >= text.size()) {
                    ok = false;
                    return records;
                }
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"')
                        ++at;
                    else
                        break;
                }
                field += text[at];
            }
            ++at; // the closing quote
            if (at < text.size() && text[at] != ',' && text[at] != '\r') {
                ok = false;
                return records;
            }
            continue;
        }
        if (text[at] == ',') {
            record.push_back(field);
            field.clear();
            ++at;
        } else if (text.compare(at, 2, "\r\n") == 0) {
            record.push_back(field);
            field.clear();
            records.push_back(record);
            record.clear();
            at += 2;
        } else if (text[at] == '"' || text[at] == '\r' || text[at] == '\n') {
            ok = false;
            return records;
        } else {
            field += text[at++];
        }
    }
    if (!field.empty() || !record.empty())
        ok = false; // the last record is not ended
    return records;
}

} // namespace tarnvel
