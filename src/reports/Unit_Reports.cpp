#include "reports/Unit_Reports.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

#include "host/Globals.h"
#include "model/Utils.h"
#include "platform/ui/GuiApplication.h"
#include "platform/ui/Handler.h"
#include "platform/ui/ModalWindow.h"
#include "platform/ui/RadioGroup.h"

namespace {

constexpr int AllPages = 0;
constexpr int ActivePageOnly = 1;
constexpr int HeaderRow = 1;

// The headers of the columns, by element kind; objects have no header over
// column 4 although it is filled.
const char* const ObjectHeaders[] = {"Номер объекта", "Наименование объекта", "Номер нормативного документа"};
const char* const ProcedureHeaders[] = {"Номер процедуры", "Исполнитель", "Наименование",
                                        "Ссылка на пункт регламента или режим Мерадон", "Описание процедуры"};

// The property rows listed, by element kind, in column order.
const int ObjectRows[] = {0, 1, 2, 3};
const int ProcedureRows[] = {0, 1, 2, 3, 5};

visio::Application& session()
{
    if (VisioApp == nullptr)
        throw visio::VisioError("There is no drawing session to list");
    return *VisioApp;
}

template <std::size_t N>
void writeHeaders(excel::Application& excel, const char* const (&headers)[N])
{
    for (std::size_t column = 0; column < N; ++column)
        excel.Cells(HeaderRow, static_cast<int>(column) + 1, headers[column]);
}

void writeHeader(excel::Application& excel, int elementType)
{
    if (elementType == ElementKindObject)
        writeHeaders(excel, ObjectHeaders);
    else if (elementType == ElementKindProcedure)
        writeHeaders(excel, ProcedureHeaders);
}

template <std::size_t N>
void writeProperties(excel::Application& excel, const visio::Shape& shape, int row, const int (&rows)[N])
{
    for (std::size_t column = 0; column < N; ++column)
        excel.Cells(row, static_cast<int>(column) + 1, ReadProperty(shape, rows[column]));
}

// Lists the shapes of `page` whose element kind is `elementType`, in shape
// order, below the row `row`, which follows the rows written.
void listPage(excel::Application& excel, const visio::Page& page, int elementType, int& row)
{
    const visio::Shapes shapes = page.GetShapes();
    const int count = shapes.Count();
    for (int index = 1; index <= count; ++index) {
        const visio::Shape shape = shapes.Item(index);
        const std::uint8_t kind = ElementKindOf(shape);
        if (kind != elementType)
            continue;
        ++row;
        WriteElementRow(excel, shape, row, kind);
    }
}

void listRows(excel::Application& excel, visio::Application& drawing, int elementType, int pages)
{
    int row = HeaderRow;
    if (pages == AllPages) {
        const visio::Pages all = drawing.ActiveDocument().GetPages();
        const int count = all.Count();
        for (int index = 1; index <= count; ++index)
            listPage(excel, all.Item(index), elementType, row);
    } else if (pages == ActivePageOnly) {
        listPage(excel, drawing.ActivePage(), elementType, row);
    }
}

} // namespace

excel::Application AttachExcel()
{
    const visio::Document drawing = session().ActiveDocument();
    excel::Settings settings;
    const std::string file = drawing.FullName();
    settings.folder = file.empty() ? std::filesystem::current_path().string()
                                   : std::filesystem::path(file).parent_path().string();
    settings.title = drawing.Name();
    settings.hasDesktop = !ui::GuiApplication::IsHeadless();
    return excel::Application(std::move(settings));
}

void ListElements(int elementType, int pages)
{
    visio::Application& drawing = session();
    excel::Application excel = AttachExcel();
    excel.SetVisible(true);
    excel.GetWorkbooks().Add();
    try {
        writeHeader(excel, elementType);
        listRows(excel, drawing, elementType, pages);
    } catch (const std::exception& failure) {
        // The rows listed before the failure stay in the workbook, as they
        // would stay in an open spreadsheet.
        try {
            excel.Release();
        } catch (const excel::ExcelError& notWritten) {
            throw excel::ExcelError(std::string(failure.what()) + "\n" + notWritten.what());
        }
        throw;
    }
    excel.Release();
}

void WriteElementRow(excel::Application& excel, const visio::Shape& shape, int row, std::uint8_t kind)
{
    if (kind == ElementKindObject)
        writeProperties(excel, shape, row, ObjectRows);
    else if (kind == ElementKindProcedure)
        writeProperties(excel, shape, row, ProcedureRows);
}

TfrmReports::TfrmReports(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Получение данных"));

    rgTYPE = new ui::RadioGroup(QStringLiteral("  Получить данные элементов  "), this);
    rgTYPE->setObjectName(QStringLiteral("rgTYPE"));
    rgTYPE->AddItem(QStringLiteral("Объектов"));
    rgTYPE->AddItem(QStringLiteral("Процедур"));
    rgTYPE->AddItem(QStringLiteral("Переключателей"));
    rgTYPE->SetItemIndex(0);

    rgPAGE = new ui::RadioGroup(QStringLiteral("  Получить данные  "), this);
    rgPAGE->setObjectName(QStringLiteral("rgPAGE"));
    rgPAGE->AddItem(QStringLiteral("На всех страницах"));
    rgPAGE->AddItem(QStringLiteral("Только на активной таблице"));
    rgPAGE->SetItemIndex(0);

    btnSAVE = new QPushButton(QStringLiteral("Выполнить"), this);
    btnSAVE->setObjectName(QStringLiteral("btnSAVE"));
    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSAVE);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rgTYPE);
    layout->addWidget(rgPAGE);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnSAVE, &QPushButton::clicked, this, &TfrmReports::btnSAVEClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmReports::btnCloseClick);
}

void TfrmReports::ListElements()
{
    ::ListElements(rgTYPE->ItemIndex(), rgPAGE->ItemIndex());
}

void TfrmReports::btnSAVEClick()
{
    ui::RunHandler(this, [this] { ListElements(); });
}

void TfrmReports::btnCloseClick()
{
    ui::RunHandler(this, [this] { reject(); });
}

void ExecuteReports()
{
    TfrmReports window;
    ui::ShowModal(window);
}
