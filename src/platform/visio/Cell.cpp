// Cell handles: formulas, values and glue.

#include <charconv>

#include "platform/visio/detail/CellValues.h"
#include "platform/visio/detail/Glue.h"

namespace visio {

using detail::CellAddress;
using detail::ShapeRef;

namespace {

CellAddress addressOf(const std::string& section, const std::string& rowKey, bool byIndex, const std::string& type,
                      const std::string& name, const std::string& formulaName) {
    CellAddress a;
    a.section = section;
    a.rowKey = rowKey;
    a.rowByIndex = byIndex;
    a.rowType = type;
    a.name = name;
    a.formulaName = formulaName;
    return a;
}

ShapeRef refOf(detail::SheetContainer* c, pugi::xml_node_struct* n) {
    if (!c || !n)
        throw VisioError("The cell belongs to no shape");
    return {c, pugi::xml_node(n)};
}

} // namespace

std::string Cell::FormulaU() const {
    ShapeRef shape = refOf(container_, shape_);
    CellAddress a = addressOf(section_, rowKey_, rowByIndex_, rowType_, name_, formulaName_);
    std::optional<std::string> f = detail::formulaOf(shape, a);
    if (f)
        return *f;
    // A singleton cell that no sheet sets holds Visio's default, zero.
    if (section_.empty())
        return "0";
    throw VisioError(Describe() + " does not exist");
}

void Cell::SetFormulaU(const std::string& formula) {
    ShapeRef shape = refOf(container_, shape_);
    detail::writeFormula(shape, addressOf(section_, rowKey_, rowByIndex_, rowType_, name_, formulaName_), formula);
}

void Cell::SetFormulaU(long long value) { SetFormulaU(std::to_string(value)); }

std::string Cell::ResultStr() const {
    ShapeRef shape = refOf(container_, shape_);
    std::optional<formula::Value> v =
        detail::valueOf(shape, addressOf(section_, rowKey_, rowByIndex_, rowType_, name_, formulaName_));
    if (!v)
        return section_.empty() ? "0" : std::string();
    return v->type == formula::Value::Type::String ? v->text : detail::valueText(v->number);
}

double Cell::ResultIU() const {
    ShapeRef shape = refOf(container_, shape_);
    std::optional<formula::Value> v =
        detail::valueOf(shape, addressOf(section_, rowKey_, rowByIndex_, rowType_, name_, formulaName_));
    if (!v)
        return 0;
    if (v->type == formula::Value::Type::String)
        throw VisioError(Describe() + " holds the text '" + v->text + "', not a number");
    return v->number;
}

void Cell::GlueTo(const Cell& target) const {
    ShapeRef from = refOf(container_, shape_);
    ShapeRef to = refOf(target.container_, target.shape_);
    detail::glue(from, addressOf(section_, rowKey_, rowByIndex_, rowType_, name_, formulaName_), to,
                 addressOf(target.section_, target.rowKey_, target.rowByIndex_, target.rowType_, target.name_,
                           target.formulaName_));
}

std::string Cell::Name() const {
    std::string name = formulaName_.empty() ? name_ : formulaName_;
    static const std::string value = ".Value";
    if (!section_.empty() && !rowByIndex_ && name.size() > value.size() &&
        name.compare(name.size() - value.size(), value.size(), value) == 0)
        name.erase(name.size() - value.size());
    return name;
}

std::string Cell::Describe() const {
    std::string shape = container_ && shape_ ? detail::shapeName({container_, pugi::xml_node(shape_)}) : "?";
    return "Shape '" + shape + "' cell " + (formulaName_.empty() ? name_ : formulaName_);
}

Shape Cell::Owner() const { return detail::ApplicationData::shape(container_, pugi::xml_node(shape_)); }

} // namespace visio
