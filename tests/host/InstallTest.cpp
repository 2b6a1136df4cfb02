// The program as `cmake --install` installs it, moved away from where it was
// installed and from the build: it runs command 2 and kalemar-dump with the
// stencils it carries, and with none when those are gone.

#include <gtest/gtest.h>

#include <filesystem>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunOptions;
using testsupport::RunProgram;
using testsupport::RunResult;

QJsonObject jsonOf(const RunResult& result)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
}

TEST(Install, TheInstalledProgramRunsFromWhereverItIsMoved)
{
    testsupport::TempDir folder;
    const fs::path prefix = folder.File("prefix");
    const RunResult install = RunProgram(KALEMAR_CMAKE_COMMAND, {"--install", KALEMAR_BINARY_DIR, "--prefix", prefix.string()});
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    for (const char* file : {"bin/kalemar", "bin/kalemar-dump", "share/kalemar/stencils/kalemar.vssx",
                             "share/kalemar/stencils/entity_m.vssx"})
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;

    // Moved elsewhere: nothing of the build or of the first prefix in sight.
    const fs::path moved = folder.File("elsewhere") / "opt";
    fs::create_directories(moved.parent_path());
    fs::rename(prefix, moved);
    const fs::path work = folder.File("work");
    fs::create_directories(work);
    const fs::path drawing = work / "order-process.vsdx";
    fs::copy_file(fs::path(KALEMAR_SOURCE_DIR) / "examples" / "order-process.vsdx", drawing);
    RunOptions options;
    options.environment["KALEMAR_STENCIL_PATH"] = std::nullopt;
    options.workingDirectory = work.string();

    const RunResult diagram = RunProgram((moved / "bin/kalemar").string(), {"--drawing", drawing.string(), "2"}, options);
    ASSERT_EQ(diagram.exitCode, 0) << diagram.err;
    EXPECT_EQ(diagram.out, (work / "Drawing1.vsdx").string() + "\n");

    const RunResult dump = RunProgram((moved / "bin/kalemar-dump").string(), {(work / "Drawing1.vsdx").string()}, options);
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    const QJsonArray shapes = jsonOf(dump).value("pages").toArray().at(0).toObject().value("shapes").toArray();
    EXPECT_EQ(shapes.size(), 9) << "five entities and four connectors";

    const RunResult stencil = RunProgram((moved / "bin/kalemar-dump").string(),
                                         {(moved / "share/kalemar/stencils/entity_m.vssx").string()}, options);
    ASSERT_EQ(stencil.exitCode, 0) << stencil.err;
    EXPECT_EQ(jsonOf(stencil).value("masters").toArray().at(0).toObject().value("nameU").toString(),
              QStringLiteral("Entity"));

    // Its own stencils are the ones it used: without them it finds none.
    fs::rename(moved / "share/kalemar/stencils", moved / "share/kalemar/elsewhere");
    const RunResult without = RunProgram((moved / "bin/kalemar").string(), {"--drawing", drawing.string(), "2"}, options);
    EXPECT_EQ(without.exitCode, 1);
    EXPECT_NE(without.err.find("entity_m"), std::string::npos) << without.err;
}

} // namespace
