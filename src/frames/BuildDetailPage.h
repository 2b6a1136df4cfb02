#pragma once

// Command 11: the detail frame selected on a page becomes a link to a new
// detail page of the procedure that it frames.

#include <string>

#include "frames/LengthToMm.h"
#include "platform/visio/Visio.h"

// The command on VisioApp. The frame is the first shape of the active window's
// selection (VisioError when nothing is selected). The first procedure of the
// active page, in shape order, whose box lies within the frame's box is the
// one detailed; when there is none, the warning box "Warning" says so and
// nothing is changed. Otherwise a page is added to the active document (and
// shown), named after the procedure's number unless a page already has that
// name; the frame's double-click opens that page; and a stamp is dropped on it
// that carries "?" and the procedure's name. Errors end the command with
// whatever was changed before them left as it is.
void BuildDetailPage();

// The first shape of `page`, in shape order, that is a procedure lying within
// `frame`; the empty shape when there is none.
visio::Shape FindFramedProcedure(const visio::Page& page, const TShapeBox& frame);

// The double-click formula that opens the page named `pageName`:
// GOTOPAGE("name"), with the double quotes of the name doubled.
std::string GotoPageFormula(const std::string& pageName);

// The warning shown when no procedure lies within the frame.
inline const char* const NoFramedProcedureText = "   Процедура в пределах рамки детализации не найдена !   ";
