#pragma once

// Small helpers for the engine's tests: scratch folders, sessions, and running
// the libvisio command-line readers on our files.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "platform/visio/Visio.h"

namespace enginetest {

namespace fs = std::filesystem;

// A folder that exists for one test and is removed with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("kalemar-test-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline std::string samplePath(const std::string& name) { return std::string(KALEMAR_SAMPLES_DIR) + "/" + name; }

inline std::vector<std::string> stencilFolders() { return {KALEMAR_STENCIL_DIR}; }

// A session on a copy of `source` in `dir` (the sample files stay untouched).
inline std::unique_ptr<visio::Application> openCopy(const std::string& source, const ScratchDir& dir,
                                                    std::string* copyPath = nullptr) {
    std::string target = dir.file(fs::path(source).filename().string());
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    if (copyPath)
        *copyPath = target;
    visio::SessionOptions options;
    options.drawingPath = target;
    options.stencilFolders = stencilFolders();
    return std::make_unique<visio::Application>(options);
}

// A session on a new blank drawing whose files are saved into `dir`.
inline std::unique_ptr<visio::Application> openBlank(const ScratchDir& dir) {
    visio::SessionOptions options;
    options.stencilFolders = stencilFolders();
    options.newDrawingFolder = dir.path().string();
    return std::make_unique<visio::Application>(options);
}

// A new blank drawing with the bundled stencil open, for tests that drop its
// masters onto the active page.
class StencilPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = openBlank(dir);
        kalemar = app->GetDocuments().Item("kalemar.vss");
        page = app->ActivePage();
    }
    visio::Shape drop(const std::string& master, double x = 1, double y = 1) {
        return page.Drop(kalemar.GetMasters().ItemU(master), x, y);
    }
    ScratchDir dir;
    std::unique_ptr<visio::Application> app;
    visio::Document kalemar;
    visio::Page page;
};

struct CommandResult {
    int status = -1;
    std::string output;
};

// Runs a shell command and captures its standard output.
inline CommandResult run(const std::string& command) {
    CommandResult r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        r.output.append(buf, n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

inline bool haveTool(const std::string& tool) { return run("command -v " + tool + " >/dev/null 2>&1").status == 0; }

inline std::string shellQuote(const std::string& path) { return "'" + path + "'"; }

} // namespace enginetest
