#pragma once

// The numbering pass written out plainly, step by step as the numbering rules
// describe it: every eligible shape compared with every other, positions read
// afresh for each comparison, and the whole document walked for every numbered
// object. Slow on purpose; the product's pass must leave exactly what it leaves.

#include <cstdint>
#include <string>

#include "platform/visio/Visio.h"

namespace numberingtest {

void ReferenceNumberElements(visio::Application& app, std::uint8_t mode, const std::string& fixedPart);

void ReferenceRenumberCopies(visio::Application& app, const std::string& previousNumber,
                             const std::string& objectName, const std::string& newValue);

} // namespace numberingtest
