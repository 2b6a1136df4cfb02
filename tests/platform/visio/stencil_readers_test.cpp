// Our packages as a reader nobody here wrote sees them: libvisio's command-line
// tools render every master of a stencil and every page of a drawing as SVG.
// The tests are skipped where the tools are not installed.

#include <gtest/gtest.h>

#include <zip.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "platform/visio/builtin/BuiltinPackages.h"

namespace {

namespace fs = std::filesystem;

bool toolInstalled(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

struct RunResult {
    int exitCode = -1;
    std::string output;
};

RunResult run(const std::string& command)
{
    RunResult result;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// libvisio's XHTML holds one svg:svg element per rendered master or page.
std::size_t svgCount(const std::string& xhtml)
{
    std::size_t count = 0;
    for (auto at = xhtml.find("<svg:svg"); at != std::string::npos; at = xhtml.find("<svg:svg", at + 1))
        ++count;
    return count;
}

// Zips a built-in part list as a package file, parts in list order.
void writePackage(const visio::builtin::PartList& parts, const fs::path& path)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << "cannot create " << path;
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        ASSERT_NE(source, nullptr);
        ASSERT_GE(zip_file_add(archive, name.c_str() + 1, source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

class ReadByLibvisio : public testing::Test {
protected:
    void SetUp() override
    {
        if (!toolInstalled("vss2xhtml") || !toolInstalled("vsd2xhtml"))
            GTEST_SKIP() << "libvisio tools (vss2xhtml, vsd2xhtml) are not installed";
        std::random_device random;
        scratch_ = fs::temp_directory_path() / ("kalemar-stencil-" + std::to_string(random()));
        fs::create_directories(scratch_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        if (!scratch_.empty())
            fs::remove_all(scratch_, ignored);
    }

    static RunResult render(const std::string& tool, const fs::path& file)
    {
        return run(tool + " '" + file.string() + "'");
    }

    fs::path scratch_;
};

TEST_F(ReadByLibvisio, RendersEveryMasterOfTheBundledStencils)
{
    const struct {
        const char* file;
        std::size_t masters;
    } stencils[] = {{"kalemar.vssx", 5}, {"entity_m.vssx", 1}};
    for (const auto& stencil : stencils) {
        SCOPED_TRACE(stencil.file);
        const fs::path path = fs::path(KALEMAR_STENCIL_DIR) / stencil.file;
        ASSERT_TRUE(fs::exists(path));
        const RunResult result = render("vss2xhtml", path);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(svgCount(result.output), stencil.masters);
    }
}

TEST_F(ReadByLibvisio, RendersTheConnectorStencil)
{
    const fs::path path = scratch_ / "connector.vssx";
    writePackage(visio::builtin::connectorStencilParts(), path);
    const RunResult result = render("vss2xhtml", path);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(svgCount(result.output), 1u);
}

TEST_F(ReadByLibvisio, RendersTheBlankDrawingAsOneEmptyA4Page)
{
    const fs::path path = scratch_ / "blank.vsdx";
    writePackage(visio::builtin::blankDrawingParts(), path);
    const RunResult result = render("vsd2xhtml", path);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(svgCount(result.output), 1u);
    // 210 mm x 297 mm, as libvisio states the page size in inches.
    EXPECT_NE(result.output.find("width=\"8.2677in\" height=\"11.6929in\""), std::string::npos);
}

} // namespace
