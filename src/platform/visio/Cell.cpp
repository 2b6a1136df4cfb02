// Cell handles: formulas, values and glue.

#include <charconv>
#include <memory>

#include "platform/visio/detail/CellValues.h"
#include "platform/visio/detail/Glue.h"

namespace visio {

using detail::CellAddress;
using detail::ShapeRef;

namespace {

ShapeRef refOf(detail::SheetContainer* c, pugi::xml_node_struct* n) {
    if (!c || !n)
        throw VisioError("The cell belongs to no shape");
    return {c, pugi::xml_node(n)};
}

} // namespace

std::string Cell::FormulaU() const {
    ShapeRef shape = refOf(container_, shape_);
    std::optional<std::string> f = detail::formulaOf(shape, *address_);
    if (f)
        return *f;
    // A singleton cell that no sheet sets holds Visio's default, zero.
    if (address_->section.empty())
        return "0";
    throw VisioError(Describe() + " does not exist");
}

void Cell::SetFormulaU(const std::string& formula) {
    ShapeRef shape = refOf(container_, shape_);
    detail::writeFormula(shape, *address_, formula);
}

void Cell::SetFormulaU(long long value) { SetFormulaU(std::to_string(value)); }

std::string Cell::ResultStr() const {
    ShapeRef shape = refOf(container_, shape_);
    std::optional<formula::Value> v = detail::valueOf(shape, *address_);
    if (!v)
        return address_->section.empty() ? "0" : std::string();
    return v->type == formula::Value::Type::String ? v->text : detail::valueText(v->number);
}

double Cell::ResultIU() const {
    ShapeRef shape = refOf(container_, shape_);
    std::optional<formula::Value> v = detail::valueOf(shape, *address_);
    if (!v)
        return 0;
    if (v->type == formula::Value::Type::String)
        throw VisioError(Describe() + " holds the text '" + v->text + "', not a number");
    return v->number;
}

void Cell::GlueTo(const Cell& target) const {
    ShapeRef from = refOf(container_, shape_);
    ShapeRef to = refOf(target.container_, target.shape_);
    detail::glue(from, *address_, to, *target.address_);
}

std::string Cell::Name() const {
    if (!address_)
        return std::string();
    std::string name = address_->formulaName.empty() ? address_->name : address_->formulaName;
    static const std::string value = ".Value";
    if (!address_->section.empty() && !address_->rowByIndex && name.size() > value.size() &&
        name.compare(name.size() - value.size(), value.size(), value) == 0)
        name.erase(name.size() - value.size());
    return name;
}

std::string Cell::Describe() const {
    std::string shape = container_ && shape_ ? detail::shapeName({container_, pugi::xml_node(shape_)}) : "?";
    return "Shape '" + shape + "' cell " + (!address_ ? std::string() : address_->formulaName.empty() ? address_->name : address_->formulaName);
}

Shape Cell::Owner() const { return detail::ApplicationData::shape(container_, pugi::xml_node(shape_)); }

} // namespace visio
