#include "numbering/CopyIndex.h"

#include "model/ElementRows.h"
#include "model/Utils.h"

namespace {

constexpr std::size_t NoPosition = static_cast<std::size_t>(-1);

bool isCopy(const visio::Shape& shape)
{
    return ElementKindOf(shape) == ElementKindObject && ReadProperty(shape, ObjectRow::CopyFlag) == "1";
}

} // namespace

CopyIndex::CopyIndex(visio::Application& application) : application_(application) {}

void CopyIndex::RenumberCopies(const std::string& previousNumber, const std::string& objectName,
                               const std::string& newValue)
{
    std::exception_ptr walkStopped;
    if (!complete_) {
        walkStopped = readDocument();
        complete_ = !walkStopped;
    }
    // A walk that stops part-way has still written the copies before that point.
    renumber({objectName, previousNumber}, newValue);
    if (walkStopped) {
        forget();
        std::rethrow_exception(walkStopped);
    }
}

// Returns the error that stopped the walk, with the copies before it indexed.
std::exception_ptr CopyIndex::readDocument()
{
    forget();
    try {
        const visio::Pages pages = application_.ActiveDocument().GetPages();
        const int pageCount = pages.Count();
        for (int page = 1; page <= pageCount; ++page) {
            const visio::Shapes shapes = pages.Item(page).GetShapes();
            const int shapeCount = shapes.Count();
            for (int index = 1; index <= shapeCount; ++index)
                addIfCopy(shapes.Item(index));
        }
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

void CopyIndex::addIfCopy(const visio::Shape& shape)
{
    if (!isCopy(shape))
        return;
    const std::string name = ReadPropertyFormula(shape, ObjectRow::Name);
    const std::size_t position = copies_.size();
    copies_.push_back(shape);
    try {
        byNameAndNumber_[{name, ReadPropertyFormula(shape, ObjectRow::Number)}].insert(position);
    } catch (const visio::VisioError&) {
        firstUnreadableNumber_.try_emplace(name, position);
    }
}

void CopyIndex::renumber(const Key& source, const std::string& newValue)
{
    const auto unreadable = firstUnreadableNumber_.find(source.first);
    const std::size_t limit = unreadable == firstUnreadableNumber_.end() ? NoPosition : unreadable->second;
    // Taken out whole: the copies written get their new key, which may be this one.
    auto taken = byNameAndNumber_.extract(source);
    Positions pending = taken.empty() ? Positions{} : std::move(taken.mapped());
    auto putBack = [&] {
        if (!pending.empty())
            byNameAndNumber_[source].merge(pending);
    };
    while (!pending.empty() && *pending.begin() < limit) {
        try {
            writeCopy(*pending.begin(), source.first, newValue);
        } catch (...) {
            putBack();
            throw;
        }
        pending.erase(pending.begin());
    }
    putBack();
    if (limit != NoPosition)
        failAtUnreadableNumber(limit);
}

void CopyIndex::writeCopy(std::size_t position, const std::string& objectName, const std::string& newValue)
{
    const visio::Shape& copy = copies_[position];
    copy.CellsSRC(PropertySection, ObjectRow::Number, 0).SetFormulaU(newValue);
    // Later sources are matched against the formula as the cell now reads.
    byNameAndNumber_[{objectName, ReadPropertyFormula(copy, ObjectRow::Number)}].insert(position);
}

void CopyIndex::failAtUnreadableNumber(std::size_t position) const
{
    // Reading it again raises the same error the walk meets there.
    ReadPropertyFormula(copies_[position], ObjectRow::Number);
}

void CopyIndex::forget()
{
    copies_.clear();
    byNameAndNumber_.clear();
    firstUnreadableNumber_.clear();
}
