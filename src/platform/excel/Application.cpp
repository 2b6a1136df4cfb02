#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include <algorithm>
#include <iostream>

#include "platform/excel/Excel.h"
#include "platform/excel/NewFile.h"
#include "platform/excel/WorkbookFile.h"

namespace excel {

namespace {

void checkAddress(int row, int column)
{
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns)
        throw ExcelError("There is no cell at row " + std::to_string(row) + ", column " + std::to_string(column) +
                         " (a sheet has rows 1 to " + std::to_string(MaxRows) + " and columns 1 to " +
                         std::to_string(MaxColumns) + ")");
}

void openWithDesktopServices(const std::string& path)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
        std::cerr << "No program of the desktop opened " << path << '\n';
}

} // namespace

void Worksheet::SetCell(int row, int column, const std::string& text)
{
    checkAddress(row, column);
    if (text.empty())
        cells_.erase({row, column});
    else
        cells_[{row, column}] = text;
}

std::string Worksheet::Cell(int row, int column) const
{
    auto it = cells_.find({row, column});
    return it == cells_.end() ? std::string() : it->second;
}

int Worksheet::LastRow() const { return cells_.empty() ? 0 : cells_.rbegin()->first.first; }

int Worksheet::LastColumn() const
{
    int last = 0;
    for (const auto& entry : cells_)
        last = std::max(last, entry.first.second);
    return last;
}

Workbook& Workbooks::Add()
{
    books_.push_back(std::make_unique<Workbook>());
    return *books_.back();
}

Workbook& Workbooks::Item(int index)
{
    if (index < 1 || index > Count())
        throw ExcelError("There is no workbook " + std::to_string(index) + " (there are " + std::to_string(Count()) +
                         ")");
    return *books_[static_cast<std::size_t>(index - 1)];
}

Application::Application(Settings settings) : settings_(std::move(settings))
{
    if (!settings_.openOnDesktop)
        settings_.openOnDesktop = openWithDesktopServices;
}

void Application::Cells(int row, int column, const std::string& text)
{
    if (workbooks_.Count() == 0)
        throw ExcelError("There is no workbook to write the cell at row " + std::to_string(row) + ", column " +
                         std::to_string(column) + " into");
    workbooks_.Item(workbooks_.Count()).ActiveSheet().SetCell(row, column, text);
}

std::vector<std::string> Application::Release()
{
    std::vector<std::string> written;
    for (const std::unique_ptr<Workbook>& book : workbooks_.books_) {
        if (!book->fullName_.empty())
            continue;
        book->fullName_ = WriteNewNumberedFile(settings_.folder, "Book", ".xlsx", [&](const std::string& path) {
            WriteWorkbookFile(book->sheet_, path, settings_.title);
        });
        std::cout << book->fullName_ << '\n' << std::flush;
        written.push_back(book->fullName_);
        if (visible_ && settings_.hasDesktop)
            settings_.openOnDesktop(book->fullName_);
    }
    return written;
}

} // namespace excel
