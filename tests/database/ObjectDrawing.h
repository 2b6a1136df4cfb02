#pragma once

// A drawing of the engine with element shapes dropped from the bundled kalemar
// stencil, made the session's drawing (VisioApp) while the test runs.

#include <gtest/gtest.h>

#include "host/Globals.h"
#include "model/TableDefinition.h"

namespace dbtest {

inline TFieldType Field(std::string name, std::string typeName, std::uint8_t keyKind,
                        std::string refTable = {}, std::string refField = {})
{
    return TFieldType{std::move(name), std::move(typeName), "", keyKind, std::move(refTable),
                      std::move(refField)};
}

class ObjectDrawing : public ::testing::Test {
protected:
    void SetUp() override { VisioApp = &app; }
    void TearDown() override { VisioApp = nullptr; }

    // Drops an instance of `master` on page `page` (1-based; added as needed).
    visio::Shape Drop(const std::string& master, int page = 1)
    {
        visio::Pages pages = app.ActiveDocument().GetPages();
        // A page added turns the window to it; the window stays on its page.
        const visio::Page shown = app.ActivePage();
        while (pages.Count() < page)
            pages.Add();
        app.ActiveWindow().SetPage(shown);
        const visio::Document stencil = app.GetDocuments().Item("kalemar.vss");
        x_ += 1;
        return pages.Item(page).Drop(stencil.GetMasters().ItemU(master), x_, 2);
    }

    // An instance of `master` carrying a table definition.
    visio::Shape Table(const std::string& master, const std::string& name,
                       const std::vector<TFieldType>& fields, int page = 1)
    {
        const visio::Shape shape = Drop(master, page);
        WriteTableDefinition(shape, name, "", fields);
        return shape;
    }

    visio::Application app{visio::SessionOptions{}};

private:
    double x_ = 0;
};

} // namespace dbtest
