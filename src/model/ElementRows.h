#pragma once

// Which property row of an element's shape holds which value. Rows 3 and 4 of
// an object and rows 4 and 6 of a procedure are read by the listing only or
// not at all.

namespace ObjectRow {
inline constexpr int Number = 0;
inline constexpr int Name = 1;
inline constexpr int Normative = 2;
inline constexpr int Sign = 3;
inline constexpr int Description = 5;
// "1" when the object is a copy of another object, whose number it carries.
inline constexpr int CopyFlag = 6;
} // namespace ObjectRow

namespace ProcedureRow {
// Also the name of the procedure's detail page.
inline constexpr int Number = 0;
inline constexpr int Performer = 1;
inline constexpr int Name = 2;
// A reference to a regulation clause or a program mode.
inline constexpr int Link = 3;
inline constexpr int Description = 5;
} // namespace ProcedureRow

namespace StampRow {
// "?" when the stamp is put on a detail page.
inline constexpr int Mark = 0;
// The name of the procedure that the page details.
inline constexpr int ProcedureName = 1;
} // namespace StampRow
