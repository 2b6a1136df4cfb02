// Engine benchmark: a drawing of many pages of shapes with property rows.
//
//   bench_engine generate FILE [PAGES] [SHAPES]   draws the drawing (default 20 x 5000)
//   bench_engine change FILE                      opens, changes one property value on
//                                                 every page, saves
//   bench_engine resave FILE                      opens and saves unchanged (a page
//                                                 name is rewritten as it was, so the
//                                                 package is written)
//
// Times and peak memory are taken from outside (bench/run-engine-bench.sh).

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/visio/Visio.h"

namespace fs = std::filesystem;

namespace {

visio::SessionOptions sessionFor(const std::string& path) {
    visio::SessionOptions o;
    o.drawingPath = path;
    o.stencilFolders = visio::Application::DefaultStencilFolders();
    o.newDrawingFolder = fs::absolute(path).parent_path().string();
    return o;
}

int generate(const std::string& path, int pages, int shapesPerPage) {
    fs::path target = fs::absolute(path);
    fs::path folder = target.parent_path() / ".bench-generate";
    fs::remove_all(folder);
    fs::create_directories(folder);
    visio::SessionOptions o;
    o.stencilFolders = visio::Application::DefaultStencilFolders();
    o.newDrawingFolder = folder.string();
    visio::Application app(o);
    visio::Master object = app.GetDocuments().Item("kalemar").GetMasters().ItemU("Object");
    visio::Pages all = app.ActiveDocument().GetPages();
    for (int p = 1; p <= pages; ++p) {
        visio::Page page = p == 1 ? all.Item(1) : all.Add();
        for (int i = 0; i < shapesPerPage; ++i) {
            visio::Shape s = page.Drop(object, 0.2 + (i % 70) * 0.11, 0.2 + (i / 70) * 0.15);
            s.CellsSRC(243, 1, 0).SetFormulaU("\"Объект " + std::to_string(i) + "\"");
            s.CellsSRC(243, 5, 0).SetFormulaU("\"Описание объекта " + std::to_string(i) + "\"");
        }
    }
    std::vector<std::string> written = app.SaveChangedDocuments();
    fs::rename(written.at(0), target);
    fs::remove_all(folder);
    return 0;
}

int change(const std::string& path) {
    visio::Application app(sessionFor(path));
    visio::Pages pages = app.ActiveDocument().GetPages();
    for (int p = 1; p <= pages.Count(); ++p) {
        visio::Shapes shapes = pages.Item(p).GetShapes();
        shapes.Item(shapes.Count() / 2 + 1).CellsSRC(243, 0, 0).SetFormulaU("\"1." + std::to_string(p) + "\"");
    }
    app.SaveChangedDocuments();
    return 0;
}

int resave(const std::string& path) {
    visio::Application app(sessionFor(path));
    visio::Page first = app.ActiveDocument().GetPages().Item(1);
    first.SetName(first.Name());
    app.SaveChangedDocuments();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bench_engine generate|change|resave FILE [PAGES SHAPES]\n";
        return 2;
    }
    std::string mode = argv[1], file = argv[2];
    try {
        auto start = std::chrono::steady_clock::now();
        int rc = mode == "generate" ? generate(file, argc > 3 ? std::stoi(argv[3]) : 20, argc > 4 ? std::stoi(argv[4]) : 5000)
                 : mode == "change" ? change(file)
                 : mode == "resave" ? resave(file)
                                    : 2;
        auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::cerr << mode << ": " << ms << " ms\n";
        return rc;
    } catch (const std::exception& e) {
        std::cerr << "bench_engine: " << e.what() << "\n";
        return 1;
    }
}
