#include "platform/richtext/RtfWords.h"

#include <string>
#include <unordered_map>

namespace richtext {

namespace {

using WordTable = std::unordered_map<std::string_view, KnownWord>;

void addAll(WordTable& table, std::initializer_list<std::string_view> names, RtfWord word)
{
    for (std::string_view name : names) {
        table.emplace(name, KnownWord{word});
    }
}

// Destinations whose text is no text of the document: tables and styles,
// document information, pictures and objects, headers, footers and notes,
// field instructions, index and bookmark marks.
void addSkippedDestinations(WordTable& table)
{
    addAll(table,
           {"stylesheet", "info", "pict", "object", "objdata", "header", "headerl", "headerr", "headerf",
            "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor", "atndate",
            "atnref", "fldinst", "xe", "tc", "txe", "rxe", "bkmkstart", "bkmkend", "template", "revtbl",
            "rsidtbl", "listtable", "listoverridetable", "themedata", "colorschememapping", "datastore",
            "latentstyles", "nonshppict", "shpinst", "sp", "sn", "sv", "author", "operator", "title", "subject",
            "keywords", "comment", "doccomm", "company", "manager", "category", "generator", "userprops",
            "docvar", "pn", "pntxta", "pntxtb", "filetbl", "mmathPr", "xmlnstbl", "pgdsctbl", "listpicture",
            "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "buptim", "creatim", "printim",
            "revtim"},
           RtfWord::SkippedDestination);
}

void addUnderlines(WordTable& table)
{
    addAll(table,
           {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
            "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"},
           RtfWord::Underline);
}

void addSpecialCharacters(WordTable& table)
{
    const std::pair<std::string_view, char16_t> specials[] = {
        {"emdash", u'\u2014'}, {"endash", u'\u2013'}, {"emspace", u'\u2003'}, {"enspace", u'\u2002'},
        {"qmspace", u'\u2005'}, {"bullet", u'\u2022'}, {"lquote", u'\u2018'}, {"rquote", u'\u2019'},
        {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'}, {"zwj", u'\u200D'}, {"zwnj", u'\u200C'},
        {"zwbo", u'\u200B'}, {"ltrmark", u'\u200E'}, {"rtlmark", u'\u200F'},
    };
    for (const auto& [name, character] : specials) {
        table.emplace(name, KnownWord{RtfWord::Special, character});
    }
}

WordTable buildTable()
{
    WordTable table;
    addSkippedDestinations(table);
    addUnderlines(table);
    addSpecialCharacters(table);
    const std::pair<std::string_view, RtfWord> words[] = {
        {"fonttbl", RtfWord::FontTable},     {"colortbl", RtfWord::ColourTable},
        {"upr", RtfWord::AlternativeText},   {"ud", RtfWord::UnicodeText},
        {"fldrslt", RtfWord::FieldResult},   {"ansi", RtfWord::Ansi},
        {"mac", RtfWord::Mac},               {"pc", RtfWord::Pc},
        {"pca", RtfWord::Pca},               {"ansicpg", RtfWord::AnsiCodePage},
        {"deff", RtfWord::DefaultFont},      {"f", RtfWord::Font},
        {"fcharset", RtfWord::FontCharset},  {"cpg", RtfWord::FontCodePage},
        {"red", RtfWord::Red},               {"green", RtfWord::Green},
        {"blue", RtfWord::Blue},             {"plain", RtfWord::Plain},
        {"b", RtfWord::Bold},                {"i", RtfWord::Italic},
        {"ulnone", RtfWord::UnderlineNone},  {"fs", RtfWord::FontSize},
        {"cf", RtfWord::Colour},             {"uc", RtfWord::UnicodeSkip},
        {"u", RtfWord::Unicode},             {"bin", RtfWord::Bin},
        {"pard", RtfWord::ParagraphDefault}, {"ql", RtfWord::AlignLeft},
        {"qc", RtfWord::AlignCenter},        {"qr", RtfWord::AlignRight},
        {"qj", RtfWord::AlignJustify},       {"qd", RtfWord::AlignJustify},
        {"par", RtfWord::Paragraph},         {"sect", RtfWord::Paragraph},
        {"page", RtfWord::Paragraph},        {"row", RtfWord::Paragraph},
        {"line", RtfWord::Line},             {"tab", RtfWord::Tab},
        {"cell", RtfWord::Cell},             {"nestcell", RtfWord::Cell},
    };
    for (const auto& [name, word] : words) {
        table.emplace(name, KnownWord{word});
    }
    return table;
}

} // namespace

KnownWord LookUpWord(std::string_view name)
{
    static const WordTable table = buildTable();
    const auto found = table.find(name);
    return found == table.end() ? KnownWord{} : found->second;
}

} // namespace richtext
