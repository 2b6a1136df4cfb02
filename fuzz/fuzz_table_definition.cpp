// Reads arbitrary text as a table definition, and checks that a definition
// composed from values within the format's limits reads back unchanged.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "model/TableDefinition.h"
#include "model/Utils.h"

namespace {

bool holds(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

bool endsWith(const std::string& text, char c)
{
    return !text.empty() && text.back() == c;
}

// Separators are not escaped, so a value comes back only if it holds none and
// does not end with the character of the separator that follows it.
bool withinLimits(const std::string& name, const std::string& description,
                  const std::vector<TFieldType>& fields)
{
    if (holds(name, "|||") || endsWith(name, '|') || holds(description, "|||"))
        return false;
    if (!fields.empty() && endsWith(description, '|'))
        return false;
    for (const TFieldType& field : fields)
        for (const std::string* token : {&field.Name, &field.Description, &field.TypeName,
                                         &field.RefTable, &field.RefField})
            if (holds(*token, "|||") || holds(*token, "***") || endsWith(*token, '*'))
                return false;
    return true;
}

void requireRoundTrip(const std::string& name, const std::string& description,
                      const std::vector<TFieldType>& fields)
{
    if (!withinLimits(name, description, fields))
        return;
    const std::string formula = ComposeTableDefinition(name, description, fields);
    TTableRec table;
    ParseTableDefinition(formula, table);
    if (table.Name != name || table.Description != description || table.Fields != fields) {
        std::fprintf(stderr, "round trip changed the definition %s\n", formula.c_str());
        std::abort();
    }
}

TFieldType consumeField(FuzzedDataProvider& provider)
{
    TFieldType field;
    field.Name = provider.ConsumeRandomLengthString(24);
    field.Description = provider.ConsumeRandomLengthString(48);
    field.TypeName = provider.ConsumeRandomLengthString(12);
    field.RefTable = provider.ConsumeRandomLengthString(24);
    field.RefField = provider.ConsumeRandomLengthString(24);
    field.KeyKind = provider.ConsumeIntegral<std::uint8_t>();
    return field;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TTableRec read;
    try {
        ParseTableDefinition(text, read);
        // What was read, written again, reads the same when it keeps to the limits.
        requireRoundTrip(read.Name, read.Description, read.Fields);
    } catch (const EConvertError&) {
    }

    FuzzedDataProvider provider(data, size);
    const std::string name = provider.ConsumeRandomLengthString(32);
    const std::string description = provider.ConsumeRandomLengthString(64);
    std::vector<TFieldType> fields(provider.ConsumeIntegralInRange<std::size_t>(0, 6));
    for (TFieldType& field : fields)
        field = consumeField(provider);
    requireRoundTrip(name, description, fields);
    return 0;
}
