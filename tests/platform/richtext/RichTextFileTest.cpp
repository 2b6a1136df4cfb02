#include <gtest/gtest.h>

#include <QBuffer>
#include <QTextDocument>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/richtext/RichTextFile.h"
#include "platform/richtext/RtfReader.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace richtext {
namespace {

namespace fs = std::filesystem;

TEST(PlainText, IsUtf8WhenValidAndWindows1251Otherwise)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"UTF-8", "Привет, мир", QStringLiteral("Привет, мир")},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBFЁж", QStringLiteral("Ёж")},
        {"Windows-1251", "\xcf\xf0\xe8\xe2\xe5\xf2", QStringLiteral("Привет")},
        {"1251 that starts like UTF-8", "\xd0\xee\xe7\xe0", QStringLiteral("Роза")},
        {"UTF-16 little-endian", QByteArray("\xFF\xFE\x1F\x04\x40\x04", 6), QStringLiteral("Пр")},
        {"UTF-16 big-endian", QByteArray("\xFE\xFF\x04\x1F\x04\x40", 6), QStringLiteral("Пр")},
        {"Windows line ends", "a\r\nb\rc\n", QStringLiteral("a\nb\nc\n")},
        {"ASCII", "plain", QStringLiteral("plain")},
        {"nothing", "", QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodePlainText(c.bytes), c.text) << c.what;
    }
}

TEST(PlainText, EveryLineIsAParagraphAndRtfIsRich)
{
    const RichDocument plain = ReadRichTextBytes("first\r\n\r\n{\\b not rtf}\r\n");
    ASSERT_EQ(plain.paragraphs.size(), 4u);
    EXPECT_EQ(plain.PlainText(), QStringLiteral("first\n\n{\\b not rtf}\n"));
    EXPECT_EQ(plain.paragraphs[2].runs[0].format, TextFormat());

    const RichDocument rich = ReadRichTextBytes("{\\rtf1 {\\b bold}}");
    ASSERT_EQ(rich.paragraphs[0].runs.size(), 1u);
    EXPECT_TRUE(rich.paragraphs[0].runs[0].format.bold);
}

// A device that gives up after `limit` bytes, as a failing disk or a broken
// network share does.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QByteArray content, qint64 limit) : content_(std::move(content)), limit_(limit) {}

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (position_ >= limit_) {
            return -1;
        }
        const qint64 count = std::min({maxSize, limit_ - position_, content_.size() - position_});
        std::copy_n(content_.constData() + position_, count, data);
        position_ += count;
        return count;
    }

    qint64 writeData(const char*, qint64 size) override
    {
        const qint64 count = std::min(size, limit_ - position_);
        position_ += count;
        return count > 0 ? count : -1;
    }

private:
    QByteArray content_;
    qint64 limit_;
    qint64 position_ = 0;
};

TEST(RichTextFile, AFailingDeviceGivesTheStreamMessages)
{
    FailingDevice reader(QByteArray(200000, 'x'), 100000);
    reader.open(QIODevice::ReadOnly);
    try {
        ReadAllFrom(reader);
        FAIL() << "no error";
    } catch (const RichTextError& error) {
        EXPECT_STREQ(error.what(), "Failed to Load Stream");
    }

    FailingDevice writer(QByteArray(), 10);
    writer.open(QIODevice::WriteOnly);
    try {
        WriteAllTo(writer, QByteArray(100, 'x'));
        FAIL() << "no error";
    } catch (const RichTextError& error) {
        EXPECT_STREQ(error.what(), "Failed to Save Stream");
    }

    QBuffer whole;
    whole.setData(QByteArray(150000, 'y'));
    whole.open(QIODevice::ReadOnly);
    EXPECT_EQ(ReadAllFrom(whole).size(), 150000);
}

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RichTextError& error) {
        return error.what();
    }
    return "no error";
}

TEST(RichTextFile, LoadsAFileAndLeavesThePaneAloneWhenItCannot)
{
    testsupport::TempDir folder;
    testsupport::WriteFileBytes(folder.File("notes.TXT"), "Первая строка\nвторая");
    QTextDocument pane;
    LoadRichTextFile(pane, folder.File("notes.TXT").string());
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("Первая строка\nвторая"));

    const std::string missing = folder.File("missing.rtf").string();
    EXPECT_EQ(errorOf([&] { LoadRichTextFile(pane, missing); }), "Cannot open file " + missing);
    EXPECT_EQ(errorOf([&] { LoadRichTextFile(pane, folder.Path().string()); }), "Cannot open file " + folder.Path().string());
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("Первая строка\nвторая"));
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RichTextFile, SavingReplacesTheFileWithRtfWhateverItsName)
{
    testsupport::TempDir folder;
    const fs::path target = folder.File("notes.TXT");
    testsupport::WriteFileBytes(target, "old content");
    QTextDocument pane;
    pane.setPlainText(QStringLiteral("Новый текст"));
    SaveRichTextFile(pane, target.string());

    const std::string saved = testsupport::FileBytes(target);
    EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u) << saved;
    EXPECT_EQ(ReadRtf(QByteArray::fromStdString(saved)).PlainText(), QStringLiteral("Новый текст"));
    EXPECT_EQ(namesIn(folder.Path()), std::vector<std::string>{"notes.TXT"});

    const std::string nowhere = folder.File("no-such-folder/x.rtf").string();
    EXPECT_EQ(errorOf([&] { SaveRichTextFile(pane, nowhere); }), "Cannot create file " + nowhere);
}

[[noreturn]] void saveWithSmallFileLimit(const QTextDocument& pane, const fs::path& target)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::cerr << errorOf([&] { SaveRichTextFile(pane, target.string()); }) << std::endl;
    std::_Exit(0);
}

// The save runs in a child process whose files may not grow past 1 KiB, so
// that writing fails half-way through, as on a full disk.
TEST(RichTextFileDeathTest, ASaveThatFailsHalfWayKeepsTheOldFile)
{
    testsupport::TempDir folder;
    const fs::path target = folder.File("keep.rtf");
    testsupport::WriteFileBytes(target, "what the file held");
    QTextDocument pane;
    pane.setPlainText(QString(20000, QLatin1Char('x')));

    EXPECT_EXIT(saveWithSmallFileLimit(pane, target), testing::ExitedWithCode(0), "^Failed to Save Stream\n$");
    EXPECT_EQ(testsupport::FileBytes(target), "what the file held");
    EXPECT_EQ(namesIn(folder.Path()), std::vector<std::string>{"keep.rtf"});
}

} // namespace
} // namespace richtext
