#pragma once

// Writing a file under a name that was free: the file appears complete or not
// at all, and never in place of a file that exists.

#include <functional>
#include <string>

namespace excel {

// Writes "<folder>/<stem>N<extension>" for the first N from 1 whose file does
// not exist and returns its path. `fill` writes the content into the path it
// is given, a hidden temporary file in the same folder, and raises ExcelError
// with the reason when it cannot. The complete file is then linked under its
// name, which fails rather than replaces when another file took the name in
// the meantime (the next N is taken then). On any failure the temporary file
// is removed and ExcelError "Cannot write the workbook "<path>": <reason>"
// is raised.
std::string WriteNewNumberedFile(const std::string& folder, const std::string& stem, const std::string& extension,
                                 const std::function<void(const std::string& path)>& fill);

} // namespace excel
