#include "support/WorkbookReaders.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace testsupport {

namespace {

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

std::string unescape(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        const char next = text[++i];
        result += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    return result;
}

void place(CellGrid& grid, int row, int column, const std::string& text)
{
    if (grid.size() < static_cast<std::size_t>(row))
        grid.resize(static_cast<std::size_t>(row));
    std::vector<std::string>& cells = grid[static_cast<std::size_t>(row - 1)];
    if (cells.size() < static_cast<std::size_t>(column))
        cells.resize(static_cast<std::size_t>(column));
    cells[static_cast<std::size_t>(column - 1)] = text;
}

void readFact(const std::vector<std::string>& f, WorkbookFacts& facts)
{
    const std::string& kind = f[0];
    if (kind == "title" && f.size() == 2)
        facts.title = unescape(f[1]);
    else if (kind == "sheets" && f.size() == 2)
        facts.sheets = std::stoi(f[1]);
    else if (kind == "freeze" && f.size() == 2)
        facts.freeze = f[1];
    else if (kind == "filter" && f.size() == 2)
        facts.filter = f[1];
    else if (kind == "ignored" && f.size() == 2)
        facts.ignored.push_back(f[1]);
    else if (kind == "width" && f.size() == 3)
        facts.widths[f[1]] = std::stod(f[2]);
    else if (kind == "height" && f.size() == 3)
        facts.heights[std::stoi(f[1])] = std::stod(f[2]);
    else if (kind == "print" && f.size() == 5)
        facts.print = f[1] + " " + f[2] + " " + f[3] + " " + f[4];
    else if (kind == "bold" && f.size() == 2)
        facts.bold.insert(f[1]);
    else if (kind == "cell" && f.size() == 5) {
        const int row = std::stoi(f[1]);
        const int column = std::stoi(f[2]);
        facts.types[{row, column}] = f[3];
        place(facts.cells, row, column, unescape(f[4]));
    } else
        facts.error += "unexpected line from the reader: " + kind + "\n";
}

// One CSV record: fields with their quoting; a quoted field may hold line breaks.
bool readRecord(std::istream& in, std::vector<std::pair<std::string, bool>>& fields)
{
    fields.clear();
    if (in.peek() == std::char_traits<char>::eof())
        return false;
    std::string field;
    bool quoted = false;
    bool inQuotes = false;
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        if (inQuotes) {
            if (c == '"' && in.peek() == '"')
                field += static_cast<char>(in.get());
            else if (c == '"')
                inQuotes = false;
            else
                field += static_cast<char>(c);
        } else if (c == '"') {
            inQuotes = quoted = true;
        } else if (c == ',') {
            fields.emplace_back(field, quoted);
            field.clear();
            quoted = false;
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            field += static_cast<char>(c);
        }
    }
    fields.emplace_back(field, quoted);
    return true;
}

void trimGrid(CellGrid& grid)
{
    for (std::vector<std::string>& row : grid)
        while (!row.empty() && row.back().empty())
            row.pop_back();
    while (!grid.empty() && grid.back().empty())
        grid.pop_back();
}

} // namespace

std::string CellName(int row, int column)
{
    std::string letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(row);
}

WorkbookFacts ReadWorkbookWithOpenpyxl(const std::string& path)
{
    const std::string script = std::string(KALEMAR_SOURCE_DIR) + "/tests/support/read_workbook.py";
    // Debian's python3-openpyxl is seen by the system's interpreter only.
    const RunResult run = RunProgram("/usr/bin/python3", {script, path});
    WorkbookFacts facts;
    if (run.exitCode != 0) {
        facts.error = "openpyxl could not read " + path + ": " + run.err;
        return facts;
    }
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        readFact(splitTabs(line), facts);
    trimGrid(facts.cells);
    return facts;
}

CalcSheet ReadWorkbookWithCalc(const std::string& path)
{
    const TempDir work;
    RunOptions options;
    options.timeoutSeconds = 300;
    // Every text cell quoted: a cell Calc read as a number comes out bare.
    const RunResult run = RunProgram("/usr/bin/soffice", {"--headless", "-env:UserInstallation=file://" + (work.Path() / "profile").string(),
                                                 "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true",
                                                 "--outdir", work.Path().string(), path},
                                     options);
    CalcSheet sheet;
    const std::filesystem::path csv = work.Path() / (std::filesystem::path(path).stem().string() + ".csv");
    std::ifstream in(csv, std::ios::binary);
    if (run.exitCode != 0 || !in) {
        sheet.error = "LibreOffice could not convert " + path + " (exit " + std::to_string(run.exitCode) + "): " + run.err;
        return sheet;
    }
    std::vector<std::pair<std::string, bool>> fields;
    for (int row = 1; readRecord(in, fields); ++row) {
        sheet.cells.emplace_back();
        for (std::size_t column = 0; column < fields.size(); ++column) {
            sheet.cells.back().push_back(fields[column].first);
            if (!fields[column].first.empty() && !fields[column].second)
                sheet.numbers.push_back(CellName(row, static_cast<int>(column) + 1));
        }
    }
    trimGrid(sheet.cells);
    return sheet;
}

} // namespace testsupport
