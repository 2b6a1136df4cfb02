// Numbering and table-collection benchmark drawings, and the collection timed.
//
//   bench_numbering numbering FILE [SHAPES] [COPIES] [PAGES]
//       draws page 1 with SHAPES objects (default 10,000) and COPIES copies of
//       them (default 1,000) spread over PAGES further pages (default 10)
//   bench_numbering tables FILE [TABLES]
//       draws TABLES objects (default 2,000), each defining a table of five
//       fields with a foreign key to the table before it
//   bench_numbering collect FILE
//       opens FILE and collects its tables, printing the time of the collection
//
// The numbering run itself is timed from outside (bench/run-numbering-bench.sh).

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "database/Unit_DBExport.h"
#include "model/TableDefinition.h"
#include "model/Utils.h"
#include "platform/visio/Visio.h"

namespace fs = std::filesystem;

namespace {

// A session with one new drawing whose result is renamed to `path`.
class NewDrawing {
public:
    explicit NewDrawing(const std::string& path)
        : target_(fs::absolute(path)), folder_(target_.parent_path() / ".bench-numbering") {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        visio::SessionOptions o;
        o.stencilFolders = visio::Application::DefaultStencilFolders();
        o.newDrawingFolder = folder_.string();
        app_ = std::make_unique<visio::Application>(o);
        object_ = app_->GetDocuments().Item("kalemar").GetMasters().ItemU("Object");
    }
    visio::Application& app() { return *app_; }
    const visio::Master& object() const { return object_; }
    void save() {
        std::vector<std::string> written = app_->SaveChangedDocuments();
        fs::rename(written.at(0), target_);
        app_.reset();
        fs::remove_all(folder_);
    }

private:
    fs::path target_, folder_;
    std::unique_ptr<visio::Application> app_;
    visio::Master object_;
};

std::string objectName(int i) { return "Объект " + std::to_string(i); }

// Objects in a grid of 100 columns; every shape is eligible for numbering.
int drawNumbering(const std::string& path, int shapes, int copies, int pages) {
    NewDrawing drawing(path);
    visio::Pages all = drawing.app().ActiveDocument().GetPages();
    visio::Page first = all.Item(1);
    for (int i = 0; i < shapes; ++i) {
        visio::Shape s = first.Drop(drawing.object(), 0.1 + (i % 100) * 0.08, 0.1 + (i / 100) * 0.11);
        WriteProperty(s, 1, objectName(i));
    }
    std::vector<visio::Page> others;
    for (int p = 0; p < pages; ++p)
        others.push_back(all.Add());
    for (int c = 0; c < copies; ++c) {
        visio::Page& page = others[static_cast<size_t>(c % pages)];
        int slot = c / pages;
        visio::Shape s = page.Drop(drawing.object(), 0.2 + (slot % 20) * 0.4, 0.2 + (slot / 20) * 0.3);
        WriteProperty(s, 1, objectName((c * 37) % shapes));
        WriteProperty(s, 6, "1");
    }
    drawing.save();
    return 0;
}

int drawTables(const std::string& path, int tables) {
    NewDrawing drawing(path);
    visio::Page page = drawing.app().ActivePage();
    for (int t = 0; t < tables; ++t) {
        visio::Shape s = page.Drop(drawing.object(), 0.1 + (t % 50) * 0.16, 0.1 + (t / 50) * 0.2);
        std::string name = "Table" + std::to_string(t);
        std::vector<TFieldType> fields = {
            {"Id", "Integer", "Код", 1, "", ""},
            {"Name", "VarChar", "Наименование", 0, "", ""},
            {"Created", "DateTime", "Создано", 0, "", ""},
            {"Amount", "Float", "Сумма", 0, "", ""},
        };
        if (t > 0)
            fields.push_back({"ParentId", "Integer", "Ссылка", 2, "Table" + std::to_string(t - 1), "Id"});
        WriteTableDefinition(s, name, "Таблица " + std::to_string(t), fields);
    }
    drawing.save();
    return 0;
}

int collect(const std::string& path) {
    visio::SessionOptions o;
    o.drawingPath = path;
    o.stencilFolders = visio::Application::DefaultStencilFolders();
    visio::Application app(o);
    auto start = std::chrono::steady_clock::now();
    TTableCollection tables = CollectTables(app);
    auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::cout << "collected " << tables.size() << " tables in " << ms << " ms\n";
    return 0;
}

int argOr(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::stoi(argv[index]) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_numbering numbering|tables|collect FILE [COUNTS]\n";
        return 2;
    }
    std::string mode = argv[1], file = argv[2];
    try {
        if (mode == "numbering")
            return drawNumbering(file, argOr(argc, argv, 3, 10000), argOr(argc, argv, 4, 1000),
                                 argOr(argc, argv, 5, 10));
        if (mode == "tables")
            return drawTables(file, argOr(argc, argv, 3, 2000));
        if (mode == "collect")
            return collect(file);
        std::cerr << "bench_numbering: unknown mode " << mode << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "bench_numbering: " << e.what() << "\n";
        return 1;
    }
}
