#include <gtest/gtest.h>

#include <QString>

#include <filesystem>
#include <functional>

#include "support/TempDir.h"
#include "windows/Unit_Kart_Version.h"

namespace {

namespace fs = std::filesystem;

class VersionCache : public testing::Test {
protected:
    void TearDown() override { FreeAllVersionData(); }
};

TEST_F(VersionCache, GivesEachFileVersionWordByWord)
{
    const std::pair<std::string, std::string> cases[] = {
        {VERSION_FIXTURE_1_0_0_1, "1.0.0.1"},
        // Words above 9 in full, without fill.
        {VERSION_FIXTURE_2_10_0_305, "2.10.0.305"},
        {VERSION_FIXTURE_NONE, ""},
        {"/no/such/file", ""},
    };
    for (const auto& [file, text] : cases) {
        EXPECT_EQ(CachedVersionText(file), text) << file;
    }
}

std::string upper(const fs::path& path)
{
    return QString::fromStdString(path.string()).toUpper().toStdString();
}

std::string lower(const fs::path& path)
{
    return QString::fromStdString(path.string()).toLower().toStdString();
}

// One file whose content changes under the cache, asked for step by step.
TEST_F(VersionCache, ReadsAFileOnceAndFindsItInAnyLetterCase)
{
    testsupport::TempDir folder;
    const fs::path app = folder.CopyIn(VERSION_FIXTURE_1_0_0_1, "App.Bin");
    auto replaceWith = [&](const char* fixture) {
        fs::copy_file(fixture, app, fs::copy_options::overwrite_existing);
    };
    struct Step {
        const char* what;
        std::function<std::string()> ask;
        std::string answer;
    };
    const Step steps[] = {
        {"a file not in the cache has no version text", [&] { return FileVersionText(app.string()); }, ""},
        {"the first question reads the file", [&] { return CachedVersionText(app.string()); }, "1.0.0.1"},
        {"the second does not read it again",
         [&] {
             replaceWith(VERSION_FIXTURE_2_10_0_305);
             return CachedVersionText(app.string());
         },
         "1.0.0.1"},
        {"another letter case finds the same entry", [&] { return CachedVersionText(upper(app)); }, "1.0.0.1"},
        {"loading again replaces the entry",
         [&] {
             LoadVersionData(app.string());
             return FileVersionText(upper(app));
         },
         "2.10.0.305"},
        {"freeing in another case drops it, and there was one entry only",
         [&] {
             FreeVersionData(lower(app));
             return FileVersionText(app.string());
         },
         ""},
        {"a file without a record is read once too",
         [&] {
             CachedVersionText(VERSION_FIXTURE_NONE);
             return CachedVersionText(VERSION_FIXTURE_NONE);
         },
         ""},
        {"freeing everything empties the cache",
         [&] {
             CachedVersionText(app.string());
             FreeAllVersionData();
             replaceWith(VERSION_FIXTURE_1_0_0_1);
             const std::string afterFreeing = FileVersionText(app.string());
             return afterFreeing + "|" + CachedVersionText(app.string());
         },
         "|1.0.0.1"},
        {"freeing a file not in the cache does nothing",
         [&] {
             FreeVersionData("/no/such/file");
             return FileVersionText(app.string());
         },
         "1.0.0.1"},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.ask(), step.answer) << step.what;
    }
}

TEST_F(VersionCache, AnExecutableWithoutRecordGivesTheBareCaption)
{
    // This test program carries no version record.
    EXPECT_EQ(AppVersionText(), "");
    EXPECT_EQ(VersionCaption(), "Версия ");
}

} // namespace
