// Commands 5 and 6 run by the built executable with scripted steps on copies
// of the example drawing, and what they leave behind read by other means:
// kalemar-dump for the rows, libvisio's vsd2xhtml for what a reader draws,
// the package's parts for what else changed, the settings file for where the
// field dialog was left.

#include <gtest/gtest.h>
#include <zip.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPoint>
#include <QSettings>

#include <filesystem>
#include <map>

#include "editors/EditorSession.h"
#include "support/Files.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunProgram;
using testsupport::RunResult;

// Every part of a package by name, as stored bytes.
std::map<std::string, std::string> partsOf(const fs::path& path)
{
    std::map<std::string, std::string> parts;
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return parts;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string bytes(static_cast<std::size_t>(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file == nullptr || zip_fread(file, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            ADD_FAILURE() << "cannot read " << stat.name;
        if (file != nullptr)
            zip_fclose(file);
        parts[stat.name] = bytes;
    }
    zip_discard(archive);
    return parts;
}

// The names of the parts that differ between two packages with the same parts.
std::vector<std::string> changedParts(const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after)
{
    std::vector<std::string> changed;
    EXPECT_EQ(before.size(), after.size());
    for (const auto& [name, bytes] : before) {
        auto now = after.find(name);
        if (now == after.end() || now->second != bytes)
            changed.push_back(name);
    }
    return changed;
}

class EditorCommands : public testing::Test {
protected:
    testsupport::TempDir folder;
    testsupport::TempDir settings;
    fs::path drawing = folder.CopyIn(editortest::ExamplePath(), "order.vsdx");

    RunResult kalemar(const std::vector<std::string>& args)
    {
        // With a settings folder of the test's own.
        testsupport::RunOptions options = testsupport::HeadlessRunOptions(folder.Path().string());
        options.environment["XDG_CONFIG_HOME"] = settings.Path().string();
        return RunProgram(testsupport::KalemarExecutable(), args, options);
    }

    // "page/shape" -> the shape's dump: its property rows and user row 0.
    QJsonObject dumped(const std::string& page, const std::string& shape)
    {
        const RunResult dump = RunProgram(testsupport::KalemarDumpExecutable(), {drawing.string()});
        EXPECT_EQ(dump.exitCode, 0) << dump.err;
        const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object();
        for (const QJsonValue& p : root.value("pages").toArray())
            if (p.toObject().value("name").toString().toStdString() == page)
                for (const QJsonValue& s : p.toObject().value("shapes").toArray())
                    if (s.toObject().value("name").toString().toStdString() == shape)
                        return s.toObject();
        ADD_FAILURE() << "no shape " << page << "/" << shape;
        return {};
    }

    std::vector<std::string> rowsOf(const QJsonObject& shape)
    {
        std::vector<std::string> rows;
        for (const QJsonValue& row : shape.value("properties").toArray())
            rows.push_back(row.toString().toStdString());
        return rows;
    }

    // Each text is in what libvisio draws of the saved drawing.
    void expectDrawn(std::initializer_list<const char*> texts)
    {
        if (RunProgram("/bin/sh", {"-c", "command -v vsd2xhtml"}).exitCode != 0)
            GTEST_SKIP() << "libvisio tools are not installed";
        const RunResult run = RunProgram("/usr/bin/env", {"vsd2xhtml", drawing.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        for (const char* text : texts)
            EXPECT_NE(run.out.find(text), std::string::npos) << text;
    }
};

// The object is selected by the text it shows. Every box changes, a field is
// added, one edited, one deleted; only the page part of the object changes,
// and a reader of the file draws the new number and name.
TEST_F(EditorCommands, ObjectEditorWritesEveryRowAndTheTable)
{
    const auto before = partsOf(drawing);
    const RunResult run = kalemar(
        {"--drawing", drawing.string(), "--select", "Заказ",
         "--set", "edtNUMBER=О-2", "--set", "edtNAIM=Заказ клиента", "--set", "edtNORM=Регламент продаж",
         "--set", "edtDESC_POLE=Заказ\nс позициями", "--tick", "cbCOPY",
         "--choose", "RzPageControl1=1", "--set", "edtTABLE=ClientOrders", "--set", "edtDESC=Заказы клиентов",
         "--press", "RzBitBtn1", "--set", "edtNAME=Total", "--choose", "cbTYPE=@Float", "--press", "RzBitBtn1",
         "--choose", "tvFields=@OrderDate", "--press", "RzBitBtn2", "--set", "edtDESC=Когда принят",
         "--choose", "cbTYPE=@DateTime", "--press", "RzBitBtn1",
         "--choose", "tvFields=@Note", "--press", "RzBitBtn3", "--answer", "Yes",
         "--print", "tvFields", "--press", "btnSAVE", "5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "tvFields=\t\tId\tInteger\tНомер заказа\n"
                       "tvFields=\t\tCustomerId\tInteger\tКлиент\n"
                       "tvFields=\t\tOrderDate\tDateTime\tКогда принят\n"
                       "tvFields=\t\tTotal\tFloat\t\n" +
                           drawing.string() + "\n");
    EXPECT_EQ(run.err, "Сообщение:    Желаете удалить поле ?   \n");

    const QJsonObject order = dumped("Приём заказа", "Object.2");
    EXPECT_EQ(rowsOf(order), (std::vector<std::string>{"\"О-2\"", "\"Заказ клиента\"", "\"Регламент продаж\"", "\"\"",
                                                       "\"\"", "\"Заказ\nс позициями\"", "\"1\""}));
    EXPECT_EQ(order.value("user0").toString().toStdString(),
              "\"ClientOrders|||Заказы клиентов|||Id***Номер заказа***Integer*********1"
              "|||CustomerId***Клиент***Integer***Customers***Id***2"
              "|||OrderDate***Когда принят***DateTime*********0|||Total******Float*********0\"");

    EXPECT_EQ(changedParts(before, partsOf(drawing)), std::vector<std::string>{"visio/pages/page1.xml"});
    expectDrawn({"О-2", "Заказ клиента"});
}

TEST_F(EditorCommands, ProcedureEditorWritesTheFiveRows)
{
    const auto before = partsOf(drawing);
    const RunResult run = kalemar({"--drawing", drawing.string(), "--page", "Отгрузка", "--select", "Отгрузить Водитель-экспедитор",
                                   "--print", "edtISP", "--set", "edtNUMBER=2.2", "--set", "edtISP=Экспедитор",
                                   "--set", "edtNAIM=Доставить заказ", "--set", "edtDESC=Доставить\nи получить подпись",
                                   "--set", "edtLINK=Правила отгрузки, п. 2", "--press", "btnSAVE", "6"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "edtISP=Водитель-экспедитор\n" + drawing.string() + "\n");
    EXPECT_EQ(rowsOf(dumped("Отгрузка", "Process.4")),
              (std::vector<std::string>{"\"2.2\"", "\"Экспедитор\"", "\"Доставить заказ\"", "\"Правила отгрузки, п. 2\"",
                                        "\"\"", "\"Доставить\nи получить подпись\"", "\"\""}));
    // The window state parts record the page the run turned to.
    EXPECT_EQ(changedParts(before, partsOf(drawing)),
              (std::vector<std::string>{"visio/document.xml", "visio/pages/page2.xml", "visio/windows.xml"}));
    expectDrawn({"2.2", "Доставить заказ", "Экспедитор"});
}

// Numbers given by command 7 show in the shapes as a reader draws them.
TEST_F(EditorCommands, NumbersGivenByNumberingShowInTheShapes)
{
    const auto before = partsOf(drawing);
    const RunResult run = kalemar({"--drawing", drawing.string(), "--page", "1", "--set", "tbCONST=О-",
                                   "--press", "btnSAVE", "--press", "btnClose", "7"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The copy of the order on the second page takes its number too.
    EXPECT_EQ(changedParts(before, partsOf(drawing)),
              (std::vector<std::string>{"visio/pages/page1.xml", "visio/pages/page2.xml"}));
    expectDrawn({"О-1", "О-5"});
}

TEST_F(EditorCommands, NothingSelectedEndsTheRunWithTheReportAndSavesNothing)
{
    const std::string before = testsupport::FileBytes(drawing);
    for (const char* command : {"5", "6"}) {
        SCOPED_TRACE(command);
        const RunResult run = kalemar({"--drawing", drawing.string(), command});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("Application Error: Exception"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("The shape reference holds no shape (nothing was selected)."), std::string::npos)
            << run.err;
        EXPECT_EQ(run.err.find("waits for a person"), std::string::npos) << "no window was shown";
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(testsupport::FileBytes(drawing), before);
    }
}

// The save stops at the missing row with the drawing's message; the window
// stays open, is closed by the next step, and what was written before the
// failing row is saved at the normal end of the run.
TEST_F(EditorCommands, AMissingRowOnSaveKeepsTheRowsWrittenBeforeIt)
{
    drawing = editortest::ExampleWithoutCopyFlagRow(folder);
    const std::string definitionBefore = dumped("Приём заказа", "Object.2").value("user0").toString().toStdString();
    const RunResult run = kalemar({"--drawing", drawing.string(), "--select", "Object.2", "--set", "edtNUMBER=О-2",
                                   "--set", "edtNAIM=Заказ клиента", "--choose", "RzPageControl1=1",
                                   "--set", "edtTABLE=Other", "--press", "btnSAVE", "--print", "edtNAIM",
                                   "--press", "btnClose", "5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "kalemar: Shape 'Object.2' has no property row 6\n");
    EXPECT_EQ(run.out, "edtNAIM=Заказ клиента\n" + drawing.string() + "\n");
    const QJsonObject order = dumped("Приём заказа", "Object.2");
    EXPECT_EQ(rowsOf(order), (std::vector<std::string>{"\"О-2\"", "\"Заказ клиента\"", "\"Положение о продажах\"", "\"\"",
                                                       "\"\"", "\"Заказ клиента\nс перечнем товаров\""}));
    EXPECT_EQ(order.value("user0").toString().toStdString(), definitionBefore);
}

// Where the field dialog was left is kept for the next run, under the
// organisation Zef; a place on no screen is not used.
TEST_F(EditorCommands, FieldDialogOpensNextRunWhereItWasLeft)
{
    const std::vector<std::string> openDialog = {"--drawing", drawing.string(), "--select", "Object.2",
                                                 "--choose", "RzPageControl1=1", "--press", "RzBitBtn1",
                                                 "--press", "RzBitBtn2", "--press", "btnClose", "5"};
    const fs::path file = settings.Path() / "Zef" / "Forms.conf";
    ASSERT_EQ(kalemar(openDialog).exitCode, 0);
    ASSERT_TRUE(fs::exists(file));
    QSettings stored(QString::fromStdString(file.string()), QSettings::IniFormat);
    const QPoint centred(stored.value("TForm2/Left").toInt(), stored.value("TForm2/Top").toInt());

    struct Case {
        QPoint stored;
        QPoint leftAt;
    } cases[] = {{QPoint(12, 34), QPoint(12, 34)}, {QPoint(-4000, 9000), centred}};
    for (const Case& c : cases) {
        {
            QSettings edit(QString::fromStdString(file.string()), QSettings::IniFormat);
            edit.setValue("TForm2/Left", c.stored.x());
            edit.setValue("TForm2/Top", c.stored.y());
        }
        const RunResult run = kalemar(openDialog);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        QSettings after(QString::fromStdString(file.string()), QSettings::IniFormat);
        EXPECT_EQ(QPoint(after.value("TForm2/Left").toInt(), after.value("TForm2/Top").toInt()), c.leftAt)
            << "stored " << c.stored.x() << "," << c.stored.y();
    }
}

} // namespace
