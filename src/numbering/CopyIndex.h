#pragma once

// The copies of a document's objects, read in one walk over every page and kept
// by name and number, so that carrying a new number to the copies of one object
// costs no walk of its own.

#include <cstddef>
#include <exception>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/visio/Visio.h"

class CopyIndex {
public:
    // An index of the copies in the active document of `application`; nothing
    // is read before the first RenumberCopies.
    explicit CopyIndex(visio::Application& application);

    // Writes `newValue` into property row 0 of every copy (an object whose copy
    // flag is exactly "1") whose raw rows 1 and 0 equal `objectName` and
    // `previousNumber`, in document order (pages by index, each page's shapes by
    // index); a copy so written holds the new number from then on. Fails where a
    // walk of the whole document making those writes would fail, with what was
    // written before that point kept.
    void RenumberCopies(const std::string& previousNumber, const std::string& objectName,
                        const std::string& newValue);

private:
    using Key = std::pair<std::string, std::string>; // raw row 1, raw row 0
    using Positions = std::set<std::size_t>;         // indexes into copies_, document order

    std::exception_ptr readDocument();
    void addIfCopy(const visio::Shape& shape);
    void renumber(const Key& source, const std::string& newValue);
    void writeCopy(std::size_t position, const std::string& objectName, const std::string& newValue);
    void failAtUnreadableNumber(std::size_t position) const;
    void forget();

    visio::Application& application_;
    bool complete_ = false;
    std::vector<visio::Shape> copies_;
    std::map<Key, Positions> byNameAndNumber_;
    // Per name, the first copy whose row 0 cannot be read: a walk for that name
    // stops there, because it reads row 0 only where row 1 matches.
    std::map<std::string, std::size_t> firstUnreadableNumber_;
};
