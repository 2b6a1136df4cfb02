#include "model/TableDefinition.h"

#include "model/Utils.h"

namespace {

const std::string ItemSeparator = "|||";
const std::string TokenSeparator = "***";
constexpr int TokensBeforeKeyKind = 5;

// Takes the text before the leftmost separator off `rest`, together with the
// separator; without a separator the whole rest is taken.
std::string takeItem(std::string& rest, const std::string& separator)
{
    const std::size_t at = rest.find(separator);
    if (at == std::string::npos) {
        std::string whole = std::move(rest);
        rest.clear();
        return whole;
    }
    std::string item = rest.substr(0, at);
    rest.erase(0, at + separator.size());
    return item;
}

TFieldType parseFieldRecord(std::string record)
{
    std::array<std::string, TokensBeforeKeyKind> tokens;
    std::string keyKindText;
    bool complete = true;
    for (std::string& token : tokens) {
        const std::size_t at = record.find(TokenSeparator);
        if (at == std::string::npos) {
            // A record short of separators has no key kind at all.
            complete = false;
            break;
        }
        token = record.substr(0, at);
        record.erase(0, at + TokenSeparator.size());
    }
    if (complete)
        keyKindText = record;
    TFieldType field;
    field.Name = tokens[0];
    field.Description = tokens[1];
    field.TypeName = tokens[2];
    field.RefTable = tokens[3];
    field.RefField = tokens[4];
    // Only the low eight bits are kept, as an 8-bit key kind holds them.
    field.KeyKind = static_cast<std::uint8_t>(static_cast<unsigned>(StrToInt(keyKindText)) & 0xFFu);
    return field;
}

std::string composeFieldRecord(const TFieldType& field)
{
    return field.Name + TokenSeparator + field.Description + TokenSeparator + field.TypeName +
           TokenSeparator + field.RefTable + TokenSeparator + field.RefField + TokenSeparator +
           std::to_string(static_cast<unsigned>(field.KeyKind));
}

} // namespace

void ParseTableDefinition(const std::string& formula, TTableRec& table)
{
    std::string rest = StripQuotes(formula);
    table.Name = takeItem(rest, ItemSeparator);
    table.Description = takeItem(rest, ItemSeparator);
    while (!rest.empty())
        table.Fields.push_back(parseFieldRecord(takeItem(rest, ItemSeparator)));
}

std::string ComposeTableDefinition(const std::string& name, const std::string& description,
                                   const std::vector<TFieldType>& fields)
{
    std::string definition = name + ItemSeparator + description;
    for (const TFieldType& field : fields)
        definition += ItemSeparator + composeFieldRecord(field);
    return StringLiteral(definition);
}

void ReadTableDefinition(const visio::Shape& shape, TTableRec& table)
{
    ParseTableDefinition(shape.CellsSRC(UserSection, 0, 0).FormulaU(), table);
}

void WriteTableDefinition(const visio::Shape& shape, const std::string& name,
                          const std::string& description, const std::vector<TFieldType>& fields)
{
    shape.CellsSRC(UserSection, 0, 0).SetFormulaU(ComposeTableDefinition(name, description, fields));
}
