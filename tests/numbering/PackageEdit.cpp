#include "numbering/PackageEdit.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <sstream>
#include <stdexcept>
#include <vector>

namespace numberingtest {

namespace {

bool isPagePart(const std::string& name)
{
    const std::string folder = "visio/pages/page";
    return name.rfind(folder, 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0;
}

class Archive {
public:
    explicit Archive(const std::string& path)
    {
        int error = 0;
        zip_ = zip_open(path.c_str(), 0, &error);
        if (zip_ == nullptr)
            throw std::runtime_error("cannot open " + path + " as a ZIP archive");
    }
    ~Archive()
    {
        if (zip_ != nullptr)
            zip_discard(zip_);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    std::vector<std::string> PageParts() const
    {
        std::vector<std::string> parts;
        for (zip_int64_t i = 0; i < zip_get_num_entries(zip_, 0); ++i)
            if (const char* name = zip_get_name(zip_, static_cast<zip_uint64_t>(i), 0); isPagePart(name))
                parts.emplace_back(name);
        return parts;
    }

    std::string Read(const std::string& part) const
    {
        zip_stat_t stat;
        zip_file_t* file = nullptr;
        if (zip_stat(zip_, part.c_str(), 0, &stat) != 0 || (file = zip_fopen(zip_, part.c_str(), 0)) == nullptr)
            throw std::runtime_error("cannot read part " + part);
        std::string text(static_cast<std::size_t>(stat.size), '\0');
        const zip_int64_t read = zip_fread(file, text.data(), stat.size);
        zip_fclose(file);
        if (read != static_cast<zip_int64_t>(stat.size))
            throw std::runtime_error("short read of part " + part);
        return text;
    }

    void Replace(const std::string& part, const std::string& text)
    {
        // libzip copies the buffer only when the archive is closed: keep it alive.
        buffers_.push_back(text);
        const std::string& kept = buffers_.back();
        zip_source_t* source = zip_source_buffer(zip_, kept.data(), kept.size(), 0);
        if (source == nullptr || zip_file_add(zip_, part.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            throw std::runtime_error("cannot replace part " + part);
        }
    }

    void Close()
    {
        if (zip_close(zip_) != 0)
            throw std::runtime_error("cannot write the archive");
        zip_ = nullptr;
    }

private:
    zip_t* zip_ = nullptr;
    std::vector<std::string> buffers_;
};

pugi::xml_node topShapeNamed(pugi::xml_document& page, const std::string& name)
{
    for (pugi::xml_node shape : page.document_element().child("Shapes").children("Shape"))
        if (name == shape.attribute("Name").value() || name == shape.attribute("NameU").value())
            return shape;
    return {};
}

std::string partHolding(Archive& archive, const std::string& shapeName, pugi::xml_document& page)
{
    for (const std::string& part : archive.PageParts()) {
        const std::string text = archive.Read(part);
        if (!page.load_buffer(text.data(), text.size(), pugi::parse_full))
            continue;
        if (topShapeNamed(page, shapeName))
            return part;
    }
    return {};
}

pugi::xml_node ownPropertySection(pugi::xml_node shape)
{
    for (pugi::xml_node section : shape.children("Section"))
        if (std::string(section.attribute("N").value()) == "Property")
            return section;
    pugi::xml_node section = shape.child("Shapes") ? shape.insert_child_before("Section", shape.child("Shapes"))
                                                   : shape.append_child("Section");
    section.append_attribute("N") = "Property";
    return section;
}

} // namespace

void EditShape(const std::string& path, const std::string& shapeName, const std::function<void(pugi::xml_node)>& edit)
{
    Archive archive(path);
    pugi::xml_document page;
    const std::string part = partHolding(archive, shapeName, page);
    ASSERT_FALSE(part.empty()) << "no page of " << path << " has a shape " << shapeName;
    edit(topShapeNamed(page, shapeName));
    std::ostringstream text;
    page.save(text, "", pugi::format_raw);
    archive.Replace(part, text.str());
    archive.Close();
}

void BreakPageOf(const std::string& path, const std::string& shapeName)
{
    Archive archive(path);
    pugi::xml_document page;
    const std::string part = partHolding(archive, shapeName, page);
    ASSERT_FALSE(part.empty()) << "no page of " << path << " has a shape " << shapeName;
    archive.Replace(part, "<PageContents><Shapes><Shape ID='1'");
    archive.Close();
}

void Rename(pugi::xml_node shape, const std::string& name)
{
    for (const char* attribute : {"Name", "NameU"}) {
        pugi::xml_attribute a = shape.attribute(attribute) ? shape.attribute(attribute) : shape.append_attribute(attribute);
        a = name.c_str();
    }
}

void DeletePropertyRows(pugi::xml_node shape)
{
    pugi::xml_node section = ownPropertySection(shape);
    while (section.first_child())
        section.remove_child(section.first_child());
    section.append_attribute("Del") = "1";
}

void SetOwnPropertyRows(pugi::xml_node shape, const std::vector<OwnRow>& rows)
{
    pugi::xml_node section = ownPropertySection(shape);
    while (section.first_child())
        section.remove_child(section.first_child());
    for (const OwnRow& row : rows) {
        pugi::xml_node r = section.append_child("Row");
        r.append_attribute(row.byIndex ? "IX" : "N") = row.key.c_str();
        pugi::xml_node label = r.append_child("Cell");
        label.append_attribute("N") = "Label";
        label.append_attribute("V") = row.key.c_str();
        if (row.value == nullptr)
            continue;
        pugi::xml_node value = r.append_child("Cell");
        value.append_attribute("N") = "Value";
        value.append_attribute("V") = row.value;
        value.append_attribute("U") = "STR";
    }
}

void SetNoFormula(pugi::xml_node shape, const std::string& rowName)
{
    pugi::xml_node section = ownPropertySection(shape);
    pugi::xml_node row = section.find_child_by_attribute("Row", "N", rowName.c_str());
    if (!row) {
        row = section.append_child("Row");
        row.append_attribute("N") = rowName.c_str();
    }
    pugi::xml_node value = row.find_child_by_attribute("Cell", "N", "Value");
    if (!value) {
        value = row.append_child("Cell");
        value.append_attribute("N") = "Value";
    }
    value.remove_attribute("F");
    value.append_attribute("F") = "No Formula";
}

} // namespace numberingtest
