#pragma once

// The table definition that an object shape carries in user row 0: a table name,
// a description and an ordered list of fields, kept as one string literal.
//
// The definition is the name, "|||" and the description, then for each field
// "|||" and a record of six tokens joined by "***": name, description, type,
// target table, target field, key kind in decimal. There is no escape: a value
// comes back unchanged only if it holds no separator and does not end with the
// separator's character where one follows it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/visio/Visio.h"

// One field of a table.
struct TFieldType {
    std::string Name;
    std::string TypeName;
    std::string Description;
    // 0 plain, 1 primary key, 2 foreign key, 3 primary and foreign key.
    std::uint8_t KeyKind = 0;
    std::string RefTable;
    std::string RefField;

    bool operator==(const TFieldType&) const = default;
};

// One table; Shape is the entity drawn for it, empty until a diagram draws it.
struct TTableRec {
    std::string Name;
    std::string Description;
    std::vector<TFieldType> Fields;
    visio::Shape Shape;
};

// The type names that the field dialog offers, in its order.
inline const std::array<std::string, 7> FieldTypeNames = {
    "Float", "Integer", "Date", "DateTime", "Char", "VarChar", "Blob",
};

// Fills the empty `table` from the formula text of user row 0: sets Name and
// Description, appends the fields. A malformed field record raises EConvertError
// "'<key kind text>' is not a valid integer value"; the fields before it stay.
void ParseTableDefinition(const std::string& formula, TTableRec& table);

// The formula text of a definition: a string literal, inner quotes doubled.
std::string ComposeTableDefinition(const std::string& name, const std::string& description,
                                   const std::vector<TFieldType>& fields);

// ParseTableDefinition on the formula of the shape's user row 0; VisioError when
// the shape has no user row 0.
void ReadTableDefinition(const visio::Shape& shape, TTableRec& table);

// Stores the composed definition as the formula of the shape's user row 0;
// VisioError when the shape has no user row 0.
void WriteTableDefinition(const visio::Shape& shape, const std::string& name,
                          const std::string& description, const std::vector<TFieldType>& fields);
